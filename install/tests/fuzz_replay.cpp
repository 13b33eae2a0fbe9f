// Every input a fuzz target of the installer once failed on goes through the same code again.
#include <gtest/gtest.h>

#include "install/fuzz/fuzz_entry.h"
#include "tests/fuzz_support.h"

TEST(InstallFuzzRegression, SavedFindingsRunCleanly) {
  const std::filesystem::path folder = std::filesystem::path(MERO_SOURCE_DIR) / "install/fuzz/regressions";
  struct Target {
    const char* name;
    fuzzsupport::Entry entry;
  };
  for (const Target& t : {Target{"zip_fuzz", install::FuzzOneZipInput}, Target{"inflate_fuzz", install::FuzzOneInflateInput}}) {
    SCOPED_TRACE(t.name);
    fuzzsupport::ReplayFolder(folder / t.name, t.entry);
  }
}
