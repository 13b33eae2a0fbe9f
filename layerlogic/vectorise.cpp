#include "layerlogic/vectorise.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <numbers>

#include "editor/db/helpers.h"

namespace layerlogic {

namespace {

bool RowEmpty(const RowWords& row) {
  for (std::uint32_t w : row)
    if (w) return false;
  return true;
}

// First column from x on whose pixel is `set`; 1024 when there is none.
int NextColumn(const RowWords& row, int x, bool set) {
  while (x < kTilePixels) {
    const int s = x >> 5;
    const std::uint32_t w = (set ? row[s] : ~row[s]) << (x & 31);
    if (w) return x + std::countl_zero(w);
    x = (s + 1) << 5;
  }
  return kTilePixels;
}

// Sorted (key, box) entries with a skip list over boxes that can no longer be found, so that each
// dead entry is passed over once.
class BoxIndex {
 public:
  struct Entry {
    std::int32_t a, b, c;
    int box;
    auto operator<=>(const Entry&) const = default;
  };

  BoxIndex() = default;
  template <class KeyOf>
  BoxIndex(const std::vector<TileBox>& boxes, KeyOf keyOf) { Build(boxes, keyOf); }

  // Fills the index anew, keeping the storage of the last fill.
  template <class KeyOf>
  void Build(const std::vector<TileBox>& boxes, KeyOf keyOf) {
    keys_.clear();
    keys_.reserve(boxes.size());
    for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
      if (boxes[i].deleted) continue;
      Entry e = keyOf(boxes[i]);
      e.box = i;
      keys_.push_back(Pack(e));
    }
    // A tile's boxes come band by band and left to right, so their keys are mostly in order already,
    // or in order once stably sorted by their first field; a full sort is the last resort.
    if (!std::is_sorted(keys_.begin(), keys_.end())) {
      SortByFirstField();
      if (!std::is_sorted(keys_.begin(), keys_.end())) std::sort(keys_.begin(), keys_.end());
    }
    next_.resize(keys_.size());  // every slot is set below
    for (std::size_t p = 0; p < next_.size(); ++p) next_[p] = static_cast<int>(p);
    // Most searches find no box at all: a hash of each key's first position answers them without a
    // binary search.
    std::size_t size = 16;
    while (size < 2 * keys_.size()) size *= 2;
    firsts_.assign(size, 0);
    mask_ = size - 1;
    for (std::size_t p = keys_.size(); p-- > 0;) {
      if (p > 0 && (keys_[p - 1] >> 32) == (keys_[p] >> 32)) continue;
      std::size_t h = Hash(keys_[p] >> 32) & mask_;
      while (firsts_[h] != 0) h = (h + 1) & mask_;
      firsts_[h] = static_cast<int>(p) + 1;
    }
  }

  // Position of the first entry at or after `from` keyed (a, b, c) whose box is past `after` and
  // still alive; -1 when there is none.
  template <class Alive>
  int First(std::int32_t a, std::int32_t b, std::int32_t c, int after, const Alive& alive) {
    const Key probe = Pack(Entry{a, b, c, after + 1});
    const Key key = probe >> 32;
    int p = -1;
    for (std::size_t h = Hash(key) & mask_; firsts_[h] != 0; h = (h + 1) & mask_)
      if ((keys_[firsts_[h] - 1] >> 32) == key) {
        p = firsts_[h] - 1;
        break;
      }
    if (p < 0) return -1;
    // Entries of one key are few; a long run of them is searched.
    for (int steps = 0; p < Size() && keys_[p] < probe; ++p)
      if (++steps == 8) {
        p = LowerBound(probe);
        break;
      }
    p = Skip(p, alive);
    if (p >= Size()) return -1;
    return (keys_[p] >> 32) == (probe >> 32) ? p : -1;
  }

  // The next alive position after p.
  template <class Alive>
  int After(int p, const Alive& alive) { return Skip(p + 1, alive); }

  Entry At(int p) const {
    const Key k = keys_[p];
    return {Field(k, 96), Field(k, 64), Field(k, 32), Field(k, 0)};
  }
  int Size() const { return static_cast<int>(keys_.size()); }

