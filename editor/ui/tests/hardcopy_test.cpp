// Hardcopy printing: the page transforms and fit scales, the HCPY settings as typed, the pages and
// clipboard pictures the redraw walk draws, and Print run whole through HCPY.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "editor/ui/draw/resources.h"
#include "editor/ui/draw/view.h"
#include "editor/ui/hardcopy.h"
#include "editor/ui/hardcopy_dialogs.h"
#include "editor/ui/protocol.h"
#include "editor/ui/tests/editor_fixture.h"
#include "platform/ui/clipboard.h"

namespace edtest {
namespace {

using edui::Editor;

// The engine's device mapping of a world point.
gfx::Point Device(const draw::PageTransform& t, double x, double y) {
  return {int(std::lround((x - t.worldLeft) * t.scaleX)) + t.originX,
          int(std::lround((t.worldTop - y) * t.scaleY)) + t.originY};
}

draw::ViewState SampleView() {
  draw::ViewState v;
  v.intCentreX = 100;
  v.intCentreY = 50;
  v.scaleX = v.scaleY = 0.5;
  v.area = draw::DrawingArea{0, 24, 800, 624};
  v.left = -700;
  v.right = 900;
  return v;
}

gfx::DeviceCaps Page(int dpi, int width, int height) {
  gfx::DeviceCaps c;
  c.logPixelsX = c.logPixelsY = dpi;
  c.horzRes = width;
  c.vertRes = height;
  c.horzSizeMm = int(std::lround(width * 25.4 / dpi));
  c.vertSizeMm = int(std::lround(height * 25.4 / dpi));
  return c;
}

TEST(PageTransforms, PutTheViewCentreWhereEachFormWantsItAndKeepLeftOnTheLeft) {
  const draw::ViewState v = SampleView();
  const gfx::DeviceCaps a4 = Page(300, 3508, 2480);
  struct Case {
    const char* form;
    draw::PageTransform t;
    gfx::Point centre;
    double pixelsPerUnit;
  };
  const Case cases[] = {
      // page middle moved left by half an inch and down by a quarter inch of 300 dpi
      {"direct", edui::PageTransformDirect(v, 2, a4, 0.5, -0.25), {1754 - 150, 1240 + 75}, 1.0},
      // bitmap of 800 x 1.25 = 1000 pixels: its middle less 1000 / 2480 x 300 pixels per inch
      {"bitmap", edui::PageTransformBitmap(v, 1.25, 1.25, a4, 1, 0), {379, 500}, 0.625},
      {"clipboard", edui::PageTransformClipboard(v, 0.625), {250, 187}, 0.3125},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.form);
    EXPECT_EQ(Device(c.t, 100, 50), c.centre);
    const gfx::Point right = Device(c.t, 100 + 40, 50 - 40);
    EXPECT_EQ(right.x - c.centre.x, std::lround(40 * c.pixelsPerUnit));  // not mirrored
    EXPECT_EQ(right.y - c.centre.y, std::lround(40 * c.pixelsPerUnit));  // y grows downwards
  }
}

TEST(PageTransforms, FitScalesFillThePageHeightOrTheClipboardBitmap) {
  draw::ViewState v = SampleView();
  v.left = -254000;
  v.right = 254000;  // 2 inches of 25400 um at 10 units a micron
  const gfx::DeviceCaps a4 = Page(300, 3508, 2480);
  EXPECT_NEAR(edui::PrinterFitScale(a4, v, 10, 25400), 210 * edui::kInchesPerMm / 2, 1e-9);
  for (double unusable : {0.0, -3.0, std::nan("")})
    EXPECT_DOUBLE_EQ(edui::PrinterFitScale(a4, v, 10, unusable), edui::PrinterFitScale(a4, v, 10, 25400));
  // 800 screen pixels x 1.25 / 2 at 96 dpi is 5.2083 inches for the 2 inches shown
  EXPECT_NEAR(edui::DisplayFitScale(Page(96, 1920, 1080), v, 10, 25400, 1.25), 800 * 1.25 * 0.5 / 96 / 2, 1e-9);
  // a page without size still gives a usable scale
  EXPECT_EQ(edui::PrinterFitScale(gfx::DeviceCaps{}, v, 10, 25400), 1);
  EXPECT_EQ(edui::BitmapFactor(0), 2.0);
  EXPECT_EQ(edui::BitmapFactor(3), 1.0);
  EXPECT_EQ(edui::BitmapFactor(9), 1.0);
}

TEST(HcpyValues, TypedNumbersAreHeldToWhatPrintingCanUse) {
  const struct {
    double typed, shift, scale;
    int colour;
  } cases[] = {
      {5, 2, 5, 5}, {-7, -2, 3, 0}, {0, 0, 3, 0}, {1.5, 1.5, 1.5, 1}, {300, 2, 300, 255}, {std::nan(""), 0, 3, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    EXPECT_EQ(edui::TypedShift(c.typed), c.shift);
    EXPECT_EQ(edui::TypedHardcopyScale(c.typed, 3), c.scale);
    EXPECT_EQ(edui::TypedColourByte(c.typed), c.colour);
  }
}

TEST(HcpyValues, PrinterInformationDescribesTheTarget) {
  edui::HardcopyState h;
  EXPECT_EQ(edui::PrinterInformation(h, false), "Information Required ... do Setup");
  h.printer.choice.device = "PDF";
  h.printer.choice.port = "out.pdf";
  h.printer.choice.dpi = 300;
  h.printer.chosen = true;
  ASSERT_TRUE(edui::DescribeTarget(h, false));
  EXPECT_EQ(edui::PrinterInformation(h, false),
            "PDF\nPort: out.pdf  Dpi: 300\nPrint Area: 11.69 x 8.27 inches\nPalette Size: 8+  Colors: 1.67772e+07");
  ASSERT_TRUE(edui::DescribeTarget(h, true));
  const std::string screen = edui::PrinterInformation(h, true);
  EXPECT_EQ(screen.rfind("none\nPort: none  Dpi: 96\nPrint Area: ", 0), 0u) << screen;
  EXPECT_NE(screen.find(" pixels\nPalette Size: 8+"), std::string::npos) << screen;
}

constexpr std::uint32_t kRed = 0xFF0000, kWhite = 0xFFFFFF, kBlack = 0x000000;

// Waits for points that never come.
void Idle(Editor& ed) { ed.proto.now.pointState = 1; }

constexpr std::array<edui::CommandEntry, 2> kTable = {{
    {"Get", &Idle, 0xe2, 120},
    {"Print", &edui::PrintCommand, 0x21, 12},
}};

// A cell of red outlines on layer 1: one left of the middle, one high above it.
class PrintTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    WriteCells({{"TOP", 1, {{1, -600, -100, -200, 100}, {1, -100, 700, 100, 900}}, {}}});
    Start(kTable, "TOP");
    db::Settings& s = E().db.settings;
    s.layerPalette[0] = 12;
    s.layerFills[0] = 0;
    s.modeWord = 0;
    // A wide drawing rectangle: the screen shows y from -400 to 400 of a 2000 wide window.
    draw::SetDrawingArea(E().view, draw::DrawingArea{0, 24, 1000, 424});
    E().view.width = 2000;
    E().view.centreX = E().view.centreY = 0;
    draw::NormalizeView(E().view, s);
  }
  void TearDown() override {
    unsetenv("MERO_PRINTER");
    EditorTest::TearDown();
  }
  // Runs Print with the HCPY answer given.
  void Print(const std::string& hcpy) {
    Script("answer HCPY " + hcpy + "\n");
    Send(edui::wm::StartCommand, 1);
    EndScript();
    Drain();
  }
  static std::uint32_t At(const gfx::Surface& s, gfx::Point p) { return s.Row(p.y)[p.x] & 0xFFFFFF; }
};

