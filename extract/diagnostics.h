// The diagnostic dump of each extracted cell into DIAGFILE.TXT: the pass-back table, the nodes of
// the boxes, paths and vertices, and the connector table.
#pragma once
#include "extract/extraction.h"

namespace ext {

constexpr const char* kDiagnosticFile = "DIAGFILE.TXT";

void DumpPassBackTable(Extraction& x);
void DumpNodeTables(Extraction& x);
void DumpConnectorTable(Extraction& x);

}  // namespace ext
