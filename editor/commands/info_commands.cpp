#include "editor/commands/info_commands.h"

#include <cstdio>

#include "editor/commands/edit_common.h"
#include "editor/db/current_cell.h"
#include "editor/ui/status_bar.h"
#include "editor/ui/system/system_editor.h"

namespace edcmd {

namespace {

// A line as the C library formats it: a zero byte among the characters ends it there.
std::string Line(const char* format, auto... args) {
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, format, args...);
  return buffer;
}

struct Selected {
  enum Kind { None, Box, Path, Instance } kind = None;
  int n = 0;
};

Selected FirstSelected(edui::Editor& ed) {
  db::ObjectStore& s = ed.db.store;
  for (int n = 1; n <= s.boxCount; ++n)
    if (s.GetBox(0, n) & db::kEdgesAll) return {Selected::Box, n};
  for (int n = 1; n <= s.pathCount; ++n)
    if (s.GetPath(0, n) & db::kPathSelectedBit) return {Selected::Path, n};
  for (int n = 1; n <= s.refCount[0]; ++n)
    if (s.GetCellRef(0, 0, n) & db::kRefSelectedBit) return {Selected::Instance, n};
  return {};
}

std::vector<std::string> Listing(edui::Editor& ed, const Selected& sel, bool full) {
  db::ObjectStore& s = ed.db.store;
  const double scale = ed.db.settings.scale;
  std::vector<std::string> lines;
  if (sel.kind == Selected::Box) {
    const db::BoxRecord b = s.GetBoxRecord(sel.n);
    lines.push_back(Line(" Box #%d  Layr=%s", sel.n, db::GetLayerName(ed.db, db::LayerOf(b.flags)).c_str()));
    if (!full) return lines;
    const struct {
      const char* name;
      std::int32_t value;
      std::int32_t edge;
    } edges[] = {{"Left", b.left, db::kEdgeLeft},
                 {"Bottom", b.bottom, db::kEdgeBottom},
                 {"Right", b.right, db::kEdgeRight},
                 {"Top", b.top, db::kEdgeTop}};
    for (const auto& e : edges)
      lines.push_back(Line("%c %s=%-10.8g", (b.flags & e.edge) ? '*' : ' ', e.name, e.value / scale));
    return lines;
  }
  const db::PathRecord p = s.GetPathRecord(sel.n);
  lines.push_back(Line(" Path/Text #%d  Layr=%s  Wdth/Size=%g", sel.n,
                       db::GetLayerName(ed.db, db::LayerOf(p.flags)).c_str(), p.width / scale));
  if (!full) return lines;
  int position = 0;
  for (int v : Chain(s, sel.n)) {
    const db::VertexRecord r = s.GetVertexRecord(v);
    const char mark = (r.flags & db::kVertexSelectedBit) ? '*' : ' ';
    ++position;
    if (r.flags & db::kCharVertexBit) {
      char c[8];
      for (int k = 0; k < 8; ++k) c[k] = char((std::uint32_t(k < 4 ? r.x : r.y) >> (24 - 8 * (k % 4))) & 0xFF);
      lines.push_back(Line("%c %3d  %c%c%c%c%c%c%c%c", mark, position, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]));
    } else {
      lines.push_back(Line("%c %-5d X=%-8.8g Y=%-8.8g", mark, position, r.x / scale, r.y / scale));
    }
  }
  return lines;
}

std::string InstanceCell(edui::Editor& ed, int n) {
  const int row = db::RefRowOf(ed.db.store.GetCellRef(0, 0, n));
  return ed.db.index.ValidRow(row) ? ed.db.index.rows[std::size_t(row)].name : std::string();
}

}  // namespace

std::vector<std::string> ObjectListing(edui::Editor& ed) {
  const Selected sel = FirstSelected(ed);
  if (sel.kind != Selected::Box && sel.kind != Selected::Path) return {};
  return Listing(ed, sel, true);
}

void InfoCommand(edui::Editor& ed) {
  const Selected sel = FirstSelected(ed);
  if (sel.kind == Selected::Box || sel.kind == Selected::Path) {
    edui::SetStatusField(ed, edui::kFieldInfo, Listing(ed, sel, false).front());
  } else if (sel.kind == Selected::Instance) {
    const edsys::EditedCellKeeper keeper = edsys::KeeperOf(ed);
    edsys::CellReport report;
    if (edsys::BuildCellReport(ed.db, InstanceCell(ed, sel.n), sel.n, report, &keeper) == 1 && report.lines.size() >= 2)
      edui::SetStatusField(ed, edui::kFieldInfo, " " + report.lines[0] + " " + report.lines[1]);
  }
  EndCommand(ed);
}

void ShowCommand(edui::Editor& ed) {
  const Selected sel = FirstSelected(ed);
  if (sel.kind == Selected::Box || sel.kind == Selected::Path) {
    edsys::CellReport report;
    report.lines = Listing(ed, sel, true);
    edsys::ShowHistory history;
    // A listed object names no cell, but a line may still be walked from into the cell it names.
    const int row = edsys::RunShowList(ed.main, ed.db, report, history);
    if (row > 0) {
      const edsys::EditedCellKeeper keeper = edsys::KeeperOf(ed);
      edsys::ShowCellReports(ed.main, ed.db, ed.db.index.rows[std::size_t(row)].name, 0, &keeper);
    }
  } else if (sel.kind == Selected::Instance) {
    const edsys::EditedCellKeeper keeper = edsys::KeeperOf(ed);
    edsys::ShowCellReports(ed.main, ed.db, InstanceCell(ed, sel.n), sel.n, &keeper);
  }
  EndCommand(ed);
}

}  // namespace edcmd
