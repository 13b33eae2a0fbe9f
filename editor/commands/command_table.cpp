#include "editor/commands/command_table.h"

#include <array>
#include <cctype>

#include "editor/commands/command_line.h"
#include "editor/commands/pending_commands.h"
#include "editor/commands/view_commands.h"

namespace edcmd {

namespace {

using edui::CommandEntry;
constexpr auto P = &PendingCommand;

// Row order, words, flags and ids are fixed: saved macros and the panels name commands by them.
constexpr std::array<CommandEntry, kCommandCount> kTable = {{
    {"Get", P, 0xe2, 120},   {"fGet", P, 0xe2, 122},  {"tGet", P, 0xe2, 124},
    {"cGet", P, 0xe2, 126},  {"aGet", P, 0xe2, 160},  {"wGet", P, 0xe2, 129},
    {"Put", P, 0x1e2, 121},  {"fPut", P, 0x1e2, 123}, {"tPut", P, 0x1e2, 125},
    {"cPut", P, 0x162, 127}, {"aPut", P, 0x161, 128}, {"Mov", P, 0x22, 132},
    {"qMov", P, 0x22, 130},  {"wMov", P, 0x22, 161},  {"cMov", P, 0x22, 131},
    {"Cpy", P, 0x22, 134},   {"Rot", P, 0x21, 157},   {"Flp", P, 0x21, 163},
    {"pRev", P, 0x21, 135},  {"pBeg", P, 0x62, 136},  {"pEnd", P, 0x62, 137},
    {"Cut", P, 0x61, 138},   {"Join", P, 0x61, 139},  {"Obj", P, 0x21, 116},
    {"Text", P, 0xe2, 117},  {"Add", P, 0xe2, 118},   {"Del", P, 0x61, 119},
    {"Info", P, 0x221, 142}, {"Show", P, 0x21, 167},  {"Sort", P, 0x61, 113},
    {"Arc", P, 0x61, 100},   {"Attr", P, 0x21, 101},  {"Font", P, 0x21, 168},
    {"cCel", P, 0x21, 102},  {"cSiz", P, 0x21, 103},  {"cLyr", P, 0x21, 104},
    {"cWth", P, 0x21, 105},  {"Dpth", &DpthCommand, 0x21, 152},
    {"tLyr", P, 0x21, 155},  {"tSiz", P, 0x21, 156},  {"Layr", P, 0x21, 106},
    {"Wdth", P, 0x21, 107},  {"Outl", P, 0x22, 144},  {"Full", P, 0x22, 145},
    {"Set", P, 0x21, 146},   {"Make", P, 0x61, 147},  {"Smsh", P, 0x61, 148},
    {"uDup", P, 0x61, 162},  {"vStp", P, 0x21, 133},  {"Step", P, 0x21, 150},
    {"Res", P, 0x222, 151},  {"Cap", P, 0x222, 154},  {"ReSz", P, 0x21, 158},
    {"Snap", P, 0x21, 164},  {"OvSz", P, 0x21, 159},  {"Orig", P, 0x21, 165},
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
    {"Print", P, 0x21, 12},
    {"Cmd", &CmdCommand, 0x21, 166},
}};

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

}  // namespace

std::span<const CommandEntry> CommandTable() { return kTable; }

int FindTypedCommand(std::string_view word) {
  for (int row = 0; row < kCmd; ++row) {
    if (SameWord(kTable[std::size_t(row)].word, word)) return row;
  }
  return -1;
}

}  // namespace edcmd
