#include "editor/commands/setting_commands.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "editor/commands/command_table.h"
#include "editor/commands/edit_common.h"
#include "editor/db/helpers.h"
#include "editor/ui/draw/primitives.h"
#include "editor/ui/edit_dialogs.h"
#include "editor/ui/shell.h"
#include "editor/ui/status_bar.h"
#include "editor/ui/system/system_editor.h"

namespace edcmd {

namespace {

constexpr std::int32_t kMinSize = 2, kMaxSize = 65536;

bool Acceptable(std::int32_t v) {
  const std::int64_t m = std::llabs(std::int64_t(v));
  return v == 0 || (m >= kMinSize && m <= kMaxSize);
}

// A value rounded away from zero by just under one unit, as the end tips move.
std::int32_t AwayFromZero(double v) { return std::int32_t(v > 0 ? std::trunc(v + 0.999) : std::trunc(v - 0.999)); }

}  // namespace

std::int32_t AskSize(edui::Editor& ed, std::int32_t initial) {
  const double scale = ed.db.settings.scale;
  std::int32_t value = initial;
  for (;;) {
    if (!edui::RunWsizeDialog(ed, value / scale)) return value;
    const std::string& text = ed.answer;
    ed.edit.widthMode = text.find("-*") != std::string::npos ? -1 : text.find('*') != std::string::npos ? 1 : 0;
    value = db::RoundToCoordinate(edui::TextToDouble(text) * scale);
    if (Acceptable(value)) return value;
  }
}

void SetPathWidth(db::ObjectStore& s, int path, std::int32_t width) {
  const std::int32_t old = s.GetPath(1, path);
  s.SetPath(width, 1, path);
  const std::vector<int> chain = Chain(s, path);
  if (chain.size() < 2) return;
  const std::int64_t distance = (std::int64_t(std::min(old, 0)) - std::min(width, 0)) / 2;
  if (distance == 0) return;
  struct Moved {
    int v;
    std::int32_t x, y;
  };
  const auto moved = [&](int end, int neighbour) -> Moved {
    const db::VertexRecord e = s.GetVertexRecord(end), n = s.GetVertexRecord(neighbour);
    if (e.x == n.x && e.y == n.y) return {end, e.x, e.y};
    const double a = db::ComputeDirectionAngle(double(n.x) - e.x, double(n.y) - e.y);
    return {end, Shift(e.x, AwayFromZero(double(distance) * std::cos(a))),
            Shift(e.y, AwayFromZero(double(distance) * std::sin(a)))};
  };
  const Moved first = moved(chain.front(), chain[1]);
  const Moved last = moved(chain.back(), chain[chain.size() - 2]);
  for (const Moved& m : {first, last}) {
    s.SetVertex(m.x, 1, m.v);
    s.SetVertex(m.y, 2, m.v);
  }
}

void ApplyWidthOrSize(edui::Editor& ed, std::int32_t value, bool texts) {
  db::ObjectStore& s = ed.db.store;
  const int mode = ed.edit.widthMode;
  for (int p = 1; p <= s.pathCount; ++p) {
    const std::int32_t flags = s.GetPath(0, p);
    if (!(flags & db::kPathSelectedBit) || db::IsText(flags) != texts) continue;
    const std::int32_t w = s.GetPath(1, p);
    std::int32_t next = w;
    if (texts || mode == 0 || w == 0) next = value;
    else if (mode > 0 && w < 0) next = -w;
    else if (mode < 0 && w > 0) next = -w;
    if (next == w) continue;
    draw::ErasePath(ed.draw, p);
    if (texts) s.SetPath(next, 1, p);
    else SetPathWidth(s, p, next);
    draw::RedrawPath(ed.draw, p);
  }
}

void LayrCommand(edui::Editor& ed) {
  int& layer = CurrentRow(ed) == kTLyr ? ed.db.settings.textLayer : ed.db.settings.layer;
  if (const int chosen = edui::ChooseLayerNumber(ed, layer)) layer = chosen;
  EndCommand(ed);
}

void CLyrCommand(edui::Editor& ed) {
  const int chosen = edui::ChooseLayerNumber(ed, ed.edit.changeLayer);
  if (chosen && !ed.proto.escPressed) {
    ed.edit.changeLayer = chosen;
    db::ObjectStore& s = ed.db.store;
    for (int n = 1; n <= s.boxCount; ++n) {
      const std::int32_t flags = s.GetBox(0, n);
      if ((flags & db::kEdgesAll) != db::kEdgesAll) continue;
      draw::EraseBox(ed.draw, n);
      s.SetBox((flags & ~db::kLayerMask) | chosen, 0, n);
      draw::RedrawBox(ed.draw, n);
    }
    for (int p = 1; p <= s.pathCount; ++p) {
      const std::int32_t flags = s.GetPath(0, p);
      if (!(flags & db::kPathSelectedBit)) continue;
      draw::ErasePath(ed.draw, p);
      s.SetPath((flags & ~db::kLayerMask) | chosen, 0, p);
      draw::RedrawPath(ed.draw, p);
    }
  }
  EndCommand(ed);
}

void SizeCommand(edui::Editor& ed) {
  db::Settings& st = ed.db.settings;
  switch (CurrentRow(ed)) {
    case kTSiz: {
      const std::int32_t v = db::RoundTextSize(AskSize(ed, st.textSize));
      if (!ed.proto.escPressed) st.textSize = v;
      break;
    }
    case kWdth: {
      const std::int32_t v = AskSize(ed, st.pathWidth);
      if (!ed.proto.escPressed) st.pathWidth = v;
      break;
    }
    case kCWth: {
      const std::int32_t v = AskSize(ed, st.cWidth);
      if (!ed.proto.escPressed) {
        st.cWidth = v;
        ApplyWidthOrSize(ed, v, false);
      }
      break;
    }
    case kCSiz: {
      const std::int32_t v = db::RoundTextSize(AskSize(ed, st.cSize));
      if (!ed.proto.escPressed) {
        st.cSize = v;
        ApplyWidthOrSize(ed, v, true);
      }
      break;
    }
    default:
      break;
  }
  EndCommand(ed);
}

void ObjCommand(edui::Editor& ed) {
  if (edui::RunObjectListDialog(ed)) ed.db.settings.addKind = ed.answer.substr(0, db::kObjectKindLength);
  EndCommand(ed);
}

void SetCommand(edui::Editor& ed) {
  edui::RunSetDialog(ed);
  EndCommand(ed);
}

void FontCommand(edui::Editor& ed) {
  // A file that cannot be read whole leaves the font as it was (the loader keeps the old table).
  if (edui::RunFontDialog(ed)) db::LoadFontFile(ed.db.form, ed.db.font, ed.db.talk);
  EndCommand(ed);
}

void AttrCommand(edui::Editor& ed) {
  int layer = ed.db.settings.layer;
  edsys::RunAttrDialog(ed.main, ed.db, edsys::SwitchesOf(ed), layer);
  EndCommand(ed);
}

}  // namespace edcmd
