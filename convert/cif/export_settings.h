// Settings of the TLC to CIF exporter: the set-up file's 13 slots and five text templates as text,
// and the values the exporter works with, taken from them when they are normalised.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace cif {

constexpr int kExportSlots = 13;
constexpr const char* kExportSetupFile = "Calexp.su6";
constexpr const char* kExportSetupVersion = "6.01";
constexpr const char* kExportProgram = "CALEXP";
constexpr const char* kExportReport = "CALEXP.RPT";
constexpr const char* kHelpFile = "CALCONV.HPV";

// Slots of the exporter's set-up (SETUP items 100 + slot).
enum ExportSlot : int {
  kExpMainTlc = 0,
  kExpLayerFile = 1,
  kExpCifFile = 2,
  kExpGrid = 3,
  kExpLambda = 4,
  kExpIncludeMeroText = 5,
  kExpProtocol = 6,
  kExpPathsToPoly = 7,
  kExpIntersections = 8,
  kExpTemplate = 9,
  kExpNameDigit = 10,
  kExpResolution = 11,
  kExpReportFile = 12,
};

struct ExportSettings {
  std::vector<std::string> slots = std::vector<std::string>(kExportSlots);
  std::vector<std::string> templates;  // the five last text templates

  // Taken from the slots by NormaliseExport.
  std::string tlcDrive, tlcFolder, mainCell, tlcExtension;
  std::string mainFile;  // slot 0 as normalised
  std::string layerFile;
  std::string cifFile;
  double grid = 0;  // micrometres per CIF unit; 0: from the TLC scale at Go
  double lambda = 1.0;
  bool includeMeroText = true;
  bool protocol = true;
  bool pathsToPoly = false;
  bool intersections = true;
  std::string textTemplate;
  std::string nameDigit;  // "" or one digit
  double resolution = 0.05;  // physical units
  std::string reportFile;
};

void SetExportDefaults(ExportSettings& s);
void NormaliseExport(ExportSettings& s);

// A grid in micrometres brought into 0.01 .. 10 and to a multiple of 0.01.
double BoundGrid(double grid);
// The part of the file name from its first "." replaced by `extension`, or `extension` appended.
std::string ReplaceExtension(std::string_view path, std::string_view extension);

}  // namespace cif
