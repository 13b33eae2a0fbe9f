// A drawing context over a Surface: the pen, brush, mix mode, colours, palette, font and clip that
// the programs set before they draw, and the drawing operations with the exact pixel rules the
// overlays and fills rely on.
//
// Pixel rules (device pixels, the pixel (x, y) covering [x, x+1) x [y, y+1)):
// - Cosmetic lines (pen width 0 or 1) step from the first point towards the second and leave out the
//   second point's pixel; a zero-length line draws nothing. Dashes run on along a chain of LineTo
//   calls, a polyline or a figure outline, and start again at MoveTo.
// - Wide pens (width 2 and more) are solid with round ends: every pixel whose centre lies within
//   width / 2 of the segment, ends included.
// - Fills (polygons, rectangles, FillRect, PatBlt) take the pixels whose centres lie inside the shape:
//   for a rectangle l..r, t..b that is columns l..r-1 and rows t..b-1 (right and bottom edges out).
//   Polygons fill by the even-odd rule unless the fill rule says Winding; any number of vertices.
// - Pattern brushes are 8 x 8 one-bit patterns anchored at the surface origin (the brush origin):
//   1 bits take the background colour and 0 bits the text colour, whatever the background mode.
// - Pens and brush fills of figures go through the mix mode; FillRect and text do not. SetPixel
//   does (the dot grid is drawn and removed by XOR).
// - Everything is clipped to the surface and the clip rectangle; any int coordinates are safe.
// Drawing a figure twice in Xor mode leaves the surface bit for bit as it was.
//
// Use: a window picture, memory bitmap, printer page or clipboard image is a Surface; make a Canvas
// over it and keep it as long as you like (a window's canvas lives as long as the window). The canvas
// reads the surface's size at every call, so the surface may be resized in place. One thread.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "platform/gfx/color.h"
#include "platform/gfx/geometry.h"
#include "platform/gfx/mono_bitmap.h"
#include "platform/gfx/surface.h"
#include "platform/gfx/text.h"

namespace gfx {

namespace detail {
struct Paint;
struct DevPoint;
}  // namespace detail

// Pen styles, numbered as the programs number their dash styles (0 solid .. 4 dash-dot-dot).
// Cosmetic dash patterns in pixels (on/off): Dash 18/6, Dot 3/3, DashDot 9/6/3/6,
// DashDotDot 9/3/3/3/3/3, Alternate 1/1.
enum class PenStyle : std::uint8_t {
  Solid = 0,
  Dash = 1,
  Dot = 2,
  DashDot = 3,
  DashDotDot = 4,
  Null = 5,
  Alternate = 8,
};

struct Pen {
  PenStyle style = PenStyle::Solid;
  int width = 0;  // 0 or 1: one pixel, any style; 2 and more: solid, round ends
  Color color = 0;

  static Pen Solid(Color c, int width = 0) { return Pen{PenStyle::Solid, width, c}; }
  static Pen Styled(PenStyle s, Color c) { return Pen{s, 0, c}; }
  static Pen Null() { return Pen{PenStyle::Null, 0, 0}; }
};

enum class BrushKind : std::uint8_t { Null, Solid, Pattern, Hatch };

enum class HatchStyle : std::uint8_t {
  Horizontal = 0,
  Vertical = 1,
  ForwardDiagonal = 2,   // top left to bottom right
  BackwardDiagonal = 3,  // bottom left to top right
  Cross = 4,
  DiagonalCross = 5,
};

struct Brush {
  BrushKind kind = BrushKind::Solid;
  Color color = 0;                      // Solid and Hatch
  std::array<std::uint8_t, 8> rows{};   // Pattern and Hatch: top row first, leftmost pixel high bit

