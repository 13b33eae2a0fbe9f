// CONSTS6.DBD: the settings of a drawing folder, their defaults and the layer colour letters.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace db {

constexpr int kRanks = 15;
constexpr int kGridSlots = 10;
constexpr int kSavedWindows = 10;
constexpr int kReaderPairs = 10;
constexpr int kRememberedCommands = 16;
constexpr int kPrintColors = 22;
constexpr std::uint64_t kAllLayers = ~std::uint64_t{0};

// The first lines every program reads (ReadDatabaseScale): their defaults and widths. The unit name
// crosses from program to program in TLC headers, whose readers keep 5 characters; every program keeps
// that many, so a drawing and its own TLC files always name the same unit.
constexpr std::string_view kDefaultVersion = "6.05";
constexpr double kDefaultScale = 20;
constexpr std::string_view kDefaultUnit = "um";
constexpr std::size_t kVersionLength = 5;
constexpr std::size_t kUnitNameLength = 5;
// What every program tells the user when the scale is no usable number and kDefaultScale stands in.
constexpr std::string_view kDamagedScaleText = "CONSTS6.DBD Scale is Damaged ... Using 20";

// Field widths: what a text setting keeps of a longer line.
constexpr std::size_t kColorLettersLength = 65;  // "x" and 64 letters
constexpr std::size_t kLayerListLength = 63;
constexpr std::size_t kObjectKindLength = 63;
constexpr std::size_t kArcDirectionLength = 7;
constexpr std::size_t kThirdTextLength = 63;
constexpr std::size_t kReaderEntryLength = 64;
constexpr std::size_t kCommandLineLength = 79;

// The stored view of one cell rank.
struct RankView {
  int workGrid = 1;  // index 1..10 into the working grids
  int dotGrid = 1;
  int dotShown = 0;
  std::int32_t width = 1024;
  std::int32_t centreX = 0;
  std::int32_t centreY = 0;
  std::string viewList = "1-64";
  std::string openList = "1-64";
  std::uint64_t viewMask = kAllLayers;  // row bitmaps of the layer table
  std::uint64_t openMask = kAllLayers;
};

struct SavedWindow {
  double width = 100;
  double centreX = 0;
  double centreY = 0;
};

struct ReaderEntry {
  std::string program;
  std::string file;
};

struct Settings {
  std::string version{kDefaultVersion};  // as read; files are always written as 6.05
  double scale = kDefaultScale;           // database units per physical unit
  std::string unitName{kDefaultUnit};
  std::string colorLetters = DefaultColorLetters();  // "x" then the letters of layers 1..64
  std::array<int, 64> layerFills{};
  std::array<int, 64> layerDashes{};
  std::array<int, 64> layerPalette{};  // palette index of each layer, from the letters
  std::array<std::int32_t, kGridSlots + 1> workGrids = DefaultGrids(20);  // slot 0: the Ctrl grid
  std::array<std::int32_t, kGridSlots + 1> dotGrids = DefaultGrids(20);
  std::array<RankView, kRanks + 1> rankViews;  // ranks 1..15

  // "*16 ints"
  int pathWidth = 0;
  int textSize = 15;
  int cWidth = 0;
  int cSize = 0;
  int layer = 1;
  int textLayer = 1;
  int resolution = 1000;
  int arcSegments = 16;
  int tlcOnSave = 0;
  int modeWord = 214;
  int depth = 15;
  int layerSelectionByTable = 1;
  int resSet = 1;

  std::array<SavedWindow, kSavedWindows> savedWindows;

  // "*16 doubles"
  double resizeFactor = 1;
  double rotAngle = 0;
  double oversize = 0;
  double resOhms = 2500;
  double capPf = 0.0001;
  double printScale = 25400;
  double printShiftX = 0;
  double printShiftY = 0;

  // "*8 strings"
  std::string addKind = "B";
  std::string arcDirection = "cw";
  std::string thirdText = ".";

  std::array<ReaderEntry, kReaderPairs> readers = DefaultReaders();
  std::array<std::string, kRememberedCommands> commands;
  std::array<std::uint32_t, kPrintColors> printColors = DefaultPrintColors();  // r + 256 g + 65536 b

  static std::string DefaultColorLetters();
  static std::array<std::int32_t, kGridSlots + 1> DefaultGrids(double scale);
  static std::array<ReaderEntry, kReaderPairs> DefaultReaders();
  static std::array<std::uint32_t, kPrintColors> DefaultPrintColors();
};

// Every default, the grid slots 0 included (a default-made Settings holds them too); the layers'
// palette indexes belong to the palette and are left alone.
void SetDefaultSettings(Settings& s);
// Palette index of a colour letter, -1 for a letter without one; and the letter of an index.
int PaletteOfLetter(char letter);
char GetLayerColorLetter(const Settings& s, int layer);  // "w" when the index has no letter
void SetLayerColorByLetter(Settings& s, char letter, int layer);
void ApplyColorLetters(Settings& s);
void StoreColorLetters(Settings& s);

constexpr std::string_view kSettingsFile = "CONSTS6.DBD";

// Lines 1 to 3 of CONSTS6.DBD: all that the utilities need of it, and the editor's first settings.
// A line the file lacks gives the default.
struct DatabaseScale {
  std::string version{kDefaultVersion};  // up to kVersionLength characters
  double scale = kDefaultScale;          // database units per physical unit
  std::string unit{kDefaultUnit};        // up to kUnitNameLength characters
  // The scale line is missing or holds no usable number, and `scale` is kDefaultScale: the caller
  // shows kDamagedScaleText.
  bool damaged = false;
};

// A scale every length in user units can be divided by and multiplied with: a number from kMinScale
// to kMaxScale. Its reciprocal is finite, and the "%g" text it is written back as reads as usable
// again; 0, a negative, no number and one beyond a double ("1e999") are not.
constexpr double kMinScale = 1e-300;
constexpr double kMaxScale = 1e300;
bool UsableScale(double scale);

// The one reader of those lines for every program. 1 read; 0 missing, and `out` is left as it was.
int ReadDatabaseScale(DatabaseScale& out, std::string_view path = kSettingsFile);

// 1 read and ended by "end"; -1 read but the closing "end" is not in its place; 0 missing.
// Values that the file does not reach (a file that ends early) keep what they were, but for the
// first three lines, which are read as ReadDatabaseScale reads them; `scaleDamaged` (when given)
// tells whether the scale fell back to kDefaultScale.
int ReadSettingsFile(Settings& s, std::string_view path = kSettingsFile, bool* scaleDamaged = nullptr);
// StoreColorLetters, then the whole file; 1, or 0 when it cannot be written.
int WriteSettingsFile(Settings& s, std::string_view path = kSettingsFile);

}  // namespace db
