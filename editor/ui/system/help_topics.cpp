#include "editor/ui/system/help_topics.h"

#include <array>

namespace edsys {

namespace {

constexpr std::array<HelpTopic, 108> kTopics = {{
    // F1 on the Help button itself opens the help on using help.
    {"Help", 10},
    {"Get", 120}, {"fGet", 122}, {"tGet", 124}, {"cGet", 126}, {"aGet", 160}, {"wGet", 129},
    {"Put", 121}, {"fPut", 123}, {"tPut", 125}, {"cPut", 127}, {"aPut", 128}, {"Mov", 132},
    {"qMov", 130}, {"wMov", 161}, {"cMov", 131}, {"Cpy", 134}, {"Rot", 157}, {"Flp", 163},
    {"pRev", 135}, {"pBeg", 136}, {"pEnd", 137}, {"Cut", 138}, {"Join", 139}, {"Obj", 116},
    {"Text", 117}, {"Add", 118}, {"Del", 119}, {"Info", 142}, {"Show", 167}, {"Sort", 113},
    {"Arc", 100}, {"Attr", 101}, {"Font", 168}, {"cCel", 102}, {"cSiz", 103}, {"cLyr", 104},
    {"cWth", 105}, {"Dpth", 152}, {"tLyr", 155}, {"tSiz", 156}, {"Layr", 106}, {"Wdth", 107},
    {"Outl", 144}, {"Full", 145}, {"Set", 146}, {"Make", 147}, {"Smsh", 148}, {"uDup", 162},
    {"vStp", 133}, {"Step", 150}, {"Res", 151}, {"Cap", 154}, {"ReSz", 158}, {"Snap", 164},
    {"OvSz", 159}, {"Orig", 165}, {"sWin", 108}, {"rWin", 109}, {"Grid", 110}, {"wGrd", 111},
    {"dGrd", 112}, {"View", 114}, {"Open", 115}, {"Cntr", 23}, {"Fit", 22}, {"Pan", 18},
    {"Pan", 21}, {"Pan", 19}, {"Pan", 20}, {"Xpnd", 24}, {"Zoom", 25}, {"sDrw", 140},
    {"lDrw", 141}, {"rDrw", 143}, {"Draw", 27}, {"Last", 26}, {"Print", 12}, {"Cmd", 166},
    {"Toggles", 310}, {"Toggles", 311}, {"Toggles", 312}, {"Toggles", 313}, {"Toggles", 314},
    {"Toggles", 315}, {"Toggles", 316}, {"Toggles", 317}, {"Toggles", 318}, {"Toggles", 319},
    {"Attach", 2000}, {"Import", 2001}, {"Copy", 2002}, {"Scale", 2003}, {"Show", 2004},
    {"Kill", 149}, {"ReName", 2005}, {"ReSize", 2006}, {"ReRank", 2007}, {"CellSort", 2008},
    {"Clone", 1007}, {"TLCin", 3000}, {"TLCout", 3001},
    {"Sys", 13}, {"Save", 14}, {"Cell", 15}, {"List", 16}, {"Undo", 17}, {"Read", 11},
}};

}  // namespace

std::span<const HelpTopic> HelpTopicTable() { return kTopics; }

std::string HelpTopicFor(int id) {
  for (const HelpTopic& t : kTopics)
    if (t.id == id) return "Command Information/" + std::string(t.word);
  return "";
}

}  // namespace edsys
