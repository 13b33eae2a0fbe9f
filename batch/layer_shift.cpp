#include "batch/layer_shift.h"

#include <cstdio>

#include "editor/db/helpers.h"
#include "editor/tlc/readers.h"
#include "platform/os/textfile.h"

namespace batch {

namespace {

constexpr const char* kKeyPrompt = "\nPress a key to continue...\n";
constexpr const char* kUsage =
    "This program moves or copies the layers of boxes, poly and text in TLC files.\n\n"
    "It reads the CELLS.REF file in the indicated directory and acts on the cells\n"
    "that it finds listed in that file.\n\n"
    "   Command line :  lyrshift m[c] oldlayer newlayer drive:\\path\\\n\n";

void WaitForKey(Console& console) {
  console.Print(kKeyPrompt);
  const int key = console.ReadKey();
  if (key == 0 || key == kExtendedKey) console.ReadKey();
}

std::string Printf(const char* format, int a, int b, const std::string& s) {
  char line[160];
  std::snprintf(line, sizeof line, format, a, b, s.c_str());
  return line;
}

class Shifter final : public tlc::RecordConsumer {
 public:
  Shifter(tlc::TlcWriter& out, ShiftMode mode, int oldLayer, int newLayer, Console& console)
      : out_(out), mode_(mode), old_(oldLayer), new_(newLayer), console_(console) {}

  void CellRef(const tlc::TlcCellRef& ref) override { out_.PutCellRef(ref); }
  void Box(const tlc::TlcBox& box) override { Shift(box, [&](const tlc::TlcBox& b) { out_.PutBox(b); }); }
  void Path(const tlc::TlcPath& path) override {
    Shift(path, [&](const tlc::TlcPath& p) { out_.PutPath(p); });
  }
  void Text(const tlc::TlcText& text) override {
    Shift(text, [&](const tlc::TlcText& t) { out_.PutText(t); });
  }
  void ReadError(tlc::Keyword, std::string_view message) override {
    console_.Print("  " + std::string(message) + "\n");
    WaitForKey(console_);
  }

 private:
  template <class Record, class Put>
  void Shift(const Record& record, Put put) {
    if (record.layer != old_) {
      put(record);
      return;
    }
    Record shifted = record;
    shifted.layer = new_;
    if (mode_ == ShiftMode::Copy) put(record);
    put(shifted);
  }

  tlc::TlcWriter& out_;
  ShiftMode mode_;
  int old_, new_;
  Console& console_;
};

// "D:\CHIP\CELLS.REF" -> "D:\CHIP\": where the cells' files are.
std::string FolderOf(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/:");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// One cell's file rewritten in place.
void ShiftCell(const std::string& folder, const std::string& name, ShiftMode mode, int oldLayer, int newLayer,
               Console& console) {
  // A listed name is a file name here: one that could lead out of the folder is passed over.
  if (name.empty() || db::CheckCellName(name, 0)) return;
  const std::string path = folder + name + ".TLC";
  tlc::FileLineSource source;
  if (!source.Open(path)) return;
  tlc::TlcStream in(source);
  tlc::TlcHeader header;
  bool found = false;
  if (!tlc::ReadTlcHeader(in, header, &found) || !found) {
    console.Print("Header Missing in " + name + "\n");
    WaitForKey(console);
    return;
  }
  // The new file replaces the old one only once it is whole.
  tlc::FileSink sink;
  if (!sink.Open(path)) {
    console.Print("Unable to Write " + name + ".TLC\n");
    return;
  }
  tlc::TlcWriterOptions options;
  options.countsFromRecords = true;
  tlc::TlcWriter out(sink, options);
  in.Rewind();
  ShiftLayerRecords(in, out, mode, oldLayer, newLayer, console);
  source.Close();
  tlc::StampNow(header);
  out.PutHeader(header);
  if (source.Failed() || !out.Flush() || sink.Commit() != 1) {
    sink.Abandon();
    console.Print("Unable to Write " + name + ".TLC\n");
    return;
  }
  console.Print(Printf(mode == ShiftMode::Move ? "Layer %d Moved to %d in %s.TLC\n" : "Layer %d Copied to %d in %s.TLC\n",
                       oldLayer, newLayer, name));
}

}  // namespace

CellListResult ReadCellList(std::string_view path, std::vector<std::string>& names) {
  names.clear();
  os::TextReader in;
  if (!in.Open(path)) return CellListResult::Missing;
  std::string line;
  if (!in.ReadLine(line)) return CellListResult::Missing;
  if (tlc::ToInt(line) > kMaxListedCells) return CellListResult::TooMany;
  while (static_cast<int>(names.size()) < kMaxListedCells && in.ReadLine(line)) {
    names.push_back(line.substr(0, tlc::kNameLength));
    in.ReadLine(line);  // the flag line is not needed
  }
  return CellListResult::Ok;
}

void ShiftLayerRecords(tlc::TlcStream& in, tlc::TlcWriter& out, ShiftMode mode, int oldLayer, int newLayer,
                       Console& console) {
  Shifter shifter(out, mode, oldLayer, newLayer, console);
  tlc::ReadTlcRecords(in, shifter);
}

int RunLayerShift(const std::vector<std::string>& args, Console& console) {
  console.Print("\nMERO TLC Layer Mover/Copier  Version 6.0\n\n");
  if (args.size() < 4 || (args[0] != "m" && args[0] != "c")) {
    console.Print(kUsage);
    WaitForKey(console);
    return 0;
  }
  const ShiftMode mode = args[0] == "m" ? ShiftMode::Move : ShiftMode::Copy;
  const int oldLayer = tlc::ToInt(args[1]);
  const int newLayer = tlc::ToInt(args[2]);
  if (oldLayer < 1 || oldLayer > 64 || newLayer < 1 || newLayer > 64) {
    console.Print(oldLayer < 1 || oldLayer > 64 ? "Old Layer out of Range\n" : "New Layer out of Range\n");
    WaitForKey(console);
    return 1;
  }
  std::string refPath = args[3];
  refPath += !refPath.empty() && (refPath.back() == '\\' || refPath.back() == '/') ? "CELLS.REF" : "\\CELLS.REF";
  const std::string folder = FolderOf(refPath);
  std::vector<std::string> names;
  switch (ReadCellList(refPath, names)) {
    case CellListResult::Missing:
      names.clear();
      break;
    case CellListResult::TooMany:
      console.Print("CELLS.REF Lists more than 512 Cells\n");
      WaitForKey(console);
      return 1;
    case CellListResult::Ok:
      break;
  }
  if (names.empty()) {
    console.Print("CELLS.REF is Missing\n");
    WaitForKey(console);
    return 1;
  }
  console.Print(std::to_string(names.size()) + " Cells\n");
  for (const std::string& name : names) {
    ShiftCell(folder, name, mode, oldLayer, newLayer, console);
    if (console.KeyWaiting()) {
      const int key = console.ReadKey();
      if (key == 0 || key == kExtendedKey) {
        console.ReadKey();
      } else if (key == kEscapeKey) {
        break;
      }
    }
  }
  WaitForKey(console);
  return 0;
}

}  // namespace batch
