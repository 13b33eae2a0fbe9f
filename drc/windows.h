// The checker's windows: SETUP, the map VIEWER, and the view of a run (the progress picture of
// DISPLAY and the MAPPER window).
#pragma once
#include <string>

#include "drc/machine.h"
#include "drc/settings.h"
#include "platform/ui/types.h"

namespace drc {

// SETUP control ids beyond the slots' (100..118).
constexpr int kSetupFirst = 100, kSetupFit = 119, kSetupReset = 120, kSetupList = 121;
// DISPLAY's progress picture, MAPPER's picture.
constexpr int kDisplayPicture = 1100, kMapperPicture = 1070;
// VIEWER.
constexpr int kViewerPicture = 1066, kViewer4x = 1056, kViewer2x = 1057, kViewerHScroll = 2000,
              kViewerVScroll = 2002;

// SETUP ("DRC Setup"): 1 on OK with the slots taken from the controls and normalised; 0 on Cancel,
// with the cell and the window fields that Fit or Reset changed put back.
int RunSetupDialog(ui::Wnd owner, DrcSettings& s, const DrawingUnits& drawing);

// VIEWER: asks for a map file, then shows it at 1x, 2x or 4x with scroll bars.
void RunViewerDialog(ui::Wnd owner);

// DISPLAY's Cancel button and close box during a run: "Do You Want to Abort Checking?"; true when
// `m` was one of them (the display stays open), with `abort` set when the answer was Yes.
bool AskAbortChecking(ui::Wnd display, ui::Message m, ui::WParam wp, bool& abort);

// What a run shows on screen: DISPLAY's picture (whose window the program passes on once the display
// exists) and the MAPPER window, opened over `owner` while an area shows maps.
class WindowView : public CheckView {
 public:
  explicit WindowView(ui::Wnd owner) : owner_(owner) {}
  ~WindowView() override { CloseMapper(); }
  void SetDisplay(ui::Wnd display) { display_ = display; }
  void ShowProgress(const AreaProgress& area) override;
  void ShowMapper(const gfx::Surface& picture, std::string_view line1, std::string_view line2) override;
  void CloseMapper() override;
  ui::Wnd MapperWindow() const { return mapper_; }

 private:
  ui::Wnd owner_;
  ui::Wnd display_ = 0;
  ui::Wnd mapper_ = 0;
};

}  // namespace drc
