#include "editor/ui/system/cell_report.h"

#include <array>
#include <cstdarg>
#include <cstdio>

#include "editor/db/cell_files.h"
#include "editor/db/file_names.h"
#include "editor/db/message_table.h"
#include "platform/os/path.h"

namespace edsys {

namespace {

// A line of any length: the report has no fixed line buffers to run over.
std::string Line(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Line(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string out(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
  std::vsnprintf(out.data(), out.size() + 1, format, again);
  va_end(again);
  return out;
}

// The edited cell's objects, kept aside while the store holds the reported cell.
class EditedCell {
 public:
  EditedCell(db::Database& d, const EditedCellKeeper* keeper) : d_(d), keeper_(keeper) {}
  // False when the edited cell could not be set aside: the store is then left untouched.
  bool SetAside() {
    if (keeper_ && keeper_->setAside) {
      aside_ = keeper_->setAside() == 1;
    } else if (d_.current.row == 0 || d_.load.loadedCell != d_.current.row) {
      aside_ = false;  // the store holds no edited cell
    } else if (db::SaveObjectsOfCell(d_, d_.current.row) != 0) {
      db::TellMessage(d_.talk, 11);
      return false;
    } else {
      aside_ = true;
    }
    if (keeper_ && keeper_->setAside && !aside_) return false;
    used_ = true;
    return true;
  }
  ~EditedCell() {
    if (!used_) return;
    d_.store.boxCount = d_.store.pathCount = d_.store.vertexCount = 0;
    if (!aside_) return;
    if (keeper_ && keeper_->restore) {
      keeper_->restore();
    } else if (db::LoadObjectsOfCell(d_, d_.current.row) != 0) {
      db::TellMessage(d_.talk, 6);
    }
  }

 private:
  db::Database& d_;
  const EditedCellKeeper* keeper_;
  bool aside_ = false;
  bool used_ = false;
};

}  // namespace

int BuildCellReport(db::Database& d, std::string_view name, int instance, CellReport& report,
                    const EditedCellKeeper* keeper) {
  report = CellReport();
  if (!db::FindCell(d.index, name)) {
    db::TellMessage(d.talk, 4);
    return 0;
  }
  const int row = d.index.foundRow;
  const db::CellIndexEntry entry = d.index.rows[static_cast<std::size_t>(row)];
  const int rank = entry.Rank();
  // The edited cell's reference n is read before anything is loaded.
  db::CellRefRecord placed;
  const bool showPlace = instance > 0 && instance <= d.store.refCount[0];
  if (showPlace) placed = d.store.GetCellRefRecord(0, instance);

  EditedCell edited(d, keeper);
  if (!edited.SetAside()) return 0;
  if (db::LoadObjectsOfCell(d, row) != 0) {
    db::TellMessage(d.talk, 6);
    return 0;
  }
  d.load.refBase = 0;
  if (rank > 1 && db::LoadRefsOfCell(d, row, 1) != 0) {
    // A cell without its CL6 places nothing; one that cannot be read whole is not reported.
    if (os::FileExists(db::CellFilePath("", entry.name, ".CL6"))) {
      db::TellMessage(d.talk, 7);
      return 0;
    }
    d.store.refCount[1] = 0;
  }
  db::ObjectStore& s = d.store;
  const int placedRefs = rank > 1 ? s.refCount[1] : 0;
  const double scale = d.settings.scale > 0 ? d.settings.scale : 1;

  std::vector<std::string>& out = report.lines;
  report.row = row;
  std::string header = db::FormatCellLabel(d.index, row);
  if (instance != 0) header = Line("%s #%d", header.c_str(), instance);
  out.push_back(header);
  if (showPlace) {
    out.push_back(Line(" X=%-.8g  Y=%-.8g  O=%-d", placed.x / scale, placed.y / scale,
                       db::OrientationOf(placed.flags)));
  }
  out.push_back(Line("Objects:  %-d Cells  %-d Boxes   %-d Paths (%-d Vtx)", placedRefs, s.boxCount,
                     s.pathCount, s.vertexCount));
  out.push_back(Line("Outline:  L=%-.8g  B=%-.8g  R=%-.8g  T=%-.8g", entry.left / scale,
                     entry.bottom / scale, entry.right / scale, entry.top / scale));

  // References counted by row once, rather than the references scanned once per row.
  std::vector<int> uses(static_cast<std::size_t>(d.index.count) + 1, 0);
  for (int i = 1; i <= placedRefs; ++i) {
    const int r = db::RefRowOf(s.GetCellRef(1, 0, i));
    if (d.index.ValidRow(r)) ++uses[static_cast<std::size_t>(r)];
  }
  for (int r = rank - 1; r >= 1; --r) {
    out.push_back(Line("Rank %d Cells:", r));
    for (int c = 1; c <= d.index.count; ++c) {
      const db::CellIndexEntry& e = d.index.rows[static_cast<std::size_t>(c)];
      if (e.Rank() != r || uses[static_cast<std::size_t>(c)] == 0) continue;
      out.push_back(Line(" %d %s%s", uses[static_cast<std::size_t>(c)], e.name.c_str(), e.Attached() ? " +" : ""));
    }
  }

  std::array<std::array<int, 3>, db::kLayerCount + 1> counts{};
  for (int b = 1; b <= s.boxCount; ++b) {
    const int layer = db::LayerOf(s.GetBox(0, b));
    if (layer >= 1 && layer <= db::kLayerCount) ++counts[static_cast<std::size_t>(layer)][0];
  }
  for (int p = 1; p <= s.pathCount; ++p) {
    const std::int32_t flags = s.GetPath(0, p);
    const int layer = db::LayerOf(flags);
    if (layer >= 1 && layer <= db::kLayerCount && flags != 0) ++counts[static_cast<std::size_t>(layer)][flags < 0 ? 2 : 1];
  }
  out.push_back("Counts: ( Boxes Paths Text )");
  for (int layer = 1; layer <= db::kLayerCount; ++layer) {
    const auto& c = counts[static_cast<std::size_t>(layer)];
    out.push_back(Line("Layer %d      %d      %d      %d", layer, c[0], c[1], c[2]));
  }
  return 1;
}

}  // namespace edsys
