// One-bit raster maps: the picture of one scan area that the design-rule checker's operators work on
// and that the layer rasteriser (rasteriser.h) draws a layer into. The layer-logic program uses the
// same type with a taller map.
//
// A map is 1024 pixels wide, in 32 strips of 32 columns. Strip s holds columns 32 s .. 32 s + 31 as one
// 32-bit word per pixel row; in a word, bit 0x80000000 is the leftmost pixel (column 32 s) and bit 1
// the rightmost. Row 0 is the bottom of the area.
//
// Two heights matter: the rows the whole-map operations work on (Rows(): 640 for the checker, 1025 for
// layer logic) and the rows a single pixel may be written and read in (WritableRows(): 643 for the
// checker, whose rows 640..642 were once the polygon fill's scratch rows; 1025 for layer logic).
// Pixels outside 0..1023 by 0..WritableRows()-1 are never written and read as clear.
//
// Every whole-map operation works a 32-bit word at a time over rows 0..Rows()-1 of all 32 strips.
// Operations on two maps need maps of the same shape.
#pragma once
#include <array>
#include <cstdint>
#include <memory>

namespace drc {

constexpr int kMapWidth = 1024;
constexpr int kMapStrips = 32;
constexpr int kCheckRows = 640;       // rows of a checker map
constexpr int kCheckWritableRows = 643;
constexpr int kTileRows = 1025;       // rows of a layer-logic map (a 1024-row tile and one row more)

class BitMap {
 public:
  BitMap() = default;
  BitMap(BitMap&&) noexcept = default;
  BitMap& operator=(BitMap&&) noexcept = default;
  BitMap(const BitMap&) = delete;
  BitMap& operator=(const BitMap&) = delete;

  // Memory for a cleared map; false (and no map) when it cannot be had. Allocating again replaces
  // the map. writableRows below rows counts as rows.
  bool Allocate(int rows = kCheckRows, int writableRows = kCheckWritableRows);
  void Free();
  bool Allocated() const { return words_ != nullptr; }

  int Rows() const { return rows_; }
  int WritableRows() const { return writable_; }

  // The words of strip s, one per row, rows 0..WritableRows()-1. No range checks: callers index
  // within the map.
  std::uint32_t* Strip(int s) { return words_.get() + static_cast<std::size_t>(s) * writable_; }
  const std::uint32_t* Strip(int s) const {
    return words_.get() + static_cast<std::size_t>(s) * writable_;
  }
  std::uint32_t& Word(int s, int row) { return Strip(s)[row]; }
  std::uint32_t Word(int s, int row) const { return Strip(s)[row]; }

  bool SameShape(const BitMap& other) const {
    return rows_ == other.rows_ && writable_ == other.writable_;
  }

 private:
  std::unique_ptr<std::uint32_t[]> words_;
  int rows_ = 0;
  int writable_ = 0;
};

// The mask of column x within its strip's word.
constexpr std::uint32_t ColumnBit(int x) { return 0x80000000u >> (x & 31); }

// Tests: allow only this many further map allocations (-1: no limit, the default).
void SetMapBudgetForTests(int maps);

// ---- Pixels ----
// on = 1 sets, 0 clears; nothing happens outside the writable map.
void SetMapPixel(BitMap& m, int x, int y, int on);
// 1 when set; 0 outside the writable map.
int TestMapPixel(const BitMap& m, int x, int y);
// Sets columns x1 .. x2 - 1 of row y, clipped to the map (a word at a time).
void SetMapSpan(BitMap& m, int y, long long x1, long long x2);
// Row y as 32 words, word s holding columns 32 s .. 32 s + 31 (leftmost in the top bit); all 0
// outside the writable map. And the reverse.
std::array<std::uint32_t, kMapStrips> MapRow(const BitMap& m, int y);
void PutMapRow(BitMap& m, int y, const std::array<std::uint32_t, kMapStrips>& words);

// ---- Whole maps ----
void ClearMap(BitMap& m);                   // every word 0
void CopyMap(BitMap& dst, const BitMap& src);
void SwapMaps(BitMap& a, BitMap& b);        // exchanges the contents
void NotMap(BitMap& m);                     // every word inverted
void AndMaps(BitMap& dst, const BitMap& src);
void OrMaps(BitMap& dst, const BitMap& src);
void XorMaps(BitMap& dst, const BitMap& src);
void FillMap(BitMap& m);                    // every pixel set
// Clears the one-pixel frame: columns 0 and 1023, rows 0 and Rows() - 1.
void ClearMapBorder(BitMap& m);
// Every set pixel (x, y) also sets (x-1, y), (x, y-1) and (x-1, y-1). Rows 1..Rows()-1 grow left
// (carrying across strips); each row then ORs into the row below it. Row 0 does not grow left by
// itself.
void DoubleMap(BitMap& m);
// 1 when any pixel is set.
int IsMapNotEmpty(const BitMap& m);
// 1 when any pixel of rows 1..Rows()-2 is clear, columns 0 and 1023 not counted.
int IsMapNotFull(const BitMap& m);
// 1 when any pixel inside the guard window is set: columns g..1023-g and rows g..Rows()-1-g, g being
// the guard band in whole pixels.
int TestFlags(const BitMap& m, int guardPixels);

}  // namespace drc
