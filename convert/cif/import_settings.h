// Settings of the CIF to TLC importer: the set-up file's 12 slots and five text templates as text,
// and the values the importer works with, taken from them when they are normalised.
#pragma once
#include <string>
#include <vector>

namespace cif {

constexpr int kImportSlots = 12;
constexpr const char* kImportSetupFile = "Calimp.su6";
constexpr const char* kImportSetupVersion = "6.01";
constexpr const char* kImportProgram = "CALIMP";
constexpr const char* kImportReport = "CALIMP.RPT";

// Slots of the importer's set-up (SETUP items 100 + slot).
enum ImportSlot : int {
  kImpCifFile = 0,
  kImpCellFile = 1,
  kImpLayerFile = 2,
  kImpTlcFolder = 3,
  kImpScale = 4,
  kImpNameDigit = 5,
  kImpCloseOpenPoly = 6,
  kImpInlinePaths = 7,
  kImpMakeRef = 8,
  kImpTemplate = 9,
  kImpTextSize = 10,
  kImpReportFile = 11,
};

struct ImportSettings {
  std::vector<std::string> slots = std::vector<std::string>(kImportSlots);
  std::vector<std::string> templates;  // the five last text templates

  // Taken from the slots by NormaliseImport.
  std::string cifFile;
  std::string cellFile;   // "": names from the CIF file itself
  std::string layerFile;  // the CIF file itself when the slot is empty
  std::string tlcFolder;  // ends in "\"
  double scale = 20;      // S, TLC units per micrometre; 0: each symbol's own CIF scale
  char nameDigit = '9';   // 0: no cell-name commands
  bool closeOpenPoly = false;
  bool inlinePaths = false;
  bool makeRef = true;
  std::string textTemplate;
  double textSize = 10;  // micrometres
  std::string reportFile;
};

void SetImportDefaults(ImportSettings& s);
void NormaliseImport(ImportSettings& s);

}  // namespace cif
