#include "uuencode/fuzz/fuzz_entry.h"

#include <filesystem>
#include <string_view>

#include "tests/fuzz_support.h"
#include "utilib/quiet_ui.h"
#include "uuencode/uue_job.h"

namespace uue {

void FuzzOneUueInput(const std::uint8_t* data, std::size_t size) {
  fuzzsupport::ScratchDrive& drive = fuzzsupport::ScratchDrive::Get();
  const auto visit = drive.Enter();
  drive.Write("IN.UUE", std::string_view(reinterpret_cast<const char*>(data), size));
  std::error_code ec;
  std::filesystem::create_directories(drive.Work() + "/OUT", ec);
  utilib::QuietUi ui;
  for (const char* destination : {"C:\\W\\OUT", "+"}) {
    utilib::Job job(kProgram, ui);
    UueSettings s;
    s.source() = "C:\\W\\IN.UUE";
    s.destination() = destination;
    NormaliseUueSettings(s);
    UueOutcome out;
    ConvertUue(job, s, out);
    if (out.result == kDecoded) {
      // The file the begin line names lands in the destination folder, with every byte decoded.
      const std::filesystem::path made = os::NativePath(out.output);
      if (made.parent_path() != drive.Work() + "/OUT" || std::filesystem::file_size(made, ec) != out.fileLength)
        __builtin_trap();
    }
  }
  // Nothing but the input and the destination folder stands in the work folder.
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(drive.Work(), ec)) {
    (void)entry;
    ++entries;
  }
  if (entries != 2) __builtin_trap();
}

}  // namespace uue
