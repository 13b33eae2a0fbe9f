// Every input the UU decoder's fuzz target once failed on goes through the same code again.
#include <gtest/gtest.h>

#include "tests/fuzz_support.h"
#include "uuencode/fuzz/fuzz_entry.h"

TEST(UueFuzzRegression, SavedFindingsRunCleanly) {
  fuzzsupport::ReplayFolder(std::filesystem::path(MERO_SOURCE_DIR) / "uuencode/fuzz/regressions", uue::FuzzOneUueInput);
}