  static Brush Null() { return Brush{BrushKind::Null, 0, {}}; }
  static Brush Solid(Color c) { return Brush{BrushKind::Solid, c, {}}; }
  // A one-bit 8 x 8 pattern: 1 bits take the background colour, 0 bits the text colour.
  static Brush Pattern(const std::array<std::uint8_t, 8>& rows) { return Brush{BrushKind::Pattern, 0, rows}; }
  // The top-left 8 x 8 pixels of a one-bit bitmap (smaller bitmaps repeat).
  static Brush Pattern(const MonoBitmap& bitmap);
  // Hatch lines in `c`; the gaps take the background colour when the background mode is opaque.
  static Brush Hatch(HatchStyle style, Color c);
};

enum class FillRule : std::uint8_t { Alternate = 1, Winding = 2 };

// How StretchBlt combines source pixels that fall onto one destination pixel when shrinking:
// AND (keeps black lines on white), OR (keeps white on black), drop, or the average (halftone).
// Enlarging repeats pixels in every mode.
enum class StretchMode : std::uint8_t { BlackOnWhite = 1, WhiteOnBlack = 2, ColorOnColor = 3, Halftone = 4 };

// Ternary raster operation: bit (4p + 2s + d) is the result for pattern bit p, source bit s and
// destination bit d. RopFromCode takes the 32-bit codes the programs write (0x220326 -> 0x22).
using Rop = std::uint8_t;
constexpr Rop RopFromCode(std::uint32_t code) { return Rop((code >> 16) & 0xFFu); }
namespace rop {
constexpr Rop kBlackness = 0x00;
constexpr Rop kNotSrcErase = 0x11;  // ~(S | D)
constexpr Rop kDSna = 0x22;         // D & ~S
constexpr Rop kNotSrcCopy = 0x33;   // ~S
constexpr Rop kSrcErase = 0x44;     // S & ~D
constexpr Rop kDstInvert = 0x55;    // ~D
constexpr Rop kPatInvert = 0x5A;    // P ^ D
constexpr Rop kSrcInvert = 0x66;    // S ^ D
constexpr Rop kSrcAnd = 0x88;       // S & D
constexpr Rop kMergePaint = 0xBB;   // ~S | D
constexpr Rop kMergeCopy = 0xC0;    // P & S
constexpr Rop kSrcCopy = 0xCC;      // S
constexpr Rop kSrcPaint = 0xEE;     // S | D
constexpr Rop kPatCopy = 0xF0;      // P
constexpr Rop kPatPaint = 0xFB;     // P | ~S | D
constexpr Rop kWhiteness = 0xFF;
}  // namespace rop

namespace detail {
// A pen style's dash pattern: bit k of `bits` (k < length) says whether step k is ink.
void DashOf(PenStyle style, std::uint32_t& bits, int& length);
// What a fill with `brush` puts down: `brushColor` is the brush's own colour resolved, `background`
// and `text` the canvas's colours resolved; patterns start at `brushOrigin`.
Paint PaintOf(const Brush& brush, Color brushColor, Color background, Color text, BackgroundMode mode,
              Point brushOrigin);
}  // namespace detail

class FigureList;

// One pixel through a ternary raster operation (24-bit result).
std::uint32_t ApplyRop(Rop rop, std::uint32_t pattern, std::uint32_t source, std::uint32_t dest);

enum class HAlign : std::uint8_t { Left, Center, Right };
enum class VAlign : std::uint8_t { Top, Baseline, Bottom };

// What a program asks of a device: resolution and size. Sizes in millimetres are the pixel counts
// at `dpi` rounded, so a page's millimetres and pixels always agree.
struct DeviceCaps {
  int logPixelsX = 96;
  int logPixelsY = 96;
  int bitsPixel = 24;
  int planes = 1;
  int numColors = -1;
  int horzSizeMm = 0;
  int vertSizeMm = 0;
  int horzRes = 0;
  int vertRes = 0;
};
DeviceCaps CapsOf(const Surface& surface, int dpi);

// Everything a program sets on a canvas; copy it to save and restore a canvas's settings.
struct CanvasState {
  Pen pen;
  Brush brush = Brush::Solid(Rgb(255, 255, 255));
  Mix mix = Mix::Copy;
  BackgroundMode backgroundMode = BackgroundMode::Opaque;
  Color backgroundColor = Rgb(255, 255, 255);
  Color textColor = Rgb(0, 0, 0);
  FillRule fillRule = FillRule::Alternate;
  StretchMode stretchMode = StretchMode::BlackOnWhite;
  std::shared_ptr<const Palette> palette;      // none: palette indexes give black
  std::shared_ptr<const Font> font;            // none: the UI face
  HAlign hAlign = HAlign::Left;
  VAlign vAlign = VAlign::Top;
  Point origin;                                // device position of logical (0, 0)
  Point brushOrigin;                           // device position where patterns start
  bool clipped = false;
  Rect clip;                                   // device pixels, when clipped
  int dpi = 96;
};

class Canvas {
 public:
  explicit Canvas(Surface& target) : target_(&target) {}

  Surface& target() const { return *target_; }
  void SetTarget(Surface& target) { target_ = &target; }

  const CanvasState& state() const { return state_; }
  void RestoreState(const CanvasState& s) { state_ = s; }