TEST_F(PrintTest, DirectPagesShowTheViewUnmirroredInPrintColours) {
  const gfx::DeviceCaps caps = Page(100, 1169, 827);
  const draw::PageTransform t = edui::PageTransformDirect(E().view, 1, caps, 0, 0);
  gfx::Surface page(caps.horzRes, caps.vertRes, kWhite);
  edui::DrawPage(E(), page, draw::Target::DirectPrint, t);
  const gfx::Point leftEdge = Device(t, -600, 0);
  EXPECT_LT(leftEdge.x, caps.horzRes / 2);
  EXPECT_EQ(At(page, leftEdge), kRed);
  EXPECT_EQ(At(page, Device(t, 600, 0)), kWhite);

  E().hardcopy.blackWhite = true;
  gfx::Surface mono(caps.horzRes, caps.vertRes, kWhite);
  edui::DrawPage(E(), mono, draw::Target::DirectPrint, t);
  EXPECT_EQ(At(mono, leftEdge), kBlack);
  // the screen's culling window is left as it was
  EXPECT_EQ(E().draw.target, draw::Target::Screen);
}

TEST_F(PrintTest, TheSquareBitmapHoldsWhatLiesAboveTheScreenWindow) {
  E().view.printSetup = true;
  draw::NormalizeView(E().view, E().db.settings);
  const double factor = 1.25;
  const int side = int(1000 * factor);
  const draw::PageTransform t = edui::PageTransformBitmap(E().view, factor, factor, Page(100, 1169, 827), 0, 0);
  gfx::Surface bitmap(side, side, kWhite);
  edui::DrawPage(E(), bitmap, draw::Target::BitmapPrint, t);
  // y 900 is beyond the widened screen window (600) but inside the square (1000)
  EXPECT_EQ(At(bitmap, Device(t, -100, 800)), kRed);
  EXPECT_EQ(At(bitmap, Device(t, -600, 0)), kRed);
}

