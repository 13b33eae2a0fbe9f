// Every input a fuzz target of the stroke-font tables once failed on goes through the same code again.
#include <gtest/gtest.h>

#include "fontmake/fuzz/fuzz_entry.h"
#include "tests/fuzz_support.h"

TEST(FontFuzzRegression, SavedFindingsRunCleanly) {
  const std::filesystem::path folder = std::filesystem::path(MERO_SOURCE_DIR) / "fontmake/fuzz/regressions";
  struct Target {
    const char* name;
    fuzzsupport::Entry entry;
  };
  for (const Target& t : {Target{"font_table_fuzz", fontmake::FuzzOneFontTableInput},
                          Target{"glyph_fuzz", fontmake::FuzzOneGlyphInput}}) {
    SCOPED_TRACE(t.name);
    fuzzsupport::ReplayFolder(folder / t.name, t.entry);
  }
}
