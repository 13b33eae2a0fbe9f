#include "install/install_flow.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "install/menu_entry.h"
#include "install/tests/zip_fixture.h"

namespace install {
namespace {

using insttest::MakeZip;
using insttest::Deflated;
using insttest::ZipMember;

TEST(InstallSettings, SourceFolderAndDriveAsTyped) {
  const std::pair<const char*, const char*> folders[] = {
      {"D:Zips", "D:\\Zips\\"},      {"C:\\MeroZips", "C:\\MeroZips\\"}, {"c:\\z\\", "C:\\z\\"}, {"d:", "D:\\"},
      {"", ""},                      {"/home/me/zips", "/home/me/zips\\"}, {"zips/", "zips/"}, {"D:/Zips ", "D:/Zips\\"}};
  for (const auto& [typed, normal] : folders) EXPECT_EQ(NormaliseSourceFolder(typed), normal) << typed;
  EXPECT_EQ(NormaliseSourceFolder(std::string(80, 'x')), std::string(63, 'x') + "\\");
  const std::pair<const char*, const char*> drives[] = {{"C:", "C:"},     {"d", "D:"},         {"e:\\", "E:"},
                                                        {" f: ", "F:"},   {"/opt/mero/", "/opt/mero"},
                                                        {"", ""},         {"1:", ""}};
  for (const auto& [typed, normal] : drives) EXPECT_EQ(NormaliseDrive(typed), normal) << typed;
}

TEST(InstallSettings, ArchivesOfTheSourceFolder) {
  insttest::Scratch s;
  for (const char* name : {"MERO6F.ZIP", "MERO6A.ZIP", "mero6b.zip", "Mero6C.zip", "MERO6D.ZIP", "MERO6E.ZIP", "PROJ1.ZIP",
                           "Tutor.zip", "CHARS.ZIP", "notes.txt", "a_name_much_longer_than_thirty_one.zip", "Mero5.zip"})
    s.Write("Z/" + std::string(name), "x");
  const std::string source = NormaliseSourceFolder("C:Z");
  EXPECT_EQ(source, "C:\\Z\\");
  // Only the first five suite archives, by name.
  EXPECT_EQ(CollectSuiteArchives(source),
            (std::vector<std::string>{"MERO6A.ZIP", "mero6b.zip", "Mero6C.zip", "MERO6D.ZIP", "MERO6E.ZIP"}));
  const auto more = CollectAdditionalArchives(source);
  ASSERT_EQ(more.size(), 2u);
  EXPECT_EQ(more[0].name, "Mero5.zip");
  EXPECT_EQ(more[1].name, "Proj1.zip");
  EXPECT_FALSE(more[0].checked);

  for (int i = 0; i < 20; ++i) s.Write("Y/P" + std::to_string(100 + i) + ".zip", "x");
  EXPECT_EQ(CollectAdditionalArchives("C:\\Y\\").size(), kMaxAdditionalArchives);
  EXPECT_TRUE(CollectSuiteArchives("C:\\Y\\").empty());

  EXPECT_TRUE(DriveExists("C:"));
  EXPECT_FALSE(DriveExists("Q:"));
  EXPECT_TRUE(DriveExists(s.root));
  EXPECT_FALSE(DriveExists(s.root + "/none"));
  // The source folder stays where it was when the current folder changes.
  EXPECT_EQ(AbsoluteSourceFolder(""), s.root + "/");
  EXPECT_EQ(AbsoluteSourceFolder("Z\\"), s.root + "/Z\\");
  EXPECT_EQ(AbsoluteSourceFolder("C:\\Z\\"), "C:\\Z\\");
}

TEST(MenuEntry, CommandAndValuesAreQuoted) {
  MenuEntry e{"Proj 1", "MERO Drawing", "/opt/my mero/Mero6/Wmero", "/opt/my mero/Mero6/Proj 1"};
  EXPECT_EQ(DesktopEntryText(e),
            "[Desktop Entry]\nType=Application\nVersion=1.0\nName=Proj 1\nComment=MERO Drawing\n"
            "Exec=\"/opt/my mero/Mero6/Wmero\"\nPath=/opt/my mero/Mero6/Proj 1\nTerminal=false\n"
            "Categories=Graphics;Engineering;\n");
  // Within quotes ", `, $ and \ take a backslash; then every backslash is escaped as in any value.
  EXPECT_EQ(QuoteCommandArgument("/a$b/c\"d/100%/e\\f"), "\"/a\\\\$b/c\\\\\"d/100%%/e\\\\\\\\f\"");
  EXPECT_EQ(EscapeEntryValue("a\\b\nc"), "a\\\\b\\nc");
}

TEST(StartMenu, TheUsersApplicationsFolder) {
  insttest::Scratch s;
  const char* savedXdg = std::getenv("XDG_DATA_HOME");
  const std::string kept = savedXdg ? savedXdg : "";
  setenv("XDG_DATA_HOME", s.root.c_str(), 1);
  EXPECT_EQ(FindStartMenuFolder("Start Menu"), s.root + "/applications");
  EXPECT_EQ(FindStartMenuFolder("start menu"), s.root + "/applications");
  EXPECT_EQ(FindStartMenuFolder("Programs"), "");
  setenv("XDG_DATA_HOME", (s.root + "/missing").c_str(), 1);
  EXPECT_EQ(FindStartMenuFolder("Start Menu"), "");
  if (savedXdg) setenv("XDG_DATA_HOME", kept.c_str(), 1);
  else unsetenv("XDG_DATA_HOME");
}

// A source folder with two suite archives (the first holding the tutorial archive) and a drawing
// archive, installed on drive D.
struct InstallFixture {
  insttest::Scratch s;
  tell::Recorder ui;
  utilib::Job job{"SETUP", ui};
  ProgressList lines{job};
  InstallPlan plan;
  const std::string program = std::string("\x7f" "ELF", 4) + std::string(60, '\1');

