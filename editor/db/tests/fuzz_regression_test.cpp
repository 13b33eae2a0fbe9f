// Every input the fuzzers once found a fault with goes through its reader again.
#include <gtest/gtest.h>

#include "editor/db/fuzz/fuzz_entry.h"
#include "tests/fuzz_support.h"

namespace {

void Replay(const char* target, fuzzsupport::Entry entry) {
  SCOPED_TRACE(target);
  fuzzsupport::ReplayFolder(std::filesystem::path(MERO_SOURCE_DIR) / "editor/db/fuzz/regressions" / target, entry);
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
