// The command protocol: every command is a row of the command table, started, stepped through its
// points, stepped back, re-entered and restarted by messages to the main window.
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/ui/types.h"

namespace edui {

struct Editor;

// A handler runs one step per call; several rows may share one and tell themselves apart by the
// current row.
using CommandHandler = void (*)(Editor&);

struct CommandEntry {
  std::string_view word;
  CommandHandler handler = nullptr;
  std::uint16_t flags = 0;  // bits 0-1 kind, bits 4-9 status mask
  int id = 0;               // menu or button id
};

enum CommandKind { kTransparent = 0, kPlain = 1, kRepeatable = 2 };
constexpr int KindOf(const CommandEntry& e) { return e.flags & 3; }
constexpr int StatusMaskOf(const CommandEntry& e) { return (e.flags >> 4) & 63; }

// Messages of the protocol.
namespace wm {
constexpr ui::Message StartCommand = ui::msg::User + 1;    // wParam: row
constexpr ui::Message RestartCommand = ui::msg::User + 2;  // the last repeatable command
constexpr ui::Message StepBack = ui::msg::User + 3;
constexpr ui::Message Reenter = ui::msg::User + 4;
constexpr ui::Message TypedPoint = ui::msg::User + 5;      // wParam x, lParam y (signed 32-bit)
}  // namespace wm

// Typed points travel as signed 32-bit values in both parameters.
constexpr ui::WParam PackCoordinate(std::int32_t v) { return ui::WParam(std::uint32_t(v)); }
constexpr std::int32_t UnpackX(ui::WParam w) { return std::int32_t(std::uint32_t(w)); }
constexpr std::int32_t UnpackY(ui::LParam l) { return std::int32_t(std::uint32_t(l)); }

// ShowStatus mask bits.
namespace status {
constexpr int kResume = 1;
constexpr int kRestart = 2;
constexpr int kFollowMask = 3;
constexpr int kRecount = 4;
constexpr int kHighlightOn = 8;
constexpr int kHighlightOff = 16;
constexpr int kKeepCounts = 32;
constexpr int kKeepVariables = 64;
constexpr int kTextForm = 128;
}  // namespace status

// Band modes of the rubber band that follows the pointer.
enum BandMode { kBandNone = 0, kBandLine = 1, kBandRect = 2, kBandTwoLines = 3, kBandCell = 4 };

struct PointSlot {
  std::int32_t x = 0;  // database units
  std::int32_t y = 0;
  int sx = 0;  // screen pixels
  int sy = 0;
};

constexpr int kPointSlots = 5;
constexpr int kHandlerVars = 6;
constexpr int kPickedCoordinates = 8;
constexpr int kSavedStates = 4;

// What an interrupted command needs to go on after a view command.
struct CommandState {
  std::array<PointSlot, kPointSlots + 1> slots{};  // 1..5
  int bandMode = 0;
  int heldWindowShown = 0;
  std::array<std::int32_t, kPickedCoordinates> picked{};
  int angleConstraint = 0;
  int instanceMode = 0;
  int current = 0;
  int currentId = 0;
  int statusMask = 0;
  int pointState = 0;
  int modeWord = 0;
  int doubleClicked = 0;
  int pointPending = 0;
  std::array<int, kHandlerVars> vars{};
};

struct Protocol {
  std::span<const CommandEntry> table;
  int lastRepeatable = 0;
  std::int32_t dx = 0;  // point 2 - point 1, or point 4 - point 3
  std::int32_t dy = 0;
  std::int32_t snappedX = 0;  // the pointer's point on the working grid
  std::int32_t snappedY = 0;
  std::int32_t rawX = 0;  // and off it
  std::int32_t rawY = 0;
  CommandState now;  // the running command's state
  // Interrupted commands, innermost last: the command a view command interrupted, and a view command
  // that another view command interrupted.
  std::array<CommandState, kSavedStates> savedStack{};
  int savedDepth = 0;
  int savedFlag = 0;

  // Per-command flags, cleared by ClearCommandFlags.
  int escPressed = 0;
  int typedOffset = 0;  // a move or copy waits for the first point of its offset
  int singleLayerRequest = 0;

  const CommandEntry* Row(int n) const {
    return n >= 0 && std::size_t(n) < table.size() ? &table[std::size_t(n)] : nullptr;
  }
};

// First row whose id is `id`; -1 when none.
int FindRowById(std::span<const CommandEntry> table, int id);

// Protocol entry points (the window procedure calls them for its messages).
void StartCommand(Editor& ed, int row);
void RestartCommand(Editor& ed);
void StepBack(Editor& ed);
void Reenter(Editor& ed);
void TypedPoint(Editor& ed, std::int32_t x, std::int32_t y);
void LeftButtonDown(Editor& ed);
void LeftButtonDoubleClick(Editor& ed);
void RightButtonDown(Editor& ed);
void EscapeKey(Editor& ed);
void RunCommandHandler(Editor& ed, int row);

// The end of every finishing handler step, and a few other refreshes.
void ShowStatus(Editor& ed, int mask);
void ClearCommandFlags(Editor& ed);
void SaveCommandState(Editor& ed);
void RestoreCommandState(Editor& ed);
// The pointer's point: snapped while the snap bit is on.
void PickedPoint(Editor& ed, std::int32_t& x, std::int32_t& y);
// The word of the current command in field 300: " %s (Pt.1)" or " %s (Pt.2)".
void PointPrompt(Editor& ed, int second);
// The next paint does: 1 erase the drawing area, 2 redraw, 3 redraw and re-enter the command.
void RequestRedraw(Editor& ed, int mode);

}  // namespace edui