  InstallFixture() {
    std::filesystem::create_directories(s.Path("d"));
    std::filesystem::create_directories(s.Path("menu"));
    os::SetDriveTable("C=" + s.root + ";D=" + s.Path("d"));
    const std::string tutor = MakeZip({Deflated("FORM.DBD", "LAYER=METAL 1\r\n"), Deflated("TOP.BP6", "bp6")});
    s.Write("zips/MERO6A.ZIP", MakeZip({Deflated("wmero", program), Deflated("Tutor.zip", tutor)}));
    s.Write("zips/MERO6B.ZIP", MakeZip({Deflated("whpv", program), Deflated("TFF.DBD", std::string(12288, '\xFF'))}));
    s.Write("zips/PROJ1.ZIP", MakeZip({Deflated("CELLS6.DBD", "1\r\n")}));
    plan.settings.drive = "D:";
    plan.source = AbsoluteSourceFolder(NormaliseSourceFolder("zips"));
    plan.suiteArchives = CollectSuiteArchives(plan.source);
    plan.additional = CollectAdditionalArchives(plan.source);
    plan.startMenu = s.Path("menu/applications");
  }
  std::string Entry(const std::string& name) const { return s.Read("menu/applications/Mero 6.0/" + name + ".desktop"); }
};

TEST(RunInstall, SuiteTutorialAndDrawingFoldersWithTheirMenuItems) {
  InstallFixture f;
  ASSERT_EQ(f.plan.additional.size(), 1u);
  f.plan.additional[0].checked = true;
  RunInstall(f.job, f.lines, f.plan);
  EXPECT_TRUE(f.ui.EventsOf("box").empty()) << f.ui.EventsOf("box")[0];
  const std::string suite = f.s.Path("d/Mero6");
  EXPECT_EQ(f.s.Read("d/Mero6/Wmero"), f.program);
  EXPECT_EQ(f.s.Read("d/Mero6/Whpv"), f.program);
  struct stat st;
  ASSERT_EQ(stat((suite + "/Wmero").c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IXUSR);
  EXPECT_EQ(f.s.Read("d/Mero6/Tutor/Form.dbd"), "LAYER=METAL 1\r\n");
  EXPECT_EQ(f.s.Read("d/Mero6/Proj1/Cells6.dbd"), "1\r\n");
  EXPECT_FALSE(f.s.Has("d/Mero6/Chars"));

  const std::vector<std::string> titles = f.ui.EventsOf("title");
  const std::string& source = f.plan.source;
  const std::vector<std::string> expected = {
      "title \"Expanding " + source + "MERO6A.ZIP in the D:\\Mero6 Folder\"",
      "title \"Expanding " + source + "MERO6B.ZIP in the D:\\Mero6 Folder\"",
      "title \"Expanding D:\\Mero6\\Tutor.zip in the D:\\Mero6\\Tutor Folder\"",
      "title \"Creating Tutor Start Menu Item\"",
      "title \"Expanding " + source + "Proj1.zip in the D:\\Mero6\\Proj1 Folder\"",
      "title \"Creating Proj1 Start Menu Item\"",
      "title \"Creating Mero Help Start Menu Item\""};
  EXPECT_EQ(titles, expected);
  EXPECT_EQ(f.ui.items[kProgressCounter], "7 Files Installed");

  EXPECT_NE(f.Entry("Proj1").find("Exec=\"" + suite + "/Wmero\"\n"), std::string::npos) << f.Entry("Proj1");
  EXPECT_NE(f.Entry("Proj1").find("Path=" + suite + "/Proj1\n"), std::string::npos);
  EXPECT_NE(f.Entry("Proj1").find("Comment=MERO Drawing\n"), std::string::npos);
  EXPECT_NE(f.Entry("Tutor").find("Path=" + suite + "/Tutor\n"), std::string::npos);
  EXPECT_NE(f.Entry("Mero Help").find("Exec=\"" + suite + "/Whpv\"\n"), std::string::npos);
  EXPECT_NE(f.Entry("Mero Help").find("Path=" + suite + "\n"), std::string::npos);
}

TEST(RunInstall, WithoutAMenuFolderOrWithItsGroupsOff) {
  InstallFixture f;
  f.plan.startMenu.clear();
  f.plan.settings.tutorFiles = false;
  RunInstall(f.job, f.lines, f.plan);
  EXPECT_TRUE(f.s.Has("d/Mero6/Wmero"));
  EXPECT_FALSE(f.s.Has("d/Mero6/Tutor"));
  EXPECT_FALSE(f.s.Has("d/Mero6/Proj1"));  // left unchecked
  EXPECT_FALSE(f.s.Has("menu/applications"));
  EXPECT_TRUE(f.ui.EventsOf("box").empty());

  // Without the system files there is no tutorial archive to take.
  InstallFixture g;
  g.plan.settings.systemFiles = false;
  RunInstall(g.job, g.lines, g.plan);
  EXPECT_FALSE(g.s.Has("d/Mero6/Wmero"));
  EXPECT_EQ(g.ui.EventsOf("box"),
            (std::vector<std::string>{"box \"SETUP 6.0\" \"Fatal Error Occured ... Check Cause and Run SETUP Again.\""}));
  EXPECT_EQ(insttest::ProgressLines(g.ui).back(), "D:\\Mero6\\Tutor.zip file is missing");
  EXPECT_TRUE(g.Entry("Tutor").empty());
  EXPECT_FALSE(g.Entry("Mero Help").empty());
}

TEST(RunInstall, ErrorsAndAbort) {
  // A damaged suite archive is reported and the install goes on; a menu folder that cannot be made
  // shows the menu messages.
  InstallFixture f;
  ZipMember bad = Deflated("broken", "data");
  bad.badCrc = true;
  f.s.Write("zips/MERO6B.ZIP", MakeZip({bad}));
  f.s.Write("menu/applications", "a file in the way");
  RunInstall(f.job, f.lines, f.plan);
  EXPECT_TRUE(f.s.Has("d/Mero6/Tutor/Form.dbd"));
  const std::vector<std::string> boxes = f.ui.EventsOf("box");
  ASSERT_EQ(boxes.size(), 7u);
  EXPECT_EQ(boxes[0], "box \"SETUP 6.0\" \"Non-fatal Error Occurred... Installation May Not be Complete\"");
  EXPECT_EQ(boxes[1], "box \"SETUP 6.0\" \"Failed at Save Shortcut\"");
  EXPECT_EQ(boxes[2], "box \"SETUP 6.0\" \"Failed to Create Shortcut\"");
  EXPECT_EQ(boxes[3], "box \"SETUP 6.0\" \"Start Menu Error Occurred... Installation May Not be Complete\"");

  // A suite folder that cannot be made fails each expansion, and no menu item is made for it.
  InstallFixture h;
  h.s.Write("d/Mero6", "a file in the way");
  RunInstall(h.job, h.lines, h.plan);
  EXPECT_EQ(insttest::ProgressLines(h.ui)[0], "Unable to make the D:\\Mero6 Folder ... can't continue");
  EXPECT_EQ(h.ui.EventsOf("box").size(), 3u);  // both suite archives and the tutorial
  EXPECT_TRUE(h.Entry("Tutor").empty());

  // Esc during the first archive: nothing after it is expanded.
  InstallFixture g;
  g.plan.additional[0].checked = true;
  g.ui.cancelAtPause = 0;
  RunInstall(g.job, g.lines, g.plan);
  EXPECT_TRUE(g.s.Has("d/Mero6/Wmero"));
  EXPECT_FALSE(g.s.Has("d/Mero6/Whpv"));
  EXPECT_FALSE(g.s.Has("d/Mero6/Proj1"));
  EXPECT_EQ(g.ui.EventsOf("box").back(), "box \"SETUP 6.0\" \"Aborted ... Installation May Not be Complete\"");
}

}  // namespace
}  // namespace install
