// The smallest utility on the frame: a Setup with two settings, Help, Read, and a Go that writes a
// report line per step with PAUSE yields between them, stopping on Esc or Cancel.
#include <cstdlib>

#include "platform/ui/dialog.h"
#include "platform/ui/keys.h"
#include "utilib/frame/frame.h"

namespace {

std::vector<std::string> settings = {"5", "UTILDEMO.RPT"};
int stepsDone = 0;

void Normalise() {
  int steps = std::atoi(settings[0].c_str());
  if (steps < 1) steps = 1;
  if (steps > 1000) steps = 1000;
  settings[0] = std::to_string(steps);
  if (settings[1].empty()) settings[1] = "UTILDEMO.RPT";
}

bool SetupDialog() {
  return ui::RunDialog("SETUP", utilib::UtilityWindow(), [](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ui::SetItemText(d, 100, settings[0]);
      ui::SetItemText(d, 101, settings[1]);
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    return ui::EndOkCancel(d, ui::LowWord(wp), [&] {
      settings[0] = ui::ItemText(d, 100, 64);
      settings[1] = ui::ItemText(d, 101, 64);
      Normalise();
    });
  }) == 1;
}

int Go(utilib::Job& job) {
  stepsDone = 0;
  if (!utilib::OpenReport(job, settings[1])) {
    utilib::RouteMessage(job, "Unable to Open Report File ... Can't Continue", utilib::MessageKind::ReportAndBox, 0);
    return 2;
  }
  utilib::ReportPrintf(job, "*** Demo Report ***\n\n");
  utilib::ClearMessageLines(job, 4, 511);
  int steps = std::atoi(settings[0].c_str());
  for (int i = 1; i <= steps; ++i) {
    utilib::SetItemText(job, utilib::Format("Step %d of %d ...", i, steps), 500);
    utilib::ReportOnNextLine(job, utilib::Format("Step %d Done", i), 5, 511);
    utilib::ShowPause(job, 200);
    if (utilib::PollEscape(job)) return 0;
    ++stepsDone;
  }
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  utilib::UtilityProgram p;
  p.name = "UTILDEMO";
  p.templates = "wutildemo";
  p.setupFile = "Utildemo.su6";
  p.version = "6.00";
  p.helpFile = "UTILDEMO.HPV";
  p.reportFile = "UTILDEMO.RPT";
  p.credit = "UTILDEMO 6.0";
  p.menu = {{10, "&Help"}, {11, "&Read"}, {12, "&Setup"}, {14, "&Go"}};
  p.accelerators.entries = {{'H', ui::mod::Alt, 10}, {ui::key::F1, 0, 10}, {'R', ui::mod::Alt, 11},
                            {'S', ui::mod::Alt, 12}, {'G', ui::mod::Alt, 14}};
  p.toolbar = {{10, "Help"}, {11, "Read"}, {12, "Setup"}, {14, "Go"}};
  p.groups = {&settings};
  p.normalise = Normalise;
  p.command = [](int id) { return id == 12 && SetupDialog(); };
  p.go = Go;
  p.completion = [] { return utilib::Format("Completed ... %d Steps", stepsDone); };
  p.displayTitle = [] { return std::string("Constructing ") + settings[1] + " ..."; };
  return utilib::RunUtility(p, argc, argv);
}
