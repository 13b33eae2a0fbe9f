#include "utilib/setup_file.h"

#include <gtest/gtest.h>

#include "platform/os/tests/scratch.h"

namespace utilib {
namespace {

TEST(SetupFile, WrittenAndReadBack) {
  ostest::Scratch dir;
  std::vector<std::string> main = {"???.TLC", "", "Y"}, text = {"1", std::string(70, 'x')};
  ReaderLists readers;
  readers.SetDefaults("STRMEXP.RPT");
  SetupFile file{dir.Path("Strmexp.su6"), "6.01", {&main, &text}, &readers};
  // ProperCasePath gives the spelling of the file as it is made; the folder part is matched case-blind.
  ASSERT_EQ(file.Write(), 1);

  std::vector<std::string> main2(3, "d"), text2(2, "d");
  ReaderLists readers2;
  SetupFile again{dir.Path("Strmexp.su6"), "6.01", {&main2, &text2}, &readers2};
  ASSERT_EQ(again.Read(), 1);
  EXPECT_EQ(main2, main);
  EXPECT_EQ(text2[1], std::string(64, 'x'));
  EXPECT_EQ(readers2.programs[0], "Notepad");
  EXPECT_EQ(readers2.files[0], "STRMEXP.RPT");
  EXPECT_EQ(readers2.files[1], "");
}

TEST(SetupFile, OtherVersionOrMissingKeepsTheDefaults) {
  ostest::Scratch dir;
  std::vector<std::string> group = {"default"};
  SetupFile file{dir.Path("Strmimp.su6"), "6.01", {&group}, nullptr};
  EXPECT_EQ(file.Read(), 0);
  dir.Write("Strmimp.su6", "6.00\r\nchanged\r\n");
  EXPECT_EQ(file.Read(), 0);
  EXPECT_EQ(group[0], "default");
  dir.Write("Strmimp.su6", "6.01\nchanged\n");
  EXPECT_EQ(file.Read(), 1);
  EXPECT_EQ(group[0], "changed");
}

// Groups after the reader pairs leave the file as older versions of a program read it, and a file
// they wrote (without those lines) leaves the groups as they were.
TEST(SetupFile, GroupsAfterTheReaderPairs) {
  ostest::Scratch dir;
  std::vector<std::string> main = {"A", "B"}, later = {"1", "2.5um"};
  ReaderLists readers;
  readers.SetDefaults("X.RPT");
  SetupFile file{dir.Path("X.su6"), "6.01", {&main}, &readers, {&later}};
  ASSERT_EQ(file.Write(), 1);

  std::vector<std::string> oldMain(2);
  ReaderLists oldReaders;
  SetupFile older{dir.Path("X.su6"), "6.01", {&oldMain}, &oldReaders};
  ASSERT_EQ(older.Read(), 1);
  EXPECT_EQ(oldMain, main);
  EXPECT_EQ(oldReaders.programs[0], "Notepad");
  EXPECT_EQ(oldReaders.files[0], "X.RPT");

  std::vector<std::string> back(2);
  SetupFile again{dir.Path("X.su6"), "6.01", {&oldMain}, &oldReaders, {&back}};
  ASSERT_EQ(again.Read(), 1);
  EXPECT_EQ(back, later);
  ASSERT_EQ(older.Write(), 1);
  back = {"kept", ""};
  ASSERT_EQ(again.Read(), 1);
  EXPECT_EQ(back, (std::vector<std::string>{"kept", ""}));
}

TEST(SetupFile, LengthsHaveSixDigitsAndTheUnit) {
  EXPECT_EQ(FormatLength(2.5, "um"), "2.5um");
  EXPECT_EQ(FormatLength(-0.05, "um"), "-0.05um");
  EXPECT_EQ(FormatLength(100.0 / 3, "mil"), "33.3333mil");
  EXPECT_EQ(FormatLength(1234567, ""), "1.23457e+06");
}

TEST(ReaderLists, MostRecentFirst) {
  ReaderLists r;
  r.SetDefaults("X.RPT");
  for (const char* p : {"vi", "less", "Notepad"}) r.Choose(p, "");
  // Now: Notepad, less, vi, (old Notepad gone: it was moved, not copied)
  EXPECT_EQ(r.programs[0], "Notepad");
  EXPECT_EQ(r.programs[1], "less");
  EXPECT_EQ(r.programs[2], "vi");
  EXPECT_EQ(r.programs[3], "");
  r.programs[3] = "ed";
  r.Choose("notepad", "");
  // Found as entry 0: nothing moves, the typed spelling is kept.
  EXPECT_EQ(r.programs[0], "notepad");
  EXPECT_EQ(r.programs[1], "less");
  r.Choose("ED", "");
  EXPECT_EQ((std::vector<std::string>{r.programs[0], r.programs[1], r.programs[2], r.programs[3], r.programs[4]}),
            (std::vector<std::string>{"ED", "notepad", "less", "vi", ""}));

  for (int i = 0; i < kReaderEntries; ++i) r.programs[i] = "p" + std::to_string(i);
  r.Choose("new", "");
  EXPECT_EQ(r.programs[0], "new");
  EXPECT_EQ(r.programs[9], "p8");
  EXPECT_EQ(r.files[0], "X.RPT");  // the file list is untouched by the program choice

  r.Clean();
  for (int i = 0; i < kReaderEntries; ++i) EXPECT_TRUE(r.programs[i].empty() && r.files[i].empty());
}

}  // namespace
}  // namespace utilib
