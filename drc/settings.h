// The checker's settings ("Merodrc.su6"): nineteen slots of text, their defaults and the normaliser
// that keeps them in their normal forms, and the editor's command line preset.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace db {
struct CellIndex;
}

namespace drc {

inline constexpr const char* kProgram = "MERODRC";
inline constexpr const char* kSetupFile = "Merodrc.su6";
inline constexpr const char* kSetupVersion = "6.01";
inline constexpr const char* kReportFile = "MERODRC.RPT";
inline constexpr const char* kHelpFile = "MERODRC.HPV";
inline constexpr int kSettingCount = 19;

enum Setting {
  kCell = 0,
  kCheckFile,
  kStartCheck,
  kFinishCheck,
  kLambda,
  kResolution,
  kDistance,
  kAreaLeft,
  kAreaBottom,
  kScanLeft,
  kScanBottom,
  kScanRight,
  kScanTop,
  kEnableScpy,
  kEnablePause,
  kEraseReport,
  kFileLimit,
  kPauseTime,
  kReportName,
};

enum ResumeSlot { kResumeCheck = 0, kResumeLeft, kResumeBottom, kResumeMap };
inline constexpr int kResumeCount = 4;
// Map files are numbered up to this; names with more digits are no map file of a run.
inline constexpr int kMostMapNumber = 999999999;

// What the normaliser needs of the drawing folder; no index (before it was read) leaves the cell
// name unchecked.
struct DrawingUnits {
  double scale = 20.0;  // database units per user unit (u)
  std::string unit;     // "um", "mil"
  db::CellIndex* index = nullptr;
};

struct DrcSettings {
  std::vector<std::string> slots = std::vector<std::string>(kSettingCount);
  // A scan window from the editor's view or from Fit, in user units: the next normalisation writes it
  // into the four Scan fields.
  bool editorWindow = false;
  double editorLeft = 0, editorBottom = 0, editorRight = 0, editorTop = 0;

  // Normalised values.
  double lambda = 1;
  int fileLimit = 10;
  int pauseSeconds = 5;
  bool enableScpy = true, enablePause = true, eraseReport = true;
  double scanLeft = 0, scanBottom = 0, scanRight = 100, scanTop = 100;  // user units

  // Where the last stopped run left off, as it wrote Start Check, Area Left and Area Bottom, and the
  // number of its last map file of that check; all empty when there is none. A Go that starts there
  // with those fields unchanged resumes that run, keeping its report and its map files. The set-up
  // file keeps it after the reader pairs, so that it holds when the program is started again.
  std::vector<std::string> resume = std::vector<std::string>(kResumeCount);
  bool Resuming() const {
    const std::vector<std::string>& v = slots;
    return !resume[kResumeCheck].empty() && v[kStartCheck] == resume[kResumeCheck] &&
           v[kAreaLeft] == resume[kResumeLeft] && v[kAreaBottom] == resume[kResumeBottom];
  }
  // The fields as they are now are the resume point; `lastMap` numbers the run's last map file of
  // the check it would resume.
  void SetResumePoint(int lastMap);
  // 0..kMostMapNumber.
  int ResumedLastMap() const;

  std::string& operator[](Setting s) { return slots[static_cast<std::size_t>(s)]; }
  const std::string& operator[](Setting s) const { return slots[static_cast<std::size_t>(s)]; }
};

// Resolution, Distance, Area Left and Area Bottom start empty, so that a check's own values and the
// full scan window hold until the user sets them.
void SetDefaults(DrcSettings& s);
// Every slot to its normal form, and the values from them.
void NormaliseSettings(DrcSettings& s, const DrawingUnits& drawing);
// The editor starts the checker with the open cell's name and its view (centre x, centre y, width in
// user units): the cell becomes the one to check when the index has it, and then the view sets the
// scan window (80% of the width high). `args` are the words after the program's path.
void ApplyCommandLine(DrcSettings& s, const DrawingUnits& drawing, const std::vector<std::string>& args);

// The rounding of resolution and distance (user units): the resolution to whole database units, at
// least one; the distance to whole pixels of that resolution, 0 when below one pixel. Lambda scales
// both first.
struct Rounded {
  double resolution = 0;
  double distance = 0;
};
Rounded RoundResolution(double resolution, double distance, double lambda, double scale);

}  // namespace drc
