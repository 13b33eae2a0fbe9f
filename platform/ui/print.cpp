// Printing: pages drawn into white surfaces at the printer's resolution, handed to Qt's printer or to
// its PDF writer. A PDF goes to memory first and replaces the file only when the document ends well.
#include "platform/ui/print.h"

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <cmath>
#include <cstdlib>
#include <new>

#include "platform/os/path.h"
#include "platform/os/textfile.h"
#include "platform/ui/internal.h"
#include "platform/ui/program.h"

namespace ui {

using namespace detail;

namespace {

QPageSize::PageSizeId PaperId(const std::string& paper) {
  if (paper == "A3") return QPageSize::A3;
  if (paper == "Letter") return QPageSize::Letter;
  if (paper == "Legal") return QPageSize::Legal;
  return QPageSize::A4;
}

std::string PaperName(QPageSize::PageSizeId id) {
  switch (id) {
    case QPageSize::A3:
      return "A3";
    case QPageSize::Letter:
      return "Letter";
    case QPageSize::Legal:
      return "Legal";
    default:
      return "A4";
  }
}

int ClampDpi(int dpi) { return dpi < 72 ? 72 : dpi > 600 ? 600 : dpi; }

}  // namespace

PageCaps PrinterCaps(const PrinterChoice& choice) {
  PageCaps caps;
  int dpi = ClampDpi(choice.dpi);
  QSize px = QPageSize::sizePixels(PaperId(choice.paper), dpi);
  if (choice.landscape) px.transpose();
  caps.horzRes = px.width();
  caps.vertRes = px.height();
  caps.dpiX = caps.dpiY = dpi;
  caps.horzSizeMm = int(std::lround(caps.horzRes * 25.4 / dpi));
  caps.vertSizeMm = int(std::lround(caps.vertRes * 25.4 / dpi));
  return caps;
}

bool ChoosePrinter(Wnd owner, PrinterChoice& choice) {
  EnsureApp();
  if (const char* preset = std::getenv("MERO_PRINTER"); preset && *preset) {
    std::string p = preset;
    if (p.rfind("file:", 0) == 0) {
      choice.device = "PDF";
      choice.port = p.substr(5);
      return true;
    }
    if (p.rfind("printer:", 0) == 0) {
      choice.device = choice.port = p.substr(8);
      return true;
    }
  }
  Record* ownerTop = TopOf(owner);
  Wnd ownerHandle = ownerTop ? ownerTop->handle : 0;
  bool disabled = ownerTop && ownerTop->enabled;
  if (disabled) Enable(ownerHandle, false);

  ModalFrame frame;
  frame.name = "PRINTSETUP";
  auto end = [&](int result) {
    if (frame.ended) return;
    frame.ended = true;
    frame.result = result;
  };
  QPrinter printer(QPrinter::HighResolution);
  QPointer<QPrintDialog> dialog;
  if (IsScripted()) {
    // Without a preset a scripted run keeps the choice (print.pdf in the current folder when none).
    frame.apply = [&](const Action& a, std::string& error) {
      if (a.kind == Action::Kind::Press && (a.id == kIdOk || a.id == kIdCancel)) {
        end(a.id == kIdOk ? 1 : 0);
        return true;
      }
      error = "the print dialog takes press ok and press cancel";
      return false;
    };
  } else {
    printer.setPageSize(QPageSize(PaperId(choice.paper)));
    printer.setPageOrientation(choice.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (choice.IsFile()) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(Q(os::NativePath(choice.port)));
    } else if (choice.device != "none") {
      printer.setPrinterName(Q(choice.device));
    }
    dialog = new QPrintDialog(&printer);
    dialog->setOptions(QAbstractPrintDialog::PrintToFile);
    QObject::connect(dialog, &QDialog::finished, dialog, [&](int r) { end(r ? 1 : 0); });
    frame.apply = [&](const Action&, std::string& error) {
      error = "the print dialog takes no answer with a display";
      return false;
    };
    dialog->show();
    PlaceCentred(dialog, "PRINTSETUP", owner);
  }
  frame.cancel = [&] { end(0); };
  frame.forceEnd = [&] { end(0); };
  S().modals.push_back(&frame);
  LogLine("dialog PRINTSETUP");
  DriverDialogOpened(frame, false);
  RunModal(frame);
  delete dialog.data();
  if (disabled && Find(ownerHandle)) Enable(ownerHandle, true);
  if (!frame.result) return false;

  if (IsScripted()) {
    if (choice.device == "none") {
      choice.device = "PDF";
      choice.port = "print.pdf";
    }
    return true;
  }
  if (printer.outputFormat() == QPrinter::PdfFormat) {
    choice.device = "PDF";
    choice.port = B(printer.outputFileName());
  } else {
    choice.device = choice.port = B(printer.printerName());
  }
  choice.landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
  choice.paper = PaperName(printer.pageLayout().pageSize().id());
  return true;
}

struct PrintJob::Impl {
  PrinterChoice choice;
  PageCaps caps;
  QByteArray pdfBytes;
  QBuffer pdfBuffer{&pdfBytes};
  std::unique_ptr<QPdfWriter> pdf;
  std::unique_ptr<QPrinter> printer;
  QPainter painter;
  gfx::Surface page;
  bool started = false;
  bool inPage = false;
  bool failed = false;
  int pages = 0;

