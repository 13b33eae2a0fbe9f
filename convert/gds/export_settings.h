// Settings of the TLC to GDSII exporter: the set-up file's slots as text, and the values the
// exporter works with, taken from them when they are normalised.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "utilib/layer_filter.h"

namespace gds {

constexpr int kExportMainSlots = 17;
constexpr int kExportTextSlots = 24;
constexpr const char* kExportSetupFile = "Strmexp.su6";
constexpr const char* kExportSetupVersion = "6.01";
constexpr const char* kExportProgram = "STRMEXP";
constexpr const char* kExportReport = "STRMEXP.RPT";

// One row of the text table: which TEXT presentation a text of at least this size gets.
struct ExportTextRow {
  double size = 1;  // physical units
  int font = 0;
  int textType = 0;
  double mag = 1;
  double width = 0;    // physical units
  int justification = 8;  // 0 top, 4 middle, 8 bottom
};

struct ExportSettings {
  std::vector<std::string> main = std::vector<std::string>(kExportMainSlots);
  std::vector<std::string> text = std::vector<std::string>(kExportTextSlots);

  // Taken from the slots by NormaliseExportMain.
  std::string tlcDrive;   // "D:" or ""
  std::string tlcFolder;  // "\WORK\" or ""
  std::string mainCell;
  std::string tlcExtension;  // ".TLC"
  std::string gdsFile;
  std::string libraryName;
  int correction = 0;
  double lambda = 1.0;
  int gdsUnits = 1000;  // G
  int dataType = 0;
  int layer64To = 0;
  double defaultPathWidth = 0;  // physical units
  utilib::LayerFilter layers;
  bool ascending = true;
  bool lowercase = false;
  bool convertText = true;
  bool protocol = true;
  bool intersections = true;
  double resolution = 0.05;  // physical units
  std::string reportFile;
  // From NormaliseExportText.
  std::array<ExportTextRow, 4> rows;
};

void SetExportDefaults(ExportSettings& s);
void NormaliseExportMain(ExportSettings& s);
void NormaliseExportText(ExportSettings& s);
// The resolution in database units for a TLC scale; the slot is written back in physical units.
std::int32_t ResolutionInDatabaseUnits(ExportSettings& s, double tlcScale);

}  // namespace gds
