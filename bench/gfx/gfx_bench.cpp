// Rasteriser throughput on a full-screen surface: the editor's boxes (dashed outline and pattern fill
// by merge), pattern-filled polygons, wide lines, and the other calls a redraw or a print makes.
#include <benchmark/benchmark.h>

#include <array>
#include <random>
#include <vector>

#include "platform/gfx/canvas.h"

namespace {

using namespace gfx;

constexpr int kW = 1920, kH = 1080;
constexpr std::array<std::uint8_t, 8> kFill = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};

struct Box {
  int l, t, r, b;
};

std::vector<Box> Boxes(int n, int minSide, int maxSide) {
  std::mt19937 rng(1);
  std::vector<Box> v;
  for (int i = 0; i < n; ++i) {
    const int w = minSide + int(rng() % unsigned(maxSide - minSide)), h = minSide + int(rng() % unsigned(maxSide - minSide));
    const int x = int(rng() % unsigned(kW - w)), y = int(rng() % unsigned(kH - h));
    v.push_back(Box{x, y, x + w, y + h});
  }
  return v;
}

void LayerFillSetup(Canvas& c) {
  c.SetTextColor(0);
  c.SetBackgroundColor(0x00C000);
  c.SetMix(Mix::Merge);
  c.SetBrush(Brush::Pattern(kFill));
}

