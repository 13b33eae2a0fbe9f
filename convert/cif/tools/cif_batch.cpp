// Runs the CIF converters' jobs without a window, for benchmarks:
//   cif_batch export MAIN.TLC LAYER_FILE OUT.CIF [N=VALUE]...
//   cif_batch import IN.CIF TLC_FOLDER [N=VALUE]...
// N is a slot of the program's settings. Message boxes go to stderr and are answered OK; pauses take
// no time; a name the importer cannot use becomes RENAMEDn. Exit status 0 when the job completed.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "convert/cif/exporter.h"
#include "convert/cif/importer.h"
#include "utilib/quiet_ui.h"
#include "platform/os/process.h"

namespace {

bool SetSlot(const std::string& arg, std::vector<std::string>& slots) {
  const std::size_t eq = arg.find('=');
  if (eq == std::string::npos || eq == 0) return false;
  const int slot = std::atoi(arg.substr(0, eq).c_str());
  if (slot < 0 || slot >= static_cast<int>(slots.size())) return false;
  slots[slot] = arg.substr(eq + 1);
  return true;
}

int Usage() {
  std::fprintf(stderr,
               "usage: cif_batch export MAIN.TLC LAYER_FILE OUT.CIF [N=VALUE]...\n"
               "       cif_batch import IN.CIF TLC_FOLDER [N=VALUE]...\n");
  return 2;
}

int Finish(utilib::Job& job, int done, const std::string& completion) {
  utilib::RouteMessage(job, done ? completion : "Aborted ... Files may be Incomplete",
                       utilib::MessageKind::ReportAndBox, 0);
  utilib::CloseReport(job);
  return done ? 0 : 1;
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
      if (!SetSlot(argv[i], s.slots)) return Usage();
    cif::NormaliseExport(s);
    utilib::Job job(cif::kExportProgram, ui);
    cif::ExportResult result;
    const int done = cif::ExportCif(job, s, &result);
    return Finish(job, done, cif::ExportCompletedText(result));
  }
  if (mode == "import") {
    cif::ImportSettings s;
    cif::SetImportDefaults(s);
    s.slots[cif::kImpCifFile] = argv[2];
    s.slots[cif::kImpLayerFile] = "";
    s.slots[cif::kImpTlcFolder] = argv[3];
    for (int i = 4; i < argc; ++i)
      if (!SetSlot(argv[i], s.slots)) return Usage();
    cif::NormaliseImport(s);
    utilib::Job job(cif::kImportProgram, ui);
    int renamed = 0;
    utilib::NewNameAsker ask = [&renamed](std::string_view) -> std::optional<std::string> {
      return "RENAMED" + std::to_string(++renamed);
    };
    cif::ImportResult result;
    const int done = cif::ImportCif(job, s, ask, &result);
    return Finish(job, done, cif::ImportCompletedText(result));
  }
  return Usage();
}
