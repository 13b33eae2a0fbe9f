#include "drc/rasteriser.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <utility>

#include "editor/db/cell_files.h"
#include "editor/db/database.h"
#include "editor/db/hierarchy.h"
#include "editor/db/orientation.h"
#include "utilib/job.h"
#include "utilib/small_readers.h"

namespace drc {

// ---- Polygon fill ----

namespace {

using Row = std::array<std::uint32_t, kMapStrips>;

// Sets columns x1 .. x2 - 1 of a row buffer, clipped to the map; lo .. hi widen to the words set.
void SetSpan(Row& row, long long x1, long long x2, int& lo, int& hi) {
  x1 = std::max(x1, 0LL);
  x2 = std::min(x2, static_cast<long long>(kMapWidth));
  if (x1 >= x2) return;
  int a = static_cast<int>(x1), b = static_cast<int>(x2) - 1;
  int sa = a >> 5, sb = b >> 5;
  lo = std::min(lo, sa);
  hi = std::max(hi, sb);
  std::uint32_t first = 0xFFFFFFFFu >> (a & 31);
  std::uint32_t last = 0xFFFFFFFFu << (31 - (b & 31));
  if (sa == sb) {
    row[std::size_t(sa)] |= first & last;
    return;
  }
  row[std::size_t(sa)] |= first;
  for (int s = sa + 1; s < sb; ++s) row[std::size_t(s)] = 0xFFFFFFFFu;
  row[std::size_t(sb)] |= last;
}

// Pixels of `bits` go into row r of the target; in overlap mode those already set there go to the
// overlap map too.
void Put(BitMap& target, BitMap* overlap, int r, const Row& bits, int lo, int hi) {
  for (int s = lo; s <= hi; ++s) {
    std::uint32_t add = bits[std::size_t(s)];
    if (!add) continue;
    std::uint32_t& t = target.Word(s, r);
    if (overlap) overlap->Word(s, r) |= add & t;
    t |= add;
  }
}

int Sign(long long v) { return (v > 0) - (v < 0); }

struct Edge {
  PixelPoint a, b;
  long long low = 0, high = 0;
};

// A rectangle traced by its four corners fills exactly its half-open pixel range; the general fill
// gives the same pixels a row at a time.
bool FillRectangle(BitMap& target, const std::vector<PixelPoint>& p, BitMap* overlap) {
  if (p.size() != 5 || !(p[0] == p[4])) return false;
  const bool horizontalFirst = p[0].y == p[1].y && p[1].x == p[2].x && p[2].y == p[3].y && p[3].x == p[0].x;
  const bool verticalFirst = p[0].x == p[1].x && p[1].y == p[2].y && p[2].x == p[3].x && p[3].y == p[0].y;
  if (!horizontalFirst && !verticalFirst) return false;
  const long long x1 = std::max(std::min(p[0].x, p[2].x), 0LL);
  const long long x2 = std::min(std::max(p[0].x, p[2].x), static_cast<long long>(kMapWidth));
  const long long from = std::max(std::min(p[0].y, p[2].y), 0LL);
  const long long to = std::min(std::max(p[0].y, p[2].y), static_cast<long long>(target.Rows()));
  if (x1 >= x2 || from >= to) return true;
  // The words the columns x1 .. x2 - 1 touch, strip by strip down the rows.
  const int a = static_cast<int>(x1), b = static_cast<int>(x2) - 1;
  const int sa = a >> 5, sb = b >> 5;
  for (int s = sa; s <= sb; ++s) {
    std::uint32_t mask = 0xFFFFFFFFu;
    if (s == sa) mask &= 0xFFFFFFFFu >> (a & 31);
    if (s == sb) mask &= 0xFFFFFFFFu << (31 - (b & 31));
    std::uint32_t* t = target.Strip(s);
    if (overlap) {
      std::uint32_t* o = overlap->Strip(s);
      for (long long r = from; r < to; ++r) o[r] |= mask & t[r], t[r] |= mask;
    } else {
      for (long long r = from; r < to; ++r) t[r] |= mask;
    }
  }
  return true;
}

}  // namespace

// Row r takes the crossings of the line just above it: every edge that is not horizontal and runs
// from row r upward (low <= r < high) crosses it once, at its x on row r rounded half away from
// zero. So a vertex where the outline passes straight through counts once, a peak not at all, a
// valley twice (an empty span), and horizontal edges only bound the rows above and below them.
void FillPolygon(BitMap& target, std::vector<PixelPoint> p, bool closed, BitMap* overlap) {
  if (!target.Allocated() || p.size() < 2) return;
  if (!closed && !(p.front() == p.back())) return;
  if (!(p.back() == p.front())) p.push_back(p.front());
  if (FillRectangle(target, p, overlap)) return;

  // Kept between polygons of a thread so that a fill allocates nothing once warm.
  thread_local std::vector<Edge> edges;
  thread_local std::vector<const Edge*> active;
  thread_local std::vector<long long> crossings;
  thread_local std::vector<std::pair<long long, const Edge*>> pairs;
  edges.clear();
  active.clear();
  edges.reserve(p.size());
  long long low = p[0].y, high = p[0].y;
  for (std::size_t i = 0; i + 1 < p.size(); ++i) {
    if (Sign(p[i + 1].y - p[i].y) == 0) continue;
    Edge e{p[i], p[i + 1], std::min(p[i].y, p[i + 1].y), std::max(p[i].y, p[i + 1].y)};
    low = std::min(low, e.low);
    high = std::max(high, e.high);
    edges.push_back(e);
  }
  const long long first = std::max(low, 0LL);
  const long long last = std::min(high - 1, static_cast<long long>(target.Rows()) - 1);
  if (edges.empty() || first > last) return;

  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.low < b.low; });
  std::size_t next = 0;
  Row spans{};
  for (long long r = first; r <= last; ++r) {
    std::size_t added = 0;
    while (next < edges.size() && edges[next].low <= r) active.push_back(&edges[next++]), ++added;
    std::erase_if(active, [r](const Edge* e) { return e->high <= r; });
    crossings.clear();
    for (const Edge* e : active) {
      if (r == e->a.y) {
        crossings.push_back(e->a.x);
      } else if (r == e->b.y) {
        crossings.push_back(e->b.x);
      } else {
        double x = double(e->b.x - e->a.x) / double(e->b.y - e->a.y) * double(r - e->a.y) + double(e->a.x);
        crossings.push_back(std::llround(x));
      }
    }
    // The active edges stay in the order of their last crossings, which the next row mostly keeps,
    // so sorting them along with the crossings is nearly linear.
    const std::size_t k = crossings.size();
    if (added <= 8) {
      for (std::size_t i = 1; i < k; ++i) {
        const long long x = crossings[i];
        const Edge* e = active[i];
        std::size_t j = i;
        for (; j > 0 && crossings[j - 1] > x; --j) crossings[j] = crossings[j - 1], active[j] = active[j - 1];
        crossings[j] = x;
        active[j] = e;
      }
    } else {
      pairs.clear();
      for (std::size_t i = 0; i < k; ++i) pairs.emplace_back(crossings[i], active[i]);
      std::sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
      for (std::size_t i = 0; i < k; ++i) crossings[i] = pairs[i].first, active[i] = pairs[i].second;
    }
    int lo = kMapStrips, hi = -1;
    for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) SetSpan(spans, crossings[i], crossings[i + 1], lo, hi);
    if (hi < lo) continue;
    Put(target, overlap, int(r), spans, lo, hi);
    std::fill(spans.begin() + lo, spans.begin() + hi + 1, 0u);
  }
}

