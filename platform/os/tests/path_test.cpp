#include "platform/os/path.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/os/tests/scratch.h"
#include "platform/os/textfile.h"

namespace {

using ostest::Scratch;

TEST(Drives, SuiteFolderParentIsDriveCUnlessTheTableSaysOtherwise) {
  Scratch s;
  std::filesystem::create_directories(s.Path("top/Mero6"));
  unsetenv("MERO_DRIVES");
  os::InitDrives(s.Path("top/Mero6"));
  EXPECT_EQ(os::SuiteDriveLetter(), 'C');
  EXPECT_EQ(os::DriveRoot('c'), s.Path("top"));
  EXPECT_EQ(os::NativePath("C:\\MERO6\\TFF.DBD"), s.Path("top/Mero6/TFF.DBD"));

  setenv("MERO_DRIVES", ("D=" + s.Path("top") + ";E=" + s.root + "/").c_str(), 1);
  os::InitDrives(s.Path("top/Mero6"));
  EXPECT_EQ(os::SuiteDriveLetter(), 'D');
  EXPECT_EQ(os::DriveRoot('C'), "");
  EXPECT_EQ(os::NativePath("e:/top/mero6"), s.Path("top/Mero6"));
  EXPECT_EQ(os::NativePath("Q:\\x"), "");  // unknown drive
  unsetenv("MERO_DRIVES");

  os::SetDriveTable("C=/nonexistent;bad;7=/x;D=relative");
  EXPECT_EQ(os::DriveRoot('C'), "/nonexistent");
  EXPECT_EQ(os::DriveRoot('D'), "");
}

TEST(Paths, ExistingComponentsResolveCaseBlindExactSpellingWins) {
  Scratch s;
  s.Write("Chips/NAND2.BP6", "a");
  s.Write("Chips/nand2.bp6", "b");
  s.Write("Chips/Cells6.dbd", "c");
  os::SetDriveTable("C=" + s.root);
  struct Case { const char* in; std::string out; };
  const Case cases[] = {
      {"C:\\CHIPS\\NAND2.BP6", s.Path("Chips/NAND2.BP6")},
      {"C:/chips/nand2.bp6", s.Path("Chips/nand2.bp6")},
      {"C:\\chips\\Nand2.Bp6", s.Path("Chips/NAND2.BP6")},   // first in case-blind order
      {"C:\\chips\\CELLS6.DBD", s.Path("Chips/Cells6.dbd")},
      {"C:\\chips\\New\\Nand3.bp6", s.Path("Chips/New/Nand3.bp6")},  // new names keep their spelling
      {"C:", s.root},
  };
  for (const Case& c : cases) EXPECT_EQ(os::NativePath(c.in), c.out) << c.in;
  EXPECT_EQ(os::NativePath((s.root + "/CHIPS/cells6.DBD").c_str()), s.Path("Chips/Cells6.dbd"));

  std::filesystem::current_path(s.Path("Chips"));
  EXPECT_EQ(os::NativePath("CELLS6.DBD"), "Cells6.dbd");
  EXPECT_EQ(os::NativePath("\\chips\\cells6.dbd"), s.Path("Chips/Cells6.dbd"));  // root of current drive
  EXPECT_TRUE(os::FileExists("cells6.dbd"));
  EXPECT_FALSE(os::FileExists("none.dbd"));
  EXPECT_TRUE(os::FolderExists("C:\\CHIPS"));
}

// The resolver keeps a folder's listing between look-ups: what it finds must stay what a fresh look
// through the folder finds, whether the files came and went through the suite's own writers or
// behind its back.
TEST(Paths, NewNamesFindCaseBlindMatchesHoweverTheFolderChanged) {
  Scratch s;
  s.Write("Out/Keep.TLC", "k");
  os::SetDriveTable("C=" + s.root);
  auto resolve = [](const char* name) { return os::NativePath(std::string("C:\\OUT\\") + name); };
  EXPECT_EQ(resolve("A.TLC"), s.Path("Out/A.TLC"));  // listed now, nothing like it
  for (int i = 0; i < 3; ++i) {
    os::TextWriter w;  // through a temporary file and a rename
    ASSERT_TRUE(w.Open(std::string("C:\\OUT\\c") + char('0' + i) + ".tlc"));
    w.Line("x");
    ASSERT_EQ(w.Commit(), 1);
  }
  EXPECT_EQ(resolve("C1.TLC"), s.Path("Out/c1.tlc"));
  EXPECT_EQ(resolve("KEEP.tlc"), s.Path("Out/Keep.TLC"));
  {
    os::TextWriter abandoned;
    ASSERT_TRUE(abandoned.Open("C:\\OUT\\gone.tlc"));
  }
  EXPECT_EQ(resolve("GONE.TLC"), s.Path("Out/GONE.TLC"));
  // Behind the resolver's back: made, renamed and removed by the file system's own calls. A folder's
  // times may move in steps of a clock tick, so each change comes a tick after the last look.
  const auto tick = [] { std::this_thread::sleep_for(std::chrono::milliseconds(20)); };
  tick();
  s.Write("Out/b.tlc", "b");
  EXPECT_EQ(resolve("B.TLC"), s.Path("Out/b.tlc"));
  tick();
  std::filesystem::rename(s.Path("Out/b.tlc"), s.Path("Out/d.tlc"));
  EXPECT_EQ(resolve("B.TLC"), s.Path("Out/B.TLC"));
  EXPECT_EQ(resolve("D.TLC"), s.Path("Out/d.tlc"));
  tick();
  std::filesystem::remove(s.Path("Out/c1.tlc"));
  EXPECT_EQ(resolve("C1.TLC"), s.Path("Out/C1.TLC"));
  EXPECT_EQ(resolve("C2.TLC"), s.Path("Out/c2.tlc"));
}

TEST(Paths, RenameNeverReplacesAndMkdirTellsWhy) {
  Scratch s;
  s.Write("d/A.CL6", "a");
  s.Write("d/B.CL6", "b");
  os::SetDriveTable("C=" + s.root);
  EXPECT_EQ(os::RenameFile("C:\\D\\A.CL6", "C:\\D\\b.cl6"), 0);
  EXPECT_EQ(s.Read("d/A.CL6"), "a");
  EXPECT_EQ(s.Read("d/B.CL6"), "b");
  EXPECT_EQ(os::RenameFile("C:\\D\\A.CL6", "C:\\D\\C.CL6"), 1);
  EXPECT_EQ(s.Read("d/C.CL6"), "a");
  EXPECT_FALSE(s.Has("d/A.CL6"));
  EXPECT_EQ(os::RenameFile("C:\\D\\c.cl6", "C:\\D\\c.cl6"), 1);  // case change of one file
  EXPECT_TRUE(s.Has("d/c.cl6"));
  EXPECT_EQ(os::RenameFile("C:\\D\\missing", "C:\\D\\x"), 0);

  EXPECT_EQ(os::MakeFolder("C:\\D"), os::MkdirResult::Exists);
  EXPECT_EQ(os::MakeFolder("C:\\NEW\\"), os::MkdirResult::Created);
  EXPECT_EQ(os::MakeFolder("C:\\no\\such\\parent"), os::MkdirResult::NoParent);
  EXPECT_EQ(os::RemoveFile("C:\\d\\B.cl6"), 1);
  EXPECT_EQ(os::RemoveFile("C:\\d\\B.cl6"), 0);
}

TEST(Paths, ListingsMatchCaseBlindAndSortCaseBlind) {
  Scratch s;
  for (const char* n : {"b.TLC", "A.tlc", "c.tlc.bak", "CELLS.REF", "a2.TLC"}) s.Write(std::string("x/") + n, "");
  std::filesystem::create_directories(s.Path("x/Sub.tlc"));
  os::SetDriveTable("C=" + s.root);
  EXPECT_EQ(os::ListFiles("C:\\X\\*.TLC"), (std::vector<std::string>{"A.tlc", "a2.TLC", "b.TLC"}));
  EXPECT_EQ(os::ListFiles("C:\\X\\?.tlc"), (std::vector<std::string>{"A.tlc", "b.TLC"}));
  EXPECT_EQ(os::ListFiles("C:/x/*.*").size(), 5u);
  EXPECT_EQ(os::ListFolders("C:\\X\\*"), (std::vector<std::string>{"Sub.tlc"}));
  EXPECT_TRUE(os::ListFiles("C:\\nowhere\\*").empty());

  struct Case { const char* pattern; const char* name; bool match; };
  const Case cases[] = {{"*", "", true},          {"a*b", "AxxB", true},   {"a*b", "axxbc", false},
                        {"*.tlc", ".tlc", true},  {"?", "", false},       {"n*d*2", "NAND2", true},
                        {"NAND", "NAND2", false}, {"*.*", "noext", true}, {"**a", "a", true}};
  for (const Case& c : cases) EXPECT_EQ(os::MatchWildcard(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
}

}  // namespace
