// The printer set-up the editor and the help viewer share: the print dialog started from the last
// choice, the capabilities of the chosen page, and a picture stretched onto a page of a job.
#pragma once
#include "platform/gfx/canvas.h"
#include "platform/ui/print.h"
#include "platform/ui/types.h"

namespace edui {

struct PrinterSetup {
  ui::PrinterChoice choice;  // device "none" and port "LPT1:" until one is chosen
  bool chosen = false;
};

// What the print dialog starts from: the last choice, one copy.
ui::PrinterChoice FillPrintDlg(const PrinterSetup& setup);
// Runs the print dialog; true when a printer was chosen (setup then holds it).
bool RunPrinterSetup(ui::Wnd owner, PrinterSetup& setup);

// LOGPIXELSX, BITSPIXEL, PLANES, NUMCOLORS, HORZSIZE, VERTSIZE, HORZRES and VERTRES of the page.
gfx::DeviceCaps PageDeviceCaps(const ui::PageCaps& page);
// The same of the chosen printer's page.
gfx::DeviceCaps PrinterDeviceCaps(const ui::PrinterChoice& choice);
// The same of the screen.
gfx::DeviceCaps DisplayDeviceCaps();

// Stretches `picture` onto `area` of a new page of `job` and ends the page. 1 done; 0 when the page
// could not be started or ended.
int StretchOntoPage(ui::PrintJob& job, const gfx::Surface& picture, const gfx::Rect& area, gfx::StretchMode mode);

}  // namespace edui