// ---- Cells ----

struct Rasteriser::CellData {
  struct Path {
    std::int32_t width = 0;
    std::vector<db::PathPoint> points;
  };
  // Set once the data are in (other threads' rasterisers look without the lock).
  std::atomic<bool> refsRead{false};
  std::atomic<bool> objectsRead{false};
  std::vector<db::CellRefRecord> refs;
  std::array<std::vector<db::BoxRecord>, db::kLayerCount + 1> boxes;  // by layer
  std::array<std::vector<Path>, db::kLayerCount + 1> paths;
};

// Where the top cell's instances lie, so that an area looks only at those near it: a grid of
// buckets over their placed outlines, each holding the numbers of the instances that meet it, in
// file order. Instances too large for the grid are looked at in every area.
struct Rasteriser::RefIndex {
  struct Outline {
    long long left, bottom, right, top;
  };
  int cell = 0;
  std::vector<Outline> outlines;  // by instance; left > right for one that is never drawn
  long long x0 = 0, y0 = 0, bw = 1, bh = 1;
  int nx = 0, ny = 0;
  std::vector<std::vector<int>> buckets;
  std::vector<int> large;

  // The instances whose outlines may meet the window, ascending.
  void Query(long long wx0, long long wy0, long long wx1, long long wy1, std::vector<int>& out) const {
    out = large;
    if (nx > 0) {
      const long long i0 = std::clamp((wx0 - x0) / bw, 0LL, (long long)nx - 1), i1 = std::clamp((wx1 - x0) / bw, 0LL, (long long)nx - 1);
      const long long j0 = std::clamp((wy0 - y0) / bh, 0LL, (long long)ny - 1), j1 = std::clamp((wy1 - y0) / bh, 0LL, (long long)ny - 1);
      for (long long j = j0; j <= j1; ++j)
        for (long long i = i0; i <= i1; ++i) {
          const auto& b = buckets[std::size_t(j * nx + i)];
          out.insert(out.end(), b.begin(), b.end());
        }
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
  }
};

namespace {

// Cells kept at once, in 32-bit words; past it the cache starts again empty.
constexpr long kCacheWords = 32L << 20;

}  // namespace

Rasteriser::Rasteriser(db::Database& database) : db_(database) {}
Rasteriser::~Rasteriser() = default;

void Rasteriser::ForgetCells() {
  index_.reset();
  cells_.clear();
  cachedWords_ = 0;
}

std::shared_ptr<Rasteriser::CellData> Rasteriser::Entry(int row) {
  auto it = cells_.find(row);
  if (it != cells_.end()) return it->second;
  // Not now: a walk may still hold cells; the next MapLayer starts the cache again.
  if (cachedWords_ > kCacheWords) forgetPending_ = true;
  auto data = std::make_shared<CellData>();
  cells_[row] = data;
  return data;
}

const Rasteriser::CellData* Rasteriser::SharedCell(int row, std::atomic<bool> CellData::*read,
                                                   const CellData* (Rasteriser::*load)(int, int&), int& error) {
  auto it = cells_.find(row);
  if (it != cells_.end() && (*it->second).*read) return it->second.get();
  std::lock_guard<std::mutex> hold(*sharedLock_);
  const CellData* c = (shared_->*load)(row, error);
  if (c) cells_[row] = shared_->cells_[row];
  return c;
}

std::vector<Rasteriser::SetAside> Rasteriser::SetAsideRecords() const {
  std::vector<SetAside> out;
  for (const auto& [key, records] : aside_) out.push_back({key.first, records});
  return out;
}

void TellSetAsideRecords(utilib::Job& job, const Rasteriser& raster, const db::CellIndex& index) {
  for (const Rasteriser::SetAside& a : raster.SetAsideRecords())
    if (index.ValidRow(a.row)) utilib::TellSetAside(job, index.rows[std::size_t(a.row)].name, a.records);
}

const Rasteriser::CellData* Rasteriser::References(int row, int& error) {
  if (shared_) return SharedCell(row, &CellData::refsRead, &Rasteriser::References, error);
  std::shared_ptr<CellData> c = Entry(row);
  if (c->refsRead) return c.get();
  ++fileReads_;
  db::ObjectStore& s = db_.store;
  if (db::LoadRefsOfCell(db_, row, 0) != 0) {
    s.FreeCellRefSlot(0);
    s.refCount[0] = 0;
    error = kReferencesFailed;
    return nullptr;
  }
  if (!s.aside.refs.empty()) aside_[{row, 0}].refs = s.aside.refs;
  c->refs.reserve(std::size_t(s.refCount[0]));
  for (int n = 1; n <= s.refCount[0]; ++n) c->refs.push_back(s.GetCellRefRecord(0, n));
  s.FreeCellRefSlot(0);
  s.refCount[0] = 0;
  db_.load.levelCell[0] = 0;
  c->refsRead = true;
  cachedWords_ += 3L * long(c->refs.size());
  return c.get();
}

const Rasteriser::CellData* Rasteriser::Objects(int row, int& error) {
  if (shared_) return SharedCell(row, &CellData::objectsRead, &Rasteriser::Objects, error);
  std::shared_ptr<CellData> c = Entry(row);
  if (c->objectsRead) return c.get();
  ++fileReads_;
  db::ObjectStore& s = db_.store;
  auto release = [&] {
    s.FreeObjectPages();
    s.boxCount = s.pathCount = s.vertexCount = 0;
    db_.load.loadedCell = 0;
  };
  if (db::LoadObjectsOfCell(db_, row) != 0) {
    release();
    error = kObjectsFailed;
    return nullptr;
  }
  if (!s.aside.objects.empty()) aside_[{row, 1}].objects = s.aside.objects;
  long words = 0;
  for (int b = 1; b <= s.boxCount; ++b) {
    db::BoxRecord box = s.GetBoxRecord(b);
    int layer = db::LayerOf(box.flags);
    if (layer < 1 || layer > db::kLayerCount) continue;
    c->boxes[std::size_t(layer)].push_back(box);
    words += 5;
  }
  for (int n = 1; n <= s.pathCount; ++n) {
    db::PathRecord path = s.GetPathRecord(n);
    int layer = db::LayerOf(path.flags);
    if (db::IsText(path.flags) || layer < 1 || layer > db::kLayerCount) continue;
    CellData::Path out;
    out.width = path.width;
    s.WalkChain(path.firstVertex, [&](int v) { out.points.push_back({s.GetVertex(1, v), s.GetVertex(2, v)}); });
    if (out.points.size() < 2) continue;
    words += 3 + 2 * long(out.points.size());
    c->paths[std::size_t(layer)].push_back(std::move(out));
  }
  release();
  c->objectsRead = true;
  cachedWords_ += words;
  return c.get();
}

// ---- The walk ----

namespace {

// Orientations composed into a matrix: x' = xx x + xy y, y' = yx x + yy y.
struct Turn {
  long long xx = 1, xy = 0, yx = 0, yy = 1;

