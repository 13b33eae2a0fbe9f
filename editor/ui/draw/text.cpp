// Stroke-font texts: each character's strokes from the glyph table, placed, turned and drawn (or,
// while smashing, stored as polygons).
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "editor/db/helpers.h"
#include "editor/db/orientation.h"
#include "editor/ui/draw/primitives.h"
#include "editor/ui/draw/shapes_internal.h"

namespace draw {

using detail::Style;

namespace {

struct GlyphPlace {
  std::int64_t x0 = 0;  // reference point
  std::int64_t y0 = 0;
  std::int64_t size = 15;
  std::int32_t flags = 0;  // reference vertex's flag word, given to every stroke point
  int orientation = 0;
  int level = 0;
  bool levelTransform = true;  // cell names in outlines are already in the edited cell's axes
  Style style;
  bool fill = true;
};

// Appends the chain as a polygon of the smash layer; false when an object limit stops it.
bool StoreStrokeAsPath(Engine& e, const std::vector<ChainPoint>& pts) {
  db::ObjectStore& s = e.db.store;
  if (s.CheckPathLimit()) return false;
  const int path = s.pathCount + 1;
  const int firstVertex = s.vertexCount + 1;
  for (std::size_t i = 0; i < pts.size(); ++i) {
    if (s.CheckVertexLimit()) {
      s.vertexCount = firstVertex - 1;  // a path cut short would be worse than none
      return false;
    }
    const int v = ++s.vertexCount;
    const std::int32_t next = i + 1 < pts.size() ? v + 1 : 0;
    s.PutVertexRecord(v, db::VertexRecord{path, std::int32_t(pts[i].x), std::int32_t(pts[i].y), next});
  }
  s.PutPathRecord(path, db::PathRecord{e.smashLayerWord, 0, pts.empty() ? 0 : firstVertex});
  s.pathCount = path;
  return true;
}

// One character at pen offset `pen`; gives the pen's advance (0 for a code without a glyph).
std::int64_t DrawGlyph(Engine& e, int ch, const GlyphPlace& g, std::int64_t pen) {
  const unsigned char* glyph = e.db.font.Glyph(ch);
  if (!glyph) return 0;
  const std::int64_t s = g.size;
  const std::int64_t gap = static_cast<std::int64_t>(double(s) * 0.26667);
  std::int64_t widest = 0;
  std::vector<ChainPoint>& pts = e.work->chain;
  int i = 0;
  // Every read stays inside the glyph's own 128 bytes, whatever the font file holds.
  while (i < db::kGlyphBytes && glyph[i] != db::kGlyphEnd) {
    pts.clear();
    while (i < db::kGlyphBytes && glyph[i] != db::kGlyphEnd) {
      const int xn = glyph[i] >> 4, yn = glyph[i] & 15;
      ++i;
      const std::int64_t gx = xn * s / 15;
      widest = std::max(widest, gx);
      std::int64_t x = gx + pen, y = yn * s / 15;
      db::OrientPoint(g.orientation, x, y);
      x += g.x0;
      y += g.y0;
      if (g.levelTransform) detail::LevelTransform(e, g.level, x, y);
      pts.push_back(ChainPoint{x, y, g.flags});
    }
    ++i;  // the stroke's 0xFF
    if (e.smashing) {
      if (!e.smashStopped && !StoreStrokeAsPath(e, pts)) e.smashStopped = 1;
    } else {
      detail::DrawChain(e, pts, g.style, g.fill);
    }
  }
  return (widest == 0 ? s / 3 : widest) + gap;
}

// Characters of a text vertex word: four bytes, the first character in the high byte.
void WordCharacters(std::int32_t word, int out[4]) {
  const auto u = static_cast<std::uint32_t>(word);
  for (int k = 0; k < 4; ++k) out[k] = int((u >> (24 - 8 * k)) & 0xFFu);
}

}  // namespace

void DrawTextObject(Engine& e, int n, int level) {
  db::ObjectStore& s = e.db.store;
  db::PathRecord p = s.GetPathRecord(n);
  if (p.width < 15) {
    p.width = 15;
    s.SetPath(15, 1, n);
  }
  const std::int64_t size = std::llabs(std::int64_t(p.width));
  // A smash must get every text, however small it shows at this view.
  if (size <= e.view.minDrawn && !e.smashing) return;
  const int first = p.firstVertex;
  if (first < 1 || first > s.vertexCount) return;
  const db::VertexRecord ref = s.GetVertexRecord(first);

  GlyphPlace g;
  g.x0 = ref.x;
  g.y0 = ref.y;
  g.size = size;
  g.flags = ref.flags;
  g.orientation = db::OrientationOf(p.flags);
  g.level = level;
  g.style = detail::ObjectStyle(e, db::LayerOf(p.flags));

  if ((e.db.settings.modeWord & kModeTextMarks) && !e.smashing) {
    std::int64_t mx = ref.x, my = ref.y;
    detail::LevelTransform(e, level, mx, my);
    const ScreenPoint sp = WorldToScreen(e.view, double(mx), double(my));
    BlitMarker(e, Marker::Vertex, sp.x, sp.y, (p.flags & db::kPathSelectedBit) ? 15 : g.style.colour);
  }

  std::int64_t pen = 0;
  s.WalkChain(ref.next, [&](int v) {
    if (e.smashStopped && e.smashing) return;
    const db::VertexRecord cv = s.GetVertexRecord(v);
    int chars[8];
    WordCharacters(cv.x, chars);
    WordCharacters(cv.y, chars + 4);
    for (int ch : chars) pen += DrawGlyph(e, ch, g, pen);
  });
}

void LayoutTextString(Engine& e, std::string_view text, std::int64_t left, std::int64_t bottom,
                      std::int64_t right, std::int64_t top, int colour) {
  if (!(e.db.settings.modeWord & kModeNames) || text.empty()) return;
  const std::int64_t span = std::min(std::llabs(right - left), std::llabs(top - bottom));
  GlyphPlace g;
  g.size = db::RoundTextSize(double(span) / 12);
  g.x0 = left + g.size / 2;
  g.y0 = bottom;
  g.levelTransform = false;
  g.style = Style{colour, 0, 0};
  g.fill = false;
  const bool smashing = e.smashing;
  e.smashing = false;
  std::int64_t pen = 0;
  for (unsigned char ch : text) pen += DrawGlyph(e, ch, g, pen);
  e.smashing = smashing;
}

}  // namespace draw
