#include "drc/map_ops.h"

#include <algorithm>
#include <cstdlib>

#include "editor/db/text_numbers.h"
#include <string>

namespace drc {

bool CheckMaps::Allocate() {
  for (BitMap* m : {&R, &S, &T, &G1, &G2, &display})
    if (!m->Allocate()) {
      Free();
      return false;
    }
  return true;
}

void CheckMaps::Free() {
  for (BitMap* m : {&R, &S, &T, &G1, &G2, &display}) m->Free();
}

// ---- Slots ----

int MapSlots::Key(std::string_view name) {
  const long long key = static_cast<long long>(db::LeadingInt(name)) + 1;
  return static_cast<int>(std::clamp<long long>(key, 1, 2147483647));
}

int MapSlots::Store(const BitMap& m, int key) {
  for (auto& [k, map] : slots_)
    if (k == key) {
      CopyMap(map, m);
      return 1;
    }
  if (Count() >= kCapacity) return 0;
  BitMap copy;
  if (!copy.Allocate(m.Rows(), m.WritableRows())) return 0;
  CopyMap(copy, m);
  slots_.emplace_back(key, std::move(copy));
  return 1;
}

bool MapSlots::Load(BitMap& m, int key) const {
  for (const auto& [k, map] : slots_)
    if (k == key) {
      CopyMap(m, map);
      return true;
    }
  return false;
}

bool MapSlots::Has(int key) const {
  for (const auto& slot : slots_)
    if (slot.first == key) return true;
  return false;
}

void MapSlots::Clear() { slots_.clear(); }

// ---- Gauge ----

namespace {

using Row = std::array<std::uint32_t, kMapStrips>;

bool Bit(const Row& row, int x) { return x >= 0 && x < kMapWidth && (row[std::size_t(x >> 5)] & ColumnBit(x)); }
bool Bit(const BitMap& m, int x, int y) { return (m.Word(x >> 5, y) & ColumnBit(x)) != 0; }

// Pixels set with the pixel right of them clear.
Row RightEdges(const Row& row) {
  Row e{};
  for (int s = 0; s < kMapStrips; ++s) {
    std::uint32_t w = row[std::size_t(s)];
    std::uint32_t right = (w << 1) | (s + 1 < kMapStrips ? row[std::size_t(s + 1)] >> 31 : 0);
    e[std::size_t(s)] = w & ~right;
  }
  return e;
}

template <class Visit>
void EachBit(const Row& row, Visit visit) {
  for (int s = 0; s < kMapStrips; ++s)
    for (std::uint32_t w = row[std::size_t(s)]; w;) {
      const int b = __builtin_clz(w);
      w &= ~ColumnBit(b);
      visit(32 * s + b);
    }
}

// Marks the middle of the gaps that start at the edges of `from` and end at a set pixel of `to`
// within 2..n pixels, across and up.
void MarkGaps(const BitMap& from, const BitMap& to, BitMap& t, int n) {
  if (n < 2) return;
  const int rows = from.Rows();
  for (int y = 0; y < rows; ++y) {
    const Row a = MapRow(from, y), b = MapRow(to, y);
    EachBit(RightEdges(a), [&](int x) {
      if (x > kMapWidth - 1 - n) return;
      for (int k = 2; k <= n; ++k)
        if (Bit(b, x + k)) {
          SetMapPixel(t, x + k / 2, y, 1);
          break;
        }
    });
  }
  for (int y = 0; y + n < rows; ++y) {
    Row edges{};
    for (int s = 0; s < kMapStrips; ++s) edges[std::size_t(s)] = from.Word(s, y) & ~from.Word(s, y + 1);
    EachBit(edges, [&](int x) {
      for (int k = 2; k <= n; ++k)
        if (Bit(to, x, y + k)) {
          SetMapPixel(t, x, y + k / 2, 1);
          break;
        }
    });
  }
}

}  // namespace

void GaugeMap(CheckMaps& m, bool two, int n) {
  ClearMap(m.T);
  CopyMap(m.G1, m.R);
  if (two) {
    CopyMap(m.G2, m.S);
    MarkGaps(m.G1, m.G2, m.T, n);
    MarkGaps(m.G2, m.G1, m.T, n);
  } else {
    MarkGaps(m.G1, m.G1, m.T, n);
  }
  DoubleMap(m.T);
  CopyMap(m.R, m.T);
  CopyMap(m.S, m.G1);
  if (two) OrMaps(m.S, m.G2);
}

// ---- Expansion ----

namespace {

// dst |= src moved dx (-1, 0, 1) right and dy (-1, 0, 1) up.
void OrShifted(BitMap& dst, const BitMap& src, int dx, int dy) {
  const int rows = dst.Rows();
  const int first = std::max(0, dy), last = std::min(rows, rows + dy);  // rows whose source is in the map
  for (int s = 0; s < kMapStrips; ++s) {
    std::uint32_t* d = dst.Strip(s);
    const std::uint32_t* w = src.Strip(s);
    if (dx == 0) {
      for (int y = first; y < last; ++y) d[y] |= w[y - dy];
    } else if (dx > 0) {
      if (s == 0) {
        for (int y = first; y < last; ++y) d[y] |= w[y - dy] >> 1;
      } else {
        const std::uint32_t* l = src.Strip(s - 1);
        for (int y = first; y < last; ++y) d[y] |= (w[y - dy] >> 1) | (l[y - dy] << 31);
      }
    } else if (s + 1 == kMapStrips) {
      for (int y = first; y < last; ++y) d[y] |= w[y - dy] << 1;
    } else {
      const std::uint32_t* r = src.Strip(s + 1);
      for (int y = first; y < last; ++y) d[y] |= (w[y - dy] << 1) | (r[y - dy] >> 31);
    }
  }
}

// Clear pixels of g between two set ones, across or up (rows 1..Rows()-2), are set in t.
void PinchMarks(const BitMap& g, BitMap& t) {
  const int rows = g.Rows();
  for (int s = 0; s < kMapStrips; ++s) {
    const std::uint32_t* w = g.Strip(s);
    const std::uint32_t* l = s > 0 ? g.Strip(s - 1) : nullptr;
    const std::uint32_t* r = s + 1 < kMapStrips ? g.Strip(s + 1) : nullptr;
    std::uint32_t* o = t.Strip(s);
    for (int y = 1; y + 1 < rows; ++y) {
      const std::uint32_t v = w[y];
      const std::uint32_t left = (v >> 1) | (l ? l[y] << 31 : 0);
      const std::uint32_t right = (v << 1) | (r ? r[y] >> 31 : 0);
      o[y] |= ~v & ((left & right) | (w[y + 1] & w[y - 1]));
    }
  }
}

bool Settled(const BitMap& g) {
  const std::uint32_t first = g.Word(0, 0);
  if (first != 0 && first != 0xFFFFFFFFu) return false;
  for (int s = 0; s < kMapStrips; ++s) {
    const std::uint32_t* w = g.Strip(s);
    for (int r = 0; r < g.Rows(); ++r)
      if (w[r] != first) return false;
  }
  return true;
}

}  // namespace

void ExpandMap(CheckMaps& m, bool two, int n, const std::function<bool()>& stop) {
  ClearMap(m.T);
  CopyMap(m.G1, m.R);
  if (two) CopyMap(m.G2, m.S);
  // One shift of both grown maps, then the marks.
  auto grow = [&](int dx, int dy) {
    OrShifted(m.G1, m.R, dx, dy);
    if (two) {
      OrShifted(m.G2, m.S, dx, dy);
      for (int s = 0; s < kMapStrips; ++s) {
        std::uint32_t* t = m.T.Strip(s);
        const std::uint32_t* a = m.G1.Strip(s);
        const std::uint32_t* b = m.G2.Strip(s);
        for (int y = 0; y < m.T.Rows(); ++y) t[y] |= a[y] & b[y];
      }
    }
  };
  auto pinch = [&] {
    if (!two) PinchMarks(m.G1, m.T);
  };
  // Shapes a pixel apart already are marked before they grow into each other.
  pinch();
  int o = 0, d = 0;
  bool stepped = false;
  while (o + d < n) {
    CopyMap(m.R, m.G1);
    if (two) CopyMap(m.S, m.G2);
    if (d + 1 <= 0.7071 * o) {
      // A diagonal half step closes a gap across by one but a gap up by two: the marks are taken
      // after each of its shifts, so a gap never jumps past the one-pixel state.
      grow(1, -1), pinch(), grow(1, 1), pinch();
      ++d;
      if (o + d < n) {
        grow(-1, -1), pinch(), grow(-1, 1), pinch();
        ++d;
      }
    } else {
      grow(1, 0), grow(0, 1), pinch();
      ++o;
      if (o + d < n) {
        grow(-1, 0), grow(0, -1), pinch();
        ++o;
      }
    }
    stepped = true;
    if (stop && stop()) return;
    // An empty or a full map grows no further, and nothing else is left alone by a step in all four
    // directions: every later step would change nothing.
    if (Settled(m.G1) && (!two || Settled(m.G2))) break;
  }
  if (!stepped && two) {
    AndMaps(m.R, m.S);
    CopyMap(m.T, m.R);
  }
  DoubleMap(m.T);
  CopyMap(m.R, m.T);
  CopyMap(m.S, m.G1);
  if (two) OrMaps(m.S, m.G2);
}

}  // namespace drc
