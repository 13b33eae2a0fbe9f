// The DXF to TLC job: one TLC file per block of a DXF file and one for its ENTITIES section (the main
// cell), a CELLS.REF and a report. DXF layers go to the TLC layers typed for them.
#pragma once
#include <string>
#include <vector>

#include "convert/dxf/import_settings.h"
#include "utilib/cell_naming.h"
#include "utilib/job.h"

namespace dxf {

// Progress display items of the importer (the counters are the TLC writers', 503-513).
enum ImportItem : int {
  kImpOperation = 500,
  kImpCell = 501,
  kImpRank = 502,
  kImpBlock = 514,
  kImpMessages = 515,  // 515-518 rotating message lines
  kImpScale = 520,
};

constexpr int kMaxBlocks = 512;
constexpr int kMaxHierarchyPasses = 16;
constexpr int kMaxRank = 15;

struct ImportResult {
  int tlcFiles = 0;
  int leftOut = 0;       // entities not converted: kinds the importer has no conversion for, and
                         // entities refused (too many points, too few, arrays too large)
  int approximated = 0;  // inserts turned off a quarter turn or scaled, placed as plain instances
};

// The Go job over the layer table read by the Layers command. 1 when completed, 0 when aborted or
// stopped by a failure (its message shown).
int ImportDxf(utilib::Job& job, ImportSettings& settings, const DxfLayerMap& layers,
              const utilib::NewNameAsker& askName, ImportResult* result = nullptr);

// The same job over a DXF text already in memory (the settings' file name is only reported).
int ImportDxfText(utilib::Job& job, ImportSettings& settings, const DxfLayerMap& layers,
                  const utilib::NewNameAsker& askName, std::string text, ImportResult* result = nullptr);

// "Completed ... %d TLC Files Made", or "Some Error Occurred ..." with the counts of entities left
// out and instances approximated when there are any.
std::string ImportCompletedText(const ImportResult& result);

}  // namespace dxf
