// Figures recorded for a canvas and drawn later, in the order they were given. The target is cut into
// bands of rows drawn on several threads at once; every pixel still gets the same figures in the same
// order, so the picture is bit for bit what drawing them one by one on the canvas gives.
//
// A long list is drawn in segments while it is recorded: once a segment is full, kept threads draw it
// (every band of it) while the next one is recorded, and a segment is handed over only once the one
// before it is drawn. A list as long as the last one (a redraw of the same view) goes in thirds.
// While a segment is drawn the surface is marked so (Surface::beingDrawn) and must not be read;
// Draw and End finish every segment.
//
// Each figure says which canvas calls it stands for; coordinates are logical, as on the canvas. The
// canvas's surface, clip, origin and brush origin are taken at Begin and must not change before Draw.
#pragma once
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "platform/gfx/canvas.h"
#include "platform/gfx/raster.h"

namespace gfx {

class FigureList {
 public:
  FigureList();
  ~FigureList();
  FigureList(const FigureList&) = delete;
  FigureList& operator=(const FigureList&) = delete;

  // Starts a list for `canvas`; anything recorded before and not drawn is dropped.
  void Begin(Canvas& canvas);
  // The smallest segment drawn while recording goes on.
  static constexpr std::size_t kSegmentFigures = 32768;
  bool Active() const { return canvas_ != nullptr; }
  std::size_t Size() const;

  // A paint for fills: the brush with the canvas rules for background and text colour (colours
  // resolved by the caller). Same arguments, same number, within one list.
  int AddPaint(const Brush& brush, Color background, Color text, BackgroundMode mode);

  // MoveTo(a) then LineTo(b) with a cosmetic pen, background transparent, the dash pattern
  // starting `phase` steps in; with `withEnd` also LineTo(b.x + 1, b.y + 1), which puts b in.
  [[gnu::always_inline]] void Line(Point a, Point b, PenStyle style, Color ink, Mix mix, std::int64_t phase,
                                   bool withEnd) {
    if (style == PenStyle::Null) return;
    std::int64_t start = phase % kDashCycle;
    if (start < 0) start += kDashCycle;
    Push(std::min(a.y, b.y), std::max(a.y, b.y), [&](Op& o) {
      o.kind = withEnd ? OpKind::LineWithEnd : OpKind::Line;
      o.style = style;
      o.mix = mix;
      o.fillMix = Mix::Copy;
      o.phase = std::uint8_t(start);
      o.paint = -1;
      o.ink = ink;
      o.x0 = a.x;
      o.y0 = a.y;
      o.x1 = b.x;
      o.y1 = b.y;
    });
  }
  // A polygon filled with paint `paint` (no outline), as Canvas::Polygon with a null pen.
  void Polygon(std::span<const Point> points, bool winding, int paint, Mix mix);
  // The picture of an axis-aligned box: the lines left (l, b)->(l, t), bottom (l, b)->(r, b),
  // right (r, b)->(r, t) and top (l, t)->(r, t), each with its end (Line with withEnd), then with
  // paint >= 0 the polygon (l, b) (r, b) (r, t) (l, t). Needs l <= r and t <= b.
  [[gnu::always_inline]] void Box(int l, int t, int r, int b, PenStyle style, Color ink, Mix lineMix, int paint,
                                  Mix fillMix) {
    if (paint >= int(paints_.size())) paint = -1;
    Push(t, b, [&](Op& o) {
      o.kind = OpKind::Box;
      o.style = style;
      o.mix = lineMix;
      o.fillMix = fillMix;
      o.phase = 0;
      o.paint = paint;
      o.ink = ink;
      o.x0 = l;
      o.y0 = t;
      o.x1 = r;
      o.y1 = b;
    });
  }

  // Draws everything recorded on up to `threads` threads (0: as many as the machine has) and
  // empties the list; it stays begun for the same canvas.
  void Draw(int threads = 0);
  // Draw, then forget the canvas.
  void End(int threads = 0);

