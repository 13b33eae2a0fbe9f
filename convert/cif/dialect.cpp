#include "convert/cif/dialect.h"

#include <charconv>
#include <cmath>

namespace cif {

const char* CallTransform(int orientation) {
  static const char* const kTransforms[8] = {"",      " R0 1",      " R-1 0",      " R0 -1",
                                             " MY",   " MY R0 1",   " MY R-1 0",   " MY R0 -1"};
  return kTransforms[orientation & 7];
}

SymbolScale ScaleForGrid(double grid) {
  SymbolScale s;
  s.b = 2;
  s.a = static_cast<int>(2 * 100 * grid + 0.0001);
  if (s.a < 1) s.a = 1;
  return s;
}

void CifText::Number(std::int64_t value) {
  char b[24];
  text_.append(b, std::to_chars(b, b + sizeof b, value).ptr);
}

void CifText::FileComment(std::string_view mainFile, std::string_view date, std::string_view time) {
  text_ += "(! CIF file of ";
  text_ += mainFile;
  text_ += " made by CALEXP  ";
  text_ += date;
  text_ += "  ";
  text_ += time;
  text_ += ");\n\n";
}

void CifText::LayerComment(int layer, std::string_view name) {
  text_ += "(LAYER ";
  Number(layer);
  text_ += " CIF=\"";
  text_ += name;
  text_ += "\");\n";
}

void CifText::SymbolNameComment(int symbol, std::string_view name) {
  text_ += "(#";
  Number(symbol);
  text_ += ' ';
  text_ += name;
  text_ += ");\n";
}

void CifText::SymbolStart(int symbol, SymbolScale scale, std::string_view digit, std::string_view name) {
  text_ += "DS#";
  Number(symbol);
  text_ += ' ';
  Number(scale.a);
  text_ += '/';
  Number(scale.b);
  text_ += ";\n";
  if (!digit.empty()) {
    text_ += digit;
    text_ += ' ';
    text_ += name;
    text_ += ";\n";
  }
}

void CifText::Layer(std::string_view name) {
  text_ += 'L';
  text_ += name;
  text_ += ";\n";
}

void CifText::Box(std::int64_t length, std::int64_t width, std::int64_t cx, std::int64_t cy) {
  text_ += "B ";
  Number(length);
  text_ += ' ';
  Number(width);
  text_ += ' ';
  Number(cx);
  text_ += ' ';
  Number(cy);
  text_ += ";\n";
}

void CifText::Points(const std::vector<db::PathPoint>& points) {
  for (std::size_t i = 0; i < points.size(); ++i) {
    text_ += ' ';
    Number(points[i].x);
    text_ += ' ';
    Number(points[i].y);
    if ((i + 1) % 6 == 0 && i + 1 < points.size()) text_ += "\n ";
  }
}

void CifText::Polygon(const std::vector<db::PathPoint>& points) {
  text_ += 'P';
  Points(points);
  text_ += ";\n";
}

void CifText::Wire(std::int64_t width, const std::vector<db::PathPoint>& points) {
  text_ += "W ";
  Number(width);
  Points(points);
  text_ += ";\n";
}

void CifText::Call(int symbol, int orientation, std::int64_t x, std::int64_t y) {
  text_ += 'C';
  Number(symbol);
  text_ += CallTransform(orientation);
  text_ += " T";
  Number(x);
  text_ += ' ';
  Number(y);
  text_ += ";\n";
}

void CifText::UserCommand(std::string_view text) {
  text_ += text;
  text_ += ";\n";
}

void CifText::End(int topSymbol) {
  text_ += "C#";
  Number(topSymbol);
  text_ += ";\nE\n";
}

}  // namespace cif
