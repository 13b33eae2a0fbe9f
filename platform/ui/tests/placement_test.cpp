// Where windows open: inside the screen's available area, dialogs centred on their owner.
#include "platform/ui/box.h"
#include "platform/ui/dialog.h"
#include "platform/ui/placement.h"
#include "platform/ui/tests/fixture.h"

namespace uitest {
namespace {

using namespace ui;

bool Inside(const Rect& r, const Rect& area) {
  return r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= area.bottom;
}

TEST(PlaceInside, MovesAndCutsIntoTheArea) {
  const Rect area{100, 50, 900, 650};
  struct Case {
    Rect wanted, placed;
  } cases[] = {
      {{200, 100, 500, 300}, {200, 100, 500, 300}},    // inside already: left alone
      {{-211, -180, 413, 340}, {100, 50, 724, 570}},   // off the top left (a dialog centred on a corner window)
      {{700, 500, 1000, 700}, {600, 450, 900, 650}},   // off the bottom right
      {{0, 0, 1200, 900}, {100, 50, 900, 650}},        // larger than the area: cut, at its top left
      {{300, -40, 1300, 100}, {100, 50, 900, 190}},    // wider only
      {{900, 650, 1000, 700}, {800, 600, 900, 650}},   // wholly outside
  };
  for (const Case& c : cases) {
    const Rect got = PlaceInside(c.wanted, area);
    EXPECT_EQ(got, c.placed) << c.wanted.left << "," << c.wanted.top << " " << c.wanted.Width() << "x"
                             << c.wanted.Height();
    EXPECT_TRUE(Inside(got, area));
  }
  EXPECT_EQ(CentredOn({0, 0, 200, 76}, 624, 520), (Rect{-212, -222, 412, 298}));
}

TEST_F(UiTest, WindowsAskedForOffTheScreenOpenInsideIt) {
  const Rect area = AvailableArea();
  ASSERT_FALSE(area.IsEmpty());
  for (const Rect& asked : {Rect{-400, -300, -80, -60}, Rect{area.right - 100, area.bottom - 50, area.right + 220,
                                                              area.bottom + 190}}) {
    Wnd w = MakeRecorded(0, {}, asked.Width(), asked.Height());
    ASSERT_NE(w, 0u);
    Move(w, asked.left, asked.top, asked.Width(), asked.Height());
    const Rect at = WindowRect(w);
    EXPECT_TRUE(Inside(at, area)) << at.left << "," << at.top;
    EXPECT_EQ(at.Width(), asked.Width());
    EXPECT_EQ(at.Height(), asked.Height());
    Destroy(w);
  }
}

// The viewer's and the checker's case: a small main window in the corner owns a large dialog.
TEST_F(UiTest, DialogsOfACornerWindowOpenInsideTheScreenAndOthersCentredOnTheirOwner) {
  const Rect area = AvailableArea();
  struct Case {
    int x, y;           // the owner's place
    int grow;           // what InitDialog adds to the dialog's size
    bool centred;       // the dialog is centred on its owner
  };
  const int midX = (area.left + area.right) / 2 - 100, midY = (area.top + area.bottom) / 2 - 38;
  const Case cases[] = {{0, 0, 0, false}, {0, 0, 200, false}, {area.right - 200, area.bottom - 76, 0, false},
                        {midX, midY, 0, true}, {midX, midY, 60, true}};
  for (const Case& c : cases) {
    Wnd main = MakeRecorded(0, {}, 200, 76);
    Move(main, c.x, c.y, 200, 76);
    const Rect owner = WindowRect(main);
    Rect shown;
    RunDialog("FORM", main, [&](Wnd d, Message m, WParam, LParam) -> Result {
      if (m == msg::InitDialog) {
        const Rect at = WindowRect(d);
        if (c.grow) Move(d, at.left, at.top, at.Width() + c.grow, at.Height() + c.grow);
        Post(d, msg::User);
        return 1;
      }
      if (m == msg::User) {
        shown = WindowRect(d);
        FinishDialog(d, 1);
        return 1;
      }
      return 0;
    });
    EXPECT_TRUE(Inside(shown, area)) << c.x << "," << c.y << " +" << c.grow;
    EXPECT_EQ(shown.Width(), 400 + c.grow);
    if (c.centred) {  // its frame is centred: the client area lies a few pixels off the middle
      EXPECT_NEAR(shown.left + shown.Width() / 2, owner.left + owner.Width() / 2, 4) << c.grow;
      EXPECT_NEAR(shown.top + shown.Height() / 2, owner.top + owner.Height() / 2, 4) << c.grow;
    }
    Destroy(main);
  }
}

}  // namespace
}  // namespace uitest
