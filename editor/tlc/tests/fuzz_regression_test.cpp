// Every input the fuzzers once found a fault with goes through the same code again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "editor/tlc/fuzz/fuzz_entry.h"

namespace {

void Replay(const char* target, void (*entry)(const std::uint8_t*, std::size_t)) {
  const auto folder = std::filesystem::path(MERO_SOURCE_DIR) / "editor/tlc/fuzz/regressions" / target;
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

TEST(TlcFuzzRegression, SavedFindingsRunCleanly) {
  Replay("tlc_records_fuzz", tlc::FuzzOneTlcRecordsInput);
  Replay("tlcin_fuzz", tlc::FuzzOneTlcInInput);
}
