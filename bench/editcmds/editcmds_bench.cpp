// The editing commands whose work grows with the cell: deleting half of 256k boxes, deleting every
// other vertex of 512k, removing duplicates among 256k boxes, sorting 50k instances, a 30 x 30 step,
// smashing an instance of 100k boxes and reversing 512k vertices of paths. Run with no picture (the
// work alone) and with a full-screen raster picture (the per-object erase and redraw included).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "editor/commands/delete_commands.h"
#include "editor/commands/move_commands.h"
#include "editor/commands/cell_commands.h"
#include "editor/commands/sort_commands.h"
#include "editor/commands/command_table.h"
#include "editor/db/cell_files.h"
#include "editor/db/records.h"
#include "editor/ui/draw/resources.h"
#include "editor/ui/editor.h"
#include "platform/gfx/canvas.h"

namespace {

// An editor without a window; `drawn` gives it a full-screen picture to erase and redraw in.
struct Bench {
  explicit Bench(bool drawn) : picture(1920, 1080), canvas(picture) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    canvas.SetPalette(draw::EditorPalette());
    ed.proto.table = edcmd::CommandTable();
    if (drawn) {
      ed.canvas = &canvas;
      ed.draw.canvas = &canvas;
    }
    draw::SetDrawingArea(ed.view, draw::DrawingArea{0, 24, 1920 - 94, 1080 - 42});
    ed.view.width = 250000;
    ed.view.centreX = ed.view.centreY = 100000;
    draw::NormalizeView(ed.view, ed.db.settings);
    ed.db.current = {"TOP", 0, 1, 0, 0};
  }
  db::ObjectStore& S() { return ed.db.store; }
  // n boxes on a grid; those with k % every == 0 wholly selected.
  void Boxes(int n, int every) {
    for (int k = 1; k <= n; ++k) {
      const std::int32_t x = (k % 500) * 400, y = (k / 500) * 400;
      S().PutBoxRecord(k, {1 | (every && k % every == 0 ? db::kEdgesAll : 0), x, y, x + 300, y + 300});
    }
    S().boxCount = n;
  }
  // `paths` paths of `length` vertices; every other vertex selected when asked.
  void Paths(int paths, int length, bool everyOther) {
    int v = 0;
    for (int p = 1; p <= paths; ++p) {
      S().PutPathRecord(p, {1 | db::kPathSelectedBit, 40, v + 1});
      for (int i = 0; i < length; ++i) {
        ++v;
        const std::int32_t sel = !everyOther || i % 2 ? db::kVertexSelectedBit : 0;
        S().PutVertexRecord(v, {p | sel, (p % 100) * 2000 + i * 3, (p / 100) * 2000 + (i % 2) * 500, i + 1 < length ? v + 1 : 0});
      }
    }
    S().pathCount = paths;
    S().vertexCount = v;
  }
  edui::Editor ed;
  gfx::Surface picture;
  gfx::Canvas canvas;
};

void BM_DeleteHalfOf256kBoxes(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto b = std::make_unique<Bench>(state.range(0));
    b->Boxes(db::kBoxLimit, 2);
    state.ResumeTiming();
    edcmd::DeleteBoxes(b->ed, true, true);
    benchmark::DoNotOptimize(b->S().boxCount);
  }
}

void BM_DeleteEveryOtherOf512kVertices(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto b = std::make_unique<Bench>(state.range(0));
    b->Paths(1000, 500, true);
    state.ResumeTiming();
    edcmd::DeletePaths(b->ed, true, true, false);
    benchmark::DoNotOptimize(b->S().vertexCount);
  }
}

void BM_UDup256kBoxesTenthDuplicated(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto b = std::make_unique<Bench>(false);
    b->Boxes(db::kBoxLimit, 0);
    for (int k = 10; k <= db::kBoxLimit; k += 10) b->S().PutBoxRecord(k, b->S().GetBoxRecord(k - 1));
    state.ResumeTiming();
    edcmd::UDupCommand(b->ed);
    benchmark::DoNotOptimize(b->S().boxCount);
  }
}

void BM_Sort50kInstancesAnd256kBoxes(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto b = std::make_unique<Bench>(false);
    db::CellIndex& index = b->ed.db.index;
    index.count = 101;
    for (int r = 1; r <= 100; ++r) index.rows[std::size_t(r)] = {"C" + std::to_string(r), 1, 0, 0, 100, 100};
    index.rows[101] = {"TOP", 2, 0, 0, 200000, 200000};
    b->ed.db.current = {"TOP", 101, 2, 0, 0};
    const int n = int(state.range(0));
    for (int k = 1; k <= n; ++k) b->S().PutCellRefRecord(0, k, {1 + (k * 37) % 100, (k * 7919) % 200000, (k * 104729) % 200000});
    b->S().refCount[0] = n;
    b->Boxes(db::kBoxLimit, 0);
    for (int k = 1; k <= db::kBoxLimit; ++k) b->S().SetBox((k * 7919) % 200000, 1, k);
    state.ResumeTiming();
    edcmd::SortCommand(b->ed);
    benchmark::DoNotOptimize(b->S().boxCount);
  }
}

void BM_Step30By30(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto b = std::make_unique<Bench>(state.range(0));
    b->Boxes(1, 1);
    b->Paths(1, 5, false);
    state.ResumeTiming();
    edcmd::CopyFrom from;
    for (int r = 1; r <= 30; ++r) {
      for (int c = 1; c < 30; ++c) edcmd::CopySelection(b->ed, r % 2 ? 1000 : -1000, 0, from, &from);
      if (r < 30) edcmd::CopySelection(b->ed, 0, 1000, from, &from);
    }
    benchmark::DoNotOptimize(b->S().boxCount);
  }
}

// A cell of 100k boxes in its files, smashed from one instance.
void BM_SmashAnInstanceOf100kBoxes(benchmark::State& state) {
  char folder[] = "/tmp/mero-editcmds-XXXXXX";
  const std::string dir = mkdtemp(folder);
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  {
    auto b = std::make_unique<Bench>(false);
    b->Boxes(100000, 0);
    db::SaveObjectsByName(b->ed.db, "LEAF");
  }
  for (auto _ : state) {
    state.PauseTiming();
    auto b = std::make_unique<Bench>(false);
    db::CellIndex& index = b->ed.db.index;
    index.count = 2;
    index.rows[1] = {"LEAF", 1, 0, 0, 200000, 80000, 100000, 0, 0, 0};
    index.rows[2] = {"TOP", 2, 0, 0, 0, 0};
    b->ed.db.current = {"TOP", 2, 2, 0, 0};
    b->S().PutCellRefRecord(0, 1, {1 | (5 << db::kOrientationShift) | db::kRefSelectedBit, 1000, 1000});
    b->S().refCount[0] = 1;
    state.ResumeTiming();
    const int smashed = edcmd::SmashInstance(b->ed, 1);
    state.counters["smashed"] = smashed;
    state.counters["boxes"] = b->S().boxCount;
  }
  std::filesystem::current_path(cwd);
  std::filesystem::remove_all(dir);
}

void BM_ReverseAllOf512kVertices(benchmark::State& state) {
  auto b = std::make_unique<Bench>(state.range(0));
  b->Paths(1000, 500, false);
  for (auto _ : state) edcmd::PRevCommand(b->ed);
}

BENCHMARK(BM_DeleteHalfOf256kBoxes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DeleteEveryOtherOf512kVertices)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_UDup256kBoxesTenthDuplicated)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Sort50kInstancesAnd256kBoxes)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Step30By30)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SmashAnInstanceOf100kBoxes)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReverseAllOf512kVertices)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
