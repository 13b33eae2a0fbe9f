// The services beside windows and dialogs: key polls, the clipboard, the file-open dialog, printing,
// titles in the log and the pause scale.
#include <QKeyEvent>
#include <QWindow>
#include <cstdio>

#include "platform/ui/clipboard.h"
#include "platform/ui/filedialog.h"
#include "platform/ui/keys.h"
#include "platform/ui/print.h"
#include "platform/ui/tests/fixture.h"

namespace uitest {
namespace {

using namespace ui;

TEST_F(UiTest, KeyPollsFollowTheDeviceWithoutDispatching) {
  Wnd w = MakeRecorded();
  Show(w, show::Normal);
  Focus(w);
  QWindow* window = WidgetOf(w)->window()->windowHandle();
  ASSERT_NE(window, nullptr);
  auto send = [&](QEvent::Type type, int key, Qt::KeyboardModifiers mods) {
    QKeyEvent e(type, key, mods);
    QCoreApplication::sendEvent(window, &e);
  };
  EXPECT_FALSE(IsKeyDown(key::Escape));
  send(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  send(QEvent::KeyPress, Qt::Key_F1, Qt::ControlModifier);
  EXPECT_TRUE(IsKeyDown(key::Escape));
  EXPECT_TRUE(IsKeyDown(key::F1));
  EXPECT_TRUE(IsKeyDown(key::Control));  // from the event's modifiers
  seen.clear();
  EXPECT_TRUE(TakeKeyPress(key::Escape));  // a waiting Esc is taken, nothing else runs
  EXPECT_FALSE(TakeKeyPress(key::Escape));
  EXPECT_TRUE(seen.empty());
  send(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
  send(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier);
  EXPECT_FALSE(IsKeyDown(key::Escape));
  EXPECT_FALSE(IsKeyDown(key::F1));
  EXPECT_FALSE(IsKeyDown(key::Control));
  EXPECT_FALSE(IsKeyDown(-1));
  EXPECT_FALSE(IsKeyDown(key::Count));
}

TEST_F(UiTest, KeyNamesOfTheScript) {
  struct Case {
    const char* name;
    bool ok;
    int key;
    unsigned mods;
  } cases[] = {
      {"Esc", true, key::Escape, 0},
      {"enter", true, key::Enter, 0},
      {"F12", true, key::F12, 0},
      {"f1", true, key::F1, 0},
      {"ctrl+alt+C", true, 'C', mod::Control | mod::Alt},
      {"shift+Tab", true, key::Tab, mod::Shift},
      {"Left", true, key::Left, 0},
      {"a", true, 'A', 0},
      {"F13", false, 0, 0},
      {"F1x", false, 0, 0},
      {"ctrl+", false, 0, 0},
      {"Banana", false, 0, 0},
  };
  for (const Case& c : cases) {
    int k = 0;
    unsigned m = 0;
    EXPECT_EQ(ParseKeyName(c.name, k, m), c.ok) << c.name;
    if (c.ok) {
      EXPECT_EQ(k, c.key) << c.name;
      EXPECT_EQ(m, c.mods) << c.name;
    }
  }
}

TEST_F(UiTest, TheClipboardTakesTextBothWaysAndKeepsItsOwnPicture) {
  ASSERT_TRUE(CopyTextToClipboard("Get 0 0\r\nPut"));
  EXPECT_EQ(ClipboardText(), "Get 0 0\r\nPut");
  gfx::Surface picture(3, 2, 0x112233);
  picture.Row(1)[2] = 0xFF0000;
  ASSERT_TRUE(CopyImageToClipboard(picture));
  picture.pixels.assign(picture.pixels.size(), 0);  // the program frees its bitmap
  gfx::Surface back = ClipboardImage();
  ASSERT_EQ(back.width, 3);
  ASSERT_EQ(back.height, 2);
  EXPECT_EQ(back.Row(0)[0], 0x112233u);
  EXPECT_EQ(back.Row(1)[2], 0xFF0000u);
}

TEST_F(UiTest, TheFileDialogTakesAScriptedNameThatMustExist) {
  std::string folder = TempPath("files");
  std::string cmd = "mkdir -p " + folder + " && touch " + folder + "/X_1_1.PCX";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  std::string log = TempPath("files.log");
  OpenFileOptions o;
  o.title = "Open Map File";
  o.filters = {{"PCX Files", "*.pcx"}};
  o.defaultExtension = "pcx";
  o.folder = folder;

  ASSERT_TRUE(StartScriptForTests("answer OPENFILE set 100 x_1_1 press ok\n", log));
  std::string path;
  EXPECT_TRUE(ChooseFileToOpen(o, path));  // extension added, case-blind match
  EXPECT_EQ(path, folder + "/X_1_1.PCX");
  EXPECT_EQ(ScriptStatus(), 0);

  ASSERT_TRUE(StartScriptForTests("answer OPENFILE press cancel\n", log));
  path = "unchanged";
  EXPECT_FALSE(ChooseFileToOpen(o, path));
  EXPECT_EQ(path, "unchanged");

  ASSERT_TRUE(StartScriptForTests("answer OPENFILE set 100 missing.pcx press ok\n", log));
  EXPECT_FALSE(ChooseFileToOpen(o, path));
  EXPECT_EQ(ScriptStatus(), 2);
  std::system(("rm -rf " + folder).c_str());
}

TEST_F(UiTest, APrintJobWritesItsPagesIntoAPdfOnlyWhenItEndsWell) {
  PrinterChoice choice;
  choice.device = "PDF";
  choice.port = TempPath("print.pdf");
  choice.dpi = 100;
  PageCaps caps = PrinterCaps(choice);
  EXPECT_GE(caps.horzRes, caps.vertRes);  // landscape unless asked
  EXPECT_EQ(caps.horzRes, 1169);          // A4 at 100 dpi
  EXPECT_EQ(caps.horzSizeMm, 297);
  EXPECT_EQ(caps.vertSizeMm, int(std::lround(caps.vertRes * 25.4 / 100)));

  {
    PrintJob job(choice);
    ASSERT_TRUE(job.Start("MERO Hardcopy"));
    for (int page = 0; page < 2; ++page) {
      gfx::Surface* s = job.StartPage();
      ASSERT_NE(s, nullptr);
      EXPECT_EQ(s->width, caps.horzRes);
      EXPECT_EQ(s->Row(5)[5], 0xFFFFFFu);  // a page starts white
      for (int x = 0; x < 100; ++x) s->Row(10)[x] = 0;
      ASSERT_TRUE(job.EndPage());
    }
    ASSERT_TRUE(job.End());
    EXPECT_EQ(job.PageCount(), 2);
  }
  std::string pdf = ReadFile(choice.port);
  ASSERT_GE(pdf.size(), 5u);
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_NE(pdf.find("/Count 2"), std::string::npos);

  {  // an abandoned document leaves the old file alone
    PrintJob job(choice);
    ASSERT_TRUE(job.Start("MERO Hardcopy"));
    ASSERT_NE(job.StartPage(), nullptr);
    job.EndPage();
  }
  EXPECT_EQ(ReadFile(choice.port), pdf);

  PrinterChoice none;  // no printer chosen: nothing starts
  PrintJob job(none);
  EXPECT_FALSE(job.Start("x"));
  EXPECT_EQ(job.StartPage(), nullptr);
  std::remove(choice.port.c_str());
}

TEST_F(UiTest, ThePrinterComesFromTheEnvironmentInAScriptedRun) {
  setenv("MERO_PRINTER", "file:/tmp/out.pdf", 1);
  PrinterChoice choice;
  EXPECT_TRUE(ChoosePrinter(0, choice));
  EXPECT_TRUE(choice.IsFile());
  EXPECT_EQ(choice.port, "/tmp/out.pdf");
  unsetenv("MERO_PRINTER");

  std::string log = TempPath("print.log");
  ASSERT_TRUE(StartScriptForTests("answer PRINTSETUP press cancel\n", log));
  PrinterChoice kept;
  EXPECT_FALSE(ChoosePrinter(0, kept));
  EXPECT_EQ(kept.device, "none");
  ASSERT_TRUE(StartScriptForTests("answer PRINTSETUP press ok\n", log));
  EXPECT_TRUE(ChoosePrinter(0, kept));
  EXPECT_TRUE(kept.IsFile());
}

TEST_F(UiTest, TitlesOfMainWindowsGoToTheLog) {
  std::string log = TempPath("title.log");
  ASSERT_TRUE(StartScriptForTests("wait\n", log));
  Wnd w = MakeRecorded();
  SetTitle(w, "MERO 6.0     Cell: \"A\"");
  EXPECT_EQ(Title(w), "MERO 6.0     Cell: \"A\"");
  EXPECT_EQ(ReadFile(log), "title \"MERO 6.0     Cell: \\\"A\\\"\"\r\n");
  // Another log starts empty, and the first takes no more lines.
  std::string second = TempPath("second.log");
  ASSERT_TRUE(StartScriptForTests("wait\n", second));
  SetTitle(w, "B");
  EXPECT_EQ(ReadFile(second), "title \"B\"\r\n");
  EXPECT_EQ(ReadFile(log), "title \"MERO 6.0     Cell: \\\"A\\\"\"\r\n");
}

TEST_F(UiTest, PausesTakeNoTimeInAScriptedRunUnlessScaled) {
  EXPECT_EQ(ScaledPause(200), 200);
  ASSERT_TRUE(StartScriptForTests("wait\n", ""));
  EXPECT_EQ(ScaledPause(200), 0);
  setenv("MERO_PAUSE_SCALE", "0.5", 1);
  ASSERT_TRUE(StartScriptForTests("wait\n", ""));
  EXPECT_EQ(ScaledPause(200), 100);
  unsetenv("MERO_PAUSE_SCALE");
}

}  // namespace
}  // namespace uitest
