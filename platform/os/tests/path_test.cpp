#include "platform/os/path.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/os/tests/scratch.h"

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
