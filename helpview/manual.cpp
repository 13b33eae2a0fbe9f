#include "helpview/manual.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/gfx/text.h"

namespace hpv {

namespace {

constexpr int kMinLinesPerPage = 8;

}  // namespace

double TypedMargin(double typed) { return std::isnan(typed) ? 0 : std::clamp(typed, 0.0, 2.0); }

PrintArea ComputePrintArea(const gfx::DeviceCaps& caps, const Margins& m) {
  PrintArea a;
  const int dpi = caps.logPixelsX > 0 ? caps.logPixelsX : 96;
  const int left = int(dpi * TypedMargin(m.left));
  const int top = int(dpi * TypedMargin(m.top));
  const int width = std::max(1, caps.horzRes - int(dpi * TypedMargin(m.right)) - left);
  const int height = std::max(1, caps.vertRes - int(dpi * TypedMargin(m.bottom)) - top);
  a.paper = gfx::Rect{left, top, left + width, top + height};
  const gfx::TextMetrics& font = gfx::OemFixedFont()->metrics();
  a.lineHeight = std::max(1, font.height + font.externalLeading);
  // Margins that leave a sliver of paper still give pages that hold a heading and some text.
  a.pageHeight = std::max(int(std::lround(double(height) * kPageWidth / width)), kMinLinesPerPage * a.lineHeight);
  a.linesPerPage = a.pageHeight / a.lineHeight;
  return a;
}

PageComposer::PageComposer(const PrintArea& area, PageSink* sink, bool manual, int firstPage, int from, int to)
    : area_(area), sink_(sink), manual_(manual), from_(from), to_(to), page_(firstPage) {
  if (sink_) surface_ = gfx::Surface(kPageWidth, area_.pageHeight, 0xFFFFFF);
}

void PageComposer::Clear() {
  if (sink_) std::fill(surface_.pixels.begin(), surface_.pixels.end(), 0xFFFFFFu);
}

void PageComposer::WriteLine(std::string_view text) {
  if (sink_ && !text.empty()) {
    gfx::Canvas c(surface_);
    c.SetFont(gfx::OemFixedFont());
    c.SetBackgroundMode(gfx::BackgroundMode::Transparent);
    c.SetTextColor(0x000000);
    c.TextOut(0, (line_ - 1) * area_.lineHeight, text);
  }
  Advance(0);
}

void PageComposer::TopicLine(std::string_view line) {
  if (!IsPageMark(line)) return WriteLine(line);
  if (LinesLeft() < PageMarkLines(line)) NewPage();
  WriteLine("");
}

void PageComposer::Advance(int mode) {
  ++line_;
  if (mode == 0 && line_ <= area_.linesPerPage) return;
  const bool wanted = !manual_ || (page_ >= from_ && page_ <= to_);
  if (wanted && sink_) {
    if (page_ > 0) {
      gfx::Canvas c(surface_);
      c.SetFont(gfx::OemFixedFont());
      c.SetBackgroundMode(gfx::BackgroundMode::Transparent);
      c.SetTextColor(0x000000);
      char label[24];
      std::snprintf(label, sizeof label, "Page %d", page_);
      c.TextOut(kPageWidth - 80, 0, label);
    }
    if (!failed_ && !sink_->Emit(surface_)) failed_ = true;
  }
  if (mode == 1) return;
  Clear();
  ++page_;
  line_ = 2;
}

bool ComposeTopic(PageComposer& pages, std::string_view title, const std::vector<std::string>& lines,
                  tell::Talk& ui) {
  pages.WriteLine(title);
  for (const std::string& line : lines) {
    if (ui.IsEscapePressed() || pages.failed()) return false;
    pages.TopicLine(line);
  }
  return true;
}

std::string TopicHeading(const TopicIndex& index, int s) {
  const int m = index.OwnerOf(s);
  const std::string& secondary = index.secondaries[std::size_t(s)].name;
  if (m == 0) return " " + secondary;
  const std::string& main = index.mains[std::size_t(m)].name;
  return main == secondary ? " " + main : " " + main + "/" + secondary;
}

std::string IndexLine(std::string_view name, int page) {
  std::string line = "  " + std::string(name) + " ";
  if (line.size() < 60) line.append(60 - line.size(), '.');
  return line + " " + std::to_string(page);
}

std::string CTimeText(std::time_t t) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm tm{};
  localtime_r(&t, &tm);
  char text[64];
  std::snprintf(text, sizeof text, "%s %s %2d %02d:%02d:%02d %d", kDays[std::clamp(tm.tm_wday, 0, 6)],
                kMonths[std::clamp(tm.tm_mon, 0, 11)], tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                tm.tm_year + 1900);
  return text;
}

int ComposeManual(PageComposer& pages, os::TextReader& in, const TopicIndex& index, tell::Talk& ui,
                  std::string_view fileName, std::string_view dated, std::vector<int>* topicPages) {
  std::vector<int> numbers(std::size_t(index.SecondaryCount() + 1), 0);
  for (int i = 0; i < pages.LinesLeft() / 3; ++i) pages.WriteLine("");
  pages.WriteLine("               ============ MERO HELP MANUAL ===========");
  pages.WriteLine(" ");
  pages.WriteLine("                    Derived from: " + std::string(fileName));
  pages.WriteLine("                    Dated: " + std::string(dated));
  pages.WriteLine(" ");
  pages.WriteLine("               =========================================");
  pages.NewPage();

  int result = 1;
  for (int s = 1; s <= index.SecondaryCount() && result; ++s) {
    if (index.OwnerOf(s) == 0) continue;
    numbers[std::size_t(s)] = pages.page();
    pages.WriteLine("");
    pages.WriteLine(TopicHeading(index, s));
    pages.WriteLine("");
    for (const std::string& line : LoadTopicText(in, index, s, ui)) {
      if (pages.failed()) return 0;
      if (ui.IsEscapePressed() &&
          ui.Box(kCaption, "Manual Compile Paused ... Abort?", tell::Buttons::OkCancel) ==
              tell::Answer::Ok) {
        result = 0;
        break;
      }
      pages.TopicLine(line);
    }
  }
  if (result) {
    pages.NewPage();
    for (int s = 1; s <= index.SecondaryCount(); ++s) {
      const int m = index.OwnerOf(s);
      if (m == 0) continue;
      const std::string& main = index.mains[std::size_t(m)].name;
      const std::string& secondary = index.secondaries[std::size_t(s)].name;
      if (s == index.FirstOf(m) && main != secondary) pages.WriteLine(main);
      pages.WriteLine(IndexLine(secondary, numbers[std::size_t(s)]));
    }
  }
  if (topicPages) *topicPages = std::move(numbers);
  return result;
}

}  // namespace hpv
