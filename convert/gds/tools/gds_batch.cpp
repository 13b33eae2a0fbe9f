// Runs the converters' jobs without a window, for benchmarks and peer checks:
//   gds_batch export MAIN.TLC OUT.GDS [N=VALUE | tN=VALUE]...
//   gds_batch import IN.GDS TLC_FOLDER [N=VALUE | tN=VALUE | oN=VALUE]...
// N is a slot of the main settings group, tN of the text rows, oN of the omit list. Message boxes
// go to stderr and are answered OK; pauses take no time; a name the importer cannot use becomes
// RENAMEDn. Exit status 0 when the job completed, 1 when it stopped.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "convert/gds/exporter.h"
#include "convert/gds/importer.h"
#include "utilib/quiet_ui.h"
#include "platform/os/process.h"

namespace {

// "N=VALUE" into the right group; false for an argument of another form.
bool SetSlot(const std::string& arg, std::vector<std::string>& main, std::vector<std::string>& text,
             std::vector<std::string>* omit) {
  const std::size_t eq = arg.find('=');
  if (eq == std::string::npos || eq == 0) return false;
  std::vector<std::string>* group = &main;
  std::size_t start = 0;
  if (arg[0] == 't') group = &text, start = 1;
  if (arg[0] == 'o' && omit) group = omit, start = 1;
  const int slot = std::atoi(arg.substr(start, eq - start).c_str());
  if (slot < 0 || slot >= static_cast<int>(group->size())) return false;
  (*group)[slot] = arg.substr(eq + 1);
  return true;
}

int Usage() {
  std::fprintf(stderr,
               "usage: gds_batch export MAIN.TLC OUT.GDS [N=VALUE | tN=VALUE]...\n"
               "       gds_batch import IN.GDS TLC_FOLDER [N=VALUE | tN=VALUE | oN=VALUE]...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  os::InitProcess(argc, argv);
  if (argc < 4) return Usage();
  const std::string mode = argv[1];
  utilib::QuietUi ui(true);
  if (mode == "export") {
    gds::ExportSettings s;
    gds::SetExportDefaults(s);
    s.main[0] = argv[2];
    s.main[1] = argv[3];
    for (int i = 4; i < argc; ++i)
      if (!SetSlot(argv[i], s.main, s.text, nullptr)) return Usage();
    gds::NormaliseExportMain(s);
    gds::NormaliseExportText(s);
    utilib::Job job(gds::kExportProgram, ui);
    gds::ExportResult result;
    const int done = gds::ExportGds(job, s, &result);
    const std::string last = done ? gds::ExportCompletedText(result) : "Aborted ... Files may be Incomplete";
    utilib::RouteMessage(job, last, utilib::MessageKind::ReportAndBox, 0);
    utilib::CloseReport(job);
    return done ? 0 : 1;
  }
  if (mode == "import") {
    gds::ImportSettings s;
    gds::SetImportDefaults(s);
    s.main[0] = argv[2];
    s.main[1] = argv[3];
    for (int i = 4; i < argc; ++i)
      if (!SetSlot(argv[i], s.main, s.text, &s.omit)) return Usage();
    gds::NormaliseImportAll(s);
    utilib::Job job(gds::kImportProgram, ui);
    int renamed = 0;
    utilib::NewNameAsker ask = [&renamed](std::string_view) -> std::optional<std::string> {
      return "RENAMED" + std::to_string(++renamed);
    };
    gds::ImportResult result;
    const int done = gds::ImportGds(job, s, ask, &result);
    const std::string last = done ? gds::ImportCompletedText(result) : "Aborted ... Files may be Incomplete";
    utilib::RouteMessage(job, last, utilib::MessageKind::ReportAndBox, 0);
    utilib::CloseReport(job);
    return done ? 0 : 1;
  }
  return Usage();
}
