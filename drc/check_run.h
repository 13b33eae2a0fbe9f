// The check run behind Go: the checks of the check file from Start Check to Finish Check, each run
// over a grid of overlapping scan areas that covers the scan window, bottom row first, left to right.
// Neighbouring areas overlap by two guard bands, so that their guard-free windows meet edge to edge
// and every shape near an area's edge is mapped with a guard band of context. An area whose flags
// test finds a set pixel inside its guard window goes into the flag report.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "drc/check_file.h"
#include "drc/machine.h"
#include "drc/settings.h"

namespace drc {

struct ScanWindow {
  long long left = 0, bottom = 0, right = 0, top = 0;  // database units
};
ScanWindow ScanWindowOf(const DrcSettings& s, double scale);

// One check's lengths: its resolution and distance (or the set-up's, when given), lambda applied
// once. A check with OVRLAP has the guard band OVRLAP needs from its first area on.
CheckGeometry ComputeAreaGeometry(double resolution, double distance, double lambda, double scale, bool overlap);

// The first area's map origin: the set-up's Area Left and Area Bottom when given (an aborted run's
// resume point), else one guard band left of and below the scan window.
void StartPosition(const DrcSettings& s, const ScanWindow& w, const CheckGeometry& g, double scale,
                   long long& x0, long long& y0);

// Areas from (x, y) to the end of the scan window as the run walks them, at most 100000.
long CountRemainingAreas(const ScanWindow& w, const CheckGeometry& g, long long y, long long x);
// The same without the cap (held far below overflow).
long long CountAreas(const ScanWindow& w, const CheckGeometry& g, long long y, long long x);

// Pixels of at most this many database units, so that a map window spans a 32-bit range; rule
// distances of at most this many units.
constexpr double kMaxPixel = 2097151.0;
constexpr double kMaxDistance = 1073741824.0;
// A run of more areas than this asks before it starts.
constexpr long long kAskAreas = 20000;

// "" when the scan window, the start area (Area Left and Bottom when set) and one check's
// resolution and distance (user units, lambda not applied) fit the maps and the coordinates; else
// the message that refuses the run, `check` put before those of the check.
std::string CheckRunNumbers(const DrcSettings& s, double scale, const CheckGeometry& g, double resolution,
                            double distance, const std::string& check);

struct RunOutcome {
  int result = 0;  // 1 all checks ran; 0 the run stopped
  int runError = kRunOk;
  int totalFlags = 0;
};

// The run. `settings` take the resume point of an aborted run and lose their Area and Resolution
// fields as the checks use them. `tick` gives milliseconds (the progress lines' time estimate).
RunOutcome RunChecks(Machine& m, DrcSettings& settings, const DrawingUnits& drawing,
                     const std::function<std::uint32_t()>& tick);

}  // namespace drc
