// Every input the fuzzer once found a fault with goes through the same code again.
#include <gtest/gtest.h>

#include "convert/dxf/fuzz/fuzz_entry.h"
#include "tests/fuzz_support.h"

TEST(DxfFuzzRegression, SavedFindingsRunCleanly) {
  fuzzsupport::ReplayFolder(std::filesystem::path(MERO_SOURCE_DIR) / "convert/dxf/fuzz/regressions", dxf::FuzzOneDxfInput);
}
