// Every input the fuzzer once found a fault with goes through the same code again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "convert/cif/fuzz/fuzz_entry.h"

TEST(CifFuzzRegression, SavedFindingsRunCleanly) {
  const std::filesystem::path folder = std::filesystem::path(MERO_SOURCE_DIR) / "convert/cif/fuzz/regressions";
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename() == "README") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string data = bytes.str();
    SCOPED_TRACE(entry.path().filename().string());
    cif::FuzzOneCifInput(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
  }
}
