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

// The first set column of row y from p to last, or -1.
int NextSet(const BitMap& m, int y, int p, int last) {
  while (p <= last) {
    const int s = p >> 5;
    const std::uint32_t w = m.Word(s, y) & (0xFFFFFFFFu >> (p & 31));
    if (w) {
      const int c = (s << 5) + __builtin_clz(w);
      return c <= last ? c : -1;
    }
    p = (s + 1) << 5;
  }
  return -1;
}

// Marks the middle of the gaps that start at the edges of `from` and end at a set pixel of `to`
// within 2..n pixels, across and up.
void MarkGaps(const BitMap& from, const BitMap& to, BitMap& t, int n) {
  if (n < 2) return;
  const int rows = from.Rows();
  const int lastEdge = kMapWidth - 1 - n;
  for (int y = 0; y < rows; ++y) {
    for (int s = 0; s < kMapStrips && (s << 5) <= lastEdge; ++s) {
      const std::uint32_t w = from.Word(s, y);
      if (!w) continue;
      const std::uint32_t right = (w << 1) | (s + 1 < kMapStrips ? from.Word(s + 1, y) >> 31 : 0);
      for (std::uint32_t e = w & ~right; e;) {
        const int b = __builtin_clz(e);
        e &= ~ColumnBit(b);
        const int x = 32 * s + b;
        if (x > lastEdge) break;
        const int c = NextSet(to, y, x + 2, x + n);
        if (c >= 0) t.Word((x + (c - x) / 2) >> 5, y) |= ColumnBit(x + (c - x) / 2);
      }
    }
  }
  // Up, a whole word of columns at a time: each column's edge takes the first set row above it.
  for (int s = 0; s < kMapStrips; ++s) {
    const std::uint32_t* f = from.Strip(s);
    const std::uint32_t* b = to.Strip(s);
    std::uint32_t* o = t.Strip(s);
    for (int y = 0; y + n < rows; ++y) {
      std::uint32_t e = f[y] & ~f[y + 1];
      for (int k = 2; e && k <= n; ++k) {
        const std::uint32_t hit = e & b[y + k];
        o[y + k / 2] |= hit;
        e &= ~hit;
      }
    }
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
