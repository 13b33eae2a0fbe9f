// Every input the fuzzers once found a fault with goes through the same code again.
#include <gtest/gtest.h>

#include "editor/tlc/fuzz/fuzz_entry.h"
#include "tests/fuzz_support.h"

namespace {

void Replay(const char* target, fuzzsupport::Entry entry) {
  SCOPED_TRACE(target);
  fuzzsupport::ReplayFolder(std::filesystem::path(MERO_SOURCE_DIR) / "editor/tlc/fuzz/regressions" / target, entry);
}

}  // namespace

TEST(TlcFuzzRegression, SavedFindingsRunCleanly) {
  Replay("tlc_records_fuzz", tlc::FuzzOneTlcRecordsInput);
  Replay("tlcin_fuzz", tlc::FuzzOneTlcInInput);
}
