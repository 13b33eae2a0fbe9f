// Load and save of a cell at the object limits (256033 boxes, 256431 paths, 511999 vertices and
// 256431 references), the extent and mark clearing over it, and the word accessors of a full store.
// Prints times, file sizes and the peak memory of the process.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/common/measure.h"
#include "editor/db/cell_files.h"
#include "editor/db/current_cell.h"
#include "editor/db/extent.h"
#include "platform/os/path.h"

namespace {

using bench::Clock;

using bench::PeakMegabytes;
using bench::Seconds;

// Every table at its limit: paths of two vertices while they last, then one each.
void FillAtLimits(db::Database& d) {
  db::ObjectStore& s = d.store;
  for (int b = 1; b <= db::kBoxLimit; ++b) {
    const std::int32_t x = (b % 4096) * 100, y = (b / 4096) * 100;
    s.PutBoxRecord(b, {1 + b % 64, x, y, x + 50, y + 50});
  }
  int vertex = 0;
  const int twoVertexPaths = db::kVertexLimit - db::kPathLimit;
  for (int p = 1; p <= db::kPathLimit; ++p) {
    const int length = p <= twoVertexPaths ? 2 : 1;
    s.PutPathRecord(p, {1 + p % 64, p % 2 ? 20 : 0, vertex + 1});
    for (int k = 0; k < length; ++k) {
      ++vertex;
      s.PutVertexRecord(vertex, {p, (p % 3000) * 70 + k * 40, (p / 3000) * 70, k + 1 < length ? vertex + 1 : 0});
    }
  }
  s.boxCount = db::kBoxLimit;
  s.pathCount = db::kPathLimit;
  s.vertexCount = vertex;
  for (int r = 1; r <= db::kRefLimit; ++r) s.PutCellRefRecord(0, r, {1 | ((r % 8) << 11), r, -r});
  s.refCount[0] = db::kRefLimit;
}

}  // namespace

int main() {
  char pattern[] = "/tmp/mero-db-bench-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  std::filesystem::current_path(folder);
  auto d = std::make_unique<db::Database>();
  d->index.count = 1;
  d->index.rows[1] = {"BIG", 2, 0, 0, 0, 0, db::kBoxLimit, db::kPathLimit, db::kVertexLimit,
                      db::kRefLimit};
  const double baseMb = PeakMegabytes();

  auto t = Clock::now();
  FillAtLimits(*d);
  std::printf("fill store at the limits      %8.3f s  (%d boxes, %d paths, %d vertices, %d refs)\n",
              Seconds(t), d->store.boxCount, d->store.pathCount, d->store.vertexCount,
              d->store.refCount[0]);

  t = Clock::now();
  if (db::SaveCellObjects(*d, "BIG") != 0 || db::SaveCellRefs(*d, "BIG", 0) != 0) {
    std::printf("save failed\n");
    return 1;
  }
  const double save = Seconds(t);
  const auto bp6 = std::filesystem::file_size(folder + "/Big.bp6");
  const auto cl6 = std::filesystem::file_size(folder + "/Big.cl6");
  std::printf("save BP6 + CL6                %8.3f s  (%.1f MB + %.1f MB, %.0f MB/s)\n", save,
              bp6 / 1e6, cl6 / 1e6, (bp6 + cl6) / 1e6 / save);

  d->store.FreeObjectStore();
  t = Clock::now();
  if (db::LoadObjectsOfCell(*d, 1) != 0 || db::LoadRefsOfCell(*d, 1, 0) != 0) {
    std::printf("load failed\n");
    return 1;
  }
  const double load = Seconds(t);
  std::printf("load BP6 + CL6 (with checks)  %8.3f s  (%.0f MB/s)\n", load, (bp6 + cl6) / 1e6 / load);

  t = Clock::now();
  db::ClearSelectionMarks(*d);
  db::ComputeCellExtent(*d);
  std::printf("clear marks + extent          %8.3f s  (extent %d %d %d %d)\n", Seconds(t),
              d->extent.left, d->extent.bottom, d->extent.right, d->extent.top);

  // Mixed word gets and sets over the whole store, as commands and the drawing walk use them.
  t = Clock::now();
  std::uint64_t sum = 0;
  const long rounds = 10;
  for (long round = 0; round < rounds; ++round) {
    for (int b = 1; b <= db::kBoxLimit; ++b) sum += static_cast<std::uint32_t>(d->store.GetBox(3, b));
    for (int v = 1; v <= db::kVertexLimit; ++v) {
      sum += static_cast<std::uint32_t>(d->store.GetVertex(1, v));
      d->store.SetVertex(d->store.GetVertex(2, v), 2, v);
    }
    for (int r = 1; r <= db::kRefLimit; ++r) sum += static_cast<std::uint32_t>(d->store.GetCellRef(0, 1, r));
  }
  const double words = rounds * (db::kBoxLimit + 3.0 * db::kVertexLimit + db::kRefLimit);
  const double access = Seconds(t);
  std::printf("word accessors                %8.3f s  (%.0f M words/s, check %llu)\n", access,
              words / access / 1e6, static_cast<unsigned long long>(sum % 1000));

  std::printf("peak memory                   %8.0f MB  (%.0f MB before filling)\n", PeakMegabytes(), baseMb);
  std::filesystem::current_path("/");
  std::filesystem::remove_all(folder);
  return 0;
}