TEST_F(PrintTest, ClipboardCopyHasTheDrawingProportionsAtHalfTheBitmapFactor) {
  Print("check 1317 1 press 5 press 1");
  const double factor = edui::BitmapFactor(E().panels.sizeClass);
  gfx::Surface copy = ui::ClipboardImage();
  EXPECT_NEAR(copy.width, 1000 * factor / 2, 1);
  EXPECT_NEAR(copy.height, 400 * factor / 2, 1);
  EXPECT_EQ(At(copy, {0, 0}), kWhite);
  // the screen's colour of layer 1, placed as on the screen
  const draw::PageTransform t = edui::PageTransformClipboard(E().view, factor / 2);
  EXPECT_EQ(At(copy, Device(t, -600, 0)), draw::EditorPalette()[12]);

  Print("check 1317 1 check 1318 1 press 5 press 1");
  EXPECT_EQ(At(ui::ClipboardImage(), {0, 0}), kBlack);
  EXPECT_TRUE(E().hardcopy.dark);
}

TEST_F(PrintTest, HcpyStoresItsSettingsAndPrintsToTheChosenFile) {
  const std::string pdf = drive->Path("hardcopy.pdf");
  setenv("MERO_PRINTER", ("file:" + pdf).c_str(), 1);
  Print("press 4 set 1314 \"0\" set 1171 \"5\" set 1170 \"-7\" set 1309 \"-1\" check 1320 1 press 1");
  const db::Settings& s = E().db.settings;
  EXPECT_EQ(s.printScale, 25400);
  EXPECT_EQ(s.printShiftY, 2);
  EXPECT_EQ(s.printShiftX, -2);
  EXPECT_TRUE(E().hardcopy.blackWhite);
  // a hardcopy scale of no use is the one that fits the page
  EXPECT_DOUBLE_EQ(E().hardcopy.hardcopyScale, E().hardcopy.fitScale);
  std::ifstream in(pdf, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(bytes.rfind("%PDF", 0), 0u);
  // printing is over: the screen culls with its own window again
  EXPECT_FALSE(E().view.printSetup);
  EXPECT_EQ(E().view.top, 400);
}

TEST_F(PrintTest, AFileThatCannotBeWrittenIsReported) {
  setenv("MERO_PRINTER", "file:/nonexistent-folder/x.pdf", 1);
  Print("press 4 check 1315 1 press 1");
  EXPECT_TRUE(Logged("box \"\" \"Print Failed\""));
}

TEST_F(PrintTest, PrnColorsStoresEachFieldAsAByte) {
  Script("answer PRNCOLORS set 1200 \"300\" set 1201 \"-5\" set 1202 \"17\" set 1233 \"1\" press ok\n"
         "answer HCPY press 3 press cancel\n");
  Send(edui::wm::StartCommand, 1);
  EndScript();
  Drain();
  const auto& c = E().db.settings.printColors;
  EXPECT_EQ(c[9], 255u + 17u * 65536u);  // Blue row: red 300 held at 255, green -5 at 0
  EXPECT_EQ(c[21], 1u + 255u * 65536u);  // Purple row: red 1, green and blue as shown
  EXPECT_EQ(c[12], 0x0000FFu);          // Red row untouched
}

}  // namespace
}  // namespace edtest
