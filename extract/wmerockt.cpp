// Wmerockt: the circuit extractor. A cell hierarchy of the drawing folder into a SPICE netlist and a
// node list, and two node lists of one circuit compared.
#include "editor/db/settings.h"
#include "extract/dialogs.h"
#include "extract/netlist.h"
#include "extract/node_list.h"
#include "platform/ui/talk_box.h"
#include "platform/ui/keys.h"
#include "utilib/frame/frame.h"

namespace {

ext::ExtractorSettings settings;
ext::Drawing drawing;
int runErrors = 0;

void Box(const std::string& text) {
  ui::TalkBox(utilib::UtilityWindow(), ext::kProgramName, text, tell::Buttons::Ok);
}

bool Start() {
  const std::string missing = ext::ReadDrawingFolder(drawing);
  if (!missing.empty()) {
    Box(missing);
    return false;
  }
  if (drawing.scaleDamaged) Box(std::string(db::kDamagedScaleText));
  return true;
}

void Compare() {
  if (ext::RunSetup2Dialog(settings) != 1) return;
  utilib::WriteUtilitySetup();
  utilib::RunUtilityJob("DISPLAY2", [](utilib::Job& job) {
    const ext::CompareSettings cs{settings.setup2[ext::kFirstList], settings.setup2[ext::kSecondList],
                                  settings.setup2[ext::kBaseName], settings.setup2[ext::kCompareReport]};
    int errors = 0;
    const int result = ext::CompareNodeLists(job, cs, errors);
    utilib::RouteMessage(job, utilib::Format(result ? "Finished ... %d Errors" : "Aborted ... %d Errors", errors),
                         utilib::MessageKind::ReportAndBox, 0);
    return result;
  });
}

bool Command(int id) {
  switch (id) {
    case 12:
      Compare();
      return false;  // the set-up file was written before the comparison
    case 13:
      ext::RunSetup1Dialog(settings, drawing.index);
      return true;
    case 14:
      ext::RunTraceDialog(settings);
      return true;
    case 15:
      ext::RunSmashDialog(settings);
      return true;
  }
  return false;
}

bool Character(int ch) {
  if (ch != 1) return false;  // Ctrl+A
  Box(utilib::Format("Cell Object Allocation :\n\n%d Boxes  %d Paths  %d Vtx  %d Cells", ext::kMaxTraceBoxes,
                     ext::kMaxTracePaths, ext::kMaxTraceVertices, ext::kMaxInstances));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  utilib::UtilityProgram p;
  p.name = ext::kProgramName;
  p.templates = "wmerockt";
  p.setupFile = ext::kSetupFile;
  p.version = ext::kSetupVersion;
  p.helpFile = "MEROCKT.HPV";
  p.reportFile = ext::kReportDefault;
  p.credit = "MEROCKT 6.0\nCircuit Extractor";
  p.menu = {{10, "&Help"}, {11, "&Read"}, {12, "&Comp"}, {13, "&Setup"}, {14, "&Trace"}, {15, "S&mash"}, {16, "&Go"}};
  // Alt+S is listed twice; the first entry, Setup, is the one a key press finds.
  p.accelerators.entries = {{'H', ui::mod::Alt, 10}, {ui::key::F1, 0, 10}, {'R', ui::mod::Alt, 11},
                            {'C', ui::mod::Alt, 12}, {'S', ui::mod::Alt, 13}, {'T', ui::mod::Alt, 14},
                            {'G', ui::mod::Alt, 16}, {'S', ui::mod::Alt, 15}};
  p.toolbar = {{10, "Help"}, {11, "Read"}, {12, "Comp"}, {13, "Setup"}, {14, "Trace"}, {15, "Smash"}, {16, "Go"}};
  p.groups = {&settings.setup1, &settings.setup2, &settings.trace, &settings.smash};
  p.normalise = [] { ext::NormaliseSettings(settings, 0); };
  p.start = Start;
  p.command = Command;
  p.character = Character;
  p.goId = 16;
  p.go = [](utilib::Job& job) { return ext::GoExtraction(job, drawing, settings, runErrors); };
  p.completion = [] { return utilib::Format("Completed ... %d Errors", runErrors); };
  p.displayTemplate = "DISPLAY1";
  p.displayCloseQuestion = "Aborting ...";
  p.displayTitle = [] { return "Analyzing " + settings.setup1[ext::kCellName] + " ..."; };
  p.rotatingPauseMs = 200;
  // Status lines change with every pass and layer step: shown at a readable rate, and at each yield.
  p.heldItems = {ext::kStatusItem};
  return utilib::RunUtility(p, argc, argv);
}
