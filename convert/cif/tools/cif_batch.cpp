// Runs the CIF converters' jobs without a window, for benchmarks:
//   cif_batch export MAIN.TLC LAYER_FILE OUT.CIF [N=VALUE]...
//   cif_batch import IN.CIF TLC_FOLDER [N=VALUE]...
// N is a slot of the program's settings. Message boxes go to stderr and are answered OK; pauses take
// no time; a name the importer cannot use becomes RENAMEDn. Exit status 0 when the job completed.
#include <cstdio>
#include <string>
#include <vector>

#include "convert/cif/exporter.h"
#include "convert/cif/importer.h"
#include "platform/os/process.h"
#include "utilib/batch_run.h"
#include "utilib/quiet_ui.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: cif_batch export MAIN.TLC LAYER_FILE OUT.CIF [N=VALUE]...\n"
               "       cif_batch import IN.CIF TLC_FOLDER [N=VALUE]...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  os::InitProcess(argc, argv);
  if (argc < 4) return Usage();
  const std::string mode = argv[1];
  utilib::QuietUi ui(true);
  if (mode == "export" && argc >= 5) {
    cif::ExportSettings s;
    cif::SetExportDefaults(s);
    s.slots[cif::kExpMainTlc] = argv[2];
    s.slots[cif::kExpLayerFile] = argv[3];
    s.slots[cif::kExpCifFile] = argv[4];
    for (int i = 5; i < argc; ++i)
      if (!utilib::SetSlotArgument(argv[i], s.slots)) return Usage();
    cif::NormaliseExport(s);
    utilib::Job job(cif::kExportProgram, ui);
    cif::ExportResult result;
    const int done = cif::ExportCif(job, s, &result);
    return utilib::FinishBatchJob(job, done, cif::ExportCompletedText(result));
  }
  if (mode == "import") {
    cif::ImportSettings s;
    cif::SetImportDefaults(s);
    s.slots[cif::kImpCifFile] = argv[2];
    s.slots[cif::kImpLayerFile] = "";
    s.slots[cif::kImpTlcFolder] = argv[3];
    for (int i = 4; i < argc; ++i)
      if (!utilib::SetSlotArgument(argv[i], s.slots)) return Usage();
    cif::NormaliseImport(s);
    utilib::Job job(cif::kImportProgram, ui);
    const utilib::NewNameAsker ask = utilib::RenamingAsker();
    cif::ImportResult result;
    const int done = cif::ImportCif(job, s, ask, &result);
    return utilib::FinishBatchJob(job, done, cif::ImportCompletedText(result));
  }
  return Usage();
}
