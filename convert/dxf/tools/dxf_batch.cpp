// Runs the DXF converters' jobs without a window, for benchmarks and peer checks:
//   dxf_batch export MAIN.TLC OUT.DXF [N=VALUE]...
//   dxf_batch import IN.DXF MAIN.TLC [N=VALUE | lN=VALUE | @NAME=LAYER]...
// N is a setting slot, lN a layer-number slot, @NAME=LAYER the TLC layer of the DXF layer of that
// name in the file's layer table. Message boxes go to stderr and are answered OK; pauses take no
// time; a name the importer cannot use becomes RENAMEDn. Exit status 0 when the job completed,
// 1 when it stopped, 2 for a wrong command line.
#include <cstdio>
#include <string>
#include <vector>

#include "convert/dxf/exporter.h"
#include "convert/dxf/importer.h"
#include "editor/tlc/run.h"
#include "platform/os/process.h"
#include "platform/os/textfile.h"
#include "utilib/batch_run.h"
#include "utilib/quiet_ui.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: dxf_batch export MAIN.TLC OUT.DXF [N=VALUE]...\n"
               "       dxf_batch import IN.DXF MAIN.TLC [N=VALUE | lN=VALUE | @NAME=LAYER]...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  os::InitProcess(argc, argv);
  if (argc < 4) return Usage();
  const std::string mode = argv[1];
  utilib::QuietUi ui(true);
  if (mode == "export") {
    dxf::ExportSettings s;
    dxf::SetExportDefaults(s);
    s.slots[0] = argv[2];
    s.slots[1] = argv[3];
    for (int i = 4; i < argc; ++i)
      if (!utilib::SetSlotArgument(argv[i], s.slots)) return Usage();
    dxf::NormaliseExport(s);
    utilib::Job job(dxf::kExportProgram, ui);
    dxf::ExportResult result;
    const int done = dxf::ExportDxf(job, s, &result);
    return utilib::FinishBatchJob(job, done, dxf::ExportCompletedText(result));
  }
  if (mode == "import") {
    dxf::ImportSettings s;
    dxf::SetImportDefaults(s);
    s.main[0] = argv[2];
    s.main[1] = argv[3];
    std::vector<std::string> byName;
    for (int i = 4; i < argc; ++i) {
      const std::string arg = argv[i];
      if (arg[0] == '@') byName.push_back(arg.substr(1));
      else if (arg[0] == 'l' ? !utilib::SetSlotArgument(arg.substr(1), s.layers) : !utilib::SetSlotArgument(arg, s.main)) return Usage();
    }
    dxf::NormaliseImportAll(s);
    // The Layers command's part: the file's layer table, then the numbers typed for it.
    dxf::DxfLayerMap layers;
    std::string text;
    if (os::ReadWholeFile(s.dxfFile, text)) layers.names = dxf::ReadDxfLayerTable(text);
    for (const std::string& pair : byName) {
      const std::size_t eq = pair.rfind('=');
      if (eq == std::string::npos) return Usage();
      const std::string name = tlc::UpperCase(pair.substr(0, eq));
      for (std::size_t n = 0; n < layers.names.size(); ++n)
        if (tlc::UpperCase(layers.names[n]) == name) s.layers[n] = pair.substr(eq + 1);
    }
    dxf::NormaliseImport(s, 1);
    utilib::Job job(dxf::kImportProgram, ui);
    const utilib::NewNameAsker ask = utilib::RenamingAsker();
    dxf::ImportResult result;
    const int done = dxf::ImportDxf(job, s, layers, ask, &result);
    return utilib::FinishBatchJob(job, done, dxf::ImportCompletedText(result));
  }
  return Usage();
}
