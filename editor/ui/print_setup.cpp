#include "editor/ui/print_setup.h"

#include "platform/ui/window.h"

namespace edui {

ui::PrinterChoice FillPrintDlg(const PrinterSetup& setup) { return setup.choice; }

bool RunPrinterSetup(ui::Wnd owner, PrinterSetup& setup) {
  ui::PrinterChoice choice = FillPrintDlg(setup);
  if (!ui::ChoosePrinter(owner, choice)) return false;
  setup.choice = choice;
  setup.chosen = true;
  return true;
}

gfx::DeviceCaps PageDeviceCaps(const ui::PageCaps& page) {
  gfx::DeviceCaps caps;
  caps.logPixelsX = page.dpiX;
  caps.logPixelsY = page.dpiY;
  caps.horzRes = page.horzRes;
  caps.vertRes = page.vertRes;
  caps.horzSizeMm = page.horzSizeMm;
  caps.vertSizeMm = page.vertSizeMm;
  return caps;
}

gfx::DeviceCaps PrinterDeviceCaps(const ui::PrinterChoice& choice) { return PageDeviceCaps(ui::PrinterCaps(choice)); }

gfx::DeviceCaps DisplayDeviceCaps() {
  gfx::DeviceCaps caps;
  caps.horzRes = ui::SystemMetric(ui::Metric::ScreenWidth);
  caps.vertRes = ui::SystemMetric(ui::Metric::ScreenHeight);
  caps.horzSizeMm = caps.horzRes * 254 / (10 * caps.logPixelsX);
  caps.vertSizeMm = caps.vertRes * 254 / (10 * caps.logPixelsY);
  return caps;
}

int StretchOntoPage(ui::PrintJob& job, const gfx::Surface& picture, const gfx::Rect& area, gfx::StretchMode mode) {
  gfx::Surface* page = job.StartPage();
  if (!page) return 0;
  gfx::Canvas paper(*page);
  paper.SetStretchMode(mode);
  paper.StretchBlt(area.left, area.top, area.Width(), area.Height(), picture, 0, 0, picture.width, picture.height,
                   gfx::rop::kSrcCopy);
  return job.EndPage() ? 1 : 0;
}

}  // namespace edui
