// The help text file: its first line, the topic index with its limits, long lines, and the text of
// one topic as the viewer shows it.
#include "helpview/help_file.h"

#include <gtest/gtest.h>

#include "helpview/help_path.h"
#include "helpview/tests/help_fixture.h"
#include "platform/tell/recorder.h"

namespace hpvtest {
namespace {

using hpv::TopicIndex;

class HelpFileTest : public ::testing::Test {
 protected:
  // Writes, opens and indexes a help file; the index result.
  int Index(const std::string& bytes) {
    const std::string path = folder.Write("T.HPV", bytes);
    EXPECT_EQ(hpv::OpenHelpFile(in, path), hpv::OpenResult::Opened);
    return hpv::BuildTopicIndex(in, index, ui);
  }
  std::vector<std::string> Text(int s) { return hpv::LoadTopicText(in, index, s, ui); }

  TempFolder folder;
  os::TextReader in;
  TopicIndex index;
  tell::Recorder ui;
};

TEST(HelpLines, KindsOfLines) {
  const struct {
    const char* line;
    hpv::LineKind kind;
  } cases[] = {
      {"Editing", hpv::LineKind::Main},    {"AB", hpv::LineKind::Main},         {"A", hpv::LineKind::Text},
      {" Get", hpv::LineKind::Secondary},  {" x", hpv::LineKind::Secondary},    {"  text", hpv::LineKind::Text},
      {"", hpv::LineKind::Text},           {" ", hpv::LineKind::Text},          {"   ", hpv::LineKind::Text},
  };
  for (const auto& c : cases) EXPECT_EQ(hpv::KindOf(c.line), c.kind) << '"' << c.line << '"';
  EXPECT_EQ(hpv::PageMarkLines("  \xF0\xF0" "20"), 20);
  EXPECT_TRUE(hpv::IsPageMark("  \xF0\xF0"));
  EXPECT_EQ(hpv::PageMarkLines("  20"), 0);
  EXPECT_FALSE(hpv::IsPageMark(" \xF0\xF0" "20"));
}

TEST_F(HelpFileTest, OnlyAFileThatBeginsWithTheSignatureOpens) {
  EXPECT_EQ(hpv::OpenHelpFile(in, folder.path() + "/NONE.HPV"), hpv::OpenResult::Missing);
  for (const std::string& bytes : {std::string("F0F0\r\nMain\r\n"), std::string("\xF0\r\n"), std::string()})
    EXPECT_EQ(hpv::OpenHelpFile(in, folder.Write("B.HPV", bytes)), hpv::OpenResult::WrongFormat);
  EXPECT_EQ(hpv::OpenHelpFile(in, folder.Write("G.HPV", "\xF0\xF0 any rest\r\n")), hpv::OpenResult::Opened);
}

TEST_F(HelpFileTest, MainTopicsOwnTheSecondaryTopicsBelowThem) {
  for (const std::string end : {"\r\n", "\n"}) {
    SCOPED_TRACE(end.size());
    ASSERT_EQ(Index(HelpText({" Orphan", "  text", "Editing", " Get", "  Picks objects.", "", " Put", "Empty",
                              "Ab", " xy", "  more", "Last", " Only"},
                             end)),
              1);
    ASSERT_EQ(index.MainCount(), 4);
    EXPECT_EQ(index.mains[1].name, "Editing");
    EXPECT_EQ(index.mains[3].name, " ");  // a name of two characters
    // the secondary topic above every main topic belongs to none and is not counted
    ASSERT_EQ(index.SecondaryCount(), 4);
    EXPECT_EQ(index.secondaries[1].name, "Get");
    EXPECT_EQ(index.secondaries[3].name, " ");
    EXPECT_EQ(index.FirstOf(1), 1);
    EXPECT_EQ(index.EndOf(1), 3);
    EXPECT_EQ(index.FirstOf(2), index.EndOf(2));  // Empty owns none
    EXPECT_EQ(index.OwnerOf(4), 4);
    EXPECT_EQ(index.FindMain("eDITING"), 1);
    EXPECT_EQ(index.FindSecondary(1, "put"), 2);
    EXPECT_EQ(index.FindSecondary(4, "put"), 0);
    EXPECT_TRUE(ui.events.empty());
  }
}

TEST_F(HelpFileTest, LongLinesAreShownAndTheirRestIsNoLineOfItsOwn) {
  const std::string fits(70, 'a');  // 71 with its line feed
  const std::string tooLong = "  " + std::string(69, 'b');
  const std::string wraps = "  " + std::string(77, 'c') + "Tail";  // the rest would read as a main topic
  ASSERT_EQ(Index(HelpText({fits, " Sub", tooLong, wraps, " Next"})), 1);
  ASSERT_EQ(ui.EventsOf("box").size(), 2u);
  EXPECT_EQ(ui.events[0], "box \"Help Line Too Long!\" \"" + tooLong + "\" okcancel");
  EXPECT_EQ(ui.events[1], "box \"Help Line Too Long!\" \"" + wraps.substr(0, 79) + "\" okcancel");
  EXPECT_EQ(index.MainCount(), 1);
  EXPECT_EQ(index.SecondaryCount(), 2);

  ui.events.clear();
  ui.boxAnswers = {tell::Answer::Cancel};
  EXPECT_EQ(Index(HelpText({fits, " Sub", tooLong})), 0);
}

TEST_F(HelpFileTest, IndexingStopsAtTheTopicLimitsAndKeepsWhatItHas) {
  std::vector<std::string> lines;
  for (int m = 1; m <= 31; ++m) lines.push_back("Main " + std::to_string(m));
  ASSERT_EQ(Index(HelpText(lines)), 1);
  EXPECT_EQ(index.MainCount(), 31);
  EXPECT_EQ(ui.EventsOf("box"), (std::vector<std::string>{"box \"\" \"Topic Limit Reached or Exceeded\""}));

  lines.pop_back();
  ui.events.clear();
  ASSERT_EQ(Index(HelpText(lines)), 1);
  EXPECT_TRUE(ui.events.empty());

  lines = {"Main"};
  for (int s = 1; s <= 260; ++s) lines.push_back(" Sub " + std::to_string(s));
  ASSERT_EQ(Index(HelpText(lines)), 1);
  EXPECT_EQ(index.SecondaryCount(), 255);
  EXPECT_EQ(index.EndOf(1), 256);
  EXPECT_EQ(ui.EventsOf("box").size(), 1u);
}

TEST_F(HelpFileTest, TopicTextLeavesOutTheBlankLinesAroundIt) {
  ASSERT_EQ(Index(HelpText({"Main", " First", "", "  one", "", "  two", "", " Empty", "", " Last", "  end"})), 1);
  EXPECT_EQ(Text(1), (std::vector<std::string>{"  one", " ", "  two"}));
  // a topic without text shows nothing of the next one
  EXPECT_TRUE(Text(2).empty());
  // the file's last line is shown too
  EXPECT_EQ(Text(3), (std::vector<std::string>{"  end"}));
  EXPECT_TRUE(Text(4).empty());
  EXPECT_TRUE(ui.events.empty());
}

TEST_F(HelpFileTest, ATopicStopsAt384Lines) {
  std::vector<std::string> lines = {"Main", " Long"};
  for (int i = 1; i <= 400; ++i) lines.push_back("  line " + std::to_string(i));
  lines.push_back(" Short");
  for (int i = 1; i <= 383; ++i) lines.push_back("  line " + std::to_string(i));
  ASSERT_EQ(Index(HelpText(lines)), 1);
  const std::vector<std::string> text = Text(1);
  ASSERT_EQ(text.size(), 384u);
  EXPECT_EQ(text.back(), "  line 384");
  EXPECT_EQ(ui.EventsOf("box"), (std::vector<std::string>{"box \"HPV 6.0\" \"Too Many Help Text Lines\""}));
  ui.events.clear();
  EXPECT_EQ(Text(2).size(), 383u);
  EXPECT_TRUE(ui.events.empty());
}

TEST(HelpPaths, MissingPartsComeFromTheSuite) {
  const struct {
    const char* typed;
    const char* path;
    const char* file;
    const char* base;
  } cases[] = {
      {"", "C:\\MERO6\\MERO60.HPV", "MERO60.HPV", "MERO60"},
      {"strmconv", "C:\\MERO6\\STRMCONV.HPV", "STRMCONV.HPV", "STRMCONV"},
      {"d:\\help\\mine.txt", "D:\\HELP\\MINE.TXT", "MINE.TXT", "MINE"},
      {"\\MERO6\\MERO60.HPV", "C:\\MERO6\\MERO60.HPV", "MERO60.HPV", "MERO60"},
      {"/tmp/x/calconv.hpv", "/TMP/X/CALCONV.HPV", "CALCONV.HPV", "CALCONV"},
      {"/home/designer/projects/a-folder-name-long-enough-to-pass-eighty-characters/mine.hpv",
       "/HOME/DESIGNER/PROJECTS/A-FOLDER-NAME-LONG-ENOUGH-TO-PASS-EIGHTY-CHARACTERS/MINE.HPV", "MINE.HPV", "MINE"},
  };
  for (const auto& c : cases) {
    const hpv::HelpPath p = hpv::ResolveHelpPath(c.typed, "C:");
    EXPECT_EQ(p.path, c.path) << c.typed;
    EXPECT_EQ(p.fileName, c.file);
    EXPECT_EQ(p.baseName, c.base);
  }
}

TEST(HelpPaths, TheTopicsFollowThePathPartedBySlashes) {
  using Args = std::vector<std::string>;
  const struct {
    Args args;
    hpv::HelpRequest want;
  } cases[] = {
      {{}, {"", "", ""}},
      {{"C:\\MERO6\\MERO60.HPV"}, {"C:\\MERO6\\MERO60.HPV", "", ""}},
      {{"x.hpv", "Command Information/Get"}, {"x.hpv", "Command Information", "Get"}},
      {{"x.hpv", "Command", "Information/Get/more"}, {"x.hpv", "Command Information", "Get"}},
      {{"x.hpv", "Editing"}, {"x.hpv", "Editing", ""}},
      {{std::string(100, 'a') + ".hpv", "Get"}, {std::string(100, 'a') + ".hpv", "Get", ""}},
  };
  for (const auto& c : cases) {
    const hpv::HelpRequest r = hpv::SplitCommandLine(c.args);
    EXPECT_EQ(r.path, c.want.path);
    EXPECT_EQ(r.mainTopic, c.want.mainTopic);
    EXPECT_EQ(r.secondaryTopic, c.want.secondaryTopic);
  }
}

}  // namespace
}  // namespace hpvtest
