#include "helpview/fuzz/fuzz_entry.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "helpview/help_file.h"
#include "helpview/help_path.h"
#include "helpview/manual.h"
#include "tests/fuzz_support.h"
#include "utilib/quiet_ui.h"

namespace hpv {

void FuzzOneHelpFileInput(const std::uint8_t* data, std::size_t size) {
  fuzzsupport::ScratchDrive& drive = fuzzsupport::ScratchDrive::Get();
  const auto visit = drive.Enter();
  drive.Write("M.HPV", std::string_view(reinterpret_cast<const char*>(data), size));
  utilib::QuietUi ui;
  os::TextReader in;
  if (OpenHelpFile(in, "C:\\W\\M.HPV") != OpenResult::Opened) return;
  TopicIndex index;
  if (!BuildTopicIndex(in, index, ui)) return;
  for (int m = 1; m <= index.MainCount(); ++m) {
    if (index.FirstOf(m) > index.EndOf(m)) __builtin_trap();
    index.FindSecondary(m, index.mains[std::size_t(m)].name);
  }
  for (int s = 1; s <= index.SecondaryCount(); ++s) {
    index.OwnerOf(s);
    TopicHeading(index, s);
    if (LoadTopicText(in, index, s, ui).size() > std::size_t(kTopicLines)) __builtin_trap();
  }
  // The manual counted on small pages, so page marks and page breaks are met often.
  PrintArea area;
  area.lineHeight = 16;
  area.linesPerPage = 12;
  area.pageHeight = area.linesPerPage * area.lineHeight;
  area.paper = gfx::Rect{0, 0, kPageWidth, area.pageHeight};
  PageComposer pages(area, nullptr, true, 0);
  std::vector<int> topicPages;
  ComposeManual(pages, in, index, ui, "M.HPV", "Wed Jun 30 21:49:08 1993", &topicPages);
}

// The input is the viewer's arguments, one a line.
void FuzzOneHelpCommandInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> arguments;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    arguments.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  const HelpRequest r = SplitCommandLine(arguments);
  if (r.mainTopic.size() > kTopicChars || r.secondaryTopic.size() > kTopicChars) __builtin_trap();
  for (std::string_view suiteDrive : {"C:", "", "q:"}) {
    const HelpPath p = ResolveHelpPath(r.path, suiteDrive);
    // What the viewer shows as the file and the title is always part of the path it opens.
    if (p.path.find(p.fileName) == std::string::npos || p.fileName.find(p.baseName) != 0) __builtin_trap();
  }
}

}  // namespace hpv