 private:
  // An entry packed so that one unsigned compare orders as the fields do, the sign bit flipped.
  using Key = unsigned __int128;
  static Key Bits(std::int32_t v) { return static_cast<std::uint32_t>(v) ^ 0x80000000u; }
  static Key Pack(const Entry& e) { return Bits(e.a) << 96 | Bits(e.b) << 64 | Bits(e.c) << 32 | Bits(e.box); }
  static std::int32_t Field(Key k, int shift) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(k >> shift) ^ 0x80000000u);
  }

  // Stable radix sort on the top 32 bits, a byte at a time; a byte all keys share costs no pass.
  void SortByFirstField() {
    spare_.resize(keys_.size());
    for (int shift = 96; shift < 128; shift += 8) {
      std::array<std::size_t, 257> start{};
      for (const Key k : keys_) ++start[static_cast<std::size_t>(k >> shift & 0xFF) + 1];
      if (std::find(start.begin() + 1, start.end(), keys_.size()) != start.end()) continue;
      for (std::size_t d = 1; d < start.size(); ++d) start[d] += start[d - 1];
      for (const Key k : keys_) spare_[start[static_cast<std::size_t>(k >> shift & 0xFF)]++] = k;
      keys_.swap(spare_);
    }
  }

  static std::size_t Hash(Key key) {
    std::uint64_t h = static_cast<std::uint64_t>(key >> 32) * 0x9E3779B97F4A7C15ull ^
                      static_cast<std::uint64_t>(key) * 0xC2B2AE3D27D4EB4Full;
    return static_cast<std::size_t>(h ^ (h >> 29));
  }

  int LowerBound(Key probe) const {
    const Key* data = keys_.data();
    const Key* base = data;
    std::size_t n = keys_.size();
    if (n == 0) return 0;
    while (n > 1) {
      const std::size_t half = n / 2;
      base = base[half] < probe ? base + half : base;
      n -= half;
    }
    return static_cast<int>(base - data) + (*base < probe ? 1 : 0);
  }

  template <class Alive>
  int Skip(int p, const Alive& alive) {
    const int n = Size();
    int r = p;
    while (r < n && !alive(Field(keys_[r], 0))) r = next_[r] == r ? r + 1 : next_[r];
    while (p < r) {
      const int step = next_[p] == p ? p + 1 : next_[p];
      next_[p] = r;
      p = step;
    }
    return r;
  }

  std::vector<Key> keys_, spare_;
  std::vector<int> next_;
  std::vector<int> firsts_;  // 1 + the first position of a key, 0 for an empty slot
  std::size_t mask_ = 0;
};

}  // namespace

void RasterToBoxes(utilib::Job& job, std::span<const RowWords> rows, const TileFrame& frame,
                   std::vector<TileBox>& boxes) {
  const int n = std::min<int>(static_cast<int>(rows.size()), kTilePixels);
  const std::int64_t p = frame.pixel;
  int j = 0;
  while (j < n && !job.abort) {
    if (RowEmpty(rows[j])) {
      ++j;
      continue;
    }
    int i = j + 1;
    while (i < n && rows[i] == rows[j]) ++i;
    const auto bottom = static_cast<std::int32_t>(frame.y0 + j * p);
    const auto top = static_cast<std::int32_t>(frame.y0 + i * p);
    for (int x = NextColumn(rows[j], 0, true); x < kTilePixels;) {
      const int end = NextColumn(rows[j], x, false);
      boxes.push_back({static_cast<std::int32_t>(frame.x0 + x * p), bottom,
                       static_cast<std::int32_t>(frame.x0 + end * p), top});
      if (static_cast<int>(boxes.size()) >= kMaxTileBoxes) {
        job.ui->Box(job.programName, "Box Limit Reached", tell::Buttons::Ok);
        job.abort = true;
        return;
      }
      x = NextColumn(rows[j], end, true);
    }
    j = i;
  }
}

