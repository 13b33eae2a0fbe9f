// Records what the engine says through the database's talk interface.
#pragma once
#include <string>
#include <vector>

#include "editor/db/talk.h"

namespace drawtest {

struct RecordingTalk : db::Talk {
  std::vector<int> messages;
  std::vector<std::string> boxes;
  void Message(int n) override { messages.push_back(n); }
  void Box(std::string_view, std::string_view text) override { boxes.emplace_back(text); }
};

}  // namespace drawtest