  // This turn applied after `code`.
  Turn After(int code) const {
    long long ax = 1, ay = 0, bx = 0, by = 1;
    db::OrientPoint(code, ax, ay);
    db::OrientPoint(code, bx, by);
    return {xx * ax + xy * ay, xx * bx + xy * by, yx * ax + yy * ay, yx * bx + yy * by};
  }
  void Apply(long long& x, long long& y) const {
    long long a = xx * x + xy * y;
    long long b = yx * x + yy * y;
    x = a;
    y = b;
  }
};

struct Level {
  const Rasteriser::CellData* refs = nullptr;  // this level's references (its holder's)
  int cell = 0;
  int rank = 0;
  Turn turn;                    // orientations of levels this..0
  long long ox = 0, oy = 0;     // offsets of levels 0..this summed
  long long left = 0, bottom = 0, right = 0, top = 0;
};

}  // namespace

struct Rasteriser::Walk {
  Rasteriser& r;
  BitMap& target;
  int layer;
  const AreaFrame& f;
  const RasterModes& modes;
  std::array<Level, db::kRefLevels> levels{};
  int error = kRunOk;
  bool stopped = false;

  bool Done() {
    if (!stopped && r.stop && r.stop()) stopped = true;
    return stopped || error != kRunOk;
  }

