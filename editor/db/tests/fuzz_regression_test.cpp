// Every input the fuzzers once found a fault with goes through its reader again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "editor/db/fuzz/fuzz_entry.h"

namespace {

void Replay(const char* target, void (*entry)(const std::uint8_t*, std::size_t)) {
  const auto folder = std::filesystem::path(MERO_SOURCE_DIR) / "editor/db/fuzz/regressions" / target;
  for (const auto& file : std::filesystem::directory_iterator(folder)) {
    std::ifstream in(file.path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string data = bytes.str();
    SCOPED_TRACE(file.path().filename().string());
    entry(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
  }
}

}  // namespace

TEST(DrawingFolderFuzzRegression, SavedFindingsRunCleanly) {
  const std::string cwd = std::filesystem::current_path().string();
  Replay("cl6_reader_fuzz", db::FuzzOneCl6Input);
  Replay("bp6_reader_fuzz", db::FuzzOneBp6Input);
  Replay("cell_index_fuzz", db::FuzzOneCellIndexInput);
  Replay("form_file_fuzz", db::FuzzOneFormFileInput);
  Replay("settings_file_fuzz", db::FuzzOneSettingsFileInput);
  Replay("text_numbers_fuzz", db::FuzzOneNumberText);
  std::filesystem::current_path(cwd);
}
