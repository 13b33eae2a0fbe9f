#include "install/fuzz/fuzz_entry.h"

#include <filesystem>
#include <string_view>

#include "install/archive_stream.h"
#include "install/inflate.h"
#include "install/progress_list.h"
#include "install/unzip.h"
#include "tests/fuzz_support.h"
#include "utilib/quiet_ui.h"

namespace install {

namespace {

class Discard final : public MemberOutput {
 public:
  void Write(const std::uint8_t*, std::size_t count) override { total += count; }
  std::uint64_t total = 0;
};

}  // namespace

void FuzzOneZipInput(const std::uint8_t* data, std::size_t size) {
  fuzzsupport::ScratchDrive& drive = fuzzsupport::ScratchDrive::Get();
  const auto visit = drive.Enter();
  drive.Write("A.ZIP", std::string_view(reinterpret_cast<const char*>(data), size));
  std::error_code ec;
  std::filesystem::create_directories(drive.Work() + "/T", ec);
  utilib::QuietUi ui;
  utilib::Job job("SETUP", ui);
  ProgressList lines(job);
  const int severity = UnzipArchive("C:\\W\\A.ZIP", "C:\\W\\T\\", lines);
  if (severity < kSeverityNone || severity > kSeverityFatal) __builtin_trap();
  // No member lands outside the target folder, whatever its name says.
  for (const auto& entry : std::filesystem::directory_iterator(drive.Work(), ec))
    if (entry.path().filename() != "A.ZIP" && entry.path().filename() != "T") __builtin_trap();
  for (const auto& entry : std::filesystem::directory_iterator(drive.Root(), ec))
    if (entry.path().filename() != "W" && entry.path().filename() != "MERO6") __builtin_trap();
  if (!std::filesystem::is_empty(drive.Root() + "/MERO6", ec)) __builtin_trap();
}

// The first byte chooses the output limit, so streams cut off by it are reached too.
void FuzzOneInflateInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  const std::uint64_t limit = data[0] & 1 ? std::uint64_t{1} << 22 : std::uint64_t{data[0]} << 4;
  fuzzsupport::ScratchDrive& drive = fuzzsupport::ScratchDrive::Get();
  const auto visit = drive.Enter();
  drive.Write("S.BIN", std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  ArchiveStream in;
  if (!in.Open("C:\\W\\S.BIN")) return;
  Decoder decoder;
  Discard out;
  decoder.StartMember(&out);
  const int result = decoder.Inflate(in, limit);
  decoder.FinishMember();
  // What the decoder says it wrote is what reached the output, and never a window more than allowed.
  if (out.total != decoder.BytesWritten() || (result == kInflateOk && out.total > limit + kWindowSize))
    __builtin_trap();
}

}  // namespace install
