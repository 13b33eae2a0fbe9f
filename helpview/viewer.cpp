#include "helpview/viewer.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

#include "editor/db/text_numbers.h"
#include "platform/gfx/text.h"
#include "platform/os/path.h"
#include "platform/ui/dialog.h"
#include "platform/ui/print.h"
#include "platform/ui/program.h"
#include "platform/ui/window.h"

namespace hpv {

namespace {

constexpr std::size_t kMarginChars = 4;
constexpr int kMaxPage = 255;
constexpr const char* kPrintFailed = "Print Failed";

int LineHeight() {
  const gfx::TextMetrics& m = gfx::OemFixedFont()->metrics();
  return std::max(1, m.height + m.externalLeading);
}

std::string Format4(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4g", v);
  return text;
}

int TypedInt(const std::string& text) { return db::LeadingInt(text); }

std::time_t ModificationTime(const std::string& path) {
  struct stat st {};
  const std::string native = os::NativePath(path);
  return !native.empty() && stat(native.c_str(), &st) == 0 ? st.st_mtime : 0;
}

void ShowFileTitle(const Viewer& v, ui::Wnd window) {
  ui::SetTitle(window, std::string(kCaption) + "  ( " + v.file.baseName + " )");
}

void TopicTitle(Viewer& v) {
  const std::string& main = v.index.mains[std::size_t(v.main)].name;
  const std::string& secondary = v.index.secondaries[std::size_t(v.secondary)].name;
  v.title = main != secondary ? " " + main + "/" + secondary + " " : " " + main + " ";
}

// Pages go onto the printable area of the paper.
class PrinterSink final : public PageSink {
 public:
  PrinterSink(ui::PrintJob& job, const gfx::Rect& paper) : job_(job), paper_(paper) {}
  bool Emit(const gfx::Surface& page) override {
    return edui::StretchOntoPage(job_, page, paper_, gfx::StretchMode::BlackOnWhite) == 1;
  }

