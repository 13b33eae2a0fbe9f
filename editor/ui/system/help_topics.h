// Command help: every command, button and menu id of the editor with the word of its topic in the
// editor's help file ("Command Information/<word>").
#pragma once
#include <span>
#include <string>
#include <string_view>

namespace edsys {

struct HelpTopic {
  std::string_view word;
  int id = 0;
};

// The 108 rows: Help, the 78 commands in command-table order (the four arrows all "Pan"), the ten
// BOTTOM toggles, the System Mode buttons and the menu items.
std::span<const HelpTopic> HelpTopicTable();

// "Command Information/<word>" of the first row with that id; "" when no row has it.
std::string HelpTopicFor(int id);

}  // namespace edsys