// A box as the editor draws one: four dashed edges, then the pattern fill by merge.
void BM_EditorBoxes(benchmark::State& state) {
  const int side = int(state.range(0));
  Surface s(kW, kH);
  Canvas c(s);
  const auto boxes = Boxes(1024, side / 2, side * 3 / 2);
  std::size_t i = 0;
  for (auto _ : state) {
    const Box& b = boxes[i++ & 1023];
    c.SetMix(Mix::Copy);
    c.SetBackgroundMode(BackgroundMode::Transparent);
    c.SetPen(Pen::Styled(PenStyle::Dash, 0x00C000));
    c.MoveTo(b.l, b.t);
    c.LineTo(b.l, b.b);
    c.LineTo(b.r, b.b);
    c.LineTo(b.r, b.t);
    c.LineTo(b.l, b.t);
    LayerFillSetup(c);
    c.SetPen(Pen::Null());
    const Point pts[] = {{b.l, b.t}, {b.r, b.t}, {b.r, b.b}, {b.l, b.b}, {b.l, b.t}};
    c.Polygon(pts);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EditorBoxes)->Arg(8)->Arg(64)->Arg(400);

void BM_SolidBoxes(benchmark::State& state) {
  const int side = int(state.range(0));
  Surface s(kW, kH);
  Canvas c(s);
  c.SetPen(Pen::Null());
  c.SetBrush(Brush::Solid(0x0000C0));
  const auto boxes = Boxes(1024, side / 2, side * 3 / 2);
  std::size_t i = 0;
  for (auto _ : state) {
    const Box& b = boxes[i++ & 1023];
    c.Rectangle(b.l, b.t, b.r, b.b);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SolidBoxes)->Arg(64)->Arg(400);

void BM_PatternPolygons(benchmark::State& state) {
  const int radius = int(state.range(0)), vertices = int(state.range(1));
  Surface s(kW, kH);
  Canvas c(s);
  LayerFillSetup(c);
  c.SetPen(Pen::Null());
  std::mt19937 rng(2);
  std::vector<std::vector<Point>> polys(256);
  for (auto& p : polys) {
    const int cx = radius + int(rng() % unsigned(kW - 2 * radius)), cy = radius + int(rng() % unsigned(kH - 2 * radius));
    for (int k = 0; k < vertices; ++k) {
      const double a = 6.2831853 * k / vertices, r = radius * (0.5 + (rng() % 1000) / 2000.0);
      p.push_back(Point{cx + int(r * std::cos(a)), cy + int(r * std::sin(a))});
    }
  }
  std::size_t i = 0;
  for (auto _ : state) c.Polygon(polys[i++ & 255]);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PatternPolygons)->Args({32, 8})->Args({200, 12})->Args({200, 512})->Args({500, 4096});

void BM_WideLines(benchmark::State& state) {
  const int width = int(state.range(0));
  Surface s(kW, kH);
  Canvas c(s);
  c.SetPen(Pen::Solid(0xC00000, width));
  std::mt19937 rng(3);
  std::vector<Box> lines;
  for (int k = 0; k < 1024; ++k) {
    const int x = int(rng() % kW), y = int(rng() % kH);
    lines.push_back(Box{x, y, x + int(rng() % 401) - 200, y + int(rng() % 401) - 200});
  }
  std::size_t i = 0;
  for (auto _ : state) {
    const Box& l = lines[i++ & 1023];
    c.MoveTo(l.l, l.t);
    c.LineTo(l.r, l.b);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WideLines)->Arg(3)->Arg(9)->Arg(25);

// Rubber bands and overlays: dotted lines by XOR, some reaching far beyond the surface.
void BM_DottedXorLines(benchmark::State& state) {
  Surface s(kW, kH);
  Canvas c(s);
  c.SetPen(Pen::Styled(PenStyle::Dot, 0xC0C0C0));
  c.SetMix(Mix::Xor);
  c.SetBackgroundMode(BackgroundMode::Transparent);
  std::mt19937 rng(4);
  std::vector<Box> lines;
  for (int k = 0; k < 1024; ++k) {
    lines.push_back(Box{int(rng() % 40000) - 20000, int(rng() % 40000) - 20000, int(rng() % kW), int(rng() % kH)});
  }
  std::size_t i = 0;
  for (auto _ : state) {
    const Box& l = lines[i++ & 1023];
    c.MoveTo(l.l, l.t);
    c.LineTo(l.r, l.b);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DottedXorLines);

void BM_MarkerBlits(benchmark::State& state) {
  Surface s(kW, kH);
  Canvas c(s);
  const MonoBitmap marker = MonoBitmap::FromWords(16, 7, {0x0100, 0x0280, 0x0440, 0x0820, 0x0440, 0x0280, 0x0100});
  int i = 0;
  for (auto _ : state) {
    const int x = (i * 37) % kW, y = (i * 91) % kH;
    ++i;
    c.SetBackgroundColor(0xFFFFFF);
    c.BitBlt(x - 7, y - 3, 16, 7, marker, 0, 0, rop::kDSna);
    c.SetBackgroundColor(0x00C000);
    c.BitBlt(x - 7, y - 3, 16, 7, marker, 0, 0, rop::kSrcPaint);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MarkerBlits);

// The map window paints its picture one SetPixel at a time (511 x 320 per paint).
void BM_SetPixel(benchmark::State& state) {
  Surface s(kW, kH);
  Canvas c(s);
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(c.SetPixel(i % 511, (i / 511) % 320, 0x00FF00));
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SetPixel);

void BM_TextLines(benchmark::State& state) {
  Surface s(kW, kH);
  Canvas c(s);
  c.SetFont(OemFixedFont());
  const std::string line = "  Two or more spaces at the beginning of a line start a text line. \xB3\xC4\xF0";
  int y = 0;
  for (auto _ : state) {
    c.TextOut(4, y, line);
    y = (y + 15) % (kH - 15);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TextLines);

// Bitmap print: a square drawing stretched onto a 300 dpi page height.
void BM_HalftonePage(benchmark::State& state) {
  Surface drawing(2000, 2000, 0xFFFFFF), page(3300, 2550, 0xFFFFFF);
  Canvas d(drawing);
  d.SetPen(Pen::Solid(0));
  for (int k = 0; k < 2000; k += 7) {
    d.MoveTo(k, 0);
    d.LineTo(2000 - k, 2000);
  }
  Canvas c(page);
  c.SetStretchMode(state.range(0) ? StretchMode::Halftone : StretchMode::BlackOnWhite);
  for (auto _ : state) c.StretchBlt(375, 0, 2550, 2550, drawing, 0, 0, 2000, 2000, rop::kSrcCopy);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HalftonePage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
