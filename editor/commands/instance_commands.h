// The level-0 instances of the open cell: one pick loop runs an operation on every instance that
// qualifies (selecting, moving, copying, turning, mirroring, outline drawing); cGet, cPut, Outl, Full
// and cCel; deleting the selected instances.
#pragma once
#include <cstdint>

#include "editor/commands/edit_common.h"
#include "editor/ui/editor.h"

namespace edcmd {

enum InstanceMode {
  kPickSelect = 0,
  kPickUnselect = 1,
  kPickMove = 2,
  kPickCopy = 3,
  kPickRotate = 4,
  kPickMirror = 5,
  kPickWindowMove = 6,
  kPickOutline = 7,
};

struct PickParams {
  int mode = kPickSelect;
  Window window;             // points 1 and 2
  bool overlap = false;      // the window test: overlap instead of "wholly inside"
  bool askName = true;       // NOCELL when a picking command hit nothing
  std::int64_t dx = 0;       // move and copy
  std::int64_t dy = 0;
  int quarters = 0;          // rotate about (cx, cy)
  std::int32_t cx = 0;
  std::int32_t cy = 0;
  bool vertical = false;     // mirror: x (vertical line) or y becomes mirrorSum - itself
  std::int64_t mirrorSum = 0;
  bool outline = true;       // mode 7: Outl (true) or Full
  int limitReached = 0;      // out: a copy was refused for the instance limit
};

// Runs the loop (nothing in a cell of rank 1); gives the number of instances the operation changed.
int PickLoop(edui::Editor& ed, PickParams& p);

// (x, y) turned by q quarter turns counter-clockwise about (cx, cy).
void RotateQuarter(std::int32_t& x, std::int32_t& y, std::int32_t cx, std::int32_t cy, int q);

// In cells of rank 2 or more every selected instance goes (erased first when asked); the edited cell
// is back in the store afterwards. Gives the number removed.
int DeleteSelectedInstances(edui::Editor& ed, bool erase);

void CellPickCommand(edui::Editor& ed);  // cGet, cPut, Outl, Full
void CCelCommand(edui::Editor& ed);

}  // namespace edcmd
