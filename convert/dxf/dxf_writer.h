// Writing a DXF drawing exchange file of release 12: the header with the drawing's extent, the
// line-type and layer tables, blocks, and the polyline, text and insert entities. Every group is a
// code line (right-aligned in three characters) and a value line, exactly as the exporter lays them out.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dxf {

// "%.8f" without the trailing zeros, but one digit kept after the point: 1 gives "1.0", 2.5 "2.5".
std::string FormatDxfNumber(double value);

// The drawing's extent in drawing units; an extent nothing has widened is written as the origin.
struct DxfExtent {
  bool any = false;
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  void ExtendDxfExtent(double x, double y);
};

struct DxfPoint {
  double x = 0, y = 0;
};

// Orientation code 0..7 as an insert's or a text's rotation in degrees; mirrored codes (4..7) pair
// it with a mirror in x.
double DxfAngleOf(int code);

class DxfWriter {
 public:
  // Text goes to `sink` in pieces, new-lines as '\n'; the sink returns false once it failed.
  explicit DxfWriter(std::function<bool(std::string_view)> sink) : sink_(std::move(sink)) {}
  ~DxfWriter() { Flush(); }
  DxfWriter(const DxfWriter&) = delete;
  DxfWriter& operator=(const DxfWriter&) = delete;

  void WriteDxfHeader(const DxfExtent& extent);
  // The line-type table and one layer per used TLC layer (bit n-1 for layer n), named prefix + n.
  void WriteDxfTables(std::string_view prefix, std::uint64_t usedLayers);
  void BeginBlocks();
  void WriteDxfBlock(std::string_view name);  // a block's head; its entities follow
  void EndDxfBlock();
  void BeginEntities();
  void EndSection();
  void WriteEof();

  void WriteDxfInsert(std::string_view name, double x, double y, int code);
  // One polyline with its vertices; `closed` sets flag 70 (polygons), otherwise it is open (paths).
  void WriteDxfPolyline(std::string_view layer, double width, const std::vector<DxfPoint>& points, bool closed,
                        bool widthInVertex);
  void WriteDxfText(std::string_view layer, double x, double y, double size, std::string_view text, int code);

  bool Flush();
  bool Failed() const { return failed_; }
  // Bytes written so far as they land in a file whose lines end in CR LF.
  std::int64_t FileBytes() const { return bytes_; }

 private:
  void Put(std::string_view text);
  void Group(const char* code, std::string_view value);
  void Number(const char* code, double value) { Group(code, FormatDxfNumber(value)); }

  std::function<bool(std::string_view)> sink_;
  std::string buffer_;
  std::int64_t bytes_ = 0;
  bool failed_ = false;
};

}  // namespace dxf
