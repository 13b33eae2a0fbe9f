#include "convert/dxf/dxf_writer.h"

#include <algorithm>
#include <charconv>
#include <system_error>

namespace dxf {

std::string FormatDxfNumber(double value) {
  // Fixed with 8 decimals, rounded exactly as "%.8f" rounds, without the printf machinery: a drawing
  // has millions of numbers.
  char b[400];
  const auto [end, ec] = std::to_chars(b, b + sizeof b, value, std::chars_format::fixed, 8);
  if (ec != std::errc()) return "0.0";
  std::string s(b, end);
  while (s.size() >= 2 && s.back() == '0' && s[s.size() - 2] != '.') s.pop_back();
  return s;
}

void DxfExtent::ExtendDxfExtent(double x, double y) {
  if (!any) {
    minX = maxX = x;
    minY = maxY = y;
    any = true;
    return;
  }
  minX = std::min(minX, x);
  maxX = std::max(maxX, x);
  minY = std::min(minY, y);
  maxY = std::max(maxY, y);
}

double DxfAngleOf(int code) {
  static const double kMirrored[4] = {180, 270, 0, 90};
  code &= 7;
  return code >= 4 ? kMirrored[code & 3] : 90.0 * code;
}

void DxfWriter::Put(std::string_view text) {
  buffer_.append(text);
  bytes_ += static_cast<std::int64_t>(text.size() + std::count(text.begin(), text.end(), '\n'));
  if (buffer_.size() >= 1 << 16) Flush();
}

bool DxfWriter::Flush() {
  if (!buffer_.empty() && !failed_ && !sink_(buffer_)) failed_ = true;
  buffer_.clear();
  return !failed_;
}

void DxfWriter::Group(const char* code, std::string_view value) {
  Put(code);
  Put("\n");
  Put(value);
  Put("\n");
}

void DxfWriter::WriteDxfHeader(const DxfExtent& e) {
  Put("  0\nSECTION\n  2\nHEADER\n");
  Put("  9\n$ACADVER\n  1\nAC1009\n");
  Put("  9\n$EXTMAX\n");
  Number(" 10", e.maxX);
  Number(" 20", e.maxY);
  Put(" 30\n0.0\n");
  Put("  9\n$EXTMIN\n");
  Number(" 10", e.minX);
  Number(" 20", e.minY);
  Put(" 30\n0.0\n");
  Put("  9\n$DIMSCALE\n 40\n1.0\n");
  Put("  9\n$LUNITS\n 70\n2\n  9\n$LUPREC\n 70\n8\n");
  Put("  0\nENDSEC\n");
}

void DxfWriter::WriteDxfTables(std::string_view prefix, std::uint64_t usedLayers) {
  Put("  0\nSECTION\n  2\nTABLES\n");
  Put("  0\nTABLE\n  2\nLTYPE\n 70\n1\n");
  Put("  0\nLTYPE\n2\nCONTINUOUS\n 70\n64\n");
  Put("  3\nLineType for PolyLines\n");
  Put(" 72\n65\n 73\n0\n 40\n0.0\n");
  Put("  0\nENDTAB\n");
  Put("  0\nTABLE\n  2\nLAYER\n 70\n64\n");
  for (int layer = 1; layer <= 64; ++layer) {
    if (!(usedLayers >> (layer - 1) & 1)) continue;
    Put("  0\nLAYER\n  2\n");
    Put(prefix);
    Put(std::to_string(layer));
    Put("\n 70\n64\n");
    Put(" 62\n7\n  6\nCONTINUOUS\n");
  }
  Put("  0\nENDTAB\n");
  Put("  0\nENDSEC\n");
}

void DxfWriter::BeginBlocks() { Put("  0\nSECTION\n  2\nBLOCKS\n"); }

void DxfWriter::WriteDxfBlock(std::string_view name) {
  Put("  0\nBLOCK\n  8\n0\n");
  Group("  2", name);
  Put(" 70\n0\n");
  Group("  3", name);
  Put(" 10\n0.0\n 20\n0.0\n 30\n0.0\n");
}

void DxfWriter::EndDxfBlock() { Put("  0\nENDBLK\n  8\n0\n"); }

void DxfWriter::BeginEntities() { Put("  0\nSECTION\n  2\nENTITIES\n"); }

void DxfWriter::EndSection() { Put("  0\nENDSEC\n"); }

void DxfWriter::WriteEof() { Put("  0\nEOF\n"); }

void DxfWriter::WriteDxfInsert(std::string_view name, double x, double y, int code) {
  Put("  0\nINSERT\n  8\n0\n");
  Group("  2", name);
  Number(" 10", x);
  Number(" 20", y);
  Put(" 30\n0.\n");
  if (code & 4) Put(" 41\n-1.0\n");
  Number(" 50", DxfAngleOf(code));
}

void DxfWriter::WriteDxfPolyline(std::string_view layer, double width, const std::vector<DxfPoint>& points,
                                 bool closed, bool widthInVertex) {
  Put("  0\nPOLYLINE\n");
  Group("  8", layer);
  Put(closed ? " 66\n1\n 70\n1\n" : " 66\n1\n 70\n0\n");
  Number(" 40", width);
  Number(" 41", width);
  for (const DxfPoint& p : points) {
    Put("  0\nVERTEX\n");
    Group("  8", layer);
    Number(" 10", p.x);
    Number(" 20", p.y);
    Put(" 30\n0.0\n");
    if (widthInVertex) {
      Number(" 40", width);
      Number(" 41", width);
    }
  }
  Put("  0\nSEQEND\n");
  Group("  8", layer);
}

void DxfWriter::WriteDxfText(std::string_view layer, double x, double y, double size, std::string_view text,
                             int code) {
  Put("  0\nTEXT\n");
  Group("  8", layer);
  Number(" 10", x);
  Number(" 20", y);
  Put(" 30\n0.0\n");
  Number(" 40", size);
  Group("  1", text);
  Number(" 50", DxfAngleOf(code));
  if (code & 4) Put(" 71\n2\n");
}

}  // namespace dxf
