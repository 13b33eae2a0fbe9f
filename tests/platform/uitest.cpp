// The windowing layer's test program (not shipped): a small program with a main window, a menu,
// accelerators, a docked panel, dialogs of every kind, message boxes, a job with a progress dialog and
// self-closing pauses, drawing, printing, the clipboard and the file dialog, so that scripted runs can
// exercise every service the way a real program uses it. What happens is reported in the panel's
// field 300, which the log records.
#include <cstdio>
#include <string>

#include "platform/gfx/canvas.h"
#include "platform/ui/box.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/dialog.h"
#include "platform/ui/filedialog.h"
#include "platform/ui/keys.h"
#include "platform/ui/menu.h"
#include "platform/ui/print.h"
#include "platform/ui/program.h"
#include "platform/ui/window.h"

namespace {

using namespace ui;

enum Command {
  kHelp = 10,
  kAsk = 11,
  kForm = 12,
  kJob = 13,
  kDraw = 14,
  kPrint = 15,
  kClip = 16,
  kOpen = 17,
  kTimer = 18,
  kExit7 = 19,
  kScreen = 20,
  kDrawQuietly = 21,   // the picture through a canvas, nothing asked to show it
  kWriteQuietly = 22,  // pixels written straight into the picture, then the window invalidated
  kCompare = 23,       // the screen against the picture
};

constexpr int kField = 300;
constexpr int kPanelWidth = 90;

Wnd mainWindow = 0;
Wnd panel = 0;
int exitCode = 0;
int ticks = 0;

void Report(const std::string& text) { SetItemText(panel, kField, text); }

std::string Format(const char* format, int a, int b = 0) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, format, a, b);
  return buffer;
}

// A picture with fills, a pattern, lines and an XOR overlay, so screens and snapshots have detail.
void DrawPicture(gfx::Surface& s) {
  gfx::Canvas c(s);
  c.FillRect({0, 0, s.width, s.height}, gfx::Brush::Solid(gfx::Rgb(0, 0, 0)));
  c.FillRect({20, 20, 120, 80}, gfx::Brush::Solid(gfx::Rgb(0, 192, 0)));
  c.SetBackgroundColor(gfx::Rgb(255, 255, 0));
  c.SetPen(gfx::Pen::Null());
  c.SetBrush(gfx::Brush::Pattern({0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}));
  gfx::Point triangle[] = {{140, 20}, {260, 20}, {200, 120}};
  c.Polygon(triangle);
  c.SetPen(gfx::Pen::Styled(gfx::PenStyle::Dot, gfx::Rgb(192, 192, 192)));
  c.MoveTo(20, 140);
  c.LineTo(300, 140);
  c.SetMix(gfx::Mix::Xor);
  c.SetPen(gfx::Pen::Solid(gfx::Rgb(255, 0, 255)));
  c.SetBrush(gfx::Brush::Null());
  c.Rectangle(60, 60, 200, 160);
}

// Reports whether the display shows the window's picture.
void CompareScreen(Wnd w) {
  const gfx::Surface& s = *WindowSurface(w);
  gfx::Surface screen = GrabFromScreen(w);
  int differ = 0;
  int width = s.width - kPanelWidth;  // the panel covers the right edge
  if (screen.width != s.width || screen.height != s.height) {
    differ = -1;
  } else {
    for (int y = 0; y < s.height; ++y)
      for (int x = 0; x < width; ++x) differ += screen.Row(y)[x] != s.Row(y)[x];
  }
  Report(differ == 0 ? "screen matches" : Format("screen differs %d", differ));
}

Result PanelProc(Wnd, Message m, WParam wp, LParam) {
  if (m != msg::Command) return 0;
  switch (LowWord(wp)) {
    case 201:
      Post(mainWindow, msg::Command, MakeWParam(kDraw, 0));
      break;
    case 202:
      Post(mainWindow, msg::Command, MakeWParam(kAsk, 0));
      break;
    default:
      return 0;
  }
  Focus(mainWindow);
  return 1;
}

