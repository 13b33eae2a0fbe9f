// The TLC to CIF job: a main TLC file and every cell it uses, found as TLC files beside it, into one
// CIF file with one symbol per cell, its elements grouped by the layers of a layer file.
#pragma once
#include <cstdint>
#include <string>

#include "convert/cif/export_settings.h"
#include "utilib/job.h"

namespace cif {

// Progress display items of the exporter.
enum ExportItem : int {
  kExpOperation = 500,
  kExpSymbol = 510,    // the symbol being written; before the symbols, the scales line
  kExpCounts = 511,    // 511-515 boxes, polygons, wires, texts, calls of the current symbol
  kExpPercent = 516,   // progress of the intersection check
  kExpMaxima = 520,    // 520-524 the largest of each so far
  kExpMessages = 540,  // 540-545 rotating message lines
};

struct ExportResult {
  std::int64_t bytes = 0;
  int symbols = 0;
};

// The Go job. 1 when completed, 0 when aborted or stopped by a failure (its message shown).
int ExportCif(utilib::Job& job, ExportSettings& settings, ExportResult* result = nullptr);

// "Completed ... %ld Bytes in CIF File".
std::string ExportCompletedText(const ExportResult& result);

}  // namespace cif
