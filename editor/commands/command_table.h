// The editor's 78 commands in their fixed order: the row number is the command number of the protocol.
#pragma once
#include <span>
#include <string_view>

#include "editor/ui/protocol.h"

namespace edcmd {

constexpr int kCommandCount = 78;

// Rows by their command words.
enum Row {
  kGet = 0,
  kFGet = 1,
  kTGet = 2,
  kCGet = 3,
  kAGet = 4,
  kWGet = 5,
  kPut = 6,
  kFPut = 7,
  kTPut = 8,
  kCPut = 9,
  kAPut = 10,
  kMov = 11,
  kQMov = 12,
  kWMov = 13,
  kCMov = 14,
  kCpy = 15,
  kRot = 16,
  kFlp = 17,
  kPRev = 18,
  kPBeg = 19,
  kPEnd = 20,
  kCut = 21,
  kJoin = 22,
  kObj = 23,
  kText = 24,
  kAdd = 25,
  kDel = 26,
  kInfo = 27,
  kShow = 28,
  kSort = 29,
  kArc = 30,
  kAttr = 31,
  kFont = 32,
  kCCel = 33,
  kCSiz = 34,
  kCLyr = 35,
  kCWth = 36,
  kDpth = 37,
  kTLyr = 38,
  kTSiz = 39,
  kLayr = 40,
  kWdth = 41,
  kOutl = 42,
  kFull = 43,
  kSet = 44,
  kMake = 45,
  kSmsh = 46,
  kUDup = 47,
  kVStp = 48,
  kStep = 49,
  kRes = 50,
  kCap = 51,
  kReSz = 52,
  kSnap = 53,
  kOvSz = 54,
  kOrig = 55,
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
