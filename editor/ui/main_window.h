// The editor's main window: start-up, the window procedure that turns menu items, accelerators,
// keys and clicks into commands, painting, and the exit.
#pragma once
#include <string>

#include "editor/ui/editor.h"
#include "platform/ui/menu.h"
#include "platform/ui/types.h"

namespace edui {

// Menu item ids.
enum MenuId {
  kMenuHelp = 10,
  kMenuRead = 11,
  kMenuPrint = 12,
  kMenuSys = 13,
  kMenuSave = 14,
  kMenuCell = 15,
  kMenuList = 16,
  kMenuUndo = 17,
  kMenuLeft = 18,
  kMenuDraw = 27,
  kMenuPanelSwitch = 1330,
  kMenuFKeyFirst = 1400,
  kMenuFKeyLast = 1410,
};

const ui::AcceleratorTable& EditorAccelerators();

// The program: window, start-up, message loop and exit. `cellName` is the command line ("" for none).
// Returns the code of the final Quit.
int RunEditor(Editor& ed, const std::string& cellName);
// Creates the main window (start-up runs inside); 0 when it could not be made.
ui::Wnd CreateEditorWindow(Editor& ed, const std::string& cellName);
// Frees what the window kept (after the loop has ended).
void CloseEditor(Editor& ed);

ui::Result EditorWndProc(Editor& ed, ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam lp);
void SwitchButtonPanel(Editor& ed);
// Lays the bars out again for the window's size.
void LayoutBars(Editor& ed);

}  // namespace edui
