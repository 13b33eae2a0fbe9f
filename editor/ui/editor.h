// Everything the editor keeps while it runs: the cell database, the view and drawing state, the
// command protocol, the overlays, the status bar, the docked panels and the typed command line.
// One program holds one Editor; tests make their own.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "editor/db/database.h"
#include "editor/ui/draw/engine.h"
#include "editor/ui/draw/layer_masks.h"
#include "editor/ui/draw/view.h"
#include "editor/ui/edit_state.h"
#include "editor/ui/hardcopy_state.h"
#include "editor/ui/protocol.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/mono_bitmap.h"
#include "platform/ui/types.h"

namespace edui {

// The pointer mark, the crosshair, the rubber band and the held window, all drawn by XOR.
struct Overlays {
  int newX = 0;  // where the pointer's point is now (pixels)
  int newY = 0;
  int drawnX = 0;  // where mark, crosshair and band were last drawn
  int drawnY = 0;
  int markDrawn = 0;
  int bandDrawn = 0;
  int crosshairDrawn = 0;
  // Outline of the cell that Add places, relative to the pointer (pixels).
  int ghostLeft = 0;
  int ghostTop = 0;
  int ghostRight = 0;
  int ghostBottom = 0;
};

// The docked panels of the main window.
struct Panels {
  ui::Wnd buttons = 0;  // the shown MENUBTNS panel
  ui::Wnd fillBar = 0;
  ui::Wnd fillStrip = 0;
  ui::Wnd toolbar = 0;
  ui::Wnd bottom = 0;
  int firstShown = 0;  // set: the second panel of the pair is shown
  int sizeClass = 0;
};

// State of the layer-by-layer and grid commands.
struct ViewCommands {
  int layer = 0;  // layer being drawn by sDrw / rDrw
  int upRunning = 0;
  int downRunning = 0;
  int lastSingleLayer = 1;  // lDrw's last layer
  int windowNumber = 1;     // SWIN/RWIN's last number
};

struct Editor {
  Editor() = default;
  Editor(const Editor&) = delete;
  Editor& operator=(const Editor&) = delete;

  db::Database db;
  draw::ViewState view;
  draw::LayerMasks masks;
  draw::Engine draw{db, view, masks};
  Protocol proto;
  Overlays overlays;
  Panels panels;
  ViewCommands viewCommands;
  EditState edit;
  HardcopyState hardcopy;

  ui::Wnd main = 0;
  gfx::Canvas* canvas = nullptr;  // the main window's picture; null while there is no window
  std::unique_ptr<gfx::Canvas> ownCanvas;

  std::string startCell = "(none)";  // the cell named on the command line
  int startupFailed = 0;             // nothing is saved once the start-up has failed
  int windowReady = 0;               // the start-up has run
  int redrawMode = 0;
  int redrawInProgress = 0;
  int crosshairOn = 0;
  int pointerX = 0;  // last pointer position (client pixels)
  int pointerY = 0;
  double typedX = 0;  // the PKEX / PKEY point (database units)
  double typedY = 0;
  std::string pendingHelp;  // topic the next Help starts with

  // Status bar services.
  std::int32_t distanceX = 0;  // reference point of the distance readout
  std::int32_t distanceY = 0;
  int objectKind = 1;          // 1 box, 2 path, 3 cell
  int objectCell = 0;          // the cell row of kind 3
  std::string layerAnswer;     // the LYRTABLE text
  int chosenLayer = 1;

  // The typed command line and macros.
  std::string commandLine;
  std::string macroText;
  int macroFlag = 0;

  // Answer texts of the name dialogs.
  std::string answer;
  int listPick = 0;  // the List menu preselects the previous pick
};

}  // namespace edui
