#include "extract/fuzz/fuzz_entry.h"

#include <string>
#include <string_view>

#include "extract/devices.h"
#include "extract/extraction.h"
#include "extract/netlist.h"
#include "extract/node_list.h"
#include "tests/fuzz_support.h"
#include "utilib/quiet_ui.h"

namespace ext {

namespace {

// The text up to the first line end, and the rest after it.
std::string_view TakeLine(std::string_view& text) {
  const std::size_t end = text.find('\n');
  const std::string_view line = text.substr(0, end);
  text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  return line;
}

}  // namespace

// The first line is the circuit's base name; the rest is the first node list up to a line "%%",
// then the second. Without that line both files are the same.
void FuzzOneNodeListInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string base(TakeLine(text).substr(0, 31));
  std::string_view first = text, second = text;
  const std::size_t cut = text.find("\n%%\n");
  if (cut != std::string_view::npos) {
    first = text.substr(0, cut + 1);
    second = text.substr(cut + 4);
  }
  fuzzsupport::ScratchDrive& drive = fuzzsupport::ScratchDrive::Get();
  const auto visit = drive.Enter();
  drive.Write("A.NOD", first);
  drive.Write("B.NOD", second);
  utilib::QuietUi ui;
  utilib::Job job("MEROCKT", ui);
  CompareSettings s;
  s.firstFile = "C:\\W\\A.NOD";
  s.secondFile = "C:\\W\\B.NOD";
  s.baseName = base;
  s.errorFile = "C:\\W\\COMPARE.ERR";
  int errors = 0;
  CompareNodeLists(job, s, errors);
  utilib::CloseReport(job);
}

// The first line is the name looked up (and a parameter text "@name"); the rest is the file.
void FuzzOneAliasIncludeInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string name(TakeLine(text));
  fuzzsupport::ScratchDrive& drive = fuzzsupport::ScratchDrive::Get();
  const auto visit = drive.Enter();
  drive.Write("ALIAS.TXT", text);
  utilib::QuietUi ui;
  utilib::Job job("MEROCKT", ui);
  Drawing drawing;
  RunSwitches sw;
  sw.aliasFile = "C:\\W\\ALIAS.TXT";
  Extraction x(job, drawing, sw);
  const std::string alias = LookUpAlias(name, sw.aliasFile);
  if (alias.empty()) __builtin_trap();  // "?" stands for none
  ResolveParameters(x, "@" + name);
  ResolveParameters(x, name);
  if (!x.cir.Open("C:\\W\\OUT.CIR")) return;
  CopyIncludeFile(x, sw.aliasFile);
  CopyIncludeFile(x, "C:\\W\\NONE.INC");
  x.cir.Commit();
}

}  // namespace ext