 private:
  ui::PrintJob& job_;
  gfx::Rect paper_;
};

PrintArea AreaOf(const Viewer& v) { return ComputePrintArea(edui::PrinterDeviceCaps(v.printer.choice), v.margins); }

// Counts the manual's pages without printing; false when the file cannot be read.
bool CountPages(Viewer& v, tell::Talk& ui) {
  os::TextReader in;
  if (OpenHelpFile(in, v.file.path) != OpenResult::Opened) return false;
  const PrintArea area = AreaOf(v);
  PageComposer counter(area, nullptr, true, 0);
  ComposeManual(counter, in, v.index, ui, v.file.fileName, CTimeText(v.modified));
  v.lastPage = std::min(counter.page(), kMaxPage);
  v.countedLines = area.linesPerPage;
  v.pagesCounted = true;
  return true;
}

}  // namespace

void StartViewer(Viewer& v, const HelpRequest& request, std::string_view suiteDrive) {
  v.file = ResolveHelpPath(request.path, suiteDrive);
  v.wantedMain = request.mainTopic;
  v.wantedSecondary = request.secondaryTopic;
  // A secondary topic is looked for only under the main topic the command line names.
  v.mainResolved = v.wantedMain.empty();
  v.secondaryResolved = v.wantedMain.empty() || v.wantedSecondary.empty();
}

const std::vector<std::string>& BuiltInHelp() {
  static const std::vector<std::string> lines = {
      "",
      "  Whpv.EXE accepts a command line as follows:   [] = Optional",
      "",
      "          whpv [drive:\\path\\filename.ext] [topic1],[topic2]",
      "",
      "  Notes:",
      "",
      "  1. Earlier optionals must always be present.",
      "",
      "  2. Omitting topics defaults to the higher topic.",
      "",
      "  3. Omitting the filename defaults to the following:",
      "",
      "     MeroDrive:\\MERO6\\MERO60.HPV",
      "",
      "",
      "  Help Files Format:",
      "",
      "    Files are ASCII text (IBM standard characters).",
      "    All lines end with CR-LF (0D0A hex).",
      "    The first line must be F0F0 (hex).",
      "    The remaining lines consist of topic headers and text.",
      "    Primary topics may begin with any character except a space.",
      "    Secondary topics begin with a single space character.",
      "    Two or more spaces at the beginning of a line start a text line.",
      "    Blank lines contain only CR-LF characters.",
  };
  return lines;
}

std::vector<std::string> MainTopicNames(const TopicIndex& index) {
  std::vector<std::string> names;
  for (int m = 1; m <= index.MainCount(); ++m) names.push_back(index.mains[std::size_t(m)].name);
  return names;
}

std::vector<std::string> SecondaryTopicNames(const TopicIndex& index, int m) {
  std::vector<std::string> names;
  if (m < 1 || m > index.MainCount()) return names;
  for (int s = index.FirstOf(m); s < index.EndOf(m); ++s) names.push_back(index.secondaries[std::size_t(s)].name);
  return names;
}

int RunLister(ui::Wnd owner, const std::string& title, const std::vector<std::string>& names, int& row) {
  const int r = ui::RunDialog("LISTER", owner, [&](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    switch (m) {
      case ui::msg::InitDialog: {
        ui::SetTitle(d, title);
        std::size_t longest = 4;
        for (const std::string& name : names) {
          longest = std::max(longest, name.size());
          ui::ListAdd(d, kListerList, name);
        }
        ui::ListColumnWidth(d, kListerList, int(8 * longest));
        return 1;
      }
      case ui::msg::Close:
        ui::FinishDialog(d, 1);
        return 1;
      case ui::msg::Command: {
        const int id = ui::LowWord(wp);
        if (id == kListerList && ui::HighWord(wp) == ui::notify::DblClk) {
          const int picked = ui::ListSelection(d, kListerList);
          if (picked < 0) return 1;
          row = picked;
          ui::FinishDialog(d, 2);
        } else if (id == ui::kIdOk) {
          ui::FinishDialog(d, 1);
        } else if (id == ui::kIdCancel) {
          ui::FinishDialog(d, 0);
        }
        return 1;
      }
    }
    return 0;
  });
  return r < 0 ? 1 : r;
}

int ScrollHelper(int top, int lines, int code, int thumb) {
  const int last = std::max(0, lines - kHelperLines);
  switch (code) {
    case ui::scroll::LineUp: top -= 1; break;
    case ui::scroll::LineDown: top += 1; break;
    case ui::scroll::PageUp: top -= kHelperLines; break;
    case ui::scroll::PageDown: top += kHelperLines; break;
    case ui::scroll::ThumbPosition:
    case ui::scroll::ThumbTrack: top = thumb; break;
    case ui::scroll::Top: top = 0; break;
    case ui::scroll::Bottom: top = last; break;
    default: break;
  }
  return std::clamp(top, 0, last);
}

ui::Rect HelperSize() { return {0, 0, 624, 32 * LineHeight() + 40}; }

int RunHelper(ui::Wnd owner, const std::string& title, const std::vector<std::string>& lines) {
  const int lh = LineHeight();
  const int count = int(lines.size());
  int top = 0;
  const int r = ui::RunDialog("HELPER", owner, [&](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    switch (m) {
      case ui::msg::InitDialog: {
        ui::SetTitle(d, title);
        const int textHeight = 32 * lh;
        const ui::Rect size = HelperSize();
        const int height = size.Height();
        const ui::Rect at = ui::WindowRect(d);
        ui::Move(d, at.left, at.top, size.Width(), height);
        ui::MoveItem(d, kHelperText, 4, 4, 572, textHeight);
        ui::MoveItem(d, kHelperScroll, 590, 4, 18, textHeight - 150);
        ui::MoveItem(d, kHelperPrint, 582, height - 150, 38, 26);
        ui::MoveItem(d, kHelperPrevious, 582, height - 118, 18, 26);
        ui::MoveItem(d, kHelperNext, 602, height - 118, 18, 26);
        ui::MoveItem(d, ui::kIdCancel, 582, height - 86, 38, 26);
        ui::MoveItem(d, ui::kIdOk, 582, height - 54, 38, 26);
        ui::SetScrollRange(d, kHelperScroll, 0, std::max(0, count - kHelperLines));
        ui::SetScrollPage(d, kHelperScroll, kHelperLines);
        ui::SetScrollPos(d, kHelperScroll, 0);
        ui::InvalidateItem(d, kHelperText);
        return 1;
      }
      case ui::msg::Paint: {
        gfx::Surface* area = ui::ItemSurface(d, kHelperText);
        if (!area) return 0;
        const gfx::Color window = 0xFFFFFF;
        gfx::Canvas c(*area);
        c.FillRect({0, 0, area->width, area->height}, gfx::Brush::Solid(window));
        c.SetFont(gfx::OemFixedFont());
        c.SetBackgroundMode(gfx::BackgroundMode::Opaque);
        c.SetBackgroundColor(window);
        c.SetTextColor(0x000000);
        for (int i = 0; i < kHelperLines && top + i < count; ++i) {
          const std::string& line = lines[std::size_t(top + i)];
          if (!IsPageMark(line)) c.TextOut(0, i * lh, line);
        }
        return 0;
      }
      case ui::msg::VScroll:
        top = ScrollHelper(top, count, ui::LowWord(wp), ui::HighWord(wp));
        ui::SetScrollPos(d, kHelperScroll, top);
        ui::InvalidateItem(d, kHelperText);
        return 1;
      case ui::msg::Close:
        ui::FinishDialog(d, kHelperQuit);
        return 1;
      case ui::msg::Command:
        switch (ui::LowWord(wp)) {
          case ui::kIdOk: ui::FinishDialog(d, kHelperQuit); break;
          case ui::kIdCancel: ui::FinishDialog(d, kHelperBack); break;
          case kHelperNext: ui::FinishDialog(d, kHelperForward); break;
          case kHelperPrevious: ui::FinishDialog(d, kHelperBackward); break;
          case kHelperPrint: ui::FinishDialog(d, kHelperPrintTopic); break;
          default: break;
        }
        return 1;
    }
    return 0;
  });
  return r < 0 ? kHelperQuit : r;
}

void RunFiler(Viewer& v, ui::Wnd owner, std::string_view suiteDrive) {
  ui::RunDialog("FILER", owner, [&](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ui::SetItemLimit(d, kFilerPath, int(kPathChars));
      ui::SetItemText(d, kFilerPath, v.file.path);
      ui::FocusItem(d, kFilerPath);
      return 1;
    }
    return m == ui::msg::Command && ui::EndOkCancel(d, ui::LowWord(wp), [&] {
             v.file = ResolveHelpPath(ui::ItemText(d, kFilerPath, kPathChars), suiteDrive);
             ShowFileTitle(v, owner);
           });
  });
  v.pagesCounted = false;
}

