#include "platform/gfx/figures.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/gfx/canvas_device.h"

namespace gfx {

using detail::DevPoint;
using i64 = std::int64_t;

namespace {

// Bands fewer than this many figures are not worth a thread.
constexpr std::size_t kThreadedFigures = 4096;
constexpr int kMinBandRows = 8;

int MachineThreads() {
  const unsigned n = std::thread::hardware_concurrency();
  return n == 0 ? 1 : int(std::min(n, 16u));
}

void StrokeLine(const detail::Target& t, DevPoint a, DevPoint b, PenStyle style, std::uint32_t ink, Mix mix,
                i64 phase, bool withEnd) {
  detail::LineStyle s;
  s.ink = ink;
  s.mix = mix;
  detail::DashOf(style, s.dashBits, s.dashLength);
  detail::CosmeticLine(t, a, b, s, phase);
  if (withEnd) {
    const i64 steps = std::max(std::llabs(b.x - a.x), std::llabs(b.y - a.y));
    detail::CosmeticLine(t, b, DevPoint{b.x + 1, b.y + 1}, s, phase + steps);
  }
}

// Threads kept for drawing bands, so that a redraw does not pay for starting and ending threads.
class BandWorkers {
 public:
  static BandWorkers& Get() {
    static BandWorkers workers;
    return workers;
  }
  ~BandWorkers() {
    {
      const std::lock_guard<std::mutex> lock(m_);
      stop_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
  }

  // Runs `work` on up to `helpers` kept threads and on the caller; returns once every run of it
  // has returned. `work` must itself share out what is to be done (helpers may come late or not).
  void Run(int helpers, const std::function<void()>& work) {
    if (!Start(helpers, work)) {
      work();  // the threads are busy with a job of another list: the caller alone
      return;
    }
    Finish();
  }
  // Starts `work` on up to `helpers` kept threads and returns; Finish, on the same thread, runs it
  // on the caller too and returns once every run of it has returned. False, and nothing started,
  // while another job holds the threads.
  bool Start(int helpers, const std::function<void()>& work) {
    if (!run_.try_lock()) return false;
    {
      std::unique_lock<std::mutex> lock(m_);
      try {
        while (int(threads_.size()) < helpers) threads_.emplace_back([this] { Loop(); });
      } catch (...) {
        // fewer helpers: the caller and those running take the bands
      }
      job_ = &work;
      open_ = std::min<int>(helpers, int(threads_.size()));
    }
    wake_.notify_all();
    return true;
  }
  void Finish() {
    (*job_)();
    std::unique_lock<std::mutex> lock(m_);
    open_ = 0;  // helpers not yet started stay out
    done_.wait(lock, [this] { return running_ == 0; });
    job_ = nullptr;
    lock.unlock();
    run_.unlock();
  }

 private:
  BandWorkers() = default;

  void Loop() {
    std::unique_lock<std::mutex> lock(m_);
    for (;;) {
      wake_.wait(lock, [this] { return stop_ || open_ > 0; });
      if (stop_) return;
      --open_;
      ++running_;
      const std::function<void()>* job = job_;
      lock.unlock();
      (*job)();
      lock.lock();
      if (--running_ == 0) done_.notify_all();
    }
  }

  std::mutex run_;
  std::mutex m_;
  std::condition_variable wake_;
  std::condition_variable done_;
  std::vector<std::thread> threads_;
  const std::function<void()>* job_ = nullptr;
  int open_ = 0;     // helpers still wanted for the current job
  int running_ = 0;  // helpers inside it
  bool stop_ = false;
};

// What the box figure of a solid copied border stands for (the border of columns l..r, rows t..b,
// then the fill of columns l..r-1, rows t..b-1), row by row: each row gets its border pixels and
// then its fill, which is what drawing all of the border first and then all of the fill gives.
void SolidBox(const detail::Target& t, i64 l, i64 top, i64 r, i64 b, std::uint32_t ink, const detail::Paint* paint,
              Mix fillMix) {
  const i64 cl = t.clip.left, cr = t.clip.right;
  const i64 first = std::max<i64>(top, t.clip.top), end = std::min<i64>(b + 1, t.clip.bottom);
  const i64 across0 = std::max(l, cl), across1 = std::min(r + 1, cr);
  const bool left = l >= cl && l < cr, right = r != l && r >= cl && r < cr;
  for (i64 y = first; y < end; ++y) {
    std::uint32_t* row = t.pixels + std::size_t(y) * std::size_t(t.stride);
    if (y == top || y == b) {
      for (i64 x = across0; x < across1; ++x) row[x] = ink;
    } else {
      if (left) row[l] = ink;
      if (right) row[r] = ink;
    }
    if (paint && y < b) detail::FillSpan(t, y, l, r, *paint, fillMix);
  }
}

// Columns l..r-1 of rows t..b-1 set to `ink`, within the clip.
void CopyBlock(const detail::Target& t, i64 l, i64 top, i64 r, i64 b, std::uint32_t ink) {
  l = std::max<i64>(l, t.clip.left);
  r = std::min<i64>(r, t.clip.right);
  top = std::max<i64>(top, t.clip.top);
  b = std::min<i64>(b, t.clip.bottom);
  if (l >= r) return;
  for (i64 y = top; y < b; ++y) {
    std::uint32_t* row = t.pixels + std::size_t(y) * std::size_t(t.stride);
    for (i64 x = l; x < r; ++x) row[x] = ink;
  }
}

}  // namespace

FigureList::FigureList() = default;
FigureList::~FigureList() { Finish(); }  // no thread may go on drawing from it

std::size_t FigureList::Size() const {
  return segments_[0].count + segments_[1].count;
}

void FigureList::Begin(Canvas& canvas) {
  Finish();  // a segment of a list begun before is not left drawing
  canvas_ = &canvas;
  const Canvas::Device d = canvas.Prepare();
  target_ = d.target;
  ox_ = d.ox;
  oy_ = d.oy;
  brushOrigin_ = canvas.state().brushOrigin;
  paints_.clear();
  paints_.reserve(64);
  paintKeys_.clear();
  const int rows = std::max(0, target_.clip.Height());
  bands_ = std::clamp(rows / kMinBandRows, 1, 4 * MachineThreads());
  bandHeight_ = std::max(1, (rows + bands_ - 1) / bands_);
  bandOfRow_.resize(std::size_t(rows));
  for (int y = 0; y < rows; ++y) bandOfRow_[std::size_t(y)] = std::uint16_t(y / bandHeight_);
  for (Segment& s : segments_) {
    s.bands.resize(std::size_t(bands_));  // kept with their room from list to list
    s.Clear();
  }
  rec_ = &segments_[0];
  // a third of a list as long as the last, else segments of the smallest size
  lastRecorded_ = recorded_;
  recorded_ = 0;
  handOffAt_ = MachineThreads() > 1 ? std::max(kSegmentFigures, lastRecorded_ / 3 + 1) : SIZE_MAX;
  clipTop_ = target_.clip.IsEmpty() ? INT64_MAX : target_.clip.top;
  clipBottom_ = target_.clip.IsEmpty() ? INT64_MIN : target_.clip.bottom;
}

int FigureList::AddPaint(const Brush& brush, Color background, Color text, BackgroundMode mode) {
  std::uint64_t rows = 0;
  std::memcpy(&rows, brush.rows.data(), sizeof rows);
  const PaintKey key{brush.kind, brush.color, rows, background, text, mode};
  for (std::size_t i = 0; i < paintKeys_.size(); ++i) {
    const PaintKey& k = paintKeys_[i];
    if (k.kind == key.kind && k.color == key.color && k.rows == key.rows && k.background == key.background &&
        k.text == key.text && k.mode == key.mode)
      return int(i);
  }
  paintKeys_.push_back(key);
  if (paints_.size() == paints_.capacity()) Finish();  // the threads read paints in place
  paints_.push_back(detail::PaintOf(brush, brush.color, background, text, mode, brushOrigin_));
  return int(paints_.size() - 1);
}

void FigureList::Polygon(std::span<const Point> points, bool winding, int paint, Mix mix) {
  if (points.size() < 3 || paint < 0 || std::size_t(paint) >= paints_.size()) return;
  int lo = points[0].y, hi = points[0].y;
  for (const Point& p : points) {
    lo = std::min(lo, p.y);
    hi = std::max(hi, p.y);
  }
  Segment& s = *rec_;  // a hand-off below leaves these points behind with their figure
  const std::size_t before = s.count;
  const std::int32_t first = std::int32_t(s.points.size()), count = std::int32_t(points.size());
  for (const Point& p : points) s.points.push_back(DevPoint{p.x + ox_, p.y + oy_});
  Push(lo, hi, [&](Op& o) {
    o.kind = winding ? OpKind::PolygonWinding : OpKind::Polygon;
    o.style = PenStyle::Null;
    o.mix = Mix::Copy;
    o.fillMix = mix;
    o.phase = 0;
    o.paint = paint;
    o.ink = 0;
    o.x0 = first;
    o.y0 = 0;
    o.x1 = count;
    o.y1 = 0;
  });
  if (&s == rec_ && s.count == before) s.points.resize(std::size_t(first));  // out of reach: not kept
}

void FigureList::DrawBand(const detail::Target& band, const Segment& s, int index) const {
  const std::vector<DevPoint>& points_ = s.points;
  const BandOps& ops = s.bands[std::size_t(index)];
  for (const Op& op : std::span<const Op>(ops.ops.data(), ops.used)) {
    switch (op.kind) {
      case OpKind::Line:
      case OpKind::LineWithEnd:
        StrokeLine(band, DevPoint{op.x0 + ox_, op.y0 + oy_}, DevPoint{op.x1 + ox_, op.y1 + oy_}, op.style, op.ink,
                   op.mix, op.phase, op.kind == OpKind::LineWithEnd);
        break;
      case OpKind::Polygon:
      case OpKind::PolygonWinding:
        detail::FillPolygon(band, std::span<const DevPoint>(points_.data() + op.x0, std::size_t(op.x1)),
                            op.kind == OpKind::PolygonWinding, paints_[std::size_t(op.paint)], op.fillMix);
        break;
      case OpKind::Box: {
        const i64 l = op.x0 + ox_, t = op.y0 + oy_, r = op.x1 + ox_, b = op.y1 + oy_;
        if (op.style == PenStyle::Solid && op.mix == Mix::Copy && l <= r && t <= b) {
          SolidBox(band, l, t, r, b, op.ink & 0xFFFFFFu, op.paint >= 0 ? &paints_[std::size_t(op.paint)] : nullptr,
                   op.fillMix);
          break;
        }
        if (op.style == PenStyle::Solid && op.mix == Mix::Copy) {
          // solid lines of one ink copied: together they are the border of columns l..r, rows t..b
          const std::uint32_t ink = op.ink & 0xFFFFFFu;
          CopyBlock(band, l, t, r + 1, t + 1, ink);
          if (b != t) CopyBlock(band, l, b, r + 1, b + 1, ink);
          CopyBlock(band, l, t + 1, l + 1, b, ink);
          if (r != l) CopyBlock(band, r, t + 1, r + 1, b, ink);
        } else if (op.style != PenStyle::Null) {
          StrokeLine(band, DevPoint{l, b}, DevPoint{l, t}, op.style, op.ink, op.mix, 0, true);
          StrokeLine(band, DevPoint{l, b}, DevPoint{r, b}, op.style, op.ink, op.mix, 0, true);
          StrokeLine(band, DevPoint{r, b}, DevPoint{r, t}, op.style, op.ink, op.mix, 0, true);
          StrokeLine(band, DevPoint{l, t}, DevPoint{r, t}, op.style, op.ink, op.mix, 0, true);
        }
        // the polygon of the four corners fills columns l..r-1 of rows t..b-1
        if (op.paint >= 0) detail::FillArea(band, l, t, r, b, paints_[std::size_t(op.paint)], op.fillMix);
        break;
      }
    }
  }
}

detail::Target FigureList::BandTarget(int band) const {
  detail::Target t = target_;
  t.clip.top = target_.clip.top + band * bandHeight_;
  t.clip.bottom = std::min(target_.clip.bottom, t.clip.top + bandHeight_);
  return t;
}

void FigureList::HandOff() {
  Finish();
  Segment& s = *rec_;
  recorded_ += s.count;
  flightWork_ = [this, &s] {
    for (int b; (b = nextBand_.fetch_add(1)) < bands_;) DrawBand(BandTarget(b), s, b);
  };
  nextBand_ = 0;
  if (!BandWorkers::Get().Start(std::min(MachineThreads(), bands_) - 1, flightWork_)) {
    handOffAt_ = SIZE_MAX;  // the threads are another list's: this one is drawn when it ends
    return;
  }
  canvas_->target().beingDrawn = true;
  flight_ = &s;
  rec_ = &s == &segments_[0] ? &segments_[1] : &segments_[0];
}

void FigureList::Finish() {
  if (!flight_) return;
  BandWorkers::Get().Finish();
  flight_->Clear();
  flight_ = nullptr;
  if (canvas_) {
    canvas_->target().beingDrawn = false;
    ++canvas_->target().changes;
  }
}

void FigureList::Draw(int threads) {
  if (!canvas_) return;
  Finish();
  Segment& s = *rec_;
  if (s.count == 0) return;
  recorded_ += s.count;
  ++canvas_->target().changes;
  if (threads <= 0) threads = MachineThreads();
  threads = std::min(threads, bands_);
  if (threads <= 1 || s.count < kThreadedFigures) {
    for (int b = 0; b < bands_; ++b) DrawBand(BandTarget(b), s, b);
  } else {
    std::atomic<int> next{0};
    const std::function<void()> work = [&] {
      for (int b; (b = next.fetch_add(1)) < bands_;) DrawBand(BandTarget(b), s, b);
    };
    BandWorkers::Get().Run(threads - 1, work);
  }
  s.Clear();
}

void FigureList::End(int threads) {
  Draw(threads);
  canvas_ = nullptr;
  clipTop_ = INT64_MAX;
  clipBottom_ = INT64_MIN;
}

}  // namespace gfx
