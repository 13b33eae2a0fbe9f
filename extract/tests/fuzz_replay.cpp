// Every input a fuzz target of the extractor once failed on goes through the same code again.
#include <gtest/gtest.h>

#include "extract/fuzz/fuzz_entry.h"
#include "tests/fuzz_support.h"

TEST(ExtractFuzzRegression, SavedFindingsRunCleanly) {
  const std::filesystem::path folder = std::filesystem::path(MERO_SOURCE_DIR) / "extract/fuzz/regressions";
  struct Target {
    const char* name;
    fuzzsupport::Entry entry;
  };
  for (const Target& t : {Target{"node_list_fuzz", ext::FuzzOneNodeListInput},
                          Target{"alias_include_fuzz", ext::FuzzOneAliasIncludeInput}}) {
    SCOPED_TRACE(t.name);
    fuzzsupport::ReplayFolder(folder / t.name, t.entry);
  }
}
