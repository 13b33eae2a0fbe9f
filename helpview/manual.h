// Printed help: pages composed off screen, 572 pixels wide in the fixed OEM face, one line after
// another, then stretched onto the printable area of the paper. A topic prints alone; the manual
// is every topic with a title page and an index of page numbers.
#pragma once
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "helpview/help_file.h"
#include "platform/gfx/canvas.h"
#include "utilib/job.h"

namespace hpv {

inline constexpr int kPageWidth = 572;

// Margins in inches, each 0..2.
struct Margins {
  double left = 0.5;
  double right = 0.5;
  double top = 0.5;
  double bottom = 0.5;
};
// A margin as typed: above 2 is 2, below 0 or not a number is 0.
double TypedMargin(double typed);

struct PrintArea {
  gfx::Rect paper;        // the printable area in printer pixels
  int pageHeight = 0;     // of the page composed 572 pixels wide
  int lineHeight = 0;
  int linesPerPage = 0;
};
PrintArea ComputePrintArea(const gfx::DeviceCaps& caps, const Margins& margins);

// Where finished pages go; false when a page could not be printed.
class PageSink {
 public:
  virtual ~PageSink() = default;
  virtual bool Emit(const gfx::Surface& page) = 0;
};

// Lines onto pages. Line 1 of a page carries "Page N" at its right once the page is done; later
// pages start writing at line 2. Without a sink pages are only counted. In manual mode only pages
// From..To go to the sink.
class PageComposer {
 public:
  PageComposer(const PrintArea& area, PageSink* sink, bool manual, int firstPage, int from = 0, int to = 255);

  // A line of a topic: a page mark begins a new page when fewer lines than it asks for are left,
  // and shows as an empty line.
  void TopicLine(std::string_view line);
  void WriteLine(std::string_view text);
  void NewPage() { Advance(2); }
  void End() { Advance(1); }

  int page() const { return page_; }
  int line() const { return line_; }
  // Lines left on the page, the current one included.
  int LinesLeft() const { return area_.linesPerPage - line_ + 1; }
  bool failed() const { return failed_; }
  const gfx::Surface& surface() const { return surface_; }

 private:
  void Advance(int mode);
  void Clear();

  PrintArea area_;
  PageSink* sink_;
  bool manual_;
  int from_;
  int to_;
  int page_;
  int line_ = 1;
  bool failed_ = false;
  gfx::Surface surface_;
};

// The title line and the lines of a topic; false when Esc stopped it.
bool ComposeTopic(PageComposer& pages, std::string_view title, const std::vector<std::string>& lines,
                  tell::Talk& ui);

// The manual of an indexed help file: title page, every secondary topic in order, then the index.
// `pages` gets each secondary topic's page (row 0 unused). 1 done, 0 stopped at the user's wish.
int ComposeManual(PageComposer& pages, os::TextReader& in, const TopicIndex& index, tell::Talk& ui,
                  std::string_view fileName, std::string_view dated, std::vector<int>* topicPages = nullptr);

// The heading of a topic: " main/secondary", or " main" when the two names are the same.
std::string TopicHeading(const TopicIndex& index, int s);
// A line of the manual's index: "  name " filled with "." to 60 characters, then " page".
std::string IndexLine(std::string_view name, int page);
// A time as ctime writes it, without the line end ("Wed Jun 30 21:49:08 1993").
std::string CTimeText(std::time_t t);

}  // namespace hpv
