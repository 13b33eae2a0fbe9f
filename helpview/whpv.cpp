// Whpv: the suite's help viewer. Started with a help file and a topic, or alone.
#include <string>
#include <vector>

#include "editor/ui/suite_drive.h"
#include "helpview/viewer.h"
#include "platform/ui/keys.h"
#include "platform/ui/talk_box.h"
#include "platform/ui/window.h"
#include "utilib/frame/frame.h"

namespace {

hpv::Viewer viewer;

// Boxes and the Esc key for the browsing and printing code; the boxes are owned by the viewer's
// window once it is there.
ui::WindowTalk talk;

void Quit() { ui::Post(utilib::UtilityWindow(), ui::msg::Close); }

bool Command(int id) {
  const ui::Wnd w = utilib::UtilityWindow();
  switch (id) {
    case 10:
      if (hpv::RunHelper(w, "HPV Help", hpv::BuiltInHelp()) == hpv::kHelperQuit) Quit();
      break;
    case 11:
      hpv::RunFiler(viewer, w, edui::SuiteDrive());
      break;
    case 12: {
      const int r = hpv::BrowseHelp(viewer, w, false, talk);
      if (r == hpv::kBrowseQuit) Quit();
      if (r == hpv::kBrowsePrint) hpv::PrintTopic(viewer, w, talk);
      break;
    }
    case 13:
      if (hpv::BrowseHelp(viewer, w, true, talk) == hpv::kBrowseManual) hpv::PrintManual(viewer, w, talk);
      break;
    default:
      break;
  }
  // The viewer keeps no set-up file.
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  const hpv::HelpRequest request = hpv::SplitCommandLine(arguments);
  utilib::UtilityProgram p;
  p.name = "HPV";
  p.templates = "whpv";
  p.credit = "HPV 6.0\nHelp Viewer";
  p.menu = {{10, "&Help"}, {11, "&File"}, {13, "&Manual"}, {12, "&Topics"}};
  p.accelerators.entries = {{'H', ui::mod::Alt, 10}, {ui::key::F1, 0, 10}, {'F', ui::mod::Alt, 11},
                            {'M', ui::mod::Alt, 13}, {'T', ui::mod::Alt, 12}};
  p.toolbar = {{10, "Help"}, {11, "File"}, {12, "Topics"}, {13, "Manual"}};
  p.readerPairs = false;
  p.helpId = -1;
  p.readId = -1;
  p.goId = -1;
  p.command = Command;
  // Its topic lists and text open over the window, which keeps room for the text dialog below its
  // bars.
  p.place = [] {
    const int caption = ui::SystemMetric(ui::Metric::CaptionHeight);
    const ui::Rect text = hpv::HelperSize();
    return utilib::UtilityProgram::Place{2 * caption, caption, text.Width(), text.Height()};
  };
  p.start = [&request] {
    talk.owner = utilib::UtilityWindow();
    hpv::StartViewer(viewer, request, edui::SuiteDrive());
    if (!viewer.wantedMain.empty()) ui::Post(utilib::UtilityWindow(), ui::msg::Command, ui::MakeWParam(12, 0));
    ui::BringToTop(utilib::UtilityWindow());
    return true;
  };
  return utilib::RunUtility(p, argc, argv);
}
