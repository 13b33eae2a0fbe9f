// The extractor's settings: the slots of its set-up file "Merockt.su6" with their defaults and
// normalisers, and the run switches and trace table a Go takes from them.
#pragma once
#include <array>
#include <string>
#include <vector>

namespace ext {

constexpr const char* kProgramName = "MEROCKT";
constexpr const char* kSetupFile = "Merockt.su6";
constexpr const char* kSetupVersion = "6.03";
constexpr const char* kReportDefault = "MEROCKT.RPT";
constexpr const char* kCompareReportDefault = "NLC.RPT";
constexpr const char* kCompareReportEmpty = "NODECOMP.ERR";

// Slots of group 1 (SETUP1, items 100..115).
enum Setup1Slot {
  kCellName = 0, kAliasFile, kHeaderFile, kFooterFile,
  kNamedLayer, kConnectorLayer, kDeviceLayer, kParameterLayer,
  kOpens, kShorts, kFloats, kDevice, kVirtual, kCounts,
  kVirtualPrefix, kReportName,
  kSetup1Slots
};
// Group 2 (SETUP2, items 200..204; 203 has no control).
enum Setup2Slot { kFirstList = 0, kBaseName, kSecondList, kUnusedSlot, kCompareReport, kSetup2Slots };
// Group 3 (TRACE): conductor rows, their capacitances, insulator rows 1-4, insulator row 5 and the
// Capacitance switch.
constexpr int kConductorSlot = 0, kCapacitanceSlot = 5, kInsulatorSlot = 10, kInsulator5Slot = 14,
              kCapacitanceSwitch = 15, kTraceSlots = 16;
// Group 4 (SMASH): ten cell names in memory, the first eight in the file.
constexpr int kSmashSlots = 10, kSmashFileSlots = 8;
constexpr std::size_t kSmashNameLength = 32;

constexpr int kTraceRows = 5;
constexpr int kRowPlaces = 8;

// Conductor rows C1..C5 and insulator rows I1..I5 of layer numbers (0 = an empty place).
struct TraceTable {
  std::array<std::array<int, kRowPlaces>, kTraceRows> conductors{};
  std::array<std::array<int, kRowPlaces>, kTraceRows> insulators{};
  std::array<double, kTraceRows> capacitance{};  // per conductor row
};

struct ExtractorSettings {
  std::vector<std::string> setup1;
  std::vector<std::string> setup2;
  std::vector<std::string> trace;
  std::vector<std::string> smash;   // the eight slots the file keeps
  std::array<std::string, kSmashSlots - kSmashFileSlots> smashExtra;  // never shown, never saved
  bool fastRun = false;             // lives in memory only
  TraceTable traceTable;            // parsed from `trace` by the normaliser

  ExtractorSettings();
};

// Groups 0..3 as the dialogs normalise them after OK (0 also at start-up and before every write).
void NormaliseSettings(ExtractorSettings& s, int group);
// A text-layer setting: its leading number limited to 1..64.
int ClampLayer(int n);
// Rows of layer numbers separated by blanks or commas, at most eight a row; capacitances as decimals.
void ParseTraceTable(ExtractorSettings& s);
TraceTable ParseTraceRows(const std::vector<std::string>& trace);

// What one Go runs with.
struct RunSwitches {
  std::string cellName;
  std::string aliasFile, headerFile, footerFile;
  int namedLayer = 60, connectorLayer = 61, deviceLayer = 62, parameterLayer = 63;
  bool opens = true, shorts = true, floats = true, device = true, virtuals = false, counts = false;
  bool capacitance = true;
  bool fastRun = false;
  std::string virtualPrefix = "VN";
  std::string reportName = kReportDefault;
  std::array<std::string, kSmashSlots> smash;  // upper case
  TraceTable trace;
};
RunSwitches MakeRunSwitches(const ExtractorSettings& s);

}  // namespace ext
