// Printed help: the page geometry, lines onto pages with page marks and page numbers, a topic and
// the whole manual with its title page and index, and the From..To pages of a manual.
#include "helpview/manual.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "helpview/tests/help_fixture.h"
#include "platform/gfx/text.h"
#include "platform/tell/recorder.h"

namespace hpvtest {
namespace {

// Keeps every page it is given.
class PageRecorder : public hpv::PageSink {
 public:
  bool Emit(const gfx::Surface& page) override {
    pages.push_back(page);
    return true;
  }
  std::vector<gfx::Surface> pages;
};

int LineHeight() {
  const gfx::TextMetrics& m = gfx::OemFixedFont()->metrics();
  return m.height + m.externalLeading;
}

// A geometry of `lines` lines a page.
hpv::PrintArea Area(int lines) {
  hpv::PrintArea a;
  a.lineHeight = LineHeight();
  a.pageHeight = lines * a.lineHeight;
  a.linesPerPage = lines;
  a.paper = gfx::Rect{0, 0, 572, a.pageHeight};
  return a;
}

// Whether any pixel of a rectangle of the page is not white.
bool Inked(const gfx::Surface& s, int left, int top, int right, int bottom) {
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      if ((s.Row(y)[x] & 0xFFFFFF) != 0xFFFFFF) return true;
  return false;
}

bool LineInked(const gfx::Surface& s, int line, int left = 0, int right = 400) {
  const int h = LineHeight();
  return Inked(s, left, (line - 1) * h, right, line * h);
}

TEST(PrintGeometry, MarginsAndTheOffScreenPage) {
  gfx::DeviceCaps caps;
  caps.logPixelsX = 300;
  caps.horzRes = 2480;
  caps.vertRes = 3508;
  hpv::Margins m;
  m.left = 1;
  m.right = 0.5;
  m.top = 3;  // taken as 2
  m.bottom = -1;  // taken as 0
  const hpv::PrintArea a = hpv::ComputePrintArea(caps, m);
  EXPECT_EQ(a.paper, (gfx::Rect{300, 600, 2480 - 150, 3508}));
  EXPECT_EQ(a.pageHeight, int(std::lround(2908.0 * 572 / 2030)));
  EXPECT_EQ(a.linesPerPage, a.pageHeight / LineHeight());
  EXPECT_EQ(hpv::TypedMargin(3), 2);
  EXPECT_EQ(hpv::TypedMargin(-0.5), 0);
  EXPECT_EQ(hpv::TypedMargin(std::nan("")), 0);
  // margins that leave no paper still give pages to write on
  m.left = m.right = 2;
  caps.horzRes = 600;
  EXPECT_GE(hpv::ComputePrintArea(caps, m).linesPerPage, 8);
}

TEST(PageMarks, BeginANewPageOnlyWhenTooFewLinesAreLeft) {
  const struct {
    int linesLeft;
    int mark;
    bool newPage;
  } cases[] = {{15, 20, true}, {25, 20, false}, {20, 20, false}, {19, 20, true}};
  for (const auto& c : cases) {
    hpv::PageComposer pages(Area(60), nullptr, false, 1);
    while (pages.LinesLeft() > c.linesLeft) pages.WriteLine("  text");
    pages.TopicLine("  \xF0\xF0" + std::to_string(c.mark));
    EXPECT_EQ(pages.page(), c.newPage ? 2 : 1) << c.linesLeft;
  }
}

TEST(TopicPrint, LinesFillPagesThatCarryTheirNumbers) {
  PageRecorder paper;
  tell::Recorder ui;
  hpv::PageComposer pages(Area(10), &paper, false, 1);
  std::vector<std::string> lines;
  for (int i = 0; i < 15; ++i) lines.push_back("  line");
  lines[3] = "  \xF0\xF0" "3";  // 10 - 5 + 1 = 6 lines left there: no new page, an empty line
  EXPECT_TRUE(hpv::ComposeTopic(pages, " Main/Sub ", lines, ui));
  pages.End();
  // the title and 9 lines on page 1, then 7 a page from line 2
  ASSERT_EQ(paper.pages.size(), 2u);
  const gfx::Surface& first = paper.pages[0];
  EXPECT_TRUE(LineInked(first, 1));
  EXPECT_TRUE(LineInked(first, 4));
  EXPECT_FALSE(LineInked(first, 5));  // the page mark
  EXPECT_TRUE(LineInked(first, 6));
  EXPECT_TRUE(Inked(first, 572 - 80, 0, 572, LineHeight()));  // "Page 1"
  const gfx::Surface& second = paper.pages[1];
  EXPECT_TRUE(LineInked(second, 2));
  EXPECT_TRUE(LineInked(second, 7));
  EXPECT_FALSE(LineInked(second, 8));
  // Esc stops the job
  PageRecorder more;
  ui.escapeAfterPolls = 2;
  hpv::PageComposer stopped(Area(10), &more, false, 1);
  EXPECT_FALSE(hpv::ComposeTopic(stopped, "t", lines, ui));
}

class ManualTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::string> lines = {"Editing", " Get", "  Picks.", "", " Put", "  Drops.", "Files", " Files"};
    for (int i = 0; i < 30; ++i) lines.push_back("  file line");
    const std::string path = folder.Write("M.HPV", HelpText(lines));
    ASSERT_EQ(hpv::OpenHelpFile(in, path), hpv::OpenResult::Opened);
    ASSERT_EQ(hpv::BuildTopicIndex(in, index, ui), 1);
  }
  TempFolder folder;
  os::TextReader in;
  hpv::TopicIndex index;
  tell::Recorder ui;
};

