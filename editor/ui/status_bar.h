// The main window's title, the fields and toggles of the BOTTOM bar, the percentage and distance
// readouts, key polls, the layer dialogs several commands open, the active counts and the kind of
// object Add makes.
#pragma once
#include <string>
#include <string_view>

#include "editor/ui/editor.h"
#include "platform/ui/keys.h"

namespace edui {

// BOTTOM bar fields and toggles.
constexpr int kFieldCommand = 300, kFieldPosition = 301, kFieldLayers = 302, kFieldVariables = 303,
              kFieldInfo = 304;
constexpr int kToggleFirst = 310, kToggleLast = 319;

// Title of kind 0..4 (1 saving, 2 loading, 3 backup, 4 TLCout, else the normal title).
std::string MainTitleText(Editor& ed, int kind, std::string_view cellName);
void SetMainTitle(Editor& ed, int kind);
void SetStatusField(Editor& ed, int id, std::string_view text);
void ShowModeToggles(Editor& ed);
// SetModeBits / ToggleModeBits on the settings' mode word, then the toggles.
void SetModeBits(Editor& ed, int bits, int on);
void ToggleModeBits(Editor& ed, int bits);
void ShowPercent(Editor& ed, int done, int total);
// Z (1) takes the reference point, Space (0) measures from it.
void ShowDistance(Editor& ed, int mode);

// Key polls: a redraw polls Esc once per object, so they read the key table inline.
inline bool IsEscDown() { return ui::IsKeyDown(ui::key::Escape); }
inline bool IsCtrlDown() { return ui::IsKeyDown(ui::key::Control); }
inline bool IsF1Down() { return ui::IsKeyDown(ui::key::F1); }
// Sets the long-loop abort flag from the Esc key; gives it.
bool PollEscape(Editor& ed);

int LayerTableDialog(Editor& ed, int mode);
// The rank's View (0) or Open (1) list through LYRTABLE; an empty answer becomes "0".
int EditLayerList(Editor& ed, int which);
// LYRTABLE "LAYER by Number": 0 when cancelled, else the layer held within 1..64.
int ChooseLayerNumber(Editor& ed, int current);

void CountActiveObjects(Editor& ed);
void SetObjectKind(Editor& ed);

// The pointer's world point from the last pointer position, raw and on the grid, with the angle
// constraint where the running command asks for it; and its screen position (the mark's place).
void UpdatePointerPoints(Editor& ed);

}  // namespace edui