Result FormProc(Wnd d, Message m, WParam wp, LParam) {
  if (m == msg::InitDialog) {
    for (const char* h : {"h1", "h2"}) ListAdd(d, 106, h);
    for (const char* u : {"um", "mil"}) ListAdd(d, 107, u);
    for (const char* r : {"ALPHA", "BETA", "GAMMA"}) ListAdd(d, 108, r);
    SetItemText(d, 101, "start");
    FocusItem(d, 101);
    return 0;
  }
  if (m != msg::Command) return 0;
  switch (LowWord(wp)) {
    case kIdOk: {
      std::string summary = "form name=" + ItemText(d, 101, 63) + " fast=" + (IsItemChecked(d, 102) ? "1" : "0") +
                            " mode=" + (IsItemChecked(d, 104) ? "smash" : "flat") + " history=" + ItemText(d, 106) +
                            " unit=" + ItemText(d, 107) + " row=" + ListText(d, 108, ListSelection(d, 108)) +
                            " macro=" + ItemText(d, 109);
      Report(summary);
      FinishDialog(d, 1);
      return 1;
    }
    case kIdCancel:
      FinishDialog(d, 0);
      return 1;
    case 3: {  // a picker on top of the form
      int row = RunDialog("PICK", d, [](Wnd p, Message pm, WParam pwp, LParam) -> Result {
        if (pm == msg::InitDialog) {
          for (const char* r : {"NAND2", "NOR3"}) ListAdd(p, 1006, r);
          return 1;
        }
        if (pm == msg::Command && (HighWord(pwp) == notify::DblClk || LowWord(pwp) == kIdOk)) {
          FinishDialog(p, ListSelection(p, 1006) + 1);
          return 1;
        }
        if (pm == msg::Command && LowWord(pwp) == kIdCancel) FinishDialog(p, 0);
        return 0;
      });
      if (row > 0) SetItemText(d, 101, ListText(d, 108, row - 1) + "_" + std::to_string(row));
      return 1;
    }
    default:
      return 0;
  }
}

// Steps with a progress dialog and a self-closing pause between them; Cancel in either stops.
void RunJob() {
  bool abort = false;
  Wnd status = OpenDialog("STATUS", mainWindow, [&abort](Wnd d, Message m, WParam wp, LParam) -> Result {
    if (m == msg::Command && LowWord(wp) == kIdCancel) {
      abort = true;
      Destroy(d);
      return 1;
    }
    return 0;
  });
  SetProgressRange(status, 1040, 0, 100);
  int step = 1;
  for (; step <= 5 && !abort; ++step) {
    SetItemText(status, 500, "Step " + std::to_string(step));
    SetProgress(status, 1040, step * 20);
    RunDialog(
        "TICK", mainWindow,
        [&abort](Wnd d, Message m, WParam wp, LParam lp) -> Result {
          if (m == msg::InitDialog) StartTimer(d, 1, ScaledPause(int(lp)));
          if (m == msg::Timer) FinishDialog(d, 1);
          if ((m == msg::Command && LowWord(wp) == kIdCancel) || m == msg::Close) {
            abort = true;
            FinishDialog(d, 0);
          }
          return 1;
        },
        100);
    if (IsKeyDown(key::Escape)) abort = true;
  }
  Destroy(status);
  ShowBox(mainWindow, abort ? "Aborted ... Files may be Incomplete" : "Completed 5 Steps", "UITEST", BoxButtons::Ok);
}

void Print() {
  PrinterChoice choice;
  choice.dpi = 100;
  if (!ChoosePrinter(mainWindow, choice)) {
    Report("print cancelled");
    return;
  }
  PrintJob job(choice);
  bool ok = job.Start("UITEST Pages");
  for (int page = 0; ok && page < 2; ++page) {
    gfx::Surface* s = job.StartPage();
    ok = s != nullptr;
    if (ok) {
      gfx::Canvas c(*s);
      c.FillRect({100, 100, 400, 300}, gfx::Brush::Solid(gfx::Rgb(0, 0, 0)));
      ok = job.EndPage();
    }
  }
  ok = ok && job.End();
  ShowBox(mainWindow, ok ? Format("Printed %d Pages", job.PageCount()) : "Print Failed", "UITEST", BoxButtons::Ok);
}

