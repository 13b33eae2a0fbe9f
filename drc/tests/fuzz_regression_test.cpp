// Every input a fuzz target once found a fault with goes through the same code again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "drc/fuzz/fuzz_entry.h"

TEST(DrcFuzzRegression, SavedFindingsRunCleanly) {
  const std::filesystem::path folder = std::filesystem::path(MERO_SOURCE_DIR) / "drc/fuzz/regressions";
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name == "README") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string data = bytes.str();
    SCOPED_TRACE(name);
    const auto* p = reinterpret_cast<const std::uint8_t*>(data.data());
    if (name.rfind("pcx-", 0) == 0) drc::FuzzOnePcxMap(p, data.size());
    else drc::FuzzOneCheckFile(p, data.size());
  }
}
