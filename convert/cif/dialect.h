// The commands of the CIF files the exporter writes, byte for byte: one command a line, point lists
// broken after every sixth point, and the comments that carry the layer table and symbol names.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/db/path_outline.h"

namespace cif {

// The transform of a call for an orientation code (mirror in y first, then quarter turns).
const char* CallTransform(int orientation);

// The symbol scale numbers for a grid of g micrometres per CIF unit: B = 2,
// A = integer part of (2 * 100 * g + 0.0001).
struct SymbolScale {
  int a = 2;
  int b = 2;
};
SymbolScale ScaleForGrid(double grid);

class CifText {
 public:
  void FileComment(std::string_view mainFile, std::string_view date, std::string_view time);
  void LayerComment(int layer, std::string_view name);
  void SymbolNameComment(int symbol, std::string_view name);
  void BlankLine() { text_ += '\n'; }
  // "DS#n a/b;" and, with a digit, the cell-name command "9 NAME;".
  void SymbolStart(int symbol, SymbolScale scale, std::string_view digit, std::string_view name);
  void Layer(std::string_view name);
  void Box(std::int64_t length, std::int64_t width, std::int64_t cx, std::int64_t cy);
  void Polygon(const std::vector<db::PathPoint>& points);
  void Wire(std::int64_t width, const std::vector<db::PathPoint>& points);
  void Call(int symbol, int orientation, std::int64_t x, std::int64_t y);
  // A user command: the text as given, then ";" and a line end.
  void UserCommand(std::string_view text);
  void SymbolEnd() { text_ += "DF;\n"; }
  // "C#n;" and "E".
  void End(int topSymbol);

  std::string& Text() { return text_; }

 private:
  void Points(const std::vector<db::PathPoint>& points);
  void Number(std::int64_t value);

  std::string text_;
};

}  // namespace cif
