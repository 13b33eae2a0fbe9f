// Every input the fuzzer once found a fault with goes through the same code again.
#include <gtest/gtest.h>

#include "convert/cif/fuzz/fuzz_entry.h"
#include "tests/fuzz_support.h"

TEST(CifFuzzRegression, SavedFindingsRunCleanly) {
  fuzzsupport::ReplayFolder(std::filesystem::path(MERO_SOURCE_DIR) / "convert/cif/fuzz/regressions", cif::FuzzOneCifInput);
}
