#include "editor/ui/hardcopy.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>

#include "editor/db/helpers.h"
#include "editor/ui/draw/primitives.h"
#include "editor/ui/hardcopy_dialogs.h"
#include "editor/ui/print_setup.h"
#include "editor/ui/protocol.h"
#include "editor/ui/shell.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/print.h"

namespace edui {

namespace {

constexpr const char* kDocument = "MERO Hardcopy";
constexpr const char* kPrintFailed = "Print Failed";
constexpr const char* kStretchTooSmall = "Stretch Buffer Too Small";
constexpr const char* kClipboardTooLarge = "Clipboard Bitmap Too Large";
constexpr int kDeviceLimit = 16000;

double WindowWidthInUserUnits(const draw::ViewState& v, double unitsPerUser) {
  const double perUser = unitsPerUser > 0 ? unitsPerUser : 1;
  const double width = double(v.right) - double(v.left);
  return (width > 0 ? width : v.width) / perUser;
}

// A usable ratio of two numbers: a zero or broken divisor gives 1, so no job scales by infinity.
double SafeRatio(double a, double b) {
  const double r = a / b;
  return std::isfinite(r) && r > 0 ? r : 1;
}

// Points the engine at a target for one drawing, and back at the screen afterwards.
class TargetScope {
 public:
  TargetScope(Editor& ed, gfx::Canvas& canvas, draw::Target target, const draw::PageTransform& page)
      : e_(ed.draw), canvas_(e_.canvas), page_(e_.page), hardcopy_(e_.hardcopy), grid_(e_.gridDrawnIndex) {
    e_.canvas = &canvas;
    e_.target = target;
    e_.page = page;
    e_.hardcopy = draw::HardcopyOptions{ed.hardcopy.blackWhite, ed.hardcopy.dark};
  }
  ~TargetScope() {
    e_.canvas = canvas_;
    e_.target = draw::Target::Screen;
    e_.page = page_;
    e_.hardcopy = hardcopy_;
    e_.gridDrawnIndex = grid_;
  }
  TargetScope(const TargetScope&) = delete;
  TargetScope& operator=(const TargetScope&) = delete;

