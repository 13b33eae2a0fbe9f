#include "drc/windows.h"

#include <algorithm>

#include "drc/pcx.h"
#include "editor/db/cell_index.h"
#include "platform/gfx/canvas.h"
#include "platform/ui/talk_box.h"
#include "platform/ui/dialog.h"
#include "platform/ui/window.h"
#include "utilib/frame/dialogs.h"
#include "utilib/layer_filter.h"
#include "utilib/setup_file.h"

namespace drc {

// ---- SETUP ----

namespace {

constexpr int kChecks[] = {113, 114, 115};

void ShowSlots(ui::Wnd d, const DrcSettings& s, int first, int last) {
  for (int id = first; id <= last; ++id) {
    const std::string& v = s.slots[static_cast<std::size_t>(id - kSetupFirst)];
    if (std::find(std::begin(kChecks), std::end(kChecks), id) != std::end(kChecks)) ui::CheckItem(d, id, v == "Y");
    else ui::SetItemText(d, id, v);
  }
}

}  // namespace

int RunSetupDialog(ui::Wnd owner, DrcSettings& s, const DrawingUnits& drawing) {
  std::vector<std::string> kept, keptResume;
  return ui::RunDialog("SETUP", owner, [&](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ShowSlots(d, s, kSetupFirst, kSetupFirst + kReportName);
      kept = s.slots;
      keptResume = s.resume;
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    switch (ui::LowWord(wp)) {
      case ui::kIdOk:
        for (int id = kSetupFirst; id <= kSetupFirst + kReportName; ++id) {
          std::string& slot = s.slots[static_cast<std::size_t>(id - kSetupFirst)];
          if (std::find(std::begin(kChecks), std::end(kChecks), id) != std::end(kChecks))
            slot.assign(1, ui::IsItemChecked(d, id) ? 'Y' : 'N');
          else
            slot = ui::ItemText(d, id, utilib::kSlotLength);
        }
        NormaliseSettings(s, drawing);
        ui::FinishDialog(d, 1);
        return 1;
      case ui::kIdCancel:
        // Fit and Reset changed the settings themselves: their fields go back.
        s[kCell] = kept[kCell];
        for (int slot = kAreaLeft; slot <= kScanTop; ++slot) s.slots[std::size_t(slot)] = kept[std::size_t(slot)];
        s.resume = keptResume;
        s.editorWindow = false;
        NormaliseSettings(s, drawing);
        ui::FinishDialog(d, 0);
        return 1;
      case kSetupReset:
        s.resume.assign(kResumeCount, "");
        s[kAreaLeft].clear();
        s[kAreaBottom].clear();
        NormaliseSettings(s, drawing);
        ShowSlots(d, s, kSetupFirst + kAreaLeft, kSetupFirst + kAreaBottom);
        return 1;
      case kSetupFit: {
        std::string name = ui::ItemText(d, kSetupFirst + kCell, utilib::kSlotLength);
        utilib::UpperCase(name);
        if (!drawing.index || !db::FindCell(*drawing.index, name) || drawing.index->foundRow < 1) return 1;
        const db::CellIndexEntry& e = drawing.index->rows[static_cast<std::size_t>(drawing.index->foundRow)];
        const double u = drawing.scale;
        s.editorWindow = true;
        s.editorLeft = e.left / u, s.editorBottom = e.bottom / u, s.editorRight = e.right / u, s.editorTop = e.top / u;
        s.resume.assign(kResumeCount, "");
        s[kAreaLeft].clear();
        s[kAreaBottom].clear();
        NormaliseSettings(s, drawing);
        ShowSlots(d, s, kSetupFirst + kAreaLeft, kSetupFirst + kScanTop);
        return 1;
      }
      case kSetupList: {
        std::string picked;
        if (drawing.index && utilib::RunCellPicker(d, *drawing.index, picked) == 1)
          ui::SetItemText(d, kSetupFirst + kCell, picked);
        return 1;
      }
    }
    return 0;
  }) == 1;
}

// ---- VIEWER ----

namespace {

constexpr ui::Message kViewerStart = ui::msg::User + 1;
constexpr int kLineStep = 8;

struct Viewer {
  gfx::Surface picture;  // the whole map file
  int zoom = 1;
  int viewWidth = 0, viewHeight = 0;  // the picture control
  int x = 0, y = 0;                   // the scroll position: the picture's pixel at the control's corner

  int MaxX() const { return ViewerScrollLimit(picture.width, viewWidth, zoom); }
  int MaxY() const { return ViewerScrollLimit(picture.height, viewHeight, zoom); }

  void Paint(ui::Wnd d) {
    gfx::Surface* s = ui::ItemSurface(d, kViewerPicture);
    if (!s) return;
    PaintViewer(*s, picture, zoom, x, y);
    ui::InvalidateItem(d, kViewerPicture);
  }

  void Bars(ui::Wnd d) {
    ui::SetScrollRange(d, kViewerHScroll, 0, MaxX());
    ui::SetScrollPage(d, kViewerHScroll, std::max(1, viewWidth / zoom));
    ui::SetScrollPos(d, kViewerHScroll, x);
    ui::SetScrollRange(d, kViewerVScroll, 0, MaxY());
    ui::SetScrollPage(d, kViewerVScroll, std::max(1, viewHeight / zoom));
    ui::SetScrollPos(d, kViewerVScroll, y);
  }

  void Zoom(ui::Wnd d, int z) {
    zoom = z;
    x = y = 0;
    Bars(d);
    Paint(d);
  }

