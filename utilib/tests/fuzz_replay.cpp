// Every input the set-up file's fuzz target once failed on goes through the same code again.
#include <gtest/gtest.h>

#include "tests/fuzz_support.h"
#include "utilib/fuzz/fuzz_entry.h"

TEST(SetupFileFuzzRegression, SavedFindingsRunCleanly) {
  fuzzsupport::ReplayFolder(std::filesystem::path(MERO_SOURCE_DIR) / "utilib/fuzz/regressions",
                            utilib::FuzzOneSetupFileInput);
}