 private:
  static constexpr std::int64_t kDashCycle = 24;  // every dash pattern's length divides it
  enum class OpKind : std::uint8_t { Line, LineWithEnd, Polygon, PolygonWinding, Box };
  // 32 bytes: every band keeps its own copies, so their size is what recording writes
  struct Op {
    OpKind kind;
    PenStyle style;
    Mix mix;      // lines and the box's lines
    Mix fillMix;  // polygons and the box's fill
    // where the dash pattern starts: kept modulo 24, which every pattern's length divides
    std::uint8_t phase;
    std::int32_t paint;
    std::uint32_t ink;
    // Line: a, b. Box: l, t, r, b. Polygon: first point, count.
    std::int32_t x0, y0, x1, y1;
  };
  static_assert(sizeof(Op) == 32);
  // The figures of one band in order: ops[0..used), the room beyond kept from list to list.
  struct BandOps {
    std::vector<Op> ops;
    std::size_t used = 0;
  };
  // Figures recorded or being drawn: each band's, and the polygons' vertices in device pixels.
  struct Segment {
    std::vector<BandOps> bands;
    std::vector<detail::DevPoint> points;
    std::size_t count = 0;
    void Clear() {
      for (BandOps& b : bands) b.used = 0;
      points.clear();
      count = 0;
    }
  };
  // The next figure of a band, its room grown when full.
  [[gnu::always_inline]] static Op& Next(BandOps& band) {
    if (band.used == band.ops.size()) band.ops.resize(band.ops.empty() ? 1024 : 2 * band.ops.size());
    return band.ops[band.used++];
  }
  // Gives the figure that `write` fills in to every band its rows yMin..yMax (logical) touch; it is
  // written in place, once, and copied to the further bands.
  template <class Write>
  [[gnu::always_inline]] void Push(std::int64_t yMin, std::int64_t yMax, Write write) {
    yMin += oy_;
    yMax += oy_;
    if (yMax < clipTop_ || yMin >= clipBottom_) return;  // nothing it could draw
    // each band keeps its own copy: the threads then read only their own figures, in order
    const std::uint16_t* row = bandOfRow_.data();
    const int first = row[std::max(yMin, clipTop_) - clipTop_];
    const int last = row[std::min(yMax, clipBottom_ - 1) - clipTop_];
    BandOps* bands = rec_->bands.data();
    Op& op = Next(bands[first]);
    write(op);
    for (int b = first + 1; b <= last; ++b) Next(bands[b]) = op;
    if (++rec_->count >= handOffAt_) HandOff();
  }
  detail::Target BandTarget(int band) const;
  void DrawBand(const detail::Target& band, const Segment& s, int index) const;
  // The recording segment to the kept threads, once the one before it is drawn.
  void HandOff();
  // The segment being drawn, drawn to its end (the caller helps).
  void Finish();

  Canvas* canvas_ = nullptr;
  detail::Target target_;
  std::int64_t ox_ = 0;
  std::int64_t oy_ = 0;
  // Rows of the clip; without a canvas or with an empty clip top lies past every row and bottom
  // before, so that nothing is taken.
  std::int64_t clipTop_ = INT64_MAX;
  std::int64_t clipBottom_ = INT64_MIN;
  Point brushOrigin_;
  int bandHeight_ = 1;
  int bands_ = 1;
  Segment segments_[2];
  Segment* rec_ = &segments_[0];          // where figures are recorded
  Segment* flight_ = nullptr;             // the segment the kept threads draw, if any
  std::size_t handOffAt_ = SIZE_MAX;      // figures of a segment that make it go; none without threads
  std::size_t recorded_ = 0;              // figures of the list so far
  std::size_t lastRecorded_ = 0;          // and of the list before
  std::atomic<int> nextBand_{0};          // the band of the segment in flight to take next
  std::function<void()> flightWork_;
  std::vector<std::uint16_t> bandOfRow_;  // by row of the clip
  // Paints are only added: while a segment is in flight they never move (it is finished first).
  std::vector<detail::Paint> paints_;
  struct PaintKey {
    BrushKind kind;
    Color color;
    std::uint64_t rows;
    Color background;
    Color text;
    BackgroundMode mode;
  };
  std::vector<PaintKey> paintKeys_;
};

}  // namespace gfx