  bool MeetsWindow(long long x1, long long y1, long long x2, long long y2) const {
    return !(x2 < f.x0 || x1 > f.x1 || y1 > f.y1 || y2 < f.y0);
  }

  // Fills levels[k] from reference `ref` of the cell at level k - 1 (or of the top cell).
  bool FillLevel(int k, const db::CellRefRecord& ref) {
    const int cell = db::RefRowOf(ref.flags);
    if (!r.db_.index.ValidRow(cell)) return false;
    const db::CellIndexEntry& e = r.db_.index.rows[std::size_t(cell)];
    Level& L = levels[std::size_t(k)];
    const Turn outer = k > 0 ? levels[std::size_t(k - 1)].turn : Turn{};
    long long x = ref.x, y = ref.y;
    outer.Apply(x, y);
    L.cell = cell;
    L.rank = e.Rank();
    L.turn = outer.After(db::OrientationOf(ref.flags));
    L.ox = x + (k > 0 ? levels[std::size_t(k - 1)].ox : 0);
    L.oy = y + (k > 0 ? levels[std::size_t(k - 1)].oy : 0);
    long long ax = e.left, ay = e.bottom, bx = e.right, by = e.top;
    L.turn.Apply(ax, ay);
    L.turn.Apply(bx, by);
    L.left = std::min(ax, bx) + L.ox;
    L.right = std::max(ax, bx) + L.ox;
    L.bottom = std::min(ay, by) + L.oy;
    L.top = std::max(ay, by) + L.oy;
    return true;
  }

