// Moving, copying, snapping, turning and mirroring the selection; wMov, qMov and cMov move what lies
// in a window instead.
#pragma once
#include <cstdint>

#include "editor/ui/editor.h"

namespace edcmd {

void MoveCommand(edui::Editor& ed);  // Mov, qMov, wMov, cMov
void CpyCommand(edui::Editor& ed);
void SnapCommand(edui::Editor& ed);
void RotCommand(edui::Editor& ed);
void FlpCommand(edui::Editor& ed);

// Where a copy looks for the selection: records from these numbers on (a copy's selection is
// exactly what it appended, so a chain of copies need not look at the records before).
struct CopyFrom {
  int ref = 1;  // the instances are looked at whole
  int path = 1;
  int box = 1;
};
// The "Cpy" work: selected instances, paths (their selected vertices, with Ctrl all of them) and
// wholly selected boxes are copied by (dx, dy) and the selection moves to the copies. False when an
// object limit refused a copy (the rest of the command still ran). `next`, when given, receives where
// the copies begin.
bool CopySelection(edui::Editor& ed, std::int64_t dx, std::int64_t dy, const CopyFrom& from = {},
                   CopyFrom* next = nullptr);

// Rounded half away from zero to a multiple of step (at least 1).
std::int32_t SnapToStep(std::int32_t value, std::int32_t step);

}  // namespace edcmd
