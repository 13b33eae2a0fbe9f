// The dialogs of the TLC conversions on the platform's windows: the DISPLAY progress dialog, the
// self-closing PAUSE, the TLCIN and TLCOUT set-up dialogs with their quick help HELPER, the ANYLIST
// pickers, and the talk that puts them together for the editor. DISPLAY and PAUSE serve the utilities
// too.
#pragma once
#include <span>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/tlc/run.h"
#include "platform/ui/talk_box.h"
#include "platform/ui/types.h"

namespace db {
struct CellIndex;
}

namespace tlc {

// Control ids of the set-up dialogs, HELPER and ANYLIST.
constexpr int kSetupSource = 1057, kSetupDestination = 1055, kSetupName = 1056;
constexpr int kSetupList = 16, kSetupFastRun = 1000, kSetupHelp = 3;
constexpr int kHelpText = 300, kHelpScroll = 301;
constexpr int kAnyListList = 1006, kAnyListCaption = 1009;

// Runs PAUSE for `milliseconds` (scaled in scripted runs), owned by `owner`. True when the user
// stopped it: Esc or Cancel, or closing it when `closeStops`.
bool ShowPause(ui::Wnd owner, int milliseconds, bool closeStops = true);

// The modeless DISPLAY of a run. Closing it stops the run, so it never goes on out of sight.
// A program's own DISPLAY template (more items) takes the place of the common one.
class ProgressDisplay {
 public:
  ~ProgressDisplay() { Close(); }
  // Opens DISPLAY (or a program's display of another name) owned by `owner`, titled `title` (empty:
  // the template's title stays).
  void Open(ui::Wnd owner, std::string_view title, std::string_view templateName = "DISPLAY");
  void Close();
  void SetItem(int item, std::string_view text);
  ui::Wnd handle() const { return handle_; }
  // The handle as a message loop that routes the display's messages watches it: 0 once it closed.
  const ui::Wnd* handleSlot() const { return &handle_; }
  // True once the user closed it.
  bool closed() const { return closed_; }
  // Called when the user closes it, for a run that must stop at once rather than at its next pause.
  std::function<void()> onClose;
  // Asked before it closes at the user's request; false keeps it open and the run going.
  std::function<bool()> confirmClose;
  // A program's own handling of the display's messages (a button of its own, a picture), asked
  // before the display's; true when it took the message.
  std::function<bool(ui::Wnd, ui::Message, ui::WParam, ui::LParam)> extra;

 private:
  ui::Wnd handle_ = 0;
  bool closed_ = false;
};

// The TLCIN or TLCOUT set-up dialog (`caption` "TLCIN" or "TLCOUT") over `values`; false on Cancel.
bool RunTlcSetup(ui::Wnd owner, std::string_view caption, TlcSetup& values);
// RunTlcSetup owned by `owner`, for a run to call.
SetupDialog SetupDialogOf(ui::Wnd owner);
// HELPER with TLCOUT's or TLCIN's table.
void RunQuickHelp(ui::Wnd owner, bool tlcOut);
// HELPER with a program's own table of lines.
void RunQuickHelp(ui::Wnd owner, std::span<const std::string_view> lines);
// ANYLIST: `caption` over `lines`, picked by a double click only; the name is the picked line up to
// its first `cut` character, `row` (when given) its 0-based row. 1 and the name, 0 when cancelled.
// Every list picker of the suite is one.
int RunAnyList(ui::Wnd owner, std::string_view caption, const std::vector<std::string>& lines, char cut,
               std::string& name, int* row = nullptr);
// ANYLIST over the TLC files of `folder`; 1 and the picked cell name, 0 when cancelled.
int PickTlcFile(ui::Wnd owner, std::string_view folder, std::string& name,
                std::string_view caption = "Source TLC Files");
// ANYLIST over the cells of an index, by their list labels; 1 and the picked name, 0 when cancelled.
int PickIndexCell(ui::Wnd owner, const db::CellIndex& index, std::string& name,
                  std::string_view caption = "Source Cell Collection");

// The talk of the editor's conversions: DISPLAY owned by `main`, PAUSE owned by DISPLAY, message
// boxes, and the Esc key waiting in the queue. While a run has its display the main window is
// disabled, so no second command starts inside a pause.
class DialogTalk : public ui::WindowTalk {
 public:
  explicit DialogTalk(ui::Wnd main) : WindowTalk(main) {}
  void OpenDisplay(std::string_view caption) override;
  void CloseDisplay() override;
  void SetItemText(int item, std::string_view text) override { display_.SetItem(item, text); }
  bool Pause(int milliseconds) override;
  bool EscapeWaiting() override;
  ui::Wnd display() const { return display_.handle(); }

 private:
  ProgressDisplay display_;
  bool disabledMain_ = false;
};

}  // namespace tlc
