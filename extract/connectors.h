// Connectors: the ports of the cell being extracted (its connector texts) and the pass-back table of
// the connectors of its placed cells, with the nodes found under them and the connection checks.
#pragma once
#include "extract/extraction.h"

namespace ext {

void FreePassBackTable(Extraction& x);
bool IsNodeConnected(const Extraction& x, NodeNumber node);

// The cell's own connector texts, sorted by connector number (equal numbers keep their order). A
// full table shows "Connector Table is Full" and aborts.
void CollectConnectors(Extraction& x);
void AssignConnectorNodes(Extraction& x);

// The connector texts of instance k's cell carried to the placement.
void CollectInstanceConnectors(Extraction& x, int k, const PlacedInstance& inst);
void AssignPassBackNodes(Extraction& x);
void SortPassBack(Extraction& x);
void AssignSymbolPassBack(Extraction& x, int n);
void MergeSameConnectorNodes(Extraction& x);
void ResolveVirtualPassBack(Extraction& x);
void CountPassBackKinds(Extraction& x);

void CheckMissingNodes(Extraction& x);
void CheckOpenConnectors(Extraction& x);
void CheckShortedConnectors(Extraction& x);
void ReportVirtualNodes(Extraction& x);
// Marks the cell of instance k unconnected when none of its connectors reached the table, and with
// Floats on reports it unless it is a smash or symbol cell.
void CheckFloatingInstance(Extraction& x, int k);

// The cell is named in the SMASH list and may be smashed: rank 1 and no pool or other flag bits 4-6.
bool IsSmashCell(const Extraction& x, int row);

}  // namespace ext
