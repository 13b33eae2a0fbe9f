// The node list ("%s.NOD") written beside the SPICE file, the counts of DISPLAY1, and the comparison
// of two node lists of one circuit.
#pragma once
#include <string>

#include "extract/extraction.h"
#include "utilib/job.h"

namespace ext {

class InstanceTexts;

// DISPLAY2 items.
constexpr int kCompareFirstItem = 600, kCompareSecondItem = 601, kCompareFirstLine = 602;
constexpr int kCompareLines = 10;

void ShowNodeCounts(Extraction& x);
// "D=%d  NN=%d ..." to the report, without a line end.
void WriteCountLine(Extraction& x);
// Orders the pass-back table by node name, as the exchange sort of the node list does.
void SortNodeList(Extraction& x);
void WriteNodeList(Extraction& x, InstanceTexts& texts);

struct CompareSettings {
  std::string firstFile;
  std::string secondFile;
  std::string baseName;
  std::string errorFile;
};

// 1 finished, 0 aborted or failed; `errors` counts the mismatches.
int CompareNodeLists(utilib::Job& job, const CompareSettings& s, int& errors);

}  // namespace ext
