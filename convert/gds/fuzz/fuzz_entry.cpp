#include "convert/gds/fuzz/fuzz_entry.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "convert/gds/importer.h"
#include "utilib/quiet_ui.h"
#include "convert/gds/record.h"
#include "convert/gds/record_reader.h"
#include "tests/fuzz_support.h"

namespace gds {

namespace {

// Every record of the stream, every value of it read.
void ReadRecords(const std::uint8_t* data, std::size_t size) {
  GdsReader reader(data, size);
  GdsRecord r;
  volatile double sink = 0;
  while (reader.Next(r)) {
    switch (DataTypeSize(r.dataType)) {
      case 2:
        for (std::size_t i = 0; i < r.size / 2 + 1; ++i) sink = sink + r.Int2(i);
        break;
      case 4:
        for (std::size_t i = 0; i < r.Int4Count() + 1; ++i) sink = sink + r.Int4(i);
        break;
      case 8:
        for (std::size_t i = 0; i < r.size / 8 + 1; ++i) sink = sink + r.Real8(i);
        break;
      default:
        sink = sink + static_cast<double>(ReadGdsString(r, 32).size());
    }
    if (r.type == kEndLib) break;
  }
  sink = sink + static_cast<double>(reader.HeaderLine().size());
}

}  // namespace

void FuzzOneGdsInput(const std::uint8_t* data, std::size_t size) {
  ReadRecords(data, size);

  // A folder of this process for the TLC files an import writes.
  static const std::string folder = fuzzsupport::MakeScratchFolder("gdsfuzz");
  ImportSettings settings;
  SetImportDefaults(settings);
  settings.main[0] = folder + "FUZZ.GDS";
  settings.main[1] = folder;
  settings.main[3] = "1000";
  settings.main[15] = folder + "STRMIMP.RPT";
  NormaliseImportAll(settings);
  utilib::QuietUi ui;
  utilib::Job job(kImportProgram, ui);
  int named = 0;
  const utilib::NewNameAsker ask = [&named](std::string_view) { return fuzzsupport::NextNewName(named); };
  ImportGdsBytes(job, settings, ask, std::string(reinterpret_cast<const char*>(data), size));
  utilib::CloseReport(job);
  fuzzsupport::EmptyFolder(folder);
}

}  // namespace gds
