// Small helpers for pixel tests: surfaces as rows of characters, pixel counts, noisy fixtures.
#pragma once
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "platform/gfx/surface.h"

namespace gfx::test {

// One string per row: '#' where the pixel is `ink`, '.' elsewhere.
inline std::vector<std::string> Picture(const Surface& s, std::uint32_t ink) {
  std::vector<std::string> rows;
  for (int y = 0; y < s.height; ++y) {
    std::string r;
    for (int x = 0; x < s.width; ++x) r += s.Row(y)[x] == ink ? '#' : '.';
    rows.push_back(r);
  }
  return rows;
}

inline int Count(const Surface& s, std::uint32_t value) {
  int n = 0;
  for (std::uint32_t p : s.pixels) n += p == value;
  return n;
}

// A surface full of different colours, so that any wrong write shows.
inline Surface Noise(int w, int h, unsigned seed = 7) {
  Surface s(w, h);
  std::mt19937 rng(seed);
  for (std::uint32_t& p : s.pixels) p = rng() & 0xFFFFFFu;
  return s;
}

}  // namespace gfx::test
