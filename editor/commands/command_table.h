// The editor's 78 commands in their fixed order: the row number is the command number of the protocol.
#pragma once
#include <span>
#include <string_view>

#include "editor/ui/protocol.h"

namespace edcmd {

constexpr int kCommandCount = 78;

// Rows other code names.
enum Row {
  kGet = 0,
  kMov = 11,
  kCpy = 15,
  kAdd = 25,
  kDpth = 37,
  kSWin = 56,
  kRWin = 57,
  kGrid = 58,
  kWGrd = 59,
  kDGrd = 60,
  kView = 61,
  kOpen = 62,
  kCntr = 63,
  kFit = 64,
  kLeft = 65,
  kRight = 66,
  kUp = 67,
  kDn = 68,
  kXpnd = 69,
  kZoom = 70,
  kSDrw = 71,
  kLDrw = 72,
  kRDrw = 73,
  kDraw = 74,
  kLast = 75,
  kPrint = 76,
  kCmd = 77,
};

std::span<const edui::CommandEntry> CommandTable();

// The row a typed word names: rows 0..76 compared case-blind, first match; -1 when none ("Cmd" cannot
// be typed).
int FindTypedCommand(std::string_view word);

}  // namespace edcmd
