// Builds the suite's three stroke-font tables from the character cells kept as TLC files:
//   mkfonts CHARS_FOLDER OUT_FOLDER
// CHARS_FOLDER holds upright/, slanted/ and bold/ with CHAR032.TLC .. CHAR127.TLC each; the tables
// TFF.DBD, TFF2.DBD and TFF3.DBD go to OUT_FOLDER. Any missing or damaged character fails the build.
#include <cstdio>
#include <string>

#include "fontmake/glyph_table.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: mkfonts CHARS_FOLDER OUT_FOLDER\n");
    return 2;
  }
  const std::string chars = argv[1], out = argv[2];
  const char* faces[3][2] = {{"upright", "TFF.DBD"}, {"slanted", "TFF2.DBD"}, {"bold", "TFF3.DBD"}};
  int failures = 0;
  for (const auto& face : faces) {
    db::FontTable table;
    fontmake::ClearFontTable(table);
    for (int code = fontmake::kFirstCode; code <= fontmake::kLastCode; ++code) {
      char name[32];
      std::snprintf(name, sizeof name, "/CHAR%03d.TLC", code);
      const std::string path = chars + "/" + face[0] + name;
      auto say = [&](std::string_view text) {
        std::fprintf(stderr, "%s: %.*s\n", path.c_str(), int(text.size()), text.data());
        ++failures;
      };
      const fontmake::InstallReport r = fontmake::InstallGlyph(table, code, path, say);
      if (!r.opened) say("Character TLC File is Missing");
      else if (r.polygons != r.headerPaths) say("polygon count differs from the header");
    }
    if (fontmake::WriteFontFile(out + "/" + face[1], table) != 1) {
      std::fprintf(stderr, "cannot write %s/%s\n", out.c_str(), face[1]);
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