void MergeBoxes(std::vector<TileBox>& boxes) {
  const int n = static_cast<int>(boxes.size());
  // A box is found only while it is neither deleted nor already grown.
  // Kept per thread: a tile's indexes are large, and filling fresh pages each tile costs more than
  // the search.
  thread_local std::vector<char> gone;
  thread_local BoxIndex below, right, above, left;
  gone.assign(n, 0);
  for (int i = 0; i < n; ++i) gone[i] = boxes[i].deleted;
  auto alive = [](int box) { return !gone[box]; };
  using E = BoxIndex::Entry;
  below.Build(boxes, [](const TileBox& b) { return E{b.top, b.left, b.right, 0}; });
  right.Build(boxes, [](const TileBox& b) { return E{b.left, b.top, b.bottom, 0}; });
  above.Build(boxes, [](const TileBox& b) { return E{b.bottom, b.left, b.right, 0}; });
  left.Build(boxes, [](const TileBox& b) { return E{b.right, b.top, b.bottom, 0}; });

  for (int i = 0; i < n; ++i) {
    if (boxes[i].deleted) continue;
    gone[i] = 1;
    std::int32_t a = boxes[i].left, b = boxes[i].bottom, c = boxes[i].right, d = boxes[i].top;
    int pos = i;
    for (;;) {
      // The first later box that passes any of the four tests with the edges as they are now is the
      // one a scan of the table in order would take.
      int j = INT_MAX;
      auto take = [&](BoxIndex& index, std::int32_t ka, std::int32_t kb, std::int32_t kc) {
        const int p = index.First(ka, kb, kc, pos, alive);
        if (p >= 0) j = std::min(j, index.At(p).box);
      };
      take(below, b, a, c);
      take(right, c, d, b);
      take(above, d, a, c);
      take(left, a, d, b);
      if (j == INT_MAX) break;
      const TileBox& o = boxes[j];
      if (o.top == b && o.left == a && o.right == c) b = o.bottom;
      else if (o.left == c && o.top == d && o.bottom == b) c = o.right;
      else if (o.bottom == d && o.left == a && o.right == c) d = o.top;
      else a = o.left;
      boxes[j].deleted = true;
      gone[j] = 1;
      pos = j;
    }
    boxes[i].left = a;
    boxes[i].bottom = b;
    boxes[i].right = c;
    boxes[i].top = d;
  }
}

std::vector<Point> StackOutline(std::span<const TileBox> stack) {
  std::vector<Point> points;
  points.reserve(4 * stack.size() + 1);
  for (const TileBox& b : stack) {
    points.push_back({b.left, b.bottom});
    points.push_back({b.left, b.top});
  }
  for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
    points.push_back({it->right, it->top});
    points.push_back({it->right, it->bottom});
  }
  if (!points.empty()) points.push_back(points.front());
  return points;
}

void CleanOutline(std::vector<Point>& points) {
  std::vector<Point> out;
  out.reserve(points.size());
  for (const Point& p : points) {
    if (!out.empty() && out.back() == p) continue;
    const std::size_t k = out.size();
    if (k >= 2 && out[k - 2].x == out[k - 1].x && out[k - 1].x == p.x) {
      out.back() = p;
      continue;
    }
    out.push_back(p);
  }
  points.swap(out);
}

namespace {

// Drops the middle point of each triple that `drop` accepts, keeping the outline closed and at least
// a triangle. With `again` the triple that follows a drop starts at the same point, so a whole run of
// points goes at once; else at the point after it.
template <class Drop>
void DropMiddles(std::vector<Point>& points, bool again, const Drop& drop) {
  std::size_t i = 0;
  while (i + 2 < points.size() && points.size() > 4) {
    if (drop(points[i], points[i + 1], points[i + 2])) {
      points.erase(points.begin() + static_cast<long>(i) + 1);
      if (again) continue;
    }
    ++i;
  }
}

double Length(const Point& a, const Point& b) {
  return std::hypot(static_cast<double>(b.x) - a.x, static_cast<double>(b.y) - a.y);
}

}  // namespace

