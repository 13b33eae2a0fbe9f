// Small circuits drawn for the extractor's tests, its end-to-end runs and its peer checks: an
// inverter, a two-input NAND, and a top cell that places two inverters and the NAND. Transistors are
// placed four-terminal cells (connectors 1 to 4: drain, gate, source, bulk); ground is the global
// symbol "0"; the inverter's ports are IN, OUT, VDD and the NAND's A, B, OUT, VDD.
#pragma once
#include <vector>

#include "extract/tests/extract_fixture.h"

namespace exttest {

tlctest::CellSpec Inverter(const std::string& name = "INV");
tlctest::CellSpec Nand2();
tlctest::CellSpec BufferAndNand();  // "TOP"

// Every cell of the samples, sub-cells first.
std::vector<tlctest::CellSpec> SampleCells();

// One transistor each, for netlists, reports and node lists checked line by line: CAPS (parasitic
// areas of boxes, a triangle and a wide path), SHORTS (drain and source on two named poly boxes that
// share an edge), LINES (two virtual nodes, the first on a line that reaches the drain).
std::vector<tlctest::CellSpec> CheckedCells();

}  // namespace exttest
