// The TLC to DXF job: a main TLC file and every cell it uses, found as TLC files beside it, into one
// DXF file: each used cell a block, the main cell's own records the entities, each TLC layer in use a
// DXF layer.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "convert/dxf/export_settings.h"
#include "editor/db/path_outline.h"
#include "utilib/geometry_checks.h"
#include "utilib/job.h"

namespace dxf {

// Progress display items of the exporter.
enum ExportItem : int {
  kExpOperation = 500,
  kExpBlock = 501,
  kExpCounts = 502,   // 502-504 polylines, texts, inserts of the current block
  kExpMaxima = 506,   // 506-508 the largest of each so far
  kExpScales = 510,
  kExpMessages = 511,  // 511-515 rotating message lines
};

struct ExportResult {
  std::int64_t bytes = 0;
  int blocks = 0;
};

// The Go job. 1 when completed, 0 when aborted or stopped by a failure (its message shown).
int ExportDxf(utilib::Job& job, ExportSettings& settings, ExportResult* result = nullptr);

// "Completed ... %d Bytes in DXF File".
std::string ExportCompletedText(const ExportResult& result);

// The checks of a polyline before it is written (points in database units, messages in physical
// units through `geometry.scale`). 1 write it (possibly closed), 0 drop it or the run was cancelled.
int CheckDxfPolyline(utilib::Job& job, const utilib::GeometrySettings& geometry, bool proper,
                     utilib::Shape& shape);

}  // namespace dxf
