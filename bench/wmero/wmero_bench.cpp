// The editor's per-event work that must not depend on the size of the layout: a pointer move with the
// crosshair and a rubber rectangle, and the status update at the end of every command, which counts
// and highlights the selection (linear in the records) on a cell of 256k boxes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "editor/db/records.h"
#include "editor/ui/draw/resources.h"
#include "editor/ui/editor.h"
#include "editor/ui/overlays.h"
#include "editor/ui/protocol.h"
#include "editor/ui/status_bar.h"
#include "platform/gfx/canvas.h"

namespace {

// An editor without a window: the overlays and the highlight draw into a full-screen picture.
struct Bench {
  Bench() : picture(1920, 1080), canvas(picture) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    canvas.SetPalette(draw::EditorPalette());
    ed.canvas = &canvas;
    ed.draw.canvas = &canvas;
    draw::SetDrawingArea(ed.view, draw::DrawingArea{0, 24, 1920 - 94, 1080 - 42});
    ed.view.width = 200000;
    draw::NormalizeView(ed.view, ed.db.settings);
  }
  edui::Editor ed;
  gfx::Surface picture;
  gfx::Canvas canvas;
};

void BM_PointerMoveWithCrosshairAndBand(benchmark::State& state) {
  auto b = std::make_unique<Bench>();
  edui::Editor& ed = b->ed;
  ed.crosshairOn = 1;
  ed.proto.now.bandMode = edui::kBandRect;
  ed.proto.now.pointState = 2;
  ed.proto.now.slots[1] = {0, 0, 400, 300};
  int i = 0;
  for (auto _ : state) {
    ed.pointerX = 200 + (i * 37) % 1500;
    ed.pointerY = 100 + (i * 23) % 800;
    ++i;
    edui::UpdatePointerPoints(ed);
    edui::ShowPointerMark(ed, 1);
    edui::ShowRubberBand(ed, 1);
    edui::MoveRubberBand(ed);
    edui::MovePointerMark(ed);
  }
  edui::EraseOverlays(ed);
  state.SetItemsProcessed(state.iterations());
}

void BM_CommandEndOnALargeCell(benchmark::State& state) {
  auto b = std::make_unique<Bench>();
  edui::Editor& ed = b->ed;
  db::ObjectStore& st = ed.db.store;
  const int n = db::kBoxLimit;
  for (int k = 1; k <= n; ++k) {
    const std::int32_t x = (k % 500) * 400, y = (k / 500) * 400;
    // Every hundredth box selected, as after a window pick.
    st.PutBoxRecord(k, {1 | (k % 100 == 0 ? db::kEdgesAll : 0), x, y, x + 300, y + 300});
  }
  st.boxCount = n;
  for (auto _ : state) edui::ShowStatus(ed, edui::status::kRecount | edui::status::kHighlightOn);
  state.counters["boxes"] = n;
  state.counters["selected"] = ed.db.active.boxes;
}

BENCHMARK(BM_PointerMoveWithCrosshairAndBand);
BENCHMARK(BM_CommandEndOnALargeCell)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
