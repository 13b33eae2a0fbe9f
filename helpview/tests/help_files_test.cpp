// The suite's own help files, read as the viewer reads them: each opens and indexes without a
// warning, every topic has text, and every command help of the editor finds its topic.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "editor/ui/system/help_topics.h"
#include "helpview/help_file.h"
#include "platform/tell/recorder.h"

namespace {

const std::string kHelp = MERO_HELP_DIR;

struct Indexed {
  os::TextReader in;
  hpv::TopicIndex index;
  tell::Recorder ui;
};

void Open(Indexed& f, const std::string& name) {
  ASSERT_EQ(hpv::OpenHelpFile(f.in, kHelp + "/" + name), hpv::OpenResult::Opened) << name;
  ASSERT_EQ(hpv::BuildTopicIndex(f.in, f.index, f.ui), 1) << name;
}

TEST(SuiteHelpFiles, EveryProgramsFileIsThereAndReadsCleanly) {
  const std::set<std::string> wanted = {"MERO60.HPV", "STRMCONV.HPV", "CALCONV.HPV", "XCHCONV.HPV",
                                        "MERODRC.HPV", "MEROLL.HPV",   "MEROCKT.HPV", "PLANER.HPV"};
  std::set<std::string> found;
  for (const auto& entry : std::filesystem::directory_iterator(kHelp))
    if (entry.path().extension() == ".HPV") found.insert(entry.path().filename().string());
  EXPECT_EQ(found, wanted);
  for (const std::string& name : found) {
    SCOPED_TRACE(name);
    std::ifstream raw(kHelp + "/" + name, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(raw)), {});
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] == '\n') { ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare line feed at byte " << i; }
    }
    Indexed f;
    Open(f, name);
    EXPECT_TRUE(f.ui.events.empty()) << f.ui.events.front();
    EXPECT_LT(f.index.MainCount(), hpv::kMainTopicLimit - 1);
    EXPECT_LT(f.index.SecondaryCount(), hpv::kSecondaryTopicLimit - 1);
    for (int m = 1; m <= f.index.MainCount(); ++m) {
      const std::string& main = f.index.mains[std::size_t(m)].name;
      EXPECT_LT(f.index.FirstOf(m), f.index.EndOf(m)) << main << " has no topics";
      EXPECT_NE(main.back(), ' ') << main;
    }
    for (int s = 1; s <= f.index.SecondaryCount(); ++s) {
      const std::string& secondary = f.index.secondaries[std::size_t(s)].name;
      EXPECT_NE(secondary.back(), ' ') << secondary;
      EXPECT_FALSE(hpv::LoadTopicText(f.in, f.index, s, f.ui).empty()) << secondary << " has no text";
    }
    EXPECT_TRUE(f.ui.events.empty());
  }
}

TEST(SuiteHelpFiles, EveryCommandHelpOfTheEditorFindsItsTopic) {
  Indexed f;
  Open(f, "MERO60.HPV");
  for (const edsys::HelpTopic& t : edsys::HelpTopicTable()) {
    const std::string topic = edsys::HelpTopicFor(t.id);
    const std::size_t slash = topic.find('/');
    ASSERT_NE(slash, std::string::npos) << t.id;
    const int m = f.index.FindMain(topic.substr(0, slash));
    ASSERT_NE(m, 0) << topic;
    EXPECT_NE(f.index.FindSecondary(m, topic.substr(slash + 1)), 0) << topic;
  }
}

}  // namespace
