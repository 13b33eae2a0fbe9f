// Every input a fuzz target of the help viewer once failed on goes through the same code again.
#include <gtest/gtest.h>

#include "helpview/fuzz/fuzz_entry.h"
#include "tests/fuzz_support.h"

TEST(HelpFuzzRegression, SavedFindingsRunCleanly) {
  const std::filesystem::path folder = std::filesystem::path(MERO_SOURCE_DIR) / "helpview/fuzz/regressions";
  struct Target {
    const char* name;
    fuzzsupport::Entry entry;
  };
  for (const Target& t : {Target{"help_file_fuzz", hpv::FuzzOneHelpFileInput},
                          Target{"help_command_fuzz", hpv::FuzzOneHelpCommandInput}}) {
    SCOPED_TRACE(t.name);
    fuzzsupport::ReplayFolder(folder / t.name, t.entry);
  }
}
