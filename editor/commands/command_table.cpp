#include "editor/commands/command_table.h"

#include <array>

#include "editor/commands/add_commands.h"
#include "editor/commands/cell_commands.h"
#include "editor/commands/command_line.h"
#include "editor/commands/delete_commands.h"
#include "editor/commands/info_commands.h"
#include "editor/commands/instance_commands.h"
#include "editor/commands/move_commands.h"
#include "editor/commands/origin_arc_commands.h"
#include "editor/commands/rescap_commands.h"
#include "editor/commands/select_commands.h"
#include "editor/commands/setting_commands.h"
#include "editor/commands/size_commands.h"
#include "editor/commands/sort_commands.h"
#include "editor/commands/pending_commands.h"
#include "editor/commands/view_commands.h"
#include "editor/ui/hardcopy.h"
#include "editor/ui/shell.h"

namespace edcmd {

namespace {

using edui::CommandEntry;
constexpr auto P = &PendingCommand;

// Row order, words, flags and ids are fixed: saved macros and the panels name commands by them.
constexpr std::array<CommandEntry, kCommandCount> kTable = {{
    {"Get", &SelectCommand, 0xe2, 120},
    {"fGet", &SelectCommand, 0xe2, 122},
    {"tGet", &SelectCommand, 0xe2, 124},
    {"cGet", &CellPickCommand, 0xe2, 126},
    {"aGet", &SelectCommand, 0xe2, 160},
    {"wGet", &SelectCommand, 0xe2, 129},
    {"Put", &UnselectCommand, 0x1e2, 121},
    {"fPut", &UnselectCommand, 0x1e2, 123},
    {"tPut", &UnselectCommand, 0x1e2, 125},
    {"cPut", &CellPickCommand, 0x162, 127},
    {"aPut", &APutCommand, 0x161, 128},
    {"Mov", &MoveCommand, 0x22, 132},
    {"qMov", &MoveCommand, 0x22, 130},
    {"wMov", &MoveCommand, 0x22, 161},
    {"cMov", &MoveCommand, 0x22, 131},
    {"Cpy", &CpyCommand, 0x22, 134},
    {"Rot", &RotCommand, 0x21, 157},
    {"Flp", &FlpCommand, 0x21, 163},
    {"pRev", &PRevCommand, 0x21, 135},
    {"pBeg", &SelectCommand, 0x62, 136},
    {"pEnd", &SelectCommand, 0x62, 137},
    {"Cut", &CutCommand, 0x61, 138},
    {"Join", &JoinCommand, 0x61, 139},
    {"Obj", &ObjCommand, 0x21, 116},
    {"Text", &TextCommand, 0xe2, 117},
    {"Add", &AddCommand, 0xe2, 118},
    {"Del", &DelCommand, 0x61, 119},
    {"Info", &InfoCommand, 0x221, 142},
    {"Show", &ShowCommand, 0x21, 167},
    {"Sort", &SortCommand, 0x61, 113},
    {"Arc", &ArcCommand, 0x61, 100},
    {"Attr", &AttrCommand, 0x21, 101},
    {"Font", &FontCommand, 0x21, 168},
    {"cCel", &CCelCommand, 0x21, 102},
    {"cSiz", &SizeCommand, 0x21, 103},
    {"cLyr", &CLyrCommand, 0x21, 104},
    {"cWth", &SizeCommand, 0x21, 105},
    {"Dpth", &DpthCommand, 0x21, 152},
    {"tLyr", &LayrCommand, 0x21, 155},
    {"tSiz", &SizeCommand, 0x21, 156},
    {"Layr", &LayrCommand, 0x21, 106},
    {"Wdth", &SizeCommand, 0x21, 107},
    {"Outl", &CellPickCommand, 0x22, 144},
    {"Full", &CellPickCommand, 0x22, 145},
    {"Set", &SetCommand, 0x21, 146},
    {"Make", &MakeCommand, 0x61, 147},
    {"Smsh", &SmshCommand, 0x61, 148},
    {"uDup", &UDupCommand, 0x61, 162},
    {"vStp", &VStpCommand, 0x21, 133},
    {"Step", &StepCommand, 0x21, 150},
    {"Res", &ResCommand, 0x222, 151},
    {"Cap", &CapCommand, 0x222, 154},
    {"ReSz", &ReSzCommand, 0x21, 158},
    {"Snap", &SnapCommand, 0x21, 164},
    {"OvSz", &OvSzCommand, 0x21, 159},
    {"Orig", &OrigCommand, 0x21, 165},
    {"sWin", &SWinCommand, 0x10, 108},
    {"rWin", &RWinCommand, 0x10, 109},
    {"Grid", &GridCommand, 0x10, 110},
    {"wGrd", &GridStepCommand, 0x10, 111},
    {"dGrd", &GridStepCommand, 0x10, 112},
    {"View", &LayerSetCommand, 0x10, 114},
    {"Open", &LayerSetCommand, 0x10, 115},
    {"Cntr", &CntrCommand, 0x90, 23},
    {"Fit", &FitCommand, 0x90, 22},
    {"Left", &PanCommand, 0x90, 18},
    {"Right", &PanCommand, 0x90, 21},
    {"Up", &PanCommand, 0x90, 19},
    {"Dn", &PanCommand, 0x90, 20},
    {"Xpnd", &XpndCommand, 0x90, 24},
    {"Zoom", &ZoomCommand, 0x90, 25},
    {"sDrw", &LayerStepCommand, 0x90, 140},
    {"lDrw", &LDrwCommand, 0x90, 141},
    {"rDrw", &LayerStepCommand, 0x90, 143},
    {"Draw", &DrawCommand, 0x90, 27},
    {"Last", &LastCommand, 0x90, 26},
    {"Print", &edui::PrintCommand, 0x21, 12},
    {"Cmd", &CmdCommand, 0x21, 166},
}};

}  // namespace

std::span<const CommandEntry> CommandTable() { return kTable; }

int FindTypedCommand(std::string_view word) {
  for (int row = 0; row < kCmd; ++row) {
    if (edui::SameNoCase(kTable[std::size_t(row)].word, word)) return row;
  }
  return -1;
}

}  // namespace edcmd
