// The windowing layer's hot paths: the key poll a redraw makes once per object, a message sent or
// posted and dispatched, and a progress line set in the middle of a job (shown at once).
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "platform/ui/dialog.h"
#include "platform/ui/keys.h"
#include "platform/ui/program.h"
#include "platform/ui/window.h"

namespace {

using namespace ui;

Wnd MakeMain() {
  ResetForTests();
  WindowClass c;
  c.name = "BENCH";
  c.proc = [](Wnd w, Message m, WParam wp, LParam lp) -> Result {
    return m >= msg::User ? Result(wp + 1) : DefaultProc(w, m, wp, lp);
  };
  DefineClass(c);
  Wnd w = MakeWindow("BENCH", "Bench", style::Caption, 0, 0, 1280, 1024, 0);
  Show(w, show::Normal);
  return w;
}

// A poll reads the key table; now and then it lets the device's input in and shows the picture.
void BM_KeyPoll(benchmark::State& state) {
  MakeMain();
  int down = 0;
  for (auto _ : state) {
    down += IsKeyDown(key::Escape) ? 1 : 0;
    benchmark::DoNotOptimize(down);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_SendMessage(benchmark::State& state) {
  Wnd w = MakeMain();
  WParam v = 0;
  for (auto _ : state) v = WParam(Send(w, msg::User + 1, v));
  benchmark::DoNotOptimize(v);
  state.SetItemsProcessed(state.iterations());
}

void BM_PostAndDispatch(benchmark::State& state) {
  Wnd w = MakeMain();
  Msg m;
  for (auto _ : state) {
    Post(w, msg::User + 2, 1, 0);
    PeekMessage(m);
    Dispatch(m);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_SetProgressLine(benchmark::State& state) {
  MakeMain();
  Wnd d = OpenDialog("STATUS", MainWindow(), [](Wnd, Message, WParam, LParam) -> Result { return 0; });
  int n = 0;
  for (auto _ : state) SetItemText(d, 500, (n++ & 1) ? "Step 1" : "Step 2");
  state.SetItemsProcessed(state.iterations());
}

// A self-closing pause as a scripted run makes one between cells: template, loop, timer, gone.
void BM_SelfClosingPause(benchmark::State& state) {
  MakeMain();
  for (auto _ : state) {
    RunDialog("TICK", MainWindow(), [](Wnd d, Message m, WParam, LParam) -> Result {
      if (m == msg::InitDialog) StartTimer(d, 1, 0);
      if (m == msg::Timer) FinishDialog(d, 1);
      return 0;
    });
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_KeyPoll);
BENCHMARK(BM_SendMessage);
BENCHMARK(BM_PostAndDispatch);
BENCHMARK(BM_SetProgressLine);
BENCHMARK(BM_SelfClosingPause);

}  // namespace

int main(int argc, char** argv) {
  // Without a display the benchmark runs headless.
  if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