void ReduceVertices(std::vector<Point>& points, std::int32_t pixel, int ratio) {
  for (int k = 1; k <= ratio; ++k) {
    const double limit = static_cast<double>(k) * pixel;
    DropMiddles(points, false, [limit](const Point& p1, const Point& p2, const Point& p3) {
      return p1.y == p2.y && std::abs(static_cast<double>(p2.x) - p1.x) <= limit && p2.x == p3.x &&
             std::abs(static_cast<double>(p3.y) - p2.y) <= limit;
    });
    DropMiddles(points, false, [limit](const Point& p0, const Point& p1, const Point& p2) {
      return Length(p0, p1) <= limit && Length(p1, p2) <= limit;
    });
  }
  DropMiddles(points, true, [](const Point& p0, const Point& p1, const Point& p2) {
    const std::int64_t dx1 = std::int64_t{p1.x} - p0.x, dy1 = std::int64_t{p1.y} - p0.y;
    const std::int64_t dx2 = std::int64_t{p2.x} - p1.x, dy2 = std::int64_t{p2.y} - p1.y;
    return dx1 != 0 && dx2 != 0 && dy1 * dx2 == dy2 * dx1;
  });
  CleanOutline(points);
}

void CheckAcuteAngles(utilib::Job& job, std::span<const Point> points, double scale) {
  // The closing point repeats the first; each corner sees the one before it round the outline.
  const std::size_t n = points.size() > 1 && points.front() == points.back() ? points.size() - 1 : points.size();
  if (n < 3) return;
  for (std::size_t i = 0; i < n; ++i) {
    const Point& prev = points[(i + n - 1) % n];
    const Point& here = points[i];
    const Point& next = points[(i + 1) % n];
    const double ix = static_cast<double>(here.x) - prev.x, iy = static_cast<double>(here.y) - prev.y;
    const double ox = static_cast<double>(next.x) - here.x, oy = static_cast<double>(next.y) - here.y;
    if (ix == 0 && iy == 0 && ox == 0 && oy == 0) {
      job.ui->Box(job.programName, "Acute angle is 0 deg ... Not Fixed", tell::Buttons::Ok);
      return;
    }
    double turn = std::fabs(db::ComputeDirectionAngle(ox, oy) - db::ComputeDirectionAngle(ix, iy));
    if (turn > std::numbers::pi) turn = 2 * std::numbers::pi - turn;
    if (turn > 1.571) {
      utilib::ReportOnNextLine(job, utilib::Format("Acute angle at X= %g Y= %g", here.x / scale, here.y / scale),
                               kMessageLines, kFirstMessageLine);
    }
  }
}

bool BoxesToPolygons(utilib::Job& job, std::vector<TileBox>& boxes, const PolygonOptions& options,
                     const PolygonSink& emit) {
  const int n = static_cast<int>(boxes.size());
  auto alive = [&boxes](int box) { return !boxes[box].deleted; };
  thread_local BoxIndex byBottom;
  byBottom.Build(boxes, [](const TileBox& b) { return BoxIndex::Entry{b.bottom, 0, 0, 0}; });
  std::vector<TileBox> stack;
  // A box on which nothing stacks never gets one later (boxes only go away), so a stack cut at the
  // corner limit goes on with the next box of the table as a scan from the first box would.
  for (int i = 0; i + 1 < n; ++i) {
    if (boxes[i].deleted) continue;
    stack.assign(1, boxes[i]);
    int entries = 4;
    std::int32_t top = boxes[i].top, lo = boxes[i].left, hi = boxes[i].right;
    int pos = i;
    for (;;) {
      int found = -1;
      for (int p = byBottom.First(top, 0, 0, pos, alive); p >= 0 && p < byBottom.Size() && byBottom.At(p).a == top;
           p = byBottom.After(p, alive)) {
        const TileBox& o = boxes[byBottom.At(p).box];
        if (o.left < hi && o.right > lo) {
          found = byBottom.At(p).box;
          break;
        }
      }
      if (found < 0 || entries + 4 > kMaxStackEntries) break;
      stack.push_back(boxes[found]);
      entries += 4;
      boxes[i].deleted = true;
      boxes[found].deleted = true;
      top = boxes[found].top;
      lo = boxes[found].left;
      hi = boxes[found].right;
      pos = found;
    }
    if (stack.size() < 2) continue;
    std::vector<Point> outline = StackOutline(stack);
    if (outline.size() > static_cast<std::size_t>(kMaxOutlinePoints)) outline.resize(kMaxOutlinePoints);
    CleanOutline(outline);
    if (options.reduceVertices) ReduceVertices(outline, options.pixel, options.ratio);
    CheckAcuteAngles(job, outline, options.scale);
    if (!emit(outline)) return false;
  }
  return true;
}

}  // namespace layerlogic