  // The instances of levels[k].refs, each with what lies under it, then their own objects.
  // The grid of the top cell's instances, built on the first walk over them.
  const RefIndex& TopIndex(const Rasteriser::CellData& top) {
    if (r.index_ && r.index_->cell == r.topCell_) return *r.index_;
    // Rasterisers sharing their cells build the grid once between them.
    std::unique_lock<std::mutex> hold;
    if (r.shared_) {
      hold = std::unique_lock<std::mutex>(*r.sharedLock_);
      const auto& theirs = r.shared_->index_;
      if (theirs && theirs->cell == r.topCell_ && r.shared_->topCell_ == r.topCell_) {
        r.index_ = theirs;
        return *r.index_;
      }
    }
    auto built = std::make_shared<RefIndex>();
    RefIndex& x = *built;
    x.cell = r.topCell_;
    const std::size_t n = top.refs.size();
    x.outlines.resize(n);
    long long minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool any = false;
    for (std::size_t i = 0; i < n; ++i) {
      RefIndex::Outline& o = x.outlines[i];
      if (!FillLevel(0, top.refs[i])) {
        o = {1, 0, 0, 0};
        continue;
      }
      const Level& L = levels[0];
      o = {L.left, L.bottom, L.right, L.top};
      if (!any) minX = o.left, minY = o.bottom, maxX = o.right, maxY = o.top, any = true;
      minX = std::min(minX, o.left), minY = std::min(minY, o.bottom);
      maxX = std::max(maxX, o.right), maxY = std::max(maxY, o.top);
    }
    const int side = std::clamp(static_cast<int>(std::sqrt(double(n) / 4)), 1, 256);
    x.nx = x.ny = side;
    x.x0 = minX, x.y0 = minY;
    x.bw = std::max(1LL, (maxX - minX) / side + 1);
    x.bh = std::max(1LL, (maxY - minY) / side + 1);
    x.buckets.assign(std::size_t(side) * side, {});
    for (std::size_t i = 0; i < n; ++i) {
      const RefIndex::Outline& o = x.outlines[i];
      if (o.left > o.right) continue;
      const long long i0 = (o.left - x.x0) / x.bw, i1 = (o.right - x.x0) / x.bw;
      const long long j0 = (o.bottom - x.y0) / x.bh, j1 = (o.top - x.y0) / x.bh;
      if ((i1 - i0 + 1) * (j1 - j0 + 1) > 16) {
        x.large.push_back(int(i));
        continue;
      }
      for (long long j = j0; j <= j1; ++j)
        for (long long c = i0; c <= i1; ++c) x.buckets[std::size_t(j * side + c)].push_back(int(i));
    }
    r.index_ = built;
    if (r.shared_ && r.shared_->topCell_ == r.topCell_) r.shared_->index_ = built;
    return x;
  }

  void WalkLevel(int k, int holderRank) {
    const auto refs = levels[std::size_t(k)].refs;
    if (k == 0 && refs->refs.size() > 64) {
      // Only the instances near the window; the rest would miss it anyway.
      const RefIndex& index = TopIndex(*refs);
      std::vector<int> near;
      index.Query(f.x0, f.y0, f.x1, f.y1, near);
      for (int n : near) {
        if (Done()) return;
        if (!FillLevel(0, refs->refs[std::size_t(n)])) continue;
        if (!Place(0, holderRank)) return;
      }
      return;
    }
    for (const db::CellRefRecord& ref : refs->refs) {
      if (Done()) return;
      if (!FillLevel(k, ref)) continue;
      if (!Place(k, holderRank)) return;
    }
  }

  // The instance in levels[k], with what lies under it; false ends the walk.
  bool Place(int k, int holderRank) {
    {
      const Level& L = levels[std::size_t(k)];
      if (L.rank < 1 || !db::RankAllowsPlacement(holderRank, L.rank) || !MeetsWindow(L.left, L.bottom, L.right, L.top)) return true;
      if (L.rank >= 2 && k + 1 < db::kRefLevels) {
        auto below = r.References(L.cell, error);
        if (!below) return false;
        levels[std::size_t(k + 1)].refs = below;
        WalkLevel(k + 1, L.rank);
        if (Done()) return false;
      }
      MapObjects(L.cell, L.turn, L.ox, L.oy);
    }
    return true;
  }

  // Pixel conversion; false when the rounding check drops the object.
  bool ToPixels(const std::vector<PixelPoint>& points, bool outline, std::vector<PixelPoint>& out) {
    out.clear();
    out.reserve(points.size());
    for (const PixelPoint& q : points) {
      const double vx = double(q.x - f.x0) / f.pixel, vy = double(q.y - f.y0) / f.pixel;
      PixelPoint px{std::llround(vx), std::llround(vy)};
      if (r.roundingCheck && (double(px.x) != std::trunc(vx) || double(px.y) != std::trunc(vy)) &&
          !r.roundingCheck(double(q.x), double(q.y), outline))
        return false;
      if (out.empty() || !(out.back() == px)) out.push_back(px);
    }
    return true;
  }