int RunPrintDialog(Viewer& v, ui::Wnd owner, bool manual) {
  auto showPrinter = [&](ui::Wnd d) {
    const gfx::DeviceCaps caps = edui::PrinterDeviceCaps(v.printer.choice);
    ui::SetItemText(d, kPrintDevice, v.printer.choice.device.empty() ? "none" : v.printer.choice.device);
    char port[160];
    std::snprintf(port, sizeof port, "Port: %s  Dpi: %d", v.printer.choice.port.c_str(), caps.logPixelsX);
    ui::SetItemText(d, kPrintPort, port);
  };
  const int r = ui::RunDialog("PRINTDLG", owner, [&](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      if (!v.printer.chosen && !edui::RunPrinterSetup(d, v.printer)) {
        ui::FinishDialog(d, 0);
        return 1;
      }
      ui::SetTitle(d, manual ? "Manual Print from " + v.file.fileName : std::string("Topic Print"));
      showPrinter(d);
      ui::SetItemText(d, kMarginTop, Format4(v.margins.top));
      ui::SetItemText(d, kMarginBottom, Format4(v.margins.bottom));
      ui::SetItemText(d, kMarginLeft, Format4(v.margins.left));
      ui::SetItemText(d, kMarginRight, Format4(v.margins.right));
      if (!manual) {
        ui::EnableItem(d, kFromPage, false);
        ui::EnableItem(d, kToPage, false);
        ui::EnableItem(d, kPagesButton, false);
      } else {
        ui::SetItemInt(d, kFromPage, v.firstPage);
        if (v.pagesCounted) {
          ui::SetItemInt(d, kToPage, v.lastPage);
          ui::EnableItem(d, kPagesButton, false);
        } else {
          ui::EnableItem(d, kToPage, false);
          ui::EnableItem(d, ui::kIdOk, false);
        }
      }
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    switch (ui::LowWord(wp)) {
      case ui::kIdOk:
      case kPagesButton: {
        auto margin = [&](int id) { return TypedMargin(db::LeadingDouble(ui::ItemText(d, id, kMarginChars))); };
        v.margins.top = margin(kMarginTop);
        v.margins.bottom = margin(kMarginBottom);
        v.margins.left = margin(kMarginLeft);
        v.margins.right = margin(kMarginRight);
        if (manual) {
          v.firstPage = std::clamp(TypedInt(ui::ItemText(d, kFromPage, 8)), 0, kMaxPage);
          if (v.pagesCounted) v.lastPage = std::clamp(TypedInt(ui::ItemText(d, kToPage, 8)), v.firstPage, kMaxPage);
        }
        ui::FinishDialog(d, 1);
        return 1;
      }
      case kChangeButton:
        edui::RunPrinterSetup(d, v.printer);
        showPrinter(d);
        return 1;
      case ui::kIdCancel:
        ui::FinishDialog(d, 0);
        return 1;
      default:
        return 1;
    }
  });
  return r == 1 ? 1 : 0;
}

