// The TLC to GDSII job: a main TLC file and every cell it uses, found as TLC files beside it, into
// one GDSII library with one structure per cell.
#pragma once
#include <cstdint>

#include "convert/gds/export_settings.h"
#include "utilib/job.h"

namespace gds {

// Progress display items of the exporter.
enum ExportItem : int {
  kExpOperation = 500,
  kExpStructure = 501,
  kExpCounts = 502,     // 502-505 boundaries, paths, texts, instances of the current structure
  kExpMaxima = 506,     // 506-509 the largest of each so far
  kExpScales = 510,
  kExpMessages = 511,   // 511-515 rotating message lines
  kExpPercent = 516,
};

struct ExportResult {
  std::int64_t bytes = 0;
  int structures = 0;
};

// The Go job. 1 when completed, 0 when aborted or stopped by a failure (its message shown).
int ExportGds(utilib::Job& job, ExportSettings& settings, ExportResult* result = nullptr);

// "Completed ... %d Bytes in GDS File".
std::string ExportCompletedText(const ExportResult& result);

}  // namespace gds
