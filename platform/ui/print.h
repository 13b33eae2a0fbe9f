// Printing: the program draws each page into a white surface at the printer's resolution, which goes to
// a printer or into a PDF file. A PDF file replaces the old one only when the document ends well.
#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "platform/gfx/surface.h"
#include "platform/ui/types.h"

namespace ui {

struct PrinterChoice {
  std::string device = "none";  // printer name, or "PDF" for a file
  std::string port = "LPT1:";   // the PDF file's path, or the printer's name
  int dpi = 300;
  bool landscape = true;
  std::string paper = "A4";  // "A4", "A3", "Letter", "Legal"
  bool IsFile() const { return device == "PDF"; }
};

// Runs the print dialog, starting from `choice`; true with the new choice. MERO_PRINTER chooses without
// a dialog: "file:PATH.pdf" or "printer:NAME" (scripted runs and tests). In a scripted run without it
// the dialog is "PRINTSETUP" and takes `press ok` (the choice stays; with no printer chosen yet it
// becomes the PDF file print.pdf in the current folder) or `press cancel`.
bool ChoosePrinter(Wnd owner, PrinterChoice& choice);

// The page as the program measures it.
struct PageCaps {
  int horzRes = 0;  // pixels
  int vertRes = 0;
  int dpiX = 0;
  int dpiY = 0;
  int horzSizeMm = 0;  // round(pixels * 25.4 / dpi)
  int vertSizeMm = 0;
};
PageCaps PrinterCaps(const PrinterChoice& choice);

class PrintJob {
 public:
  explicit PrintJob(const PrinterChoice& choice);
  ~PrintJob();  // an unfinished document is abandoned
  PrintJob(const PrintJob&) = delete;
  PrintJob& operator=(const PrintJob&) = delete;

  const PageCaps& Caps() const;
  bool Start(std::string_view documentName);
  // A white page; nullptr when it cannot be made (no memory for the picture, no document).
  gfx::Surface* StartPage();
  bool EndPage();
  // Ends the document: the pages go to the printer, or the PDF file takes the place of the old one.
  bool End();
  void Abort();
  int PageCount() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace ui