int BrowseHelp(Viewer& v, ui::Wnd window, bool manual, tell::Talk& ui) {
  os::TextReader in;
  switch (OpenHelpFile(in, v.file.path)) {
    case OpenResult::Missing:
      ui.Box(kCaption, kMissingText, tell::Buttons::Ok);
      ui::TellJobFailed();
      return kBrowseBack;
    case OpenResult::WrongFormat:
      ui.Box(kCaption, kWrongFormatText, tell::Buttons::Ok);
      ui::TellJobFailed();
      return kBrowseBack;
    case OpenResult::Opened:
      break;
  }
  v.modified = ModificationTime(v.file.path);
  ShowFileTitle(v, window);
  if (!BuildTopicIndex(in, v.index, ui)) return kBrowseBack;
  v.main = v.secondary = 0;
  if (manual) return kBrowseManual;
  auto notFound = [&](const std::string& topic) {
    ui.Box(kCaption, "Topic \"" + topic + "\" not Found", tell::Buttons::Ok);
    return kBrowseQuit;
  };

  for (;;) {
    int m = 0;
    if (!v.mainResolved && v.index.MainCount() > 0) {
      m = v.index.FindMain(v.wantedMain);
      if (m == 0) return notFound(v.wantedMain);
      v.mainResolved = true;
      if (v.index.EndOf(m) - v.index.FirstOf(m) == 1) v.secondaryResolved = true;
    } else {
      v.mainResolved = v.secondaryResolved = true;
      int row = 0;
      const int r = RunLister(window, "Main Topics", MainTopicNames(v.index), row);
      if (r != 2) return r == 0 ? kBrowseBack : kBrowseQuit;
      m = row + 1;
    }
    for (bool backToMains = false; !backToMains;) {
      const bool single = v.index.EndOf(m) - v.index.FirstOf(m) == 1;
      int s = v.index.FirstOf(m);
      if (!single) {
        const std::string title = " " + v.index.mains[std::size_t(m)].name + " ";
        if (!v.secondaryResolved) {
          s = v.index.FindSecondary(m, v.wantedSecondary);
          if (s == 0) return notFound(v.wantedSecondary);
          v.secondaryResolved = true;
        } else {
          int row = 0;
          const int r = RunLister(window, title, SecondaryTopicNames(v.index, m), row);
          if (r == 0) break;
          if (r != 2) return kBrowseQuit;
          s = v.index.FirstOf(m) + row;
        }
      }
      for (;;) {
        v.main = m;
        v.secondary = s;
        TopicTitle(v);
        v.lines = LoadTopicText(in, v.index, s, ui);
        const int answer = RunHelper(window, v.title, v.lines);
        if (answer == kHelperQuit) return kBrowseQuit;
        if (answer == kHelperPrintTopic) return kBrowsePrint;
        if (answer == kHelperBack) {
          // One secondary topic had no list: back to the main topics.
          backToMains = v.index.EndOf(m) - v.index.FirstOf(m) == 1;
          break;
        }
        s = answer == kHelperForward ? std::min(s + 1, v.index.SecondaryCount()) : std::max(s - 1, 1);
        m = v.index.OwnerOf(s);
      }
    }
  }
}

