// Devices: every placed cell with connectors is one SPICE statement built from the texts placed over
// it (device name, then the nodes at its connectors, then parameters or an alias). Rank-1 cells that
// carry a named-node text and no connector are global symbols (supplies, ground).
#pragma once
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "extract/extraction.h"

namespace ext {

void FindSymbolCells(Extraction& x);

// Which texts of a layer belong to an instance, for the instances of the cell in the tables. Built
// once per cell; the joined texts are kept per instance.
class InstanceTexts {
 public:
  void Build(Extraction& x);
  // The joined texts of `layer` over instance k, or with `own` the cell's own texts (those outside
  // every instance). With `check`, a missing text is reported as an error.
  std::string Collect(Extraction& x, int layer, int k, bool own, bool check);
  void Clear();

 private:
  bool built_ = false;
  std::vector<PlacedInstance> instances_;  // index k - 1
  std::vector<Bounds> outlines_;
  std::map<std::pair<std::int32_t, std::int32_t>, int> origins_;  // instances placed at each point
  ShapeGrid grid_;
  std::map<std::pair<int, int>, std::string> joined_;  // (layer, k) -> text

  // The texts of one layer in path order, filed by their points.
  struct LayerTexts {
    std::vector<CellText> texts;
    std::vector<Bounds> points;
    ShapeGrid grid;
    std::map<std::pair<std::int32_t, std::int32_t>, std::vector<int>> at;
  };
  std::map<int, LayerTexts> texts_;

  const LayerTexts& Texts(Extraction& x, int layer);
  bool Belongs(const CellText& text, int k, std::vector<int>& near) const;
};

std::string JoinTexts(Extraction& x, std::vector<const CellText*> taken);

// Appends instance k's statement to the .CIR file (nothing for a symbol cell or an instance without
// connectors).
void WriteDeviceStatement(Extraction& x, InstanceTexts& texts, int k);

// The text of an alias entry NAME = <text> in the file, or "?".
std::string LookUpAlias(std::string_view name, std::string_view file);
// A parameter text, with "@NAME" replaced by its alias ("Alias %s not Defined" when there is none).
std::string ResolveParameters(Extraction& x, const std::string& text);

}  // namespace ext
