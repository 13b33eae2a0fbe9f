#include "editor/ui/panels.h"

#include <algorithm>

#include "editor/ui/button_bitmaps.h"
#include "editor/ui/main_window.h"
#include "editor/ui/overlays.h"
#include "editor/ui/shell.h"
#include "editor/ui/status_bar.h"
#include "editor/ui/suite_programs.h"
#include "platform/ui/dialog.h"
#include "platform/ui/window.h"

namespace edui {

namespace {

constexpr int kGridButton = 110;

bool PointerOverPanel(Editor& ed, ui::Message m) {
  if (m != ui::msg::MouseMove && m != ui::msg::SetCursor) return false;
  EraseOverlays(ed);
  ShowPointer(1);
  return true;
}

ui::Rect Client(Editor& ed) { return ui::ClientRect(ed.main); }

ui::Result ButtonPanelProc(Editor& ed, ui::Wnd d, ui::Message m, ui::WParam w, ui::LParam) {
  if (PointerOverPanel(ed, m)) return 1;
  if (m == ui::msg::InitDialog) {
    const ui::Rect c = Client(ed);
    int y = c.top;
    if (ed.panels.sizeClass == 1 || ed.panels.sizeClass == 2) y = c.top - 4;
    if (ed.panels.sizeClass == 3) y = c.top + (c.Height() - 700) / 2;
    ui::Move(d, c.right - kPanelWidth, y, kPanelWidth, c.Height() + 24);
    ui::CheckItem(d, kGridButton, ed.view.dotShown != 0);
    return 1;
  }
  if (m != ui::msg::Command) return 0;
  const int id = ui::LowWord(w);
  if (id == kMenuPanelSwitch) {
    ui::Focus(ed.main);
    PostToMain(ed, ui::msg::Command, ui::MakeWParam(kMenuPanelSwitch, 0));
    return 1;
  }
  // A run of Res or Cap ends with any button: the next one asks for its parameters again.
  ed.edit.resCapRun = 0;
  if (IsF1Down()) {
    CommandHelp(ed, id);
    ui::CheckItem(d, kGridButton, ed.view.dotShown != 0);
    return 1;
  }
  const int row = FindRowById(ed.proto.table, id);
  if (row >= 0) {
    ui::Focus(ed.main);
    PostToMain(ed, wm::StartCommand, ui::WParam(row));
  }
  return 1;
}

ui::Result FillBarProc(Editor& ed, ui::Wnd d, ui::Message m, bool strip) {
  if (PointerOverPanel(ed, m)) return 1;
  if (m != ui::msg::InitDialog) return 0;
  const ui::Rect c = Client(ed);
  if (strip)
    ui::Move(d, c.right - kStripWidth, c.top, kStripWidth, c.Height());
  else
    ui::Move(d, c.right - kPanelWidth, c.top, kPanelWidth, std::max(0, (c.Height() - 700) / 2));
  return 1;
}

ui::Result ToolbarProc(Editor& ed, ui::Wnd d, ui::Message m, ui::WParam w, ui::LParam) {
  if (PointerOverPanel(ed, m)) return 1;
  if (m == ui::msg::InitDialog) {
    const ui::Rect c = Client(ed);
    ui::Move(d, 6, 0, std::max(0, c.Width() - kPanelWidth - 6), kToolbarHeight);
    for (int i = 0; i < kButtonBitmaps; ++i) ui::SetButtonImage(d, 10 + i, ButtonBitmap(i));
    return 1;
  }
  if (m != ui::msg::Command) return 0;
  const int id = ui::LowWord(w);
  if (IsF1Down()) {
    CommandHelp(ed, id);
    return 1;
  }
  ui::Focus(ed.main);
  PostToMain(ed, ui::msg::Command, ui::MakeWParam(id, 0));
  return 1;
}

void LayoutBottom(Editor& ed, ui::Wnd d) {
  const ui::Rect c = Client(ed);
  const int width = std::max(0, c.Width() - kPanelWidth);
  ui::Move(d, c.left, c.bottom - kBottomHeight, width, kBottomHeight);
  const int tw = std::max(1, ui::ItemRect(d, kToggleFirst).Width());
  const int th = std::max(1, ui::ItemRect(d, kToggleFirst).Height());
  const int h = std::max(1, ui::ItemRect(d, kFieldCommand).Height());
  for (int i = 0; i < 10; ++i) ui::MoveItem(d, kToggleFirst + i, width - 4 - (10 - i) * tw, 3, tw, th);
  ui::MoveItem(d, kFieldCommand, 4, 3, 72, h);
  ui::MoveItem(d, kFieldPosition, 72 + 8, 3, 128, h);
  ui::MoveItem(d, kFieldLayers, 72 + 128 + 12, 3, std::max(0, width - 11 * tw - 128 - 72 - 4), h);
  const int w303 = ed.panels.sizeClass == 0 ? int(0.6 * width) - 4 : width / 2 - 4;
  ui::MoveItem(d, kFieldVariables, 4, h + 5, std::max(0, w303), h);
  ui::MoveItem(d, kFieldInfo, 4 + w303 + 4, h + 5, std::max(0, width - 8 - w303), h);
}

ui::Result BottomProc(Editor& ed, ui::Wnd d, ui::Message m, ui::WParam w, ui::LParam) {
  if (PointerOverPanel(ed, m)) return 1;
  if (m == ui::msg::InitDialog) {
    LayoutBottom(ed, d);
    return 1;
  }
  if (m != ui::msg::Command) return 0;
  const int id = ui::LowWord(w);
  if (id < kToggleFirst || id > kToggleLast) return 0;
  if (IsF1Down()) {
    CommandHelp(ed, id);
  } else if (id == kToggleFirst) {
    draw::SetModeBits(ed.db.settings.modeWord, draw::kModeSnap, 1);
  } else if (id == kToggleFirst + 1) {
    draw::SetModeBits(ed.db.settings.modeWord, draw::kModeSnap, 0);
  } else {
    draw::ToggleModeBits(ed.db.settings.modeWord, 1 << (id - kToggleFirst - 1));
  }
  ShowModeToggles(ed);
  return 1;
}

ui::Wnd Open(Editor& ed, const char* name, ui::DialogProc proc) {
  return ui::OpenPanel(name, ed.main, std::move(proc));
}

}  // namespace

const char* PanelTemplate(int sizeClass, bool first) {
  static const char* const kNames[3][2] = {
      {"MENUBTNS1", "MENUBTNS2"}, {"MENUBTNS3", "MENUBTNS4"}, {"MENUBTNS5", "MENUBTNS6"}};
  const int pair = std::clamp(sizeClass, 0, 2);
  return kNames[pair][first ? 0 : 1];
}

void UpdateDrawingArea(Editor& ed) {
  const ui::Rect c = ui::ClientRect(ed.main);
  draw::SetDrawingArea(ed.view, draw::LayoutDrawingArea(c.Width(), c.Height()));
  if (ed.canvas) {
    const draw::DrawingArea& a = ed.view.area;
    ed.canvas->SetClipRect(gfx::Rect{a.left, a.top, a.right, a.bottom});
  }
}

void LayoutBars(Editor& ed) {
  Panels& p = ed.panels;
  p.sizeClass = draw::PanelSizeClass(ui::SystemMetric(ui::Metric::FullScreenWidth));
  UpdateDrawingArea(ed);
  for (ui::Wnd* w : {&p.fillBar, &p.fillStrip, &p.toolbar, &p.bottom}) {
    ui::Destroy(*w);
    *w = 0;
  }
  p.fillBar = Open(ed, "FILLBAR", [&ed](ui::Wnd d, ui::Message m, ui::WParam, ui::LParam) {
    return FillBarProc(ed, d, m, false);
  });
  if (p.sizeClass > 2) {
    p.fillStrip = Open(ed, "FILLBAR", [&ed](ui::Wnd d, ui::Message m, ui::WParam, ui::LParam) {
      return FillBarProc(ed, d, m, true);
    });
  }
  p.toolbar = Open(ed, "TOOLBAR", [&ed](ui::Wnd d, ui::Message m, ui::WParam w, ui::LParam l) {
    return ToolbarProc(ed, d, m, w, l);
  });
  p.bottom = Open(ed, "BOTTOM", [&ed](ui::Wnd d, ui::Message m, ui::WParam w, ui::LParam l) {
    return BottomProc(ed, d, m, w, l);
  });
}

void SwitchButtonPanel(Editor& ed) {
  Panels& p = ed.panels;
  EraseOverlays(ed);
  ui::Destroy(p.buttons);
  const bool wasSet = p.firstShown != 0;
  p.firstShown = !p.firstShown;
  p.buttons = Open(ed, PanelTemplate(p.sizeClass, wasSet), [&ed](ui::Wnd d, ui::Message m, ui::WParam w, ui::LParam l) {
    return ButtonPanelProc(ed, d, m, w, l);
  });
  ui::Focus(ed.main);
  ui::BringToTop(p.buttons);
}

}  // namespace edui
