#include "editor/ui/system/help_topics.h"

#include <gtest/gtest.h>

namespace {

TEST(HelpTopics, IdsGiveTheirCommandInformationTopic) {
  const std::pair<int, const char*> cases[] = {
      {10, "Command Information/Help"},   {120, "Command Information/Get"},
      {18, "Command Information/Pan"},    {21, "Command Information/Pan"},
      {19, "Command Information/Pan"},    {20, "Command Information/Pan"},
      {315, "Command Information/Toggles"}, {1007, "Command Information/Clone"},
      {149, "Command Information/Kill"},  {2004, "Command Information/Show"},
      {167, "Command Information/Show"},  {11, "Command Information/Read"},
      {1015, ""},                         {3002, ""}};
  for (auto [id, topic] : cases) EXPECT_EQ(edsys::HelpTopicFor(id), topic) << id;
  EXPECT_EQ(edsys::HelpTopicTable().size(), 108u);
}

}  // namespace
