// Settings of the GDSII to TLC importer: the set-up file's three groups as text, and the values the
// importer works with, taken from them when they are normalised.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "utilib/layer_filter.h"

namespace gds {

constexpr int kImportMainSlots = 16;
constexpr int kImportTextSlots = 24;
constexpr int kImportOmitSlots = 12;
constexpr const char* kImportSetupFile = "Strmimp.su6";
constexpr const char* kImportSetupVersion = "6.01";
constexpr const char* kImportProgram = "STRMIMP";
constexpr const char* kImportReport = "STRMIMP.RPT";

// One row of the text table: the TLC size of a GDSII text of a font or text type.
struct ImportTextRow {
  std::int32_t size = 15;  // database units
  int font = -1;           // -1: matches no font
  int textType = -1;       // -1: matches no text type
  bool mag = false;        // the size is multiplied by the text's MAG
  bool orientation = true;  // kept only; the orientation always comes from STRANS and ANGLE
  bool justification = true;  // the vertical justification moves the first line
};

struct ImportSettings {
  std::vector<std::string> main = std::vector<std::string>(kImportMainSlots);
  std::vector<std::string> text = std::vector<std::string>(kImportTextSlots);
  std::vector<std::string> omit = std::vector<std::string>(kImportOmitSlots);

  // Taken from the slots by NormaliseImport.
  std::string gdsFile;
  std::string gdsDrive, gdsFolder, gdsName;  // drive, folder and base name of the GDS file
  std::string tlcFolder;  // ends in "\"; ".\" for the current folder
  bool mil = false;       // physical unit "mil", else "um"
  double scale = 20;      // S, database units per physical unit
  utilib::LayerFilter layers;     // GDS layers 0..63
  utilib::LayerFilter dataTypes;  // GDS data types 0..63
  bool convertText = true;
  bool replaceOld = true;
  bool checkOpenPoly = true;
  bool defaultOptional = true;
  bool boundariesToBoxes = true;
  bool makeRef = true;
  bool makeNam = true;
  char newLine = '\r';  // CR, or LF
  int layer0To = 64;
  std::string reportFile;
  std::array<ImportTextRow, 4> rows;
  std::array<std::string, kImportOmitSlots> omitNames;  // non-empty ones are omitted

  const char* Unit() const { return mil ? "mil" : "um"; }
};

void SetImportDefaults(ImportSettings& s);
// Mode 0 the main group, 1 the text rows (they need the main group's scale), 2 the omit list.
void NormaliseImport(ImportSettings& s, int mode);
void NormaliseImportAll(ImportSettings& s);
// True when the structure is in the omit list (compared without regard to case).
bool IsOmittedStructure(const ImportSettings& s, std::string_view name);

}  // namespace gds