 private:
  draw::Engine& e_;
  gfx::Canvas* canvas_;
  draw::PageTransform page_;
  draw::HardcopyOptions hardcopy_;
  int grid_;
};

int Failed(Editor& ed, const char* text) {
  ShowTextBox(ed, "", text);
  return 0;
}

}  // namespace

void DrawPage(Editor& ed, gfx::Surface& target, draw::Target form, const draw::PageTransform& t) {
  gfx::Canvas canvas(target);
  canvas.SetPalette(draw::EditorPalette());
  CullToTarget(ed.view, t, target.width, target.height);
  TargetScope scope(ed, canvas, form, t);
  draw::Redraw(ed.draw, 0);
  if (ed.view.dotShown) draw::DrawGrid(ed.draw, ed.view.dotGrid);
}

double BitmapFactor(int sizeClass) {
  static constexpr double kFactors[4] = {2.0, 1.6, 1.25, 1.0};
  return kFactors[std::clamp(sizeClass, 0, 3)];
}

double UsablePaperScale(double paperScale) { return paperScale > 0 ? paperScale : kDefaultPaperScale; }

double PrinterFitScale(const gfx::DeviceCaps& caps, const draw::ViewState& v, double unitsPerUser,
                       double paperScale) {
  const double windowInches = WindowWidthInUserUnits(v, unitsPerUser) / UsablePaperScale(paperScale);
  return SafeRatio(caps.vertSizeMm * kInchesPerMm, windowInches);
}

double DisplayFitScale(const gfx::DeviceCaps& caps, const draw::ViewState& v, double unitsPerUser,
                       double paperScale, double bitmapFactor) {
  const double bitmapInches = v.area.Width() * bitmapFactor * 0.5 / (caps.logPixelsX > 0 ? caps.logPixelsX : 96);
  return SafeRatio(bitmapInches * UsablePaperScale(paperScale), WindowWidthInUserUnits(v, unitsPerUser));
}

draw::PageTransform PageTransformDirect(const draw::ViewState& v, double k, const gfx::DeviceCaps& caps, double shiftX,
                                        double shiftY) {
  draw::PageTransform t;
  t.worldLeft = v.intCentreX;
  t.worldTop = v.intCentreY;
  t.scaleX = t.scaleY = k * v.scaleX;
  t.originX = caps.horzRes / 2 - int(std::trunc(caps.logPixelsX * shiftX));
  t.originY = caps.vertRes / 2 - int(std::trunc(caps.logPixelsX * shiftY));
  t.dpi = caps.logPixelsX;
  return t;
}

draw::PageTransform PageTransformBitmap(const draw::ViewState& v, double k, double bitmapFactor,
                                        const gfx::DeviceCaps& caps, double shiftX, double shiftY) {
  draw::PageTransform t;
  t.worldLeft = v.intCentreX;
  t.worldTop = v.intCentreY;
  t.scaleX = k * v.scaleX;
  t.scaleY = k * v.scaleY;
  const double side = v.area.Width() * bitmapFactor;
  const double m = caps.vertRes > 0 ? side / caps.vertRes * caps.logPixelsX : 0;
  const double h = std::trunc(side * 0.5);
  t.originX = int(std::trunc(h - m * shiftX));
  t.originY = int(std::trunc(h - m * shiftY));
  t.dpi = caps.logPixelsX;
  return t;
}

draw::PageTransform PageTransformClipboard(const draw::ViewState& v, double k) {
  draw::PageTransform t;
  t.worldLeft = v.intCentreX;
  t.worldTop = v.intCentreY;
  t.scaleX = k * v.scaleX;
  t.scaleY = k * v.scaleY;
  t.originX = int(std::trunc(v.area.Width() * k * 0.5));
  t.originY = int(std::trunc(v.area.Height() * k * 0.5));
  t.dpi = 96;
  return t;
}

void CullToTarget(draw::ViewState& v, const draw::PageTransform& t, int width, int height) {
  if (!(t.scaleX > 0) || !(t.scaleY > 0)) return;
  // One pixel more all round, so objects touching the edge still reach it.
  const double left = t.worldLeft + (-1.0 - t.originX) / t.scaleX;
  const double right = t.worldLeft + (width + 1.0 - t.originX) / t.scaleX;
  const double top = t.worldTop + (t.originY + 1.0) / t.scaleY;
  const double bottom = t.worldTop - (height + 1.0 - t.originY) / t.scaleY;
  v.left = db::RoundToCoordinate(std::floor(left));
  v.right = db::RoundToCoordinate(std::ceil(right));
  v.top = db::RoundToCoordinate(std::ceil(top));
  v.bottom = db::RoundToCoordinate(std::floor(bottom));
}

bool DescribeTarget(HardcopyState& h, bool clipboard) {
  if (clipboard) {
    h.caps = DisplayDeviceCaps();
    h.device = "none";
    h.port = "none";
    h.described = true;
  } else if (h.printer.chosen) {
    h.caps = PrinterDeviceCaps(h.printer.choice);
    h.device = h.printer.choice.device.empty() ? "none" : h.printer.choice.device;
    h.port = h.printer.choice.port.empty() ? "LPT1:" : h.printer.choice.port;
    h.described = true;
  } else {
    h.described = false;
  }
  return h.described;
}

std::string PrinterInformation(const HardcopyState& h, bool clipboard) {
  if (!h.described) return "Information Required ... do Setup";
  const gfx::DeviceCaps& c = h.caps;
  char text[512];
  int n = std::snprintf(text, sizeof text, "%s\nPort: %s  Dpi: %d", h.device.c_str(), h.port.c_str(), c.logPixelsX);
  std::string info(text, std::size_t(std::clamp(n, 0, int(sizeof text) - 1)));
  if (clipboard)
    std::snprintf(text, sizeof text, "\nPrint Area: %d x %d pixels", c.horzRes, c.vertRes);
  else
    std::snprintf(text, sizeof text, "\nPrint Area: %.2f x %.2f inches", c.horzSizeMm * kInchesPerMm,
                  c.vertSizeMm * kInchesPerMm);
  info += text;
  const int bits = c.bitsPixel * c.planes;
  const double colours = std::ldexp(1.0, std::clamp(bits, 0, 32));
  if (bits > 8)
    std::snprintf(text, sizeof text, "\nPalette Size: 8+  Colors: %g", colours);
  else
    std::snprintf(text, sizeof text, "\nPalette Size: %d  Colors: %g", bits, colours);
  return info + text;
}

double FitScale(const Editor& ed, bool clipboard, double paperScale) {
  const HardcopyState& h = ed.hardcopy;
  const double scale = ed.db.settings.scale;
  return clipboard ? DisplayFitScale(h.caps, ed.view, scale, paperScale, h.bitmapFactor)
                   : PrinterFitScale(h.caps, ed.view, scale, paperScale);
}

int PrintDirect(Editor& ed) {
  HardcopyState& h = ed.hardcopy;
  ui::PrintJob job(h.printer.choice);
  if (!job.Start(kDocument)) return Failed(ed, kPrintFailed);
  gfx::Surface* page = job.StartPage();
  if (!page) {
    job.Abort();
    return Failed(ed, kPrintFailed);
  }
  const gfx::DeviceCaps caps = PageDeviceCaps(job.Caps());
  const db::Settings& s = ed.db.settings;
  DrawPage(ed, *page, draw::Target::DirectPrint,
           PageTransformDirect(ed.view, h.printFactor, caps, s.printShiftX, s.printShiftY));
  if (!job.EndPage()) {
    job.Abort();
    return Failed(ed, kPrintFailed);
  }
  return job.End() ? 1 : Failed(ed, kPrintFailed);
}

int PrintBitmap(Editor& ed) {
  HardcopyState& h = ed.hardcopy;
  const int side = int(std::trunc(ed.view.area.Width() * h.bitmapFactor));
  if (side < 1) return 0;
  gfx::Surface bitmap;
  try {
    bitmap = gfx::Surface(side, side, 0xFFFFFF);
  } catch (const std::bad_alloc&) {
    return Failed(ed, kStretchTooSmall);
  }
  ui::PrintJob job(h.printer.choice);
  const gfx::DeviceCaps caps = PageDeviceCaps(job.Caps());
  const db::Settings& s = ed.db.settings;
  DrawPage(ed, bitmap, draw::Target::BitmapPrint,
           PageTransformBitmap(ed.view, h.printFactor, h.bitmapFactor, caps, s.printShiftX, s.printShiftY));
  if (!job.Start(kDocument)) return Failed(ed, kPrintFailed);
  // A square of the page's shorter side, in the middle of the page.
  const int square = std::min(caps.horzRes, caps.vertRes);
  const gfx::Rect area{(caps.horzRes - square) / 2, (caps.vertRes - square) / 2, (caps.horzRes + square) / 2,
                       (caps.vertRes + square) / 2};
  const gfx::StretchMode mode = h.blackWhite ? gfx::StretchMode::BlackOnWhite : gfx::StretchMode::Halftone;
  if (!StretchOntoPage(job, bitmap, area, mode)) {
    job.Abort();
    return Failed(ed, kPrintFailed);
  }
  return job.End() ? 1 : Failed(ed, kPrintFailed);
}

int CopyToClipboard(Editor& ed) {
  const double k = ed.hardcopy.printFactor;
  const double width = std::trunc(ed.view.area.Width() * k);
  const double height = std::trunc(ed.view.area.Height() * k);
  if (!(width >= 1) || !(height >= 1)) return 0;
  if (width > kDeviceLimit || height > kDeviceLimit || width * height > double(kClipboardPixels))
    return Failed(ed, kClipboardTooLarge);
  gfx::Surface bitmap;
  try {
    bitmap = gfx::Surface(int(width), int(height), ed.hardcopy.dark ? 0x000000 : 0xFFFFFF);
  } catch (const std::bad_alloc&) {
    return Failed(ed, kClipboardTooLarge);
  }
  DrawPage(ed, bitmap, draw::Target::Clipboard, PageTransformClipboard(ed.view, k));
  return ui::CopyImageToClipboard(bitmap) ? 1 : 0;
}

void PrintCommand(Editor& ed) {
  HardcopyState& h = ed.hardcopy;
  RequestRedraw(ed, 1);
  h.bitmapFactor = BitmapFactor(ed.panels.sizeClass);
  ed.view.printSetup = true;
  if (RunHcpyDialog(ed) == 1) {
    draw::NormalizeView(ed.view, ed.db.settings);
    const double width = ed.view.area.Width() > 0 ? ed.view.area.Width() : 1;
    double r = SafeRatio(h.hardcopyScale, h.fitScale);
    if (h.direct) {
      h.printFactor = r * h.caps.vertRes / width;
      PrintDirect(ed);
    } else {
      r *= h.bitmapFactor;
      if (h.clipboard) {
        h.printFactor = r * 0.5;
        CopyToClipboard(ed);
      } else {
        h.printFactor = r;
        PrintBitmap(ed);
      }
    }
  }
  ed.view.printSetup = false;
  // The culling window was the target's; the screen's comes back.
  draw::NormalizeView(ed.view, ed.db.settings);
  RequestRedraw(ed, 2);
  ShowStatus(ed, ed.proto.now.statusMask);
}

}  // namespace edui
