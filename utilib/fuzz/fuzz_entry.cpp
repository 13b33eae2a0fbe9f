#include "utilib/fuzz/fuzz_entry.h"

#include <string>
#include <string_view>
#include <vector>

#include "tests/fuzz_support.h"
#include "utilib/setup_file.h"

namespace utilib {

namespace {

struct Settings {
  std::vector<std::string> main = std::vector<std::string>(16, "?");
  std::vector<std::string> layers = std::vector<std::string>(5, "1");
  ReaderLists readers;
  SetupFile File() {
    SetupFile f;
    f.name = "Fuzz.su6";
    f.version = "6.01";
    f.groups = {&main, &layers};
    f.readers = &readers;
    return f;
  }
};

bool operator==(const Settings& a, const Settings& b) {
  return a.main == b.main && a.layers == b.layers && a.readers.programs == b.readers.programs &&
         a.readers.files == b.readers.files;
}

}  // namespace

void FuzzOneSetupFileInput(const std::uint8_t* data, std::size_t size) {
  fuzzsupport::ScratchDrive& drive = fuzzsupport::ScratchDrive::Get();
  const auto visit = drive.Enter();
  drive.Write("Fuzz.su6", std::string_view(reinterpret_cast<const char*>(data), size));
  Settings first;
  first.readers.SetDefaults("STRMEXP.RPT");
  if (!first.File().Read()) return;
  for (const std::string& slot : first.main)
    if (slot.size() > kSlotLength) __builtin_trap();
  first.readers.Choose("Notepad", "OTHER.RPT");
  // What a Go saves, the next start reads back as it was.
  if (!first.File().Write()) return;
  Settings second;
  if (!second.File().Read() || !(second == first)) __builtin_trap();
}

}  // namespace utilib
