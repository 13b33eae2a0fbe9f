#include "convert/dxf/fuzz/fuzz_entry.h"

#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "convert/dxf/group_reader.h"
#include "convert/dxf/importer.h"
#include "utilib/quiet_ui.h"
#include "tests/fuzz_support.h"

namespace dxf {

namespace {

// Every group and item of the text, every value read as a number both ways.
void ReadItems(std::string_view text) {
  volatile double sink = 0;
  DxfGroupReader reader(text);
  DxfGroup g;
  while (reader.ReadDxfGroup(g)) sink = sink + g.Real() + g.Integer() + static_cast<double>(g.Word().size());
  DxfScanner scanner(text);
  DxfItem item;
  while (scanner.NextDxfItem(item)) {
    sink = sink + static_cast<double>(item.groups.size()) + static_cast<int>(item.section);
    if (const DxfGroup* name = item.Find(2)) sink = sink + static_cast<double>(SameWord(name->Word(), "LAYER"));
  }
  sink = sink + static_cast<double>(scanner.SawEof()) + static_cast<int>(scanner.Status());
}

}  // namespace

void FuzzOneDxfInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  ReadItems(text);

  // The last byte picks the settings, so that each input stays one case.
  const unsigned pick = size ? data[size - 1] : 0;
  // A folder of this process for the TLC files an import writes.
  static const std::string folder = fuzzsupport::MakeScratchFolder("dxffuzz");
  ImportSettings settings;
  SetImportDefaults(settings);
  settings.main[0] = folder + "FUZZ.DXF";
  settings.main[1] = folder + "TOP";
  settings.main[3] = (pick & 1) ? "1000" : "20";
  settings.main[9] = (pick & 2) ? "Y" : "N";
  settings.main[10] = (pick & 4) ? "Y" : "N";
  settings.main[13] = (pick & 8) ? "CW" : "CCW";
  settings.main[14] = (pick & 16) ? "1" : "5";
  settings.main[15] = folder + "XCHIMP.RPT";
  NormaliseImport(settings, 0);
  // The layers of the file's own table, each mapped, as a user would type them.
  DxfLayerMap layers;
  layers.names = ReadDxfLayerTable(text);
  for (std::size_t i = 0; i < layers.names.size(); ++i) settings.layers[i] = std::to_string(1 + i % 63);
  NormaliseImport(settings, 1);
  utilib::QuietUi ui;
  utilib::Job job(kImportProgram, ui);
  int named = 0;
  const utilib::NewNameAsker ask = [&named](std::string_view) { return fuzzsupport::NextNewName(named); };
  ImportDxfText(job, settings, layers, ask, text);
  utilib::CloseReport(job);
  fuzzsupport::EmptyFolder(folder);
}

}  // namespace dxf