  void FillSquare(long long x, long long y) {
    const long long d = modes.side;
    std::vector<PixelPoint> pts{{x, y}, {x + d, y}, {x + d, y + d}, {x, y + d}, {x, y}}, px;
    if (ToPixels(pts, false, px)) FillPolygon(target, std::move(px), true, modes.overlap);
  }

  void MapObjects(int cell, const Turn& turn, long long ox, long long oy) {
    if (cell != r.lastCell_) ++r.cellSwitches_, r.lastCell_ = cell;
    auto data = r.Objects(cell, error);
    if (!data) return;
    std::vector<PixelPoint> pts, px;
    for (const db::BoxRecord& b : data->boxes[std::size_t(layer)]) {
      if (Done()) return;
      long long l = b.left, bo = b.bottom, ri = b.right, t = b.top;
      turn.Apply(l, bo);
      turn.Apply(ri, t);
      l += ox, ri += ox, bo += oy, t += oy;
      if ((l < f.x0 && ri < f.x0) || (l > f.x1 && ri > f.x1) || (bo < f.y0 && t < f.y0) || (bo > f.y1 && t > f.y1))
        continue;
      if (modes.fixedSize) {
        // At the lower-left corner whatever the turn, so a square contact stays square in place.
        FillSquare(std::min(l, ri), std::min(bo, t));
        continue;
      }
      pts = {{l, bo}, {ri, bo}, {ri, t}, {l, t}, {l, bo}};
      if (ToPixels(pts, false, px)) FillPolygon(target, std::move(px), true, modes.overlap);
    }
    std::vector<db::PathPoint> placed, outline;
    for (const CellData::Path& path : data->paths[std::size_t(layer)]) {
      if (Done()) return;
      placed.clear();
      long long x1 = 0, y1 = 0, x2 = 0, y2 = 0;
      for (const db::PathPoint& v : path.points) {
        long long x = v.x, y = v.y;
        turn.Apply(x, y);
        x += ox, y += oy;
        if (placed.empty()) x1 = x2 = x, y1 = y2 = y;
        x1 = std::min(x1, x), x2 = std::max(x2, x), y1 = std::min(y1, y), y2 = std::max(y2, y);
        placed.push_back({std::int32_t(x), std::int32_t(y)});
      }
      const long long grow = std::llabs(path.width);
      if (!MeetsWindow(x1 - grow, y1 - grow, x2 + grow, y2 + grow)) continue;
      if (modes.fixedSize) {
        if (path.width == 0 && placed.size() == 5) FillSquare(x1, y1);
        continue;
      }
      pts.clear();
      if (path.width == 0) {
        for (const db::PathPoint& v : placed) pts.push_back({v.x, v.y});
        if (ToPixels(pts, false, px)) FillPolygon(target, std::move(px), false, modes.overlap);
        continue;
      }
      // No cap on the outline's size: a long path is drawn whole rather than not at all.
      if (utilib::PathToOutline(placed, path.width, outline, 0) != db::OutlineStatus::Ok) continue;
      for (const db::PathPoint& v : outline) pts.push_back({v.x, v.y});
      if (ToPixels(pts, true, px)) FillPolygon(target, std::move(px), true, modes.overlap);
    }
  }
};

int Rasteriser::MapLayer(BitMap& target, int layer, const AreaFrame& frame, const RasterModes& modes) {
  if (forgetPending_) {
    forgetPending_ = false;
    ForgetCells();
  }
  ClearMap(target);
  if (layer < 1 || layer > db::kLayerCount || !db_.index.ValidRow(topCell_)) return kRunOk;
  Walk w{*this, target, layer, frame, modes};
  const int topRank = db_.index.rows[std::size_t(topCell_)].Rank();
  if (topRank >= 2) {
    auto refs = References(topCell_, w.error);
    if (!refs) return w.error;
    w.levels[0].refs = refs;
    w.WalkLevel(0, topRank);
  }
  if (w.Done()) return w.error;
  w.MapObjects(topCell_, Turn{}, 0, 0);
  return w.error;
}

}  // namespace drc
