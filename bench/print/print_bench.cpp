// Hardcopy of the editor's view: the redraw walk onto a direct page at 300 and 600 dpi, the square
// bitmap form and the clipboard copy, then whole jobs written as PDF files (time and size), on a
// hierarchy of 10,100 instances and a flat cell of 256,000 boxes fitted to a 1920 x 1080 screen.
// Last, the help viewer's manual of the editor's help file, counted and printed to PDF.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "editor/db/extent.h"
#include "editor/ui/draw/tests/fixture.h"
#include "editor/ui/editor.h"
#include "editor/ui/hardcopy.h"
#include "helpview/manual.h"
#include "platform/ui/print.h"
#include "platform/tell/recorder.h"

namespace {

using drawtest::Cell;

double Ms(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

template <class F>
double Median(int runs, F&& f) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    times.push_back(Ms(std::chrono::steady_clock::now() - t0));
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void MakeCells(drawtest::Folder& f) {
  Cell leaf{"LEAF", 1, {}, {}, {}, {}};
  for (int i = 0; i < 20; ++i) {
    const std::int32_t x = 160 * (i % 5), y = 150 * (i / 5);
    leaf.boxes.push_back({1 + i % 8, x, y, x + 300 + 10 * (i % 3), y + 100});
  }
  for (int i = 0; i < 3; ++i)
    leaf.paths.push_back({9 + i, 30 - 60 * (i % 2), {{0, 650 + 40 * i}, {300, 650 + 40 * i}, {300 + 80 * i, 780}}});
  f.Add(leaf);
  Cell mid{"MID", 2, {{13, -100, -100, 10000, 0}}, {}, {}, {}};
  for (int i = 0; i < 100; ++i) mid.refs.push_back({"LEAF", i % 8, 1000 * (i % 10) + 400, 1000 * (i / 10) + 400});
  f.Add(mid);
  Cell top{"TOP", 3, {}, {}, {}, {}};
  for (int j = 0; j < 100; ++j) top.refs.push_back({"MID", (j * 3) % 8, 12000 * (j % 10) + 6000, 12000 * (j / 10) + 6000});
  f.Add(top);
  Cell flat{"FLAT", 1, {}, {}, {}, {}};
  for (int i = 0; i < 256000; ++i) {
    const std::int32_t x = 100 * (i % 512), y = 100 * (i / 512);
    flat.boxes.push_back({1 + (i * 7) % 64, x, y, x + 150 + (i % 3) * 10, y + 60});
  }
  f.Add(flat);
}

// The editor with `name` open and fitted to a full-HD screen's drawing rectangle.
void Open(edui::Editor& ed, const drawtest::Folder& f, const std::string& name) {
  db::Database& d = ed.db;
  d.index = f.d.index;
  d.settings = f.d.settings;
  db::FindCell(d.index, name);
  const int row = d.index.foundRow;
  d.store.FreeObjectStore();
  d.load = db::LoadState{};
  db::LoadObjectsOfCell(d, row);
  if (d.index.rows[std::size_t(row)].Rank() > 1) db::LoadRefsOfCell(d, row, 0);
  else d.store.refCount[0] = 0;
  d.current.name = name;
  d.current.row = row;
  d.current.rank = d.index.rows[std::size_t(row)].Rank();
  draw::SetDrawingArea(ed.view, draw::DrawingArea{0, 24, 1920 - 94, 1080 - 42});
  const db::CellIndexEntry& e = d.index.rows[std::size_t(row)];
  const db::ViewFit fit = db::FitViewToExtent(db::Extent{e.left, e.bottom, e.right, e.top}, ed.view.ratio);
  ed.view.width = fit.width;
  ed.view.centreX = fit.centreX;
  ed.view.centreY = fit.centreY;
  ed.view.printSetup = true;
  draw::NormalizeView(ed.view, d.settings);
}

void Measure(const char* title, const drawtest::Folder& f, const std::string& cell, const std::string& work) {
  auto ed = std::make_unique<edui::Editor>();
  Open(*ed, f, cell);
  edui::HardcopyState& h = ed->hardcopy;
  std::printf("%s\n", title);
  for (int dpi : {300, 600}) {
    ui::PrinterChoice choice;
    choice.device = "PDF";
    choice.port = work + "/direct" + std::to_string(dpi) + ".pdf";
    choice.dpi = dpi;
    const gfx::DeviceCaps caps = edui::PrinterDeviceCaps(choice);
    h.printer = edui::PrinterSetup{choice, true};
    // the view fills the page height
    const double k = double(caps.vertRes) / ed->view.area.Width();
    gfx::Surface page(caps.horzRes, caps.vertRes, 0xFFFFFF);
    const double draw = Median(3, [&] {
      std::fill(page.pixels.begin(), page.pixels.end(), 0xFFFFFFu);
      edui::DrawPage(*ed, page, draw::Target::DirectPrint, edui::PageTransformDirect(ed->view, k, caps, 0, 0));
    });
    h.printFactor = k;
    const double job = Median(1, [&] { edui::PrintDirect(*ed); });
    std::printf("  direct %3d dpi: page %d x %d (%.0f MB), drawn in %7.1f ms; PDF job %7.1f ms, %8.1f kB\n", dpi,
                caps.horzRes, caps.vertRes, double(page.pixels.size()) * 4 / 1e6, draw, job,
                double(std::filesystem::file_size(choice.port)) / 1024);
  }
  for (int sizeClass : {3, 0}) {
    h.bitmapFactor = edui::BitmapFactor(sizeClass);
    h.printFactor = h.bitmapFactor;
    h.printer.choice.port = work + "/bitmap.pdf";
    h.printer.choice.dpi = 300;
    const int side = int(ed->view.area.Width() * h.bitmapFactor);
    const double job = Median(1, [&] { edui::PrintBitmap(*ed); });
    std::printf("  bitmap factor %.2f: %d x %d bitmap stretched onto 300 dpi, PDF job %7.1f ms, %8.1f kB\n",
                h.bitmapFactor, side, side, job, double(std::filesystem::file_size(h.printer.choice.port)) / 1024);
  }
  h.bitmapFactor = 1.25;
  h.printFactor = 0.625;
  gfx::Surface copy(int(ed->view.area.Width() * 0.625), int(ed->view.area.Height() * 0.625));
  const double clip = Median(3, [&] {
    std::fill(copy.pixels.begin(), copy.pixels.end(), 0xFFFFFFu);
    edui::DrawPage(*ed, copy, draw::Target::Clipboard, edui::PageTransformClipboard(ed->view, 0.625));
  });
  std::printf("  clipboard copy %d x %d drawn in %.1f ms\n", copy.width, copy.height, clip);
}

// The editor's help file as a manual: pages counted, then printed to a PDF file at 300 dpi.
void Manual(const std::string& work) {
  const std::string file = std::string(MERO_SOURCE_DIR) + "/resources/help/MERO60.HPV";
  os::TextReader in;
  hpv::TopicIndex index;
  tell::Recorder talk;
  if (hpv::OpenHelpFile(in, file) != hpv::OpenResult::Opened || !hpv::BuildTopicIndex(in, index, talk)) return;
  ui::PrinterChoice choice;
  choice.device = "PDF";
  choice.port = work + "/manual.pdf";
  const hpv::PrintArea area = hpv::ComputePrintArea(edui::PrinterDeviceCaps(choice), hpv::Margins{});
  int pages = 0;
  const double count = Median(3, [&] {
    hpv::PageComposer counter(area, nullptr, true, 0);
    hpv::ComposeManual(counter, in, index, talk, "MERO60.HPV", "now");
    pages = counter.page() + 1;
  });
  class Sink : public hpv::PageSink {
   public:
    Sink(ui::PrintJob& j, const gfx::Rect& r) : job(j), paper(r) {}
    bool Emit(const gfx::Surface& page) override {
      return edui::StretchOntoPage(job, page, paper, gfx::StretchMode::BlackOnWhite) == 1;
    }
    ui::PrintJob& job;
    gfx::Rect paper;
  };
  const double print = Median(1, [&] {
    ui::PrintJob job(choice);
    job.Start("MERO Manual");
    Sink sink(job, area.paper);
    hpv::PageComposer pagesOut(area, &sink, true, 0);
    hpv::ComposeManual(pagesOut, in, index, talk, "MERO60.HPV", "now");
    pagesOut.End();
    job.End();
  });
  std::printf("help manual of MERO60.HPV: %d pages counted in %.2f ms, printed to PDF in %.0f ms (%.0f kB)\n", pages,
              count, print, double(std::filesystem::file_size(choice.port)) / 1024);
}

}  // namespace

int main() {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  drawtest::Folder f;
  for (int l = 0; l < 64; ++l) {
    f.d.settings.layerFills[std::size_t(l)] = 1 + l % 12;
    f.d.settings.layerPalette[std::size_t(l)] = 9 + l % 12;
  }
  MakeCells(f);
  const std::string work = f.root + "/Work";
  Measure("hierarchy: 10,100 instances in 3 levels, A4 landscape", f, "TOP", work);
  Measure("flat: 256,000 boxes on 64 layers, A4 landscape", f, "FLAT", work);
  Manual(work);
  return 0;
}
