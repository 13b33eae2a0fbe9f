// Every input the fuzzer once found a fault with goes through the same code again.
#include <gtest/gtest.h>

#include "convert/gds/fuzz/fuzz_entry.h"
#include "tests/fuzz_support.h"

TEST(GdsFuzzRegression, SavedFindingsRunCleanly) {
  fuzzsupport::ReplayFolder(std::filesystem::path(MERO_SOURCE_DIR) / "convert/gds/fuzz/regressions", gds::FuzzOneGdsInput);
}
