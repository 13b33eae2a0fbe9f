// The suite's three stroke faces drawn by the engine: every character leaves ink and advances.
// With MERO_FONT_SAMPLE=PREFIX set, each face's sheet is also saved as PREFIX1.png .. PREFIX3.png
// for a person to look at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "editor/ui/draw/primitives.h"
#include "editor/ui/draw/tests/fixture.h"
#include "platform/gfx/png.h"

namespace {

using namespace drawtest;

bool LoadFace(db::FontTable& t, const char* name) {
  std::ifstream in(std::string(MERO_SUITE_DIR) + "/" + name, std::ios::binary);
  in.read(reinterpret_cast<char*>(t.bytes.data()), std::streamsize(t.bytes.size()));
  return in.gcount() == std::streamsize(t.bytes.size());
}

TEST(Fonts, EachFaceDrawsEveryCharacter) {
  Folder f;
  f.d.settings.modeWord = 0;
  f.d.settings.layerFills[0] = 0;
  f.d.settings.layerPalette[0] = 15;
  Screen s(f.d, 1400, 760);
  const char* faces[] = {"TFF.DBD", "TFF2.DBD", "TFF3.DBD"};
  const std::string lines[] = {" !\"#$%&'()*+,-./0123456789:;<=>?@", "ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`",
                               "abcdefghijklmnopqrstuvwxyz{|}~\x7f", "Cell MUX2 at 12.5, -3 (NAND4) vdd! gnd"};
  for (int face = 0; face < 3; ++face) {
    if (!LoadFace(f.d.font, faces[face])) GTEST_SKIP() << "font tables not built";
    s.Clear();
    Cell c{"S", 1, {}, {}, {}, {}};
    for (int i = 0; i < 4; ++i) c.texts.push_back(Text{1, 45, 0, 10, std::int32_t(700 - 60 * i), lines[i]});
    // each printable character alone, to see that it leaves ink
    for (int ch = 33; ch <= 127; ++ch)
      c.texts.push_back(Text{1, 30, 0, std::int32_t(10 + 14 * 2 * ((ch - 33) % 48)),
                             std::int32_t(400 - 60 * ((ch - 33) / 48)), std::string(1, char(ch))});
    PutInStore(f.d, c);
    f.d.current = db::CurrentCell{"S", 0, 1};
    for (int n = 1; n <= f.d.store.pathCount; ++n) draw::DrawPath(*s.engine, n, 0);
    for (int ch = 33; ch <= 127; ++ch) {
      const int x0 = s.Px(10 + 28 * ((ch - 33) % 48)), y0 = s.Py(400 - 60 * ((ch - 33) / 48));
      int ink = 0;
      for (int y = y0 - 32; y <= y0 + 4; ++y)
        for (int x = x0 - 1; x <= x0 + 27; ++x) ink += s.At(x, y) != 0;
      EXPECT_GT(ink, 2) << faces[face] << " '" << char(ch) << "'";
    }
    if (const char* out = std::getenv("MERO_FONT_SAMPLE"))
      gfx::SavePng(std::string(out) + std::to_string(face + 1) + ".png", s.surface);
  }
}

}  // namespace
