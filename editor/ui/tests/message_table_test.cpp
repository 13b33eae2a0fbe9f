#include "editor/ui/message_table.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace {

TEST(MessageTable, TextsStandAsUsersKnowThem) {
  EXPECT_STREQ(edui::MessageText(0), "Unknown Messsage");
  EXPECT_STREQ(edui::MessageText(1), "Not a Vaild Name");
  EXPECT_STREQ(edui::MessageText(28), "Unable to find \\MERO6 Drive ... Defaulting to Current Drive");
  EXPECT_STREQ(edui::MessageText(31), "Unable to Create Folder");
  for (int n = 0; n < edui::kMessageCount; ++n) {
    EXPECT_GT(std::strlen(edui::MessageText(n)), 0u) << n;
    EXPECT_EQ(edui::MessageStyle(n), 0);
  }
  EXPECT_STREQ(edui::MessageText(33), edui::MessageText(0));
  EXPECT_STREQ(edui::MessageText(-1), edui::MessageText(0));
}

TEST(MessageTable, MessageThirtyTwoIsTwoParagraphs) {
  std::string text = edui::MessageText(32);
  auto gap = text.find("\n\n");
  ASSERT_NE(gap, std::string::npos);
  EXPECT_EQ(text.substr(0, gap), "Menu Button Size may be Too Large ...");
  EXPECT_EQ(text.substr(gap + 2), "Set Display to Small Fonts or Use a Different Appearance");
}

TEST(MessageTable, ProgressTexts) {
  EXPECT_STREQ(edui::ProgressText(0), "Done !");
  EXPECT_STREQ(edui::ProgressText(9), "Sorting Cells ... DO NOT Interrupt");
  EXPECT_STREQ(edui::ProgressText(14), "Updating ...");
  EXPECT_STREQ(edui::ProgressText(15), "");
}

TEST(SingleInstance, SecondProcessIsWarnedWhileFirstRuns) {
  auto dir = std::filesystem::temp_directory_path() / ("mero-lock-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);

  // A process started before this one holds the lock sees no other instance.
  pid_t first = fork();
  ASSERT_GE(first, 0);
  if (first == 0) _exit(edui::SingleInstanceTest());
  int status = 0;
  waitpid(first, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);

  EXPECT_EQ(edui::SingleInstanceTest(), 0);  // the earlier one has ended
  pid_t second = fork();
  ASSERT_GE(second, 0);
  if (second == 0) _exit(edui::SingleInstanceTest());
  waitpid(second, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 1);
  std::filesystem::remove_all(dir);
}

}  // namespace
