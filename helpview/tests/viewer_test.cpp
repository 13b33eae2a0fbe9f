// The viewer's browsing and printing, driven through its dialogs by scripted answers.
#include "helpview/viewer.h"

#include <gtest/gtest.h>

namespace {

TEST(HelperScroll, StaysWithinTheText) {
  const struct {
    int top, lines, code, thumb, want;
  } cases[] = {
      {0, 100, ui::scroll::LineDown, 0, 1},   {0, 100, ui::scroll::LineUp, 0, 0},
      {0, 100, ui::scroll::PageDown, 0, 29},  {60, 100, ui::scroll::PageDown, 0, 71},
      {5, 100, ui::scroll::Bottom, 0, 71},    {5, 100, ui::scroll::Top, 0, 0},
      {0, 100, ui::scroll::ThumbTrack, 50, 50}, {0, 10, ui::scroll::LineDown, 0, 0},
      {0, 10, ui::scroll::Bottom, 0, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(hpv::ScrollHelper(c.top, c.lines, c.code, c.thumb), c.want);
}

}  // namespace
