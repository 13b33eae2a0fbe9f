// Wmerodrc: the design-rule checker. Runs the checks of a check file over a cell of the drawing
// folder and its whole hierarchy, scan area by scan area, and reports the flagged areas; shows maps
// while it runs and keeps them as PCX files, which its Map command shows again.
#include <sstream>

#include "drc/check_run.h"
#include "drc/windows.h"
#include "editor/db/cell_index.h"
#include "editor/db/database.h"
#include "editor/db/form_file.h"
#include "editor/db/helpers.h"
#include "editor/db/records.h"
#include "editor/db/settings.h"
#include "platform/os/process.h"
#include "platform/ui/talk_box.h"
#include "platform/ui/keys.h"
#include "platform/ui/window.h"
#include "utilib/frame/frame.h"

namespace {

using namespace drc;

db::Database database;
DrcSettings settings;
DrawingUnits units;
bool loaded = false;
int totalFlags = 0;

// While Go runs: the job that the display's Cancel stops, and the display's window.
utilib::Job* running = nullptr;
ui::Wnd display = 0;

void Box(const std::string& text) { ui::TalkBox(utilib::UtilityWindow(), kProgram, text, tell::Buttons::Ok); }

void Normalise() {
  // Before the drawing is read there is no scale to round lengths to and no cell index.
  if (loaded) NormaliseSettings(settings, units);
}

bool Start() {
  if (!db::ReadFormFile(database.form, db::kReadPool, "")) {
    Box("FORM.DBD is Missing");
    return false;
  }
  // A damaged index is as unusable as none.
  if (db::ReadCellIndex(database.index) != 1) {
    Box("CELLS6.DBD is Missing");
    return false;
  }
  db::DatabaseScale scale;
  if (!db::ReadDatabaseScale(scale)) {
    Box("CONSTS6.DBD is Missing");
    return false;
  }
  if (scale.damaged) Box(std::string(db::kDamagedScaleText));
  units.scale = scale.scale;
  units.unit = scale.unit;
  units.index = &database.index;
  loaded = true;
  Normalise();
  // The editor's cell and view, in words of up to 32 characters.
  std::vector<std::string> args;
  std::istringstream words(os::CommandArgs());
  for (std::string w; words >> w;) args.push_back(w.substr(0, db::kMaxCellNameLength));
  ApplyCommandLine(settings, units, args);
  return true;
}

bool DisplayMessages(ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) {
  if (m == ui::msg::InitDialog) {
    display = d;
    return false;
  }
  return running && AskAbortChecking(d, m, wp, running->abort);
}

int Go(utilib::Job& job) {
  running = &job;
  job.reportLineFormat = "%s\n\n";
  WindowView view(utilib::UtilityWindow());
  view.SetDisplay(display);
  const ScanWindow w = ScanWindowOf(settings, units.scale);
  view.ShowProgress({double(w.left), double(w.bottom), double(w.right), double(w.top), 0, 0, 0, 0});
  RunOutcome out;
  CheckMaps maps;
  // Without maps nothing can run: say so and leave the run unstarted.
  if (!maps.Allocate()) {
    out.runError = kNoMapMemory;
  } else {
    Machine m(database, job, view, maps);
    out = RunChecks(m, settings, units, [] { return os::TickCount(); });
    TellSetAsideRecords(job, m.raster, database.index);
  }
  view.CloseMapper();
  maps.Free();
  running = nullptr;
  display = 0;
  totalFlags = out.totalFlags;
  if (out.result == 1) return 1;
  switch (out.runError) {
    case kNoMapMemory: Box("Not Enough Memory for Maps"); break;
    case kObjectsFailed: Box("Internal BP6 File Failed to Load"); break;
    case kReferencesFailed: Box("Internal CL6 File Failed to Load"); break;
    default: break;
  }
  utilib::RouteMessage(job, "Aborted ... DRC may be Incomplete", utilib::MessageKind::ReportAndBox, 0);
  return 2;
}

bool Command(int id) {
  if (id == 12) {
    RunViewerDialog(utilib::UtilityWindow());
    return false;
  }
  if (id == 13) return RunSetupDialog(utilib::UtilityWindow(), settings, units) == 1;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  SetDefaults(settings);
  utilib::UtilityProgram p;
  p.name = kProgram;
  p.templates = "wmerodrc";
  p.setupFile = kSetupFile;
  p.version = kSetupVersion;
  p.helpFile = kHelpFile;
  p.reportFile = kReportFile;
  p.credit = "MERODRC 6.0\nDesign Rule Checker";
  p.menu = {{10, "&Help"}, {11, "&Read"}, {12, "&Map"}, {13, "&Setup"}, {14, "&Go"}};
  p.accelerators.entries = {{'H', ui::mod::Alt, 10}, {ui::key::F1, 0, 10}, {'R', ui::mod::Alt, 11},
                            {'M', ui::mod::Alt, 12}, {'S', ui::mod::Alt, 13}, {'G', ui::mod::Alt, 14}};
  p.toolbar = {{10, "Help"}, {11, "Read"}, {13, "Setup"}, {14, "Go"}};
  p.groups = {&settings.slots};
  p.groupsAfterReaders = {&settings.resume};
  p.normalise = Normalise;
  p.start = Start;
  p.command = Command;
  p.goId = 14;
  p.go = Go;
  p.completion = [] { return utilib::Format("Completed ... %d Total Flags", totalFlags); };
  p.displayMessages = DisplayMessages;
  p.character = [](int ch) {
    if (ch != 1) return false;
    Box(utilib::Format("Cell Object Allocation :\n\n%d Boxes  %d Paths  %d Vtx  %d Cells", db::kBoxLimit,
                       db::kPathLimit, db::kVertexLimit, db::kRefLimit));
    return true;
  };
  p.pauseCloseAborts = false;
  return utilib::RunUtility(p, argc, argv);
}