  // Each setter returns the previous value where the programs restore it.
  void SetPen(const Pen& pen) { state_.pen = pen; }
  const Pen& pen() const { return state_.pen; }
  void SetBrush(const Brush& brush) { state_.brush = brush; }
  const Brush& brush() const { return state_.brush; }
  Mix SetMix(Mix mix);
  Mix mix() const { return state_.mix; }
  BackgroundMode SetBackgroundMode(BackgroundMode mode);
  Color SetBackgroundColor(Color c);
  Color backgroundColor() const { return state_.backgroundColor; }
  Color SetTextColor(Color c);
  Color textColor() const { return state_.textColor; }
  FillRule SetFillRule(FillRule rule);
  StretchMode SetStretchMode(StretchMode mode);
  void SetPalette(Palette palette);
  void SetPalette(std::shared_ptr<const Palette> palette) { state_.palette = std::move(palette); }
  const Palette& palette() const;
  void SetFont(std::shared_ptr<const Font> font) { state_.font = std::move(font); }
  const Font& font() const;
  void SetTextAlign(HAlign h, VAlign v) { state_.hAlign = h; state_.vAlign = v; }
  void SetOrigin(int x, int y) { state_.origin = Point{x, y}; }
  Point origin() const { return state_.origin; }
  void SetBrushOrigin(int x, int y) { state_.brushOrigin = Point{x, y}; }
  // Clip rectangle in device pixels (further limited by the surface).
  void SetClipRect(const Rect& deviceRect);
  void ClearClip() { state_.clipped = false; }
  // The drawable area in logical coordinates.
  Rect ClipBox() const;
  void SetDpi(int dpi) { state_.dpi = dpi > 0 ? dpi : 96; }
  DeviceCaps Caps() const { return CapsOf(*target_, state_.dpi); }

  // A colour as stored in the surface: palette indexes resolved through the selected palette.
  Color Resolve(Color c) const;

  // Lines and figures (logical coordinates).
  void MoveTo(int x, int y);
  Point CurrentPosition() const { return current_; }
  void LineTo(int x, int y);
  void Polyline(std::span<const Point> points);  // current position untouched; dashes start afresh
  void Polygon(std::span<const Point> points);   // fill with the brush, then outline with the pen
  void Rectangle(int left, int top, int right, int bottom);  // corners in any order
  void FillRect(const Rect& r, const Brush& brush);           // plain fill, no mix
  void FrameRect(const Rect& r, const Brush& brush);          // one-pixel border, no mix
  void InvertRect(const Rect& r);
  // Draws one pixel through the mix mode; returns the colour the pixel now has, kInvalidColor
  // when it lies outside the clip.
  Color SetPixel(int x, int y, Color c);
  Color GetPixel(int x, int y) const;

  // Block transfers. Destination and source rectangles are clipped to what exists; parts that fall
  // outside either draw nothing. A one-bit source takes the text colour for 0 bits and the
  // background colour for 1 bits. The brush is the pattern of operations that use one. A source may
  // be the canvas's own surface (overlaps copy as from a copy). BitBlt and PatBlt return false only
  // for a width or height of 0 or less, StretchBlt only for a size of 0.
  bool BitBlt(int x, int y, int w, int h, const Surface& src, int sx, int sy, Rop rop);
  bool BitBlt(int x, int y, int w, int h, const MonoBitmap& src, int sx, int sy, Rop rop);
  bool PatBlt(int x, int y, int w, int h, Rop rop);
  // Stretches src (sx, sy, sw, sh) onto (x, y, w, h) by the stretch mode; a negative width or
  // height mirrors that axis.
  bool StretchBlt(int x, int y, int w, int h, const Surface& src, int sx, int sy, int sw, int sh, Rop rop);
  bool StretchBlt(int x, int y, int w, int h, const MonoBitmap& src, int sx, int sy, int sw, int sh, Rop rop);

  // Text in the canvas's font: bytes through the font's code page. The text colour draws the glyphs;
  // in opaque mode the text's cell box is first filled with the background colour.
  void TextOut(int x, int y, std::string_view text);
  Size TextExtent(std::string_view text) const;
  TextMetrics GetTextMetrics() const;

 private:
  friend class FigureList;
  struct Device;  // resolved target and clip of one operation
  Device Prepare() const;
  detail::Paint MakePaint(const Brush& brush) const;
  void StrokeSegment(const Device& d, detail::DevPoint a, detail::DevPoint b, std::int64_t& phase);
  template <class SourceAt>
  void Transfer(int x, int y, int w, int h, int srcW, int srcH, int sx, int sy, Rop rop, SourceAt at);

  Surface* target_;
  CanvasState state_;
  Point current_;
  std::int64_t dashPhase_ = 0;  // pixels stepped since the last MoveTo
};

}  // namespace gfx
