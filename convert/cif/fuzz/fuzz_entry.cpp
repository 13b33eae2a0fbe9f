#include "convert/cif/fuzz/fuzz_entry.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include "convert/cif/importer.h"
#include "convert/cif/lexer.h"
#include "convert/cif/text_template.h"
#include "utilib/quiet_ui.h"
#include "tests/fuzz_support.h"

namespace cif {

namespace {

// Every command of the text, and every number and name in it, read as the converters read them.
void ReadCommands(std::string_view text) {
  volatile std::size_t sink = 0;
  CifLexer lex(text);
  CifCommand c;
  while (NextCifCommand(lex, c)) {
    const std::string_view body = text.substr(c.begin, c.end - c.begin);
    CifLexer numbers(body.substr(body.empty() ? 0 : 1));
    for (bool found = true; found && !numbers.AtEnd();) sink = sink + static_cast<std::size_t>(numbers.ReadCifInteger(&found));
    CifLexer unsigned_(body);
    for (bool found = true; found && !unsigned_.AtEnd();) sink = sink + unsigned_.ReadCifNumber(&found);
    CifLexer names(body);
    for (int i = 0; i < 4 && !names.AtEnd(); ++i) sink = sink + names.ReadCifName(i % 2 == 0).size();
    if (c.kind >= '0' && c.kind <= '9') {
      for (const char* tmpl : {kDefaultTemplate, kMeroTemplate})
        for (const auto& field : SplitLabelFields(tmpl, body)) sink = sink + EscapeCifText(field.second).size();
    }
  }
  sink = sink + ParseCifLayers(text, true).size() + ParseCifLayers(text, false).size();
}

}  // namespace

void FuzzOneCifInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  ReadCommands(text);

  // The last byte picks the settings, so that each input stays one case.
  const unsigned pick = size ? data[size - 1] : 0;
  // A folder of this process for the TLC files an import writes.
  static const std::string folder = fuzzsupport::MakeScratchFolder("ciffuzz");
  ImportSettings settings;
  SetImportDefaults(settings);
  settings.slots[kImpCifFile] = folder + "FUZZ.CIF";
  settings.slots[kImpLayerFile] = "";
  settings.slots[kImpTlcFolder] = folder;
  settings.slots[kImpScale] = (pick & 1) ? "" : "20";
  settings.slots[kImpCloseOpenPoly] = (pick & 2) ? "Y" : "N";
  settings.slots[kImpInlinePaths] = (pick & 4) ? "Y" : "N";
  settings.slots[kImpTemplate] = (pick & 8) ? kMeroTemplate : kDefaultTemplate;
  settings.slots[kImpReportFile] = folder + "CALIMP.RPT";
  if (pick & 16) {
    // The same bytes as the cell file of symbol names.
    settings.slots[kImpCellFile] = folder + "FUZZ.CEL";
    std::ofstream(folder + "FUZZ.CEL", std::ios::binary).write(text.data(), static_cast<std::streamsize>(size));
  }
  NormaliseImport(settings);
  utilib::QuietUi ui;
  utilib::Job job(kImportProgram, ui);
  int named = 0;
  const utilib::NewNameAsker ask = [&named](std::string_view) { return fuzzsupport::NextNewName(named); };
  ImportCifText(job, settings, ask, text);
  utilib::CloseReport(job);
  fuzzsupport::EmptyFolder(folder);
}

}  // namespace cif
