// Settings of the DXF to TLC importer: the set-up file's settings and layer numbers as text, and the
// values the importer works with, taken from them when they are normalised.
#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace dxf {

constexpr int kImportSlots = 16;
constexpr int kLayerSlots = 36;  // 35 are shown; the file keeps a group of 36
constexpr int kMaxDxfLayers = 35;
constexpr std::size_t kLayerNameLength = 20;
constexpr const char* kImportSetupFile = "Xchimp.su6";
constexpr const char* kImportSetupVersion = "6.01";
constexpr const char* kImportProgram = "XCHIMP";
constexpr const char* kImportReport = "XCHIMP.RPT";

struct ImportSettings {
  std::vector<std::string> main = std::vector<std::string>(kImportSlots);
  std::vector<std::string> layers = std::vector<std::string>(kLayerSlots);

  // Taken from the slots by NormaliseImport.
  std::string dxfFile;
  std::string tlcFile;    // the main (ENTITIES) TLC file
  std::string tlcFolder;  // where every TLC file goes: the main file's folder, ".\" when it has none
  std::string mainCell;   // the ENTITIES cell: the main file's base name
  std::string unit = "um";
  double scale = 20;  // S: database units per DXF drawing unit
  bool arcs = true, circles = true, lines = true, solids = true, text = true;
  bool closeArcs = true, closePolylines = true, closeWidePolylines = true, makeRef = true;
  bool clockwise = false;
  double segmentAngle = 5;  // degrees, 1..45
  std::string reportFile;
  std::array<int, kLayerSlots> layerNumbers{};  // TLC layer typed for each DXF layer; 0 none
};

void SetImportDefaults(ImportSettings& s);
// Mode 0 the settings, 1 the layer numbers.
void NormaliseImport(ImportSettings& s, int mode);
void NormaliseImportAll(ImportSettings& s);

// The DXF layer names of the file's layer table and the TLC layers typed for them.
struct DxfLayerMap {
  std::vector<std::string> names;  // at most 35, each at most 20 characters
  // The TLC layer of a DXF layer name (cut to 20 characters, compared without regard to case);
  // 0 when the name is not in the table or has no layer typed for it.
  int MapDxfLayer(const ImportSettings& s, std::string_view name) const;
};

// The names of the LAYER table in the TABLES section of a DXF text: the first 35, cut to 20.
std::vector<std::string> ReadDxfLayerTable(std::string_view text);

}  // namespace dxf
