// What the editing commands keep between their steps and runs that the settings file does not hold.
#pragma once
#include <cstdint>
#include <string>

#include "editor/tlc/run.h"

namespace edui {

struct EditState {
  int changeLayer = 1;   // the last layer of cLyr
  int widthMode = 0;     // of the last WSIZE answer: -1 "-*", +1 "*", else 0
  std::int32_t snapStep = 0;  // the last Snap step (database units); 0: none yet
  std::string textBuffer;     // the characters of the text being added or edited

  // Step and repeat: columns, rows and the two steps (database units).
  int stepColumns = 1;
  int stepRows = 1;
  std::int32_t stepDx = 0;
  std::int32_t stepDy = 0;

  // Res and Cap: a run lasts from its automatic part until a panel button is pressed.
  int resCapRun = 0;
  double resCapTotal = 0;
  double resWidth = 0;  // database units
  int resWidthGiven = 0;

  // The instance pick loop: move whatever lies in the window, drawn or not (wMov, cMov).
  int ignoreOutside = 0;

  // The TLCIN and TLCOUT set-ups System Mode remembers; SET switches their "Global TLC".
  tlc::TlcSetup tlcIn;
  tlc::TlcSetup tlcOut;
};

}  // namespace edui