TEST_F(ManualTest, EveryTopicThenAnIndexOfTheirPages) {
  hpv::PageComposer counter(Area(20), nullptr, true, 0);
  std::vector<int> numbers;
  EXPECT_EQ(hpv::ComposeManual(counter, in, index, ui, "M.HPV", "Wed Jun 30 21:49:08 1993", &numbers), 1);
  // title page 0; Get and Put on page 1; Files from page 1 on over two pages; the index after
  EXPECT_EQ(numbers, (std::vector<int>{0, 1, 1, 1}));
  const int last = counter.page();
  EXPECT_EQ(last, 4);

  PageRecorder paper;
  hpv::PageComposer printer(Area(20), &paper, true, 0, 0, 255);
  EXPECT_EQ(hpv::ComposeManual(printer, in, index, ui, "M.HPV", "Wed Jun 30 21:49:08 1993"), 1);
  printer.End();
  EXPECT_EQ(int(paper.pages.size()), last + 1);
  EXPECT_FALSE(Inked(paper.pages[0], 572 - 80, 0, 572, LineHeight()));  // no number on the title page
  EXPECT_TRUE(Inked(paper.pages[1], 572 - 80, 0, 572, LineHeight()));
  EXPECT_TRUE(ui.events.empty());

  // Only From..To reach the paper.
  PageRecorder part;
  hpv::PageComposer some(Area(20), &part, true, 0, 2, 3);
  hpv::ComposeManual(some, in, index, ui, "M.HPV", "x");
  some.End();
  EXPECT_EQ(part.pages.size(), 2u);
}

TEST_F(ManualTest, EscAsksAndOkStopsTheManual) {
  ui.escapeAfterPolls = 0;
  ui.boxAnswers = {tell::Answer::Cancel, tell::Answer::Ok};
  hpv::PageComposer pages(Area(20), nullptr, true, 0);
  EXPECT_EQ(hpv::ComposeManual(pages, in, index, ui, "M.HPV", "x"), 0);
  EXPECT_EQ(ui.EventsOf("box"), (std::vector<std::string>(2, "box \"HPV 6.0\" \"Manual Compile Paused ... Abort?\" okcancel")));
}

TEST(ManualTexts, IndexLinesHeadingsAndDates) {
  EXPECT_EQ(hpv::IndexLine("Get", 12), "  Get " + std::string(54, '.') + " 12");
  EXPECT_EQ(hpv::IndexLine(std::string(70, 'n'), 3), "  " + std::string(70, 'n') + "  3");
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(hpv::CTimeText(741397748), "Tue Jun 29 23:49:08 1993");
  EXPECT_EQ(hpv::CTimeText(0), "Thu Jan  1 00:00:00 1970");
}

}  // namespace
}  // namespace hpvtest
