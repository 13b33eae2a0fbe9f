// Every input a fuzz target of the process's parsers once failed on goes through the same code again.
#include <gtest/gtest.h>

#include "platform/os/fuzz/fuzz_entry.h"
#include "tests/fuzz_support.h"

TEST(OsFuzzRegression, SavedFindingsRunCleanly) {
  const std::filesystem::path folder = std::filesystem::path(MERO_SOURCE_DIR) / "platform/os/fuzz/regressions";
  struct Target {
    const char* name;
    fuzzsupport::Entry entry;
  };
  for (const Target& t : {Target{"command_line_fuzz", os::FuzzOneCommandLineInput},
                          Target{"drives_fuzz", os::FuzzOneDrivesInput}}) {
    SCOPED_TRACE(t.name);
    fuzzsupport::ReplayFolder(folder / t.name, t.entry);
  }
}
