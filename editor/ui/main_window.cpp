#include "editor/ui/main_window.h"

#include <cctype>
#include <cstdio>

#include "editor/db/cell_index.h"
#include "editor/db/current_cell.h"
#include "editor/db/orientation.h"
#include "editor/tlc/run.h"
#include "editor/ui/cell_dialogs.h"
#include "editor/ui/draw/primitives.h"
#include "editor/ui/editor_talk.h"
#include "editor/ui/message_table.h"
#include "editor/ui/overlays.h"
#include "editor/ui/panels.h"
#include "editor/ui/shell.h"
#include "editor/ui/status_bar.h"
#include "editor/ui/suite_drive.h"
#include "editor/ui/suite_programs.h"
#include "editor/ui/system/system_editor.h"
#include "platform/gfx/text.h"
#include "platform/ui/program.h"
#include "platform/os/textfile.h"
#include "platform/ui/talk_box.h"
#include "platform/ui/keys.h"
#include "platform/ui/window.h"

namespace edui {

namespace {

constexpr const char* kClassName = "MERO";
constexpr const char* kTitle = "MERO 6.0";
constexpr int kCmdId = 166;

const std::vector<ui::MenuItem>& Menu() {
  static const std::vector<ui::MenuItem> menu = {
      {10, "&Help"}, {11, "&Read"}, {12, "&Print"}, {13, "S&ys"}, {14, "&Save"}, {15, "&Cell"},
      {16, "&List"}, {17, "&Undo"}, {0, ""},        {18, "Left"}, {19, "Up"},    {20, "Dn"},
      {21, "Right"}, {0, ""},       {22, "&Fit"},   {23, "C&ntr"}, {24, "&Xpnd"}, {25, "&Zoom"},
      {26, "L&ast"}, {0, ""},       {27, "&Draw"},
  };
  return menu;
}

bool InsideDrawing(const Editor& ed, int x, int y) {
  const draw::DrawingArea& a = ed.view.area;
  return x > a.left && x < a.right && y > a.top && y < a.bottom;
}

void OpenedCell(Editor& ed) {
  draw::ApplyRankView(ed.view, ed.masks, ed.db);
  PostToMain(ed, ui::msg::Command, ui::MakeWParam(kMenuDraw, 0));
}

// Change cell: into a selected instance's cell (with Ctrl keeping the cell left as the context drawn
// around it), else the cell the CELL dialog names.
void ChangeCell(Editor& ed) {
  ed.draw.context = draw::ContextCell{};
  db::ObjectStore& st = ed.db.store;
  std::string name;
  for (int n = 1; n <= st.refCount[0]; ++n) {
    const db::CellRefRecord r = st.GetCellRefRecord(0, n);
    if (!(r.flags & db::kRefSelectedBit)) continue;
    const int row = db::RefRowOf(r.flags);
    if (!ed.db.index.ValidRow(row)) continue;
    name = ed.db.index.rows[std::size_t(row)].name;
    if (IsCtrlDown()) {
      static constexpr int kInverse[8] = {0, 3, 2, 1, 4, 5, 6, 7};
      const int inverse = kInverse[db::OrientationOf(r.flags)];
      std::int32_t x = -r.x;
      std::int32_t y = -r.y;
      db::OrientPoint(inverse, x, y);
      ed.draw.context = draw::ContextCell{ed.db.current.name, x, y, inverse};
    }
    break;
  }
  if (name.empty()) {
    if (!RunCellDialog(ed)) return;
    name = ed.answer;
  }
  name = tlc::UpperCase(name);
  db::SaveOpenCell(ed.db, db::kSaveCellFiles | db::kSaveAllowTlc);
  if (db::LoadCell(ed.db, name)) {
    OpenedCell(ed);
  } else {
    ed.draw.context = draw::ContextCell{};
    PostToMain(ed, ui::msg::Command, ui::MakeWParam(kMenuCell, 0));
  }
}

void FunctionKey(Editor& ed, int n) {
  const auto& macros = ed.db.form.macros;
  if (n < 0 || std::size_t(n) >= macros.size() || macros[std::size_t(n)].empty()) return;
  const int row = FindRowById(ed.proto.table, kCmdId);
  if (row < 0) return;
  ed.commandLine = macros[std::size_t(n)];
  ed.macroFlag = 1;
  RunCommandHandler(ed, row);
  ed.macroFlag = 0;
}

void OnCommand(Editor& ed, int id) {
  switch (id) {
    case kMenuHelp:
      LaunchSuiteProgram(ed, kMenuHelp);
      ed.pendingHelp.clear();
      return;
    case kMenuRead:
      RunReaderProgram(ed);
      return;
    case kMenuSys: {
      edsys::SystemContext context = edsys::SystemContextOf(ed);
      edsys::RunSystemMode(context);
      return;
    }
    case kMenuSave:
      db::SaveOpenCell(ed.db, db::kSaveCellFiles);
      db::SaveCellBackup(ed.db);
      db::SaveUndoBackup(ed.db);
      return;
    case kMenuCell:
      ChangeCell(ed);
      return;
    case kMenuList: {
      const int n = RunCellCollectionDialog(ed);
      if (n <= 0 || !ed.db.index.ValidRow(n)) return;
      db::SaveOpenCell(ed.db, db::kSaveCellFiles | db::kSaveAllowTlc);
      if (db::LoadCell(ed.db, ed.db.index.rows[std::size_t(n)].name)) {
        ed.draw.context = draw::ContextCell{};
        OpenedCell(ed);
      }
      return;
    }
    case kMenuUndo: {
      const int kind = RunUndoDialog(ed);
      if (kind <= 0) return;
      db::RestoreBackup(ed.db, kind);
      PostToMain(ed, ui::msg::Command, ui::MakeWParam(kMenuDraw, 0));
      return;
    }
    case kMenuPanelSwitch:
      RightButtonDown(ed);
      return;
    default:
      break;
  }
  if (id == kMenuPrint || (id >= kMenuLeft && id <= kMenuDraw)) {
    const int row = FindRowById(ed.proto.table, id);
    if (row < 0) return;
    SendToMain(ed, wm::StartCommand, ui::WParam(row));
    ui::Focus(ed.main);
    return;
  }
  if (id >= kMenuFKeyFirst && id <= kMenuFKeyLast) FunctionKey(ed, id - kMenuFKeyFirst);
}

void OnChar(Editor& ed, unsigned code) {
  const unsigned c = code < 128 ? unsigned(std::toupper(int(code))) : code;
  switch (c) {
    case 1:
      ed.db.store.ShowObjectAllocation();
      return;
    case 3:
      ShowTextBox(ed, "MERO", "MERO 6.0\nMask Layout Editor");
      return;
    case 9:
      ed.crosshairOn = !ed.crosshairOn;
      return;
    case 10:
      ed.db.settings.layerSelectionByTable = !ed.db.settings.layerSelectionByTable;
      ShowStatus(ed, 0);
      return;
    case 13:
      PostToMain(ed, ui::msg::Command, ui::MakeWParam(kMenuDraw, 0));
      return;
    case 27:
      EscapeKey(ed);
      return;
    case ' ':
      EraseOverlays(ed);
      ShowDistance(ed, 0);
      return;
    case 'Z':
      EraseOverlays(ed);
      ShowDistance(ed, 1);
      return;
    case 'A':
      EraseOverlays(ed);
      ToggleModeBits(ed, draw::kModeSnap);
      return;
    case 'C':
      ToggleModeBits(ed, draw::kModeCentreLine);
      return;
    case 'D':
      ToggleModeBits(ed, draw::kModeMarkDistance);
      return;
    case 'I':
      ToggleModeBits(ed, draw::kModeOutlines);
      return;
    case 'N':
      ToggleModeBits(ed, draw::kModeNames);
      return;
    case 'O':
      EraseOverlays(ed);
      ToggleModeBits(ed, draw::kModeAngle);
      return;
    case 'R':
      ToggleModeBits(ed, draw::kModeOrigin);
      return;
    case 'T':
      ToggleModeBits(ed, draw::kModeTextMarks);
      return;
    case 'U':
      EraseOverlays(ed);
      SetModeBits(ed, draw::kModeSnap, 0);
      return;
    case 'V':
      ToggleModeBits(ed, draw::kModeVertexMarks);
      return;
    case 'W':
      EraseOverlays(ed);
      SetModeBits(ed, draw::kModeSnap, 1);
      return;
    case 'X':
    case 'Y':
      if (ed.proto.now.pointPending) SendToMain(ed, wm::TypedPoint, 0, 0);
      if (RunPointDialog(ed, c == 'X')) {
        SendToMain(ed, wm::TypedPoint, PackCoordinate(TruncatedCoordinate(ed.typedX)),
                   ui::LParam(PackCoordinate(TruncatedCoordinate(ed.typedY))));
      }
      return;
    default:
      return;
  }
}

void OnMouseMove(Editor& ed, int x, int y) {
  ed.pointerX = x;
  ed.pointerY = y;
  UpdatePointerPoints(ed);
  std::int32_t px = 0;
  std::int32_t py = 0;
  PickedPoint(ed, px, py);
  const double scale = ed.db.settings.scale;
  char text[96];
  std::snprintf(text, sizeof text, " x=%g  y=%g", px / scale, py / scale);
  SetStatusField(ed, kFieldPosition, text);
  if (ui::IsForeground(ed.main) && InsideDrawing(ed, x, y)) {
    ShowPointerMark(ed, 1);
    if (ed.proto.now.bandMode) ShowRubberBand(ed, 1);
    ShowPointer(0);
    MoveRubberBand(ed);
    MovePointerMark(ed);
  } else {
    EraseOverlays(ed);
    ShowPointer(1);
  }
}

void OnPaint(Editor& ed) {
  EraseOverlays(ed);
  const int mode = ed.redrawMode;
  if (mode > 0) ShowPointer(0);
  ui::BeginPaint(ed.main);
  // A message box inside a redraw must not start a second walk over the half-drawn store.
  const bool nested = ed.redrawInProgress != 0;
  if (!nested) {
    const draw::DrawingArea& a = ed.view.area;
    switch (mode) {
      case 1: {
        const ui::Rect r{a.left, a.top, a.right, a.bottom};
        ui::Invalidate(ed.main, &r, true);
        break;
      }
      case 2:
      case 3:
        ed.redrawInProgress = 1;
        draw::Redraw(ed.draw, 0);
        if (mode == 2 && ed.view.dotShown) draw::DrawGrid(ed.draw, ed.view.dotGrid);
        break;
      default:
        break;
    }
    DrawOriginMark(ed);
  }
  // An invalidation has nothing new to show at once: the redraw that follows it shows its picture.
  if (nested || mode != 1) ui::EndPaint(ed.main);
  if (nested) return;
  if (mode == 3) PostToMain(ed, wm::Reenter);
  ed.redrawInProgress = 0;
  ed.redrawMode = 0;
  if (ed.db.current.rank == 0) ShowPointer(1);
}

void OnSize(Editor& ed, ui::WParam how) {
  LayoutBars(ed);
  ed.panels.firstShown = !ed.panels.firstShown;
  SwitchButtonPanel(ed);
  if (how == ui::size::Minimized) {
    if (ed.db.current.rank > 0) {
      db::ClearSelectionMarks(ed.db);
      db::SaveOpenCell(ed.db, db::kSaveCellFiles);
      ui::SetTitle(ed.main, ed.db.current.name + " (min)");
    }
  } else if ((how == ui::size::Restored || how == ui::size::Maximized) && !ed.startupFailed) {
    PostToMain(ed, ui::msg::Command, ui::MakeWParam(kMenuDraw, 0));
  }
}

void OnCreate(Editor& ed, ui::Wnd w) {
  ed.main = w;
  ui::SetMenuBar(w, Menu());
  FindSuiteDrive([&](const char*) { ShowMessage(ed, 28); });
  ed.db.suiteDrive = SuiteDrive();
  if (gfx::Surface* s = ui::WindowSurface(w)) {
    ed.ownCanvas = std::make_unique<gfx::Canvas>(*s);
    ed.ownCanvas->SetPalette(draw::EditorPalette());
    ed.canvas = ed.ownCanvas.get();
  }
  ed.draw.canvas = ed.canvas;
  ed.draw.hooks.escDown = [] { return IsEscDown(); };
  ed.draw.hooks.hidePointerMark = [&ed] { ShowPointerMark(ed, 0); };
  UpdateDrawingArea(ed);

  ed.windowReady = 1;
  if (!db::OpenCellCollection(ed.db)) {
    ed.startupFailed = 1;
    ui::TellJobFailed();
    ui::Post(w, ui::msg::Close);
    return;
  }
  db::FindCell(ed.db.index, ed.startCell);
  if (ed.db.index.foundRow >= 1 && ed.db.index.foundRow <= ed.db.index.count) {
    if (!db::LoadCell(ed.db, ed.startCell)) {
      // As after Change cell: no cell open, and the Cell dialog asks again.
      db::ClearCurrentCell(ed.db);
      PostToMain(ed, ui::msg::Command, ui::MakeWParam(kMenuCell, 0));
    }
  } else {
    db::ClearCurrentCell(ed.db);
    if (!ed.db.form.noCellPopup) PostToMain(ed, ui::msg::Command, ui::MakeWParam(kMenuCell, 0));
  }
  draw::ApplyRankView(ed.view, ed.masks, ed.db);
  draw::NormalizeView(ed.view, ed.db.settings);
  ed.proto.now.pointState = 0;
  ShowModeToggles(ed);
  SendToMain(ed, wm::StartCommand, 0);
}

void OnDestroy(Editor& ed) {
  // After a failed start-up the files on disk are all there is: nothing may be written over them.
  const std::uint64_t failedBefore = os::WriteFailureCount();
  if (!ed.startupFailed) {
    if (ed.db.current.rank == 0)
      db::SaveCellState(ed.db, 0);
    else
      db::SaveOpenCell(ed.db, db::kSaveCellFiles | db::kSaveAllowTlc);
  }
  ed.db.store.FreeObjectStore();
  // What the last save could not write is lost: the run did not end well.
  ui::PostQuit(os::WriteFailureCount() != failedBefore ? 1 : 0);
}

}  // namespace

const ui::AcceleratorTable& EditorAccelerators() {
  using ui::mod::Alt;
  using ui::mod::Control;
  static const ui::AcceleratorTable table = [] {
    ui::AcceleratorTable t;
    t.entries = {{'A', Alt, 26},  {'C', Alt, 15},  {'C', Alt | Control, 15}, {'D', Alt, 27},
                 {'F', Alt, 22},  {'H', Alt, 10},  {'L', Alt, 16},           {'N', Alt, 23},
                 {'P', Alt, 12},  {'S', Alt, 14},  {'U', Alt, 17},           {'Y', Alt, 13},
                 {ui::key::Left, 0, 18}, {ui::key::Up, 0, 19}, {ui::key::Down, 0, 20},
                 {ui::key::Right, 0, 21}};
    for (int f = 2; f <= 12; ++f) t.entries.push_back({ui::key::F(f), 0, 1400 + f - 2});
    return t;
  }();
  return table;
}

ui::Result EditorWndProc(Editor& ed, ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam lp) {
  // Sizes told while the start-up runs (the menu bar takes its room) wait for the size that follows
  // the creation, which lays the window out.
  if (!ed.windowReady && m != ui::msg::Create) return ui::DefaultProc(w, m, wp, lp);
  switch (m) {
    case ui::msg::Create:
      OnCreate(ed, w);
      return 0;
    case ui::msg::Destroy:
      OnDestroy(ed);
      return 0;
    case ui::msg::Size:
    case ui::msg::DisplayChange:
      OnSize(ed, m == ui::msg::Size ? wp : ui::size::Restored);
      return 0;
    case ui::msg::Paint:
      OnPaint(ed);
      return 0;
    case ui::msg::MouseMove:
      OnMouseMove(ed, ui::LParamX(lp), ui::LParamY(lp));
      return 0;
    case ui::msg::KillFocus:
    case ui::msg::NcMouseMove:
      EraseOverlays(ed);
      ShowPointer(1);
      return 0;
    case ui::msg::LButtonDown:
      // The click's own position, so a snap toggled since the last move counts.
      ed.pointerX = ui::LParamX(lp);
      ed.pointerY = ui::LParamY(lp);
      UpdatePointerPoints(ed);
      LeftButtonDown(ed);
      return 0;
    case ui::msg::LButtonDblClk:
      LeftButtonDoubleClick(ed);
      return 0;
    case ui::msg::RButtonDown:
      RightButtonDown(ed);
      return 0;
    case wm::StartCommand:
      StartCommand(ed, int(wp));
      return 0;
    case wm::RestartCommand:
      RestartCommand(ed);
      return 0;
    case wm::StepBack:
      StepBack(ed);
      return 0;
    case wm::Reenter:
      Reenter(ed);
      return 0;
    case wm::TypedPoint:
      TypedPoint(ed, UnpackX(wp), UnpackY(lp));
      return 0;
    case ui::msg::Char:
      OnChar(ed, unsigned(wp));
      return 0;
    case ui::msg::Command:
      OnCommand(ed, ui::LowWord(wp));
      return 0;
    default:
      return ui::DefaultProc(w, m, wp, lp);
  }
}

ui::Wnd CreateEditorWindow(Editor& ed, const std::string& cellName) {
  ed.startCell = cellName.empty() ? std::string("(none)") : tlc::UpperCase(cellName);
  ui::WindowClass cls;
  cls.name = kClassName;
  cls.style = ui::cls::Redraw | ui::cls::DoubleClicks;
  cls.background = 0x000000;
  cls.proc = [&ed](ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam lp) {
    return EditorWndProc(ed, w, m, wp, lp);
  };
  ui::DefineClass(cls);
  ed.panels.sizeClass = draw::PanelSizeClass(ui::SystemMetric(ui::Metric::FullScreenWidth));
  const int width = ui::SystemMetric(ui::Metric::FullScreenWidth);
  const int height = ui::SystemMetric(ui::Metric::FullScreenHeight) + ui::SystemMetric(ui::Metric::CaptionHeight);
  const ui::Wnd w = ui::MakeWindow(kClassName, kTitle,
                                   ui::style::Caption | ui::style::SysMenu | ui::style::MinimizeBox |
                                       ui::style::MaximizeBox,
                                   0, 0, width, height, 0);
  if (!w || !ui::IsAlive(w)) return 0;
  ui::Show(w, ui::show::Maximized);
  ui::UpdateNow(w);
  ui::Focus(w);
  return w;
}

void CloseEditor(Editor& ed) {
  ed.draw.canvas = nullptr;
  ed.canvas = nullptr;
  ed.ownCanvas.reset();
  ed.main = 0;
}

int RunEditor(Editor& ed, const std::string& cellName) {
  EditorTalk talk(ed);
  AttachTalk(ed, &talk);
  // A font too tall for the menu buttons only earns a warning.
  if (gfx::UiFont()->metrics().height > 18 || ui::SystemMetric(ui::Metric::CaptionHeight) > 21) ShowMessage(ed, 32);
  const ui::Wnd w = CreateEditorWindow(ed, cellName);
  if (w && SingleInstanceTest()) ui::TalkBox(0, kInstanceCaption, kInstanceWarning, tell::Buttons::Ok);
  const int code = w ? ui::RunMessageLoop(w, &EditorAccelerators()) : 0;
  CloseEditor(ed);
  AttachTalk(ed, nullptr);
  return code;
}

}  // namespace edui
