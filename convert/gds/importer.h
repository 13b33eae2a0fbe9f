// The GDSII to TLC job: every structure of a GDSII library into a TLC file of its own, with a
// CELLS.REF and a name list. The file is read once into memory; the hierarchy passes that rank the
// structures run over what that one reading gathered.
#pragma once
#include <cstdint>
#include <string>

#include "convert/gds/import_settings.h"
#include "utilib/cell_naming.h"
#include "utilib/job.h"

namespace gds {

// Progress display items of the importer (the counters are the TLC writers', 503-513).
enum ImportItem : int {
  kImpOperation = 500,
  kImpCell = 501,
  kImpRank = 502,
  kImpFileSize = 514,
  kImpMessages = 515,  // 515-518 rotating message lines during the conversion
  kImpDate = 516,
  kImpLibrary = 517,
  kImpScale = 518,
  kImpNames = 519,
  kImpProgress = 1040,  // percent of the file read
  kImpMinFeature = 1043,
};

constexpr int kMaxHierarchyPasses = 16;
constexpr int kMaxRank = 15;

struct ImportResult {
  int tlcFiles = 0;
  double minFeature = 0;  // user units
  double gdsUnits = 0;    // U, GDS units per user unit
  int rejectedLayerElements = 0;
  // Elements held at the TLC coordinate limit, instances approximated and paths of width 0 left
  // out, each told in the report.
  int changedElements = 0;
};

// The Go job. 1 when completed (the totals are then in the report), 0 when aborted or stopped.
int ImportGds(utilib::Job& job, ImportSettings& settings, const utilib::NewNameAsker& askName,
              ImportResult* result = nullptr);

// The same with the GDSII file's bytes given instead of read from the set-up's file name.
int ImportGdsBytes(utilib::Job& job, ImportSettings& settings, const utilib::NewNameAsker& askName,
                   std::string bytes, ImportResult* result = nullptr);

// "Completed ... %d TLC Files Made", or "Some Error Occurred ..." with the count of changed elements,
// in the words every importer ends with.
std::string ImportCompletedText(const ImportResult& result);

}  // namespace gds
