// Runs the converters' jobs without a window, for benchmarks and peer checks:
//   gds_batch export MAIN.TLC OUT.GDS [N=VALUE | tN=VALUE]...
//   gds_batch import IN.GDS TLC_FOLDER [N=VALUE | tN=VALUE | oN=VALUE]...
// N is a slot of the main settings group, tN of the text rows, oN of the omit list. Message boxes
// go to stderr and are answered OK; pauses take no time; a name the importer cannot use becomes
// RENAMEDn. Exit status 0 when the job completed, 1 when it stopped.
#include <cstdio>
#include <string>
#include <vector>

#include "convert/gds/exporter.h"
#include "convert/gds/importer.h"
#include "platform/os/process.h"
#include "utilib/batch_run.h"
#include "utilib/quiet_ui.h"

namespace {

// "N=VALUE" into the right group; false for an argument of another form.
bool SetSlot(const std::string& arg, std::vector<std::string>& main, std::vector<std::string>& text,
             std::vector<std::string>* omit) {
  if (arg[0] == 't') return utilib::SetSlotArgument(std::string_view(arg).substr(1), text);
  if (arg[0] == 'o' && omit) return utilib::SetSlotArgument(std::string_view(arg).substr(1), *omit);
  return utilib::SetSlotArgument(arg, main);
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
    return utilib::FinishBatchJob(job, done, gds::ExportCompletedText(result));
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
    const utilib::NewNameAsker ask = utilib::RenamingAsker();
    gds::ImportResult result;
    const int done = gds::ImportGds(job, s, ask, &result);
    return utilib::FinishBatchJob(job, done, gds::ImportCompletedText(result));
  }
  return Usage();
}
