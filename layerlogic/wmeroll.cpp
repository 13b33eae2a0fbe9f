// Wmeroll: two layers of a cell and its hierarchy combined by AND, OR or XOR, each side and the
// result optionally inverted, written back as boxes and polygons in one TLC file.
#include "editor/db/cell_index.h"
#include "editor/db/database.h"
#include "editor/db/settings.h"
#include "editor/tlc/run.h"
#include "layerlogic/run.h"
#include "platform/ui/talk_box.h"
#include "platform/ui/dialog.h"
#include "platform/ui/keys.h"
#include "platform/ui/window.h"
#include "utilib/frame/dialogs.h"
#include "utilib/frame/frame.h"

namespace {

using namespace layerlogic;

db::Database database;
Drawing drawing;
Settings settings;
RunOutcome outcome;
bool loaded = false;

// SETUP controls.
constexpr int kFirstField = 1000, kFit = 1014, kList = 1015;
constexpr int kAnd = 1050, kNotA = 1053, kNotB = 1054, kNotOut = 1055, kPoly = 1056, kReduce = 1057;
constexpr int kMaxSeg = 1007;
// The map window's picture and the rounding question's text and answers.
constexpr int kMapArea = 501, kMapStatus = 500;
constexpr int kRoundText = 100, kRoundIgnore = 1, kRoundAbort = 3, kRoundIgnorePaths = 4, kRoundIgnoreAll = 5;

void NormaliseAll() {
  // Before the drawing is read there is no scale and no cell to check against.
  if (loaded) layerlogic::Normalise(settings, drawing);
}

void ShowFields(ui::Wnd d, int first, int last) {
  for (int id = first; id <= last; ++id) ui::SetItemText(d, id, settings.slots[id - kFirstField]);
}

void EnableMaxSeg(ui::Wnd d) {
  ui::EnableItem(d, kMaxSeg, ui::IsItemChecked(d, kPoly) && ui::IsItemChecked(d, kReduce));
}

bool SetupDialog() {
  std::vector<std::string> kept;
  return ui::RunDialog("SETUP", utilib::UtilityWindow(), [&](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ShowFields(d, kFirstField, kFirstField + kReport);
      ui::CheckItem(d, kAnd + static_cast<int>(settings.operation), true);
      ui::CheckItem(d, kNotA, settings.notA);
      ui::CheckItem(d, kNotB, settings.notB);
      ui::CheckItem(d, kNotOut, settings.notOut);
      ui::CheckItem(d, kPoly, settings.convertToPoly);
      ui::CheckItem(d, kReduce, settings.convertToPoly && settings.reduceVertices);
      EnableMaxSeg(d);
      kept = settings.slots;
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    switch (ui::LowWord(wp)) {
      case kPoly:
        if (!ui::IsItemChecked(d, kPoly)) ui::CheckItem(d, kReduce, false);
        EnableMaxSeg(d);
        return 1;
      case kReduce:
        if (!ui::IsItemChecked(d, kPoly)) ui::CheckItem(d, kReduce, false);
        EnableMaxSeg(d);
        return 1;
      case kFit: {
        const std::string name = tlc::UpperCase(ui::ItemText(d, kFirstField, utilib::kSlotLength));
        if (!db::FindCell(database.index, name) || database.index.foundRow < 1) return 1;
        const db::CellIndexEntry& e = database.index.rows[static_cast<std::size_t>(database.index.foundRow)];
        const double u = drawing.scale;
        settings.fit = Window{e.left / u, e.bottom / u, e.right / u, e.top / u};
        NormaliseAll();
        ShowFields(d, kFirstField + kLeft, kFirstField + kTop);
        return 1;
      }
      case kList: {
        std::string picked;
        if (utilib::RunCellPicker(d, database.index, picked) == 1) ui::SetItemText(d, kFirstField, picked);
        return 1;
      }
      case ui::kIdOk:
        for (int slot = kCell; slot <= kReport; ++slot)
          settings.slots[slot] = ui::ItemText(d, kFirstField + slot, utilib::kSlotLength);
        for (int op = 0; op < 3; ++op)
          if (ui::IsItemChecked(d, kAnd + op)) settings.slots[kOperation] = std::to_string(op);
        settings.slots[layerlogic::kNotA] = ui::IsItemChecked(d, kNotA) ? "Y" : "N";
        settings.slots[layerlogic::kNotB] = ui::IsItemChecked(d, kNotB) ? "Y" : "N";
        settings.slots[layerlogic::kNotOut] = ui::IsItemChecked(d, kNotOut) ? "Y" : "N";
        settings.slots[kConvertToPoly] = ui::IsItemChecked(d, kPoly) ? "Y" : "N";
        settings.slots[kReduceVertices] = ui::IsItemChecked(d, kReduce) ? "Y" : "N";
        NormaliseAll();
        ui::FinishDialog(d, 1);
        return 1;
      case ui::kIdCancel:
        // What Fit changed goes back with the cell name.
        settings.slots[kCell] = kept[kCell];
        for (int slot = kLeft; slot <= kTop; ++slot) settings.slots[slot] = kept[slot];
        NormaliseAll();
        ui::FinishDialog(d, 0);
        return 1;
    }
    return 0;
  }) == 1;
}

// The map window and the rounding question on the program's main window.
class WindowView : public RunView {
 public:
  void ShowMap(const drc::BitMap& map, std::string_view area) override {
    if (!ui::IsAlive(mapper_)) {
      mapper_ = ui::OpenDialog("MAPPER", utilib::UtilityWindow(),
                               [](ui::Wnd, ui::Message m, ui::WParam, ui::LParam) -> ui::Result {
                                 return m == ui::msg::Close ? 1 : 0;  // it goes when the tile is done
                               });
    }
    if (gfx::Surface* s = ui::ItemSurface(mapper_, kMapArea)) {
      const int w = s->width, h = s->height;
      for (int j = 0; j < h; ++j) {
        // Row 0 of the map is its bottom.
        const int my = static_cast<int>(1024.0 / h * (h - 1 - j));
        std::uint32_t* row = s->Row(j);
        for (int i = 0; i < w; ++i) {
          const int mx = static_cast<int>(1024.0 / w * i);
          row[i] = drc::TestMapPixel(map, mx, my) ? 0xC0C0C0 : 0x000000;
        }
      }
      ui::InvalidateItem(mapper_, kMapArea);
    }
    ui::SetItemText(mapper_, kMapStatus, area);
    ui::ShowNow(mapper_);
  }
  void CloseMap() override {
    if (ui::IsAlive(mapper_)) ui::Destroy(mapper_);
    mapper_ = 0;
  }
  RoundingAnswer AskRounding(std::string_view text) override {
    const std::string shown(text);
    const int id = ui::RunDialog("RNDOFF", utilib::UtilityWindow(), [&](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
      if (m == ui::msg::InitDialog) {
        ui::SetItemText(d, kRoundText, shown);
        return 1;
      }
      if (m != ui::msg::Command) return 0;
      const int button = ui::LowWord(wp);
      if (button == kRoundIgnore || button == kRoundAbort || button == kRoundIgnorePaths || button == kRoundIgnoreAll ||
          button == ui::kIdCancel) {
        ui::FinishDialog(d, button);
        return 1;
      }
      return 0;
    });
    switch (id) {
      case kRoundAbort: return RoundingAnswer::Abort;
      case kRoundIgnorePaths: return RoundingAnswer::IgnorePaths;
      case kRoundIgnoreAll: return RoundingAnswer::IgnoreAll;
      default: return RoundingAnswer::Ignore;  // Ignore, and closing the question
    }
  }