Result MainProc(Wnd w, Message m, WParam wp, LParam lp) {
  switch (m) {
    case msg::Create: {
      mainWindow = w;
      panel = OpenPanel("PANEL", w, PanelProc);
      Rect client = ClientRect(w);
      Move(panel, client.right - kPanelWidth, 0, kPanelWidth, 120);
      return 0;
    }
    case msg::Size:
      if (wp != size::Minimized) Move(panel, LParamX(lp) - kPanelWidth, 0, kPanelWidth, 120);
      return 0;
    case msg::Paint: {
      PaintInfo p = BeginPaint(w);
      (void)p;
      EndPaint(w);
      return 0;
    }
    case msg::LButtonDown:
    case msg::LButtonDblClk:
    case msg::RButtonDown: {
      int x = LParamX(lp), y = LParamY(lp);
      gfx::Canvas c(*WindowSurface(w));
      c.FillRect({x - 2, y - 2, x + 3, y + 3},
                 gfx::Brush::Solid(m == msg::RButtonDown ? gfx::Rgb(255, 0, 0) : gfx::Rgb(255, 255, 255)));
      const char* what = m == msg::LButtonDown     ? "click %d %d"
                         : m == msg::LButtonDblClk ? "double %d %d"
                                                   : "right %d %d";
      Report(Format(what, x, y));
      return 0;
    }
    case msg::MouseMove:
      Report(Format("move %d %d", LParamX(lp), LParamY(lp)));
      return 0;
    case msg::Char:
      Report(Format("char %d", int(wp)));
      return 0;
    case msg::KeyDown:
      if (int(wp) >= key::F1 && int(wp) <= key::F12) Report(Format("key F%d", int(wp) - key::F1 + 1));
      return 0;
    case msg::Timer:
      if (++ticks == 3) {
        StopTimer(w, 5);
        Report("timer done");
      }
      return 0;
    case msg::User + 5:
      Report(Format("point %d %d", int(wp), int(lp)));
      return 0;
    case msg::Command:
      switch (LowWord(wp)) {
        case kHelp:
          ShowBox(w, "Help for the test program\nsecond line", "UITEST", BoxButtons::Ok);
          return 0;
        case kAsk:
          SetTitle(w, Format("UITEST answer %d", ShowBox(w, "Continue?", "UITEST", BoxButtons::YesNoCancel)));
          return 0;
        case kForm:
          if (RunDialog("FORM", w, FormProc) == 0) Report("form cancelled");
          return 0;
        case kJob:
          RunJob();
          return 0;
        case kDraw:
          DrawPicture(*WindowSurface(w));
          ShowNow(w);
          Report("drawn");
          return 0;
        case kPrint:
          Print();
          return 0;
        case kClip: {
          CopyTextToClipboard("clip text");
          std::string text = ClipboardText();
          CopyImageToClipboard(*WindowSurface(w));  // replaces the text, as every copy does
          gfx::Surface back = ClipboardImage();
          Report("clipboard " + text + Format(" %dx%d", back.width, back.height));
          return 0;
        }
        case kOpen: {
          OpenFileOptions o;
          o.owner = w;
          o.title = "Open Map File";
          o.filters = {{"PCX Files", "*.pcx"}};
          o.defaultExtension = "pcx";
          std::string path;
          Report(ChooseFileToOpen(o, path) ? "opened " + path : "open cancelled");
          return 0;
        }
        case kTimer:
          ticks = 0;
          StartTimer(w, 5, 10);
          return 0;
        case kExit7:
          exitCode = 7;
          Destroy(w);
          return 0;
        case kScreen:  // what a real display shows must be the picture, pixel for pixel
          DrawPicture(*WindowSurface(w));
          ShowNow(w);
          CompareScreen(w);
          return 0;
        case kDrawQuietly:
          DrawPicture(*WindowSurface(w));
          return 0;
        case kWriteQuietly: {
          gfx::Surface& s = *WindowSurface(w);
          for (int y = 30; y < 90; ++y)
            for (int x = 300; x < 400; ++x) s.Row(y)[x] = gfx::Rgb(x & 255, y, 128);
          Invalidate(w, nullptr, false);
          return 0;
        }
        case kCompare:
          CompareScreen(w);
          return 0;
        default:
          return 0;
      }
    case msg::Destroy:
      PostQuit(exitCode);
      return 0;
    default:
      return DefaultProc(w, m, wp, lp);
  }
}

}  // namespace

int main(int argc, char** argv) {
  ui::InitProgram(argc, argv, "test");
  WindowClass c;
  c.name = "UITEST";
  c.proc = MainProc;
  c.style = cls::Redraw | cls::DoubleClicks;
  c.background = 0x000000;
  c.menu = {{kHelp, "&Help"}, {kAsk, "&Ask"},     {kForm, "&Form"}, {kJob, "&Job"},  {0, ""},
            {kDraw, "&Draw"}, {kPrint, "&Print"}, {kClip, "C&lip"}, {kOpen, "&Open"}};
  DefineClass(c);
  AcceleratorTable accelerators;
  accelerators.entries = {{'H', mod::Alt, kHelp}, {key::F(2), 0, kDraw}, {'C', mod::Control | mod::Alt, kClip}};
  Wnd w = MakeWindow("UITEST", "UITEST 6.0", style::Caption | style::SysMenu | style::MinimizeBox, 0, 0, 640,
                     480 + SystemMetric(Metric::CaptionHeight), 0);
  if (!w) return 1;
  Show(w, show::Normal);
  Focus(w);
  return RunMessageLoop(w, &accelerators);
}
