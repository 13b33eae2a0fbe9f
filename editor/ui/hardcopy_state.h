// What hardcopy printing keeps for the program's life. The paper scale ("Phys Units/Inch"), the page
// shifts and the print colours live in the drawing's settings (CONSTS6.DBD); these do not.
#pragma once
#include <string>

#include "editor/ui/print_setup.h"
#include "platform/gfx/canvas.h"

namespace edui {

struct HardcopyState {
  double hardcopyScale = 100;
  double fitScale = 1;      // the hardcopy scale at which the view fills the target
  double printFactor = 1;   // device pixels per screen pixel of the running job
  double bitmapFactor = 1;  // oversampling of the bitmap forms, by panel size class
  bool direct = false;
  bool clipboard = false;
  bool blackWhite = false;
  bool dark = false;
  // The described target: the chosen printer, or the screen under ClipBoard.
  gfx::DeviceCaps caps;
  std::string device = "none";
  std::string port = "LPT1:";
  bool described = false;
  PrinterSetup printer;
};

}  // namespace edui
