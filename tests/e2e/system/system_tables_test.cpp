// The tables that name the editor's commands a second time must follow the command table.
#include <gtest/gtest.h>

#include "editor/commands/command_table.h"
#include "editor/ui/system/help_topics.h"
#include "editor/ui/system/system_mode.h"

namespace {

TEST(SystemTables, HelpTopicsFollowTheCommandTableWithTheArrowsAsPan) {
  const auto commands = edcmd::CommandTable();
  const auto topics = edsys::HelpTopicTable();
  ASSERT_EQ(commands.size(), 78u);
  for (std::size_t i = 0; i < commands.size(); ++i) {
    const std::string_view word = commands[i].word;
    const bool arrow = word == "Left" || word == "Right" || word == "Up" || word == "Dn";
    EXPECT_EQ(topics[i + 1].word, arrow ? std::string_view("Pan") : word) << i;
    EXPECT_EQ(topics[i + 1].id, commands[i].id) << word;
  }
}

TEST(SystemTables, EverySystemModeButtonHasItsTopic) {
  for (const edsys::SystemCommand& c : edsys::SystemCommandTable()) {
    const std::string word = c.word == "Spawn" ? "Clone" : std::string(c.word);  // the button says Clone
    EXPECT_EQ(edsys::HelpTopicFor(c.id), "Command Information/" + word);
  }
  EXPECT_EQ(edsys::SystemCommandTable().size(), 13u);
}

}  // namespace