 private:
  ui::Wnd mapper_ = 0;
};

bool Start() {
  const std::string missing = LoadDrawing(database, drawing, "");
  if (!missing.empty()) {
    ui::TalkBox(utilib::UtilityWindow(), kProgram, missing, tell::Buttons::Ok);
    return false;
  }
  if (drawing.scaleDamaged)
    ui::TalkBox(utilib::UtilityWindow(), kProgram, db::kDamagedScaleText, tell::Buttons::Ok);
  loaded = true;
  NormaliseAll();
  return true;
}

int Go(utilib::Job& job) {
  WindowView view;
  if (GoLayerLogic(job, database, settings, drawing, view, outcome) == 1) return 1;
  // The frame's own text speaks of files in general; this run has the one TLC file.
  utilib::RouteMessage(job, kAbortedText, utilib::MessageKind::ReportAndBox, 0);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  SetDefaults(settings);
  utilib::UtilityProgram p;
  p.name = kProgram;
  p.templates = "wmeroll";
  p.setupFile = kSetupFile;
  p.version = kSetupVersion;
  p.helpFile = kHelpFile;
  p.reportFile = kReportFile;
  p.credit = "MEROLL 6.0\nLayer Logic";
  p.menu = {{10, "&Help"}, {11, "&Read"}, {12, "&Setup"}, {13, "&Go"}};
  p.accelerators.entries = {{'H', ui::mod::Alt, 10}, {ui::key::F1, 0, 10}, {'R', ui::mod::Alt, 11},
                            {'S', ui::mod::Alt, 12}, {'G', ui::mod::Alt, 13}};
  p.toolbar = {{10, "Help"}, {11, "Read"}, {12, "Setup"}, {13, "Go"}};
  p.groups = {&settings.slots};
  p.normalise = NormaliseAll;
  p.start = Start;
  p.command = [](int id) {
    if (id != 12) return false;
    SetupDialog();
    return true;
  };
  p.goId = 13;
  p.go = Go;
  p.completion = [] { return CompletedText(outcome.totals); };
  p.displayCloseQuestion = "Aborting ...";
  p.character = [](int ch) {
    if (ch != 1) return false;
    ui::TalkBox(utilib::UtilityWindow(), kProgram,
                utilib::Format("Cell Object Allocation :\n\n%d Boxes  %d Paths  %d Vtx  %d Cells", db::kBoxLimit,
                               db::kPathLimit, db::kVertexLimit, db::kRefLimit),
                tell::Buttons::Ok);
    return true;
  };
  p.pauseCloseAborts = false;
  p.rotatingPauseMs = 200;
  return utilib::RunUtility(p, argc, argv);
}
