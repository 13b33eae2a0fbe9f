// The CIF to TLC job: every symbol of a CIF file into a TLC file of its own, named from the symbol
// name comments of a cell file or the cell-name commands of the CIF file, with a CELLS.REF and a
// report. The file is read once into memory; the passes walk that copy.
#pragma once
#include <string>

#include "convert/cif/import_settings.h"
#include "utilib/cell_naming.h"
#include "utilib/job.h"

namespace cif {

// Progress display items of the importer (the counters are the TLC writers', 503-513).
enum ImportItem : int {
  kImpOperation = 500,
  kImpRank = 501,
  kImpCell = 502,
  kImpMessages = 514,  // 514-515 rotating message lines
  kImpResolution = 516,
  kImpNames = 519,
  kImpMinFeature = 520,
};

constexpr int kMaxSymbols = 999;
constexpr int kMaxRankPasses = 16;
constexpr int kMaxSymbolPoints = 512;

struct ImportResult {
  int tlcFiles = 0;
  double minFeature = 0;  // micrometres
  int leftOut = 0;        // commands not converted: refused with a report line, or outside any cell
  int approximated = 0;   // calls turned off a quarter turn, placed as plain instances
};

// The Go job. 1 when completed, 0 when aborted or stopped by a failure (its message shown).
int ImportCif(utilib::Job& job, ImportSettings& settings, const utilib::NewNameAsker& askName,
              ImportResult* result = nullptr);

// The same job over a CIF text already in memory (the settings' file name is only reported; a layer
// file named like it is this text).
int ImportCifText(utilib::Job& job, ImportSettings& settings, const utilib::NewNameAsker& askName,
                  std::string text, ImportResult* result = nullptr);

// "Completed ... %d TLC Files Made", or "Some Error Occurred ..." with the counts of commands left
// out and calls approximated when there are any.
std::string ImportCompletedText(const ImportResult& result);

}  // namespace cif
