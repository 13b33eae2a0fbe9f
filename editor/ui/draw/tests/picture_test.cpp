// The pictures of the benchmark layouts at Fit, held fixed: the redraw may get faster, but every
// pixel it gives must stay what it was, drawn in bands or figure by figure, at the first redraw of
// an engine and at the next.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "editor/ui/draw/engine.h"
#include "editor/ui/draw/tests/layouts.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/png.h"

namespace {

using namespace drawtest;

// FNV-1a over the size and the colour of every pixel.
std::uint64_t PictureHash(const gfx::Surface& s) {
  std::uint64_t h = 14695981039346656037ull;
  auto mix = [&h](std::uint32_t v) {
    for (int k = 0; k < 4; ++k) {
      h ^= (v >> (8 * k)) & 0xFF;
      h *= 1099511628211ull;
    }
  };
  mix(std::uint32_t(s.width));
  mix(std::uint32_t(s.height));
  for (std::uint32_t p : s.pixels) mix(p & 0xFFFFFFu);
  return h;
}

struct Picture {
  const char* cell;
  std::uint64_t hash;
};

TEST(Pictures, BenchmarkLayoutsAtFitKeepEveryPixel) {
  Folder f;
  LayoutColours(f.d.settings);
  for (const Cell& c : HierarchyLayout()) f.Add(c);
  f.Add(FlatLayout());
  const Picture pictures[] = {
      {"TOP", 0x763e5f19d12aab55ull},
      {"FLAT", 0x2776b50c29a5fdf6ull},
  };
  for (const Picture& p : pictures) {
    f.Open(p.cell);
    for (const bool batched : {true, false}) {
      SCOPED_TRACE(std::string(p.cell) + (batched ? " in bands" : " figure by figure"));
      draw::ViewState view;
      draw::LayerMasks masks;
      FitView(view, f.d, f.d.current.row);
      gfx::Surface surface(kClientWidth, kClientHeight);
      gfx::Canvas canvas(surface);
      draw::Engine engine(f.d, view, masks);
      engine.canvas = &canvas;
      engine.batched = batched;
      for (int run = 0; run < (batched ? 2 : 1); ++run) {
        std::fill(surface.pixels.begin(), surface.pixels.end(), 0u);
        draw::Redraw(engine, 0);
        const std::uint64_t got = PictureHash(surface);
        if (got != p.hash) {
          const std::string keep = "/tmp/picture-" + std::string(p.cell) + (batched ? "-bands" : "-figures") + ".png";
          gfx::SavePng(keep, surface);
          ADD_FAILURE() << "redraw " << run + 1 << " gives picture 0x" << std::hex << got << ", kept in " << keep;
        }
      }
    }
  }
}

}  // namespace
