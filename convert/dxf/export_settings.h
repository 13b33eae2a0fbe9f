// Settings of the TLC to DXF exporter: the set-up file's slots as text, and the values the exporter
// works with, taken from them when they are normalised.
#pragma once
#include <string>
#include <vector>

namespace dxf {

// The set-up file keeps 110 slot lines; only the first ten hold settings.
constexpr int kExportSlots = 110;
constexpr int kExportUsedSlots = 10;
constexpr const char* kExportSetupFile = "Xchexp.su6";
constexpr const char* kExportSetupVersion = "6.00";
constexpr const char* kExportProgram = "XCHEXP";
constexpr const char* kExportReport = "XCHEXP.RPT";

struct ExportSettings {
  std::vector<std::string> slots = std::vector<std::string>(kExportSlots);

  // Taken from the slots by NormaliseExport.
  std::string tlcDrive;   // "D:" or ""
  std::string tlcFolder;  // "\WORK\" or ""
  std::string mainCell;
  std::string mainFile;  // the main TLC file as normalised
  std::string dxfFile;
  std::string prefix;  // DXF layer names are the prefix and the TLC layer number
  bool convertText = true;
  bool includeLastVertex = false;
  bool widthInVertex = false;
  bool pathsToPolygons = false;
  bool inlineEnds = true;
  bool properPolylines = true;
  std::string reportFile;
};

void SetExportDefaults(ExportSettings& s);
void NormaliseExport(ExportSettings& s);

// The part of a file name from its first "." (in the name, not the folders) replaced by `extension`,
// or `extension` appended when there is none.
std::string ForceExtension(const std::string& path, const char* extension);

}  // namespace dxf
