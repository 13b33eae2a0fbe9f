#include "drc/bitmap.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

namespace drc {

namespace {

std::atomic<int> mapBudget{-1};

// Strip words of all strips are stored strip after strip.
std::size_t WordCount(int writable) { return static_cast<std::size_t>(kMapStrips) * writable; }

}  // namespace

void SetMapBudgetForTests(int maps) { mapBudget = maps; }

bool BitMap::Allocate(int rows, int writableRows) {
  Free();
  if (rows <= 0) return false;
  writableRows = std::max(rows, writableRows);
  int budget = mapBudget.load();
  if (budget == 0) return false;
  if (budget > 0) mapBudget = budget - 1;
  words_.reset(new (std::nothrow) std::uint32_t[WordCount(writableRows)]());
  if (!words_) return false;
  rows_ = rows;
  writable_ = writableRows;
  return true;
}

void BitMap::Free() {
  words_.reset();
  rows_ = writable_ = 0;
}

void SetMapPixel(BitMap& m, int x, int y, int on) {
  if (x < 0 || x >= kMapWidth || y < 0 || y >= m.WritableRows()) return;
  std::uint32_t& w = m.Word(x >> 5, y);
  if (on) w |= ColumnBit(x);
  else w &= ~ColumnBit(x);
}

int TestMapPixel(const BitMap& m, int x, int y) {
  if (x < 0 || x >= kMapWidth || y < 0 || y >= m.WritableRows()) return 0;
  return (m.Word(x >> 5, y) & ColumnBit(x)) ? 1 : 0;
}

void SetMapSpan(BitMap& m, int y, long long x1, long long x2) {
  if (y < 0 || y >= m.WritableRows()) return;
  x1 = std::max(x1, 0LL);
  x2 = std::min(x2, static_cast<long long>(kMapWidth));
  if (x1 >= x2) return;
  int a = static_cast<int>(x1), b = static_cast<int>(x2) - 1;  // inclusive
  int sa = a >> 5, sb = b >> 5;
  std::uint32_t first = 0xFFFFFFFFu >> (a & 31);
  std::uint32_t last = 0xFFFFFFFFu << (31 - (b & 31));
  if (sa == sb) {
    m.Word(sa, y) |= first & last;
    return;
  }
  m.Word(sa, y) |= first;
  for (int s = sa + 1; s < sb; ++s) m.Word(s, y) = 0xFFFFFFFFu;
  m.Word(sb, y) |= last;
}

std::array<std::uint32_t, kMapStrips> MapRow(const BitMap& m, int y) {
  std::array<std::uint32_t, kMapStrips> words{};
  if (y < 0 || y >= m.WritableRows()) return words;
  for (int s = 0; s < kMapStrips; ++s) words[std::size_t(s)] = m.Word(s, y);
  return words;
}

void PutMapRow(BitMap& m, int y, const std::array<std::uint32_t, kMapStrips>& words) {
  if (y < 0 || y >= m.WritableRows()) return;
  for (int s = 0; s < kMapStrips; ++s) m.Word(s, y) = words[std::size_t(s)];
}

namespace {

template <class Op>
void EachWord(BitMap& m, Op op) {
  for (int s = 0; s < kMapStrips; ++s) {
    std::uint32_t* w = m.Strip(s);
    for (int r = 0; r < m.Rows(); ++r) op(w[r]);
  }
}

template <class Op>
void EachWordPair(BitMap& dst, const BitMap& src, Op op) {
  if (!dst.SameShape(src)) return;
  for (int s = 0; s < kMapStrips; ++s) {
    std::uint32_t* d = dst.Strip(s);
    const std::uint32_t* w = src.Strip(s);
    for (int r = 0; r < dst.Rows(); ++r) op(d[r], w[r]);
  }
}

}  // namespace

void ClearMap(BitMap& m) {
  if (!m.Allocated()) return;
  const std::size_t bytes = sizeof(std::uint32_t) * static_cast<std::size_t>(m.Rows());
  for (int s = 0; s < kMapStrips; ++s) std::memset(m.Strip(s), 0, bytes);
}

void CopyMap(BitMap& dst, const BitMap& src) {
  if (&dst == &src || !dst.SameShape(src)) return;
  const std::size_t bytes = sizeof(std::uint32_t) * static_cast<std::size_t>(dst.Rows());
  for (int s = 0; s < kMapStrips; ++s) std::memcpy(dst.Strip(s), src.Strip(s), bytes);
}

void SwapMaps(BitMap& a, BitMap& b) {
  if (a.SameShape(b)) std::swap(a, b);
}

void NotMap(BitMap& m) {
  EachWord(m, [](std::uint32_t& w) { w = ~w; });
}

void AndMaps(BitMap& dst, const BitMap& src) {
  EachWordPair(dst, src, [](std::uint32_t& d, std::uint32_t w) { d &= w; });
}

void OrMaps(BitMap& dst, const BitMap& src) {
  EachWordPair(dst, src, [](std::uint32_t& d, std::uint32_t w) { d |= w; });
}

void XorMaps(BitMap& dst, const BitMap& src) {
  EachWordPair(dst, src, [](std::uint32_t& d, std::uint32_t w) { d ^= w; });
}

void FillMap(BitMap& m) {
  EachWord(m, [](std::uint32_t& w) { w = 0xFFFFFFFFu; });
}

void ClearMapBorder(BitMap& m) {
  if (!m.Allocated()) return;
  const int top = m.Rows() - 1;
  for (int r = 0; r < m.Rows(); ++r) {
    m.Word(0, r) &= 0x7FFFFFFFu;
    m.Word(kMapStrips - 1, r) &= 0xFFFFFFFEu;
  }
  for (int s = 0; s < kMapStrips; ++s) m.Word(s, 0) = m.Word(s, top) = 0;
}

void DoubleMap(BitMap& m) {
  // Strip by strip down the rows: a row grows left by the leftmost pixel of the same row of the strip
  // to its right, which is not grown yet, and each grown row then ORs into the one below.
  const int rows = m.Rows();
  if (rows < 1) return;
  for (int s = 0; s < kMapStrips; ++s) {
    std::uint32_t* w = m.Strip(s);
    const std::uint32_t* next = s + 1 < kMapStrips ? m.Strip(s + 1) : nullptr;
    std::uint32_t below = w[0];  // row 0 does not grow by itself
    for (int r = 0; r + 1 < rows; ++r) {
      const std::uint32_t v = w[r + 1];
      const std::uint32_t grown = v | (v << 1) | (next ? next[r + 1] >> 31 : 0);
      w[r] = below | grown;
      below = grown;
    }
    w[rows - 1] = below;
  }
}

int IsMapNotEmpty(const BitMap& m) {
  for (int s = 0; s < kMapStrips; ++s) {
    const std::uint32_t* w = m.Strip(s);
    for (int r = 0; r < m.Rows(); ++r)
      if (w[r]) return 1;
  }
  return 0;
}

int IsMapNotFull(const BitMap& m) {
  for (int s = 0; s < kMapStrips; ++s) {
    std::uint32_t mask = 0xFFFFFFFFu;
    if (s == 0) mask &= 0x7FFFFFFFu;
    if (s == kMapStrips - 1) mask &= 0xFFFFFFFEu;
    const std::uint32_t* w = m.Strip(s);
    for (int r = 1; r + 1 < m.Rows(); ++r)
      if ((w[r] & mask) != mask) return 1;
  }
  return 0;
}

int TestFlags(const BitMap& m, int g) {
  if (g < 0) g = 0;
  const int firstStrip = g / 32, lastStrip = 31 - g / 32;
  const int lastRow = m.Rows() - 1 - g;
  for (int s = firstStrip; s <= lastStrip; ++s) {
    std::uint32_t mask = 0xFFFFFFFFu;
    if (s == firstStrip) mask &= 0xFFFFFFFFu >> (g % 32);
    if (s == lastStrip) mask &= 0xFFFFFFFFu << (g % 32);
    const std::uint32_t* w = m.Strip(s);
    for (int r = g; r <= lastRow; ++r)
      if (w[r] & mask) return 1;
  }
  return 0;
}

}  // namespace drc
