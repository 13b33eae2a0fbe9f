// The layer-logic program's settings ("Meroll.su6"): twenty slots, their defaults and the normaliser
// that turns them into the run's parameters in database units.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace layerlogic {

inline constexpr const char* kProgram = "MEROLL";
inline constexpr const char* kSetupFile = "Meroll.su6";
inline constexpr const char* kSetupVersion = "6.02";
inline constexpr const char* kReportFile = "MEROLL.RPT";
inline constexpr const char* kHelpFile = "MEROLL.HPV";
inline constexpr int kSlots = 20;

enum Slot {
  kCell = 0,
  kOutput,
  kLayerA,
  kLayerB,
  kLayerOut,
  kMapResolution,
  kMinBoxSize,
  kMaxSegSize,
  kLeft,
  kBottom,
  kRight,
  kTop,
  kShowTime,
  kReport,
  kOperation,
  kNotA,
  kNotB,
  kNotOut,
  kConvertToPoly,
  kReduceVertices,
};

enum class Operation { And = 0, Or = 1, Xor = 2 };

// What the normaliser needs of the drawing folder.
struct Drawing {
  double scale = 20.0;     // database units per user unit (u)
  std::string unit = "um";
  bool scaleDamaged = false;  // CONSTS6.DBD's scale was no usable number: 20 stands in
  // True when the cell is in the cell index.
  std::function<bool(std::string_view)> hasCell;
};

// A scan window from Fit, in user units.
struct Window {
  double left = 0, bottom = 0, right = 0, top = 0;
};

constexpr std::int32_t kMaxPixel = 16384;

// Map, polygon and box sizes in whole database units.
struct Resolution {
  std::int32_t pixel = 1;  // P = round(u x Map Resolution), at least 1
  int ratio = 1;           // polygon resolution / pixel size, 1..100
  std::int32_t minBox = 0; // 0: no test
};

// Rounds the three lengths as the settings keep them; from whole database units, so that a
// resolution of 0.29 at 100 units per um is 29 units and not 28.
Resolution ComputeResolution(double scale, double mapResolution, double maxSegSize, double minBoxSize);

struct Settings {
  std::vector<std::string> slots = std::vector<std::string>(kSlots);
  // Set by Fit: the next normalisation takes the window from here.
  std::optional<Window> fit;

  // Normalised values.
  int layerA = 1, layerB = 2, layerOut = 3;
  Resolution resolution;
  Window window;  // ordered, in user units
  int showTimeMs = 0;
  Operation operation = Operation::And;
  bool notA = false, notB = false, notOut = false, convertToPoly = false, reduceVertices = false;

  const std::string& Cell() const { return slots[kCell]; }
  const std::string& OutputFile() const { return slots[kOutput]; }
  const std::string& ReportFile() const { return slots[kReport]; }
};

void SetDefaults(Settings& s);
// Every slot to its normal form and the parameters from them.
void Normalise(Settings& s, const Drawing& drawing);

// The output file's name without folder and extension: the header's cell name.
std::string OutputCellName(std::string_view path);

}  // namespace layerlogic
