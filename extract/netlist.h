// The extraction run: the cell hierarchy depth first, each cell that places others written once as a
// sub-circuit before the cells that use it, the named cell last as the main circuit; with the SPICE
// file's header and footer, the node list and the parasitic capacitors.
#pragma once
#include <string_view>

#include "extract/extraction.h"

namespace ext {

// FORM.DBD's pool folder, CELLS6.DBD and the scale of CONSTS6.DBD of the current folder, in that
// order; "" when all were read, else the message for the first that was not ("FORM.DBD is Missing").
// A damaged scale is drawing.scaleDamaged, for the caller to tell.
std::string ReadDrawingFolder(Drawing& drawing);

// Go: DIAGFILE.TXT, the run, and every file of it closed. `errors` gets the run's error count.
int GoExtraction(utilib::Job& job, Drawing& drawing, const ExtractorSettings& settings, int& errors);

// 1 completed, 0 aborted or failed, 2 stopped before anything was extracted (its message shown).
int RunExtraction(Extraction& x);
// Commits the SPICE file and the node list of the run (what was written stays on an abort).
void CloseRunFiles(Extraction& x);

// -1 aborted or out of memory, 0 nothing written for this cell, else n.
int ExtractCircuit(Extraction& x, int n, int row, bool main);

// "* START OF name", the file, "* END OF name"; nothing when the file cannot be read.
void CopyIncludeFile(Extraction& x, std::string_view name);
// Starts a continuation line when the item would pass column 64; the new column.
int WrapSpiceLine(Extraction& x, int column, int length);

void MeasureShapeAreas(Extraction& x);
void WriteParasiticCaps(Extraction& x);
double SumNodeCapacitance(Extraction& x, const std::string& name);

}  // namespace ext