void PrintTopic(Viewer& v, ui::Wnd window, tell::Talk& ui) {
  if (RunPrintDialog(v, window, false) != 1) return;
  ui::PrintJob job(v.printer.choice);
  const PrintArea area = AreaOf(v);
  if (!job.Start("MERO Help")) {
    ui.Box("", kPrintFailed, tell::Buttons::Ok);
    return;
  }
  PrinterSink sink(job, area.paper);
  PageComposer pages(area, &sink, false, 1);
  ComposeTopic(pages, v.title, v.lines, ui);
  pages.End();
  if (!job.End() || pages.failed()) ui.Box("", kPrintFailed, tell::Buttons::Ok);
}

void PrintManual(Viewer& v, ui::Wnd window, tell::Talk& ui) {
  if (!v.pagesCounted) {
    if (RunPrintDialog(v, window, true) != 1 || !CountPages(v, ui)) return;
  }
  if (RunPrintDialog(v, window, true) != 1) return;
  // Pages counted for other margins or another printer are counted again.
  if (AreaOf(v).linesPerPage != v.countedLines) {
    const int wanted = v.lastPage;
    if (!CountPages(v, ui)) return;
    v.lastPage = std::clamp(wanted, v.firstPage, std::max(v.firstPage, v.lastPage));
  }
  char text[200];
  std::snprintf(text, sizeof text,
                "%d Pages will be Printed ...\nCheck your Paper Supply\n\nTo Change Pages Cancel and\nrun Manual Again",
                v.lastPage - v.firstPage + 1);
  if (ui.Box(kCaption, text, tell::Buttons::OkCancel) != tell::Answer::Ok) return;
  os::TextReader in;
  if (OpenHelpFile(in, v.file.path) != OpenResult::Opened) return;
  ui::PrintJob job(v.printer.choice);
  const PrintArea area = AreaOf(v);
  if (!job.Start("MERO Manual")) {
    ui.Box("", kPrintFailed, tell::Buttons::Ok);
    return;
  }
  PrinterSink sink(job, area.paper);
  PageComposer pages(area, &sink, true, 0, v.firstPage, v.lastPage);
  ComposeManual(pages, in, v.index, ui, v.file.fileName, CTimeText(v.modified));
  pages.End();
  // A manual stopped half way still ends its job with the pages made.
  if (!job.End() || pages.failed()) ui.Box("", kPrintFailed, tell::Buttons::Ok);
}

}  // namespace hpv