  void Scroll(ui::Wnd d, int bar, int code, int position) {
    const bool across = bar == kViewerHScroll;
    int& at = across ? x : y;
    const int page = std::max(1, (across ? viewWidth : viewHeight) / zoom);
    const int most = across ? MaxX() : MaxY();
    switch (code) {
      case ui::scroll::LineUp: at -= kLineStep; break;
      case ui::scroll::LineDown: at += kLineStep; break;
      case ui::scroll::PageUp: at -= page; break;
      case ui::scroll::PageDown: at += page; break;
      case ui::scroll::ThumbPosition:
      case ui::scroll::ThumbTrack: at = position; break;
      case ui::scroll::Top: at = 0; break;
      case ui::scroll::Bottom: at = most; break;
      default: return;
    }
    at = std::clamp(at, 0, most);
    ui::SetScrollPos(d, bar, at);
    Paint(d);
  }

  void Box(ui::Wnd d, const char* text) { ui::TalkBox(d, kProgram, text, tell::Buttons::Ok); }

  // False when there is nothing to show.
  bool Load(ui::Wnd d) {
    std::string path;
    if (!utilib::ChooseMapFile(d, path)) return false;
    ui::SetItemText(d, kViewerPicture, "Mapping ...");
    PcxMap map;
    PcxRead r = ReadPcxMap(path, false, map);
    if (r == PcxRead::CannotOpen) Box(d, "Can't Open Map File");
    if (r == PcxRead::NotMapFile) Box(d, "Not MERODRC Map File");
    if (r != PcxRead::Ok) return false;
    picture = std::move(map.picture);
    // The control takes the picture's size, within the room the dialog has for it.
    const ui::Rect room = ui::ItemRect(d, kViewerPicture);
    viewWidth = std::min(picture.width, room.Width());
    viewHeight = std::min(picture.height, room.Height());
    ui::MoveItem(d, kViewerPicture, room.left, room.top, viewWidth, viewHeight);
    Zoom(d, 1);
    return true;
  }
};

}  // namespace

void RunViewerDialog(ui::Wnd owner) {
  Viewer v;
  ui::RunDialog("VIEWER", owner, [&](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam lp) -> ui::Result {
    switch (m) {
      case ui::msg::InitDialog:
        ui::Post(d, kViewerStart);
        return 1;
      case kViewerStart:
        if (!v.Load(d)) ui::FinishDialog(d, 0);
        return 1;
      case ui::msg::HScroll:
      case ui::msg::VScroll:
        v.Scroll(d, m == ui::msg::HScroll ? kViewerHScroll : kViewerVScroll, ui::LowWord(wp), ui::HighWord(wp));
        return 1;
      case ui::msg::Command:
        switch (ui::LowWord(wp)) {
          case kViewer2x:
          case kViewer4x: {
            const int id = ui::LowWord(wp);
            const bool on = ui::IsItemChecked(d, id);
            if (on) ui::CheckItem(d, id == kViewer2x ? kViewer4x : kViewer2x, false);
            v.Zoom(d, on ? (id == kViewer2x ? 2 : 4) : 1);
            return 1;
          }
          case ui::kIdOk:
          case ui::kIdCancel:
            v.picture = {};
            ui::FinishDialog(d, ui::LowWord(wp) == ui::kIdOk ? 1 : 0);
            return 1;
        }
        return 0;
    }
    (void)lp;
    return 0;
  });
}

// ---- The run's windows ----

bool AskAbortChecking(ui::Wnd display, ui::Message m, ui::WParam wp, bool& abort) {
  const bool cancel = (m == ui::msg::Command && ui::LowWord(wp) == ui::kIdCancel) || m == ui::msg::Close;
  if (!cancel) return false;
  if (ui::TalkBox(display, kProgram, "Do You Want to Abort Checking?", tell::Buttons::YesNo) == tell::Answer::Yes)
    abort = true;
  return true;
}

void WindowView::ShowProgress(const AreaProgress& area) {
  gfx::Surface* s = display_ ? ui::ItemSurface(display_, kDisplayPicture) : nullptr;
  if (!s) return;
  DrawAreaProgress(*s, gfx::Rect{0, 0, s->width, s->height}, area);
  ui::InvalidateItem(display_, kDisplayPicture);
  ui::ShowNow(display_);
}

void WindowView::ShowMapper(const gfx::Surface& picture, std::string_view line1, std::string_view line2) {
  if (!ui::IsAlive(mapper_)) {
    // It goes when the area is done, not at the user's close box.
    mapper_ = ui::OpenDialog("MAPPER", owner_, [](ui::Wnd, ui::Message m, ui::WParam, ui::LParam) -> ui::Result {
      return m == ui::msg::Close ? 1 : 0;
    });
  }
  if (gfx::Surface* s = ui::ItemSurface(mapper_, kMapperPicture)) {
    gfx::Canvas c(*s);
    c.BitBlt(0, 0, s->width, s->height, picture, 0, 0, gfx::rop::kSrcCopy);
    ui::InvalidateItem(mapper_, kMapperPicture);
  }
  ui::SetItemText(mapper_, kMapperItem1, line1);
  ui::SetItemText(mapper_, kMapperItem2, line2);
  ui::ShowNow(mapper_);
}

void WindowView::CloseMapper() {
  if (ui::IsAlive(mapper_)) ui::Destroy(mapper_);
  mapper_ = 0;
}

}  // namespace drc