  QPagedPaintDevice* Device() {
    return pdf ? static_cast<QPagedPaintDevice*>(pdf.get()) : static_cast<QPagedPaintDevice*>(printer.get());
  }
};

PrintJob::PrintJob(const PrinterChoice& choice) : impl_(std::make_unique<Impl>()) {
  impl_->choice = choice;
  impl_->choice.dpi = ClampDpi(choice.dpi);
  impl_->caps = PrinterCaps(impl_->choice);
}

PrintJob::~PrintJob() { Abort(); }

const PageCaps& PrintJob::Caps() const { return impl_->caps; }
int PrintJob::PageCount() const { return impl_->pages; }

bool PrintJob::Start(std::string_view documentName) {
  EnsureApp();
  Impl& j = *impl_;
  if (j.started) return false;
  QPageLayout layout(QPageSize(PaperId(j.choice.paper)),
                     j.choice.landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
  if (j.choice.IsFile()) {
    if (!j.pdfBuffer.open(QIODevice::WriteOnly)) return false;
    j.pdf = std::make_unique<QPdfWriter>(&j.pdfBuffer);
    j.pdf->setResolution(j.choice.dpi);
    j.pdf->setPageLayout(layout);
    j.pdf->setTitle(Q(documentName));
    j.pdf->setCreator("MERO 6.0");
  } else if (j.choice.device != "none") {
    j.printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    j.printer->setPrinterName(Q(j.choice.device));
    if (!j.printer->isValid()) {
      j.printer.reset();
      return false;
    }
    j.printer->setResolution(j.choice.dpi);
    j.printer->setFullPage(true);
    j.printer->setPageLayout(layout);
    j.printer->setDocName(Q(documentName));
  } else {
    return false;
  }
  j.started = true;
  return true;
}

gfx::Surface* PrintJob::StartPage() {
  Impl& j = *impl_;
  if (!j.started || j.inPage || j.failed) return nullptr;
  try {
    j.page = gfx::Surface(j.caps.horzRes, j.caps.vertRes, 0xFFFFFF);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  j.inPage = true;
  return &j.page;
}

bool PrintJob::EndPage() {
  Impl& j = *impl_;
  if (!j.inPage) return false;
  j.inPage = false;
  QPagedPaintDevice* device = j.Device();
  if (j.pages == 0) {
    if (!j.painter.begin(device)) {
      j.failed = true;
      return false;
    }
  } else if (!device->newPage()) {
    j.failed = true;
    return false;
  }
  QImage image(reinterpret_cast<const uchar*>(j.page.pixels.data()), j.page.width, j.page.height, j.page.width * 4,
               QImage::Format_RGB32);
  j.painter.setRenderHint(QPainter::LosslessImageRendering);
  j.painter.drawImage(QRect(0, 0, j.caps.horzRes, j.caps.vertRes), image);
  ++j.pages;
  j.page = gfx::Surface();
  return true;
}

bool PrintJob::End() {
  Impl& j = *impl_;
  if (!j.started) return false;
  if (j.inPage) EndPage();
  bool ok = !j.failed && j.pages > 0;
  if (j.painter.isActive()) ok = j.painter.end() && ok;
  j.started = false;
  if (j.pdf) {
    j.pdf.reset();
    j.pdfBuffer.close();
    if (ok) {
      os::BinaryWriter out;
      ok = out.Open(j.choice.port) && (out.Write(j.pdfBytes.constData(), std::size_t(j.pdfBytes.size())), true) &&
           out.Commit() == 1;
    }
    j.pdfBytes.clear();
  }
  j.printer.reset();
  return ok;
}

void PrintJob::Abort() {
  Impl& j = *impl_;
  if (!j.started) return;
  if (j.printer && j.painter.isActive()) j.printer->abort();
  if (j.painter.isActive()) j.painter.end();
  j.pdf.reset();
  j.pdfBuffer.close();
  j.pdfBytes.clear();
  j.printer.reset();
  j.started = false;
  j.inPage = false;
}

}  // namespace ui
