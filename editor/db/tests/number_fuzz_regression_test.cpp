// Every input the number fuzzer once found a fault with, and its starting texts, go through the same
// checks again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "editor/db/fuzz/fuzz_entry.h"

TEST(NumberFuzzRegression, SavedFindingsRunCleanly) {
  const std::filesystem::path folder = std::filesystem::path(MERO_SOURCE_DIR) / "editor/db/fuzz/regressions";
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename() == "README") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string data = bytes.str();
    SCOPED_TRACE(entry.path().filename().string());
    db::FuzzOneNumberText(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
  }
}
