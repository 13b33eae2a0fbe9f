#include "drc/settings.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "editor/db/cell_index.h"
#include "editor/db/helpers.h"
#include "editor/db/text_numbers.h"
#include "utilib/job.h"
#include "utilib/layer_filter.h"
#include "utilib/setup_file.h"

namespace drc {

namespace {

using utilib::UpperCase;

int Number(const std::string& text) { return db::LeadingInt(text); }
double Real(const std::string& text) { return std::atof(text.c_str()); }

// A count that must be positive; its default otherwise.
int Count(std::string& slot, int fallback) {
  int n = Number(slot);
  if (n <= 0) {
    n = fallback;
    slot = std::to_string(fallback);
  }
  return n;
}

bool Switch(std::string& slot) {
  bool on = !slot.empty() && std::toupper(static_cast<unsigned char>(slot[0])) == 'Y';
  slot.assign(1, on ? 'Y' : 'N');
  return on;
}

}  // namespace

void SetDefaults(DrcSettings& s) {
  s.slots = {"???", "???.DRC", "1", "1", "1", "", "", "", "", "0.", "0.", "100.", "100.",
             "Y", "Y", "Y", "10", "5", kReportFile};
  s.editorWindow = false;
  s.resume.assign(kResumeCount, "");
}

void DrcSettings::SetResumePoint(int lastMap) {
  resume = {(*this)[kStartCheck], (*this)[kAreaLeft], (*this)[kAreaBottom], std::to_string(lastMap)};
}

int DrcSettings::ResumedLastMap() const {
  return static_cast<int>(std::clamp<long long>(db::LeadingInt(resume[kResumeMap]), 0, kMostMapNumber));
}

Rounded RoundResolution(double resolution, double distance, double lambda, double scale) {
  Rounded r;
  const double unit = 1.0 / scale;
  r.resolution = db::RoundHalfAway(lambda * scale * resolution) / scale;
  if (r.resolution < unit) r.resolution = unit;
  r.distance = db::RoundHalfAway(distance / r.resolution * lambda) * r.resolution;
  if (r.distance < r.resolution) r.distance = 0;
  return r;
}

void NormaliseSettings(DrcSettings& s, const DrawingUnits& drawing) {
  const double u = drawing.scale > 0 ? drawing.scale : 20.0;
  auto length = [&](double v) { return utilib::FormatLength(v, drawing.unit); };

  UpperCase(s[kCell]);
  UpperCase(s[kCheckFile]);
  if (s[kCheckFile].find('.') == std::string::npos) s[kCheckFile] += ".DRC";
  if (drawing.index && db::FindCell(*drawing.index, s[kCell]) == 0)
    s[kCell] = "???";

  Count(s[kStartCheck], 1);
  Count(s[kFinishCheck], 1);
  s.pauseSeconds = Count(s[kPauseTime], 1);
  s.fileLimit = Count(s[kFileLimit], 10);

  s.lambda = std::clamp(std::fabs(Real(s[kLambda])), 0.01, 100.0);
  s[kLambda] = utilib::Format("%g", s.lambda);

  s.enablePause = Switch(s[kEnablePause]);
  s.enableScpy = Switch(s[kEnableScpy]);
  s.eraseReport = Switch(s[kEraseReport]);

  UpperCase(s[kReportName]);
  if (s[kReportName].empty()) s[kReportName] = kReportFile;

  // Without lambda: the run applies it once, to whatever resolution and distance it takes.
  const bool hasResolution = !s[kResolution].empty(), hasDistance = !s[kDistance].empty();
  const double resolution = hasResolution ? std::fabs(Real(s[kResolution])) : 1.0 / u;
  const Rounded r = RoundResolution(resolution, std::fabs(Real(s[kDistance])), 1.0, u);
  if (hasResolution) s[kResolution] = length(r.resolution);
  if (hasDistance) s[kDistance] = length(r.distance);

  if (s.editorWindow) {
    s.scanLeft = s.editorLeft, s.scanBottom = s.editorBottom;
    s.scanRight = s.editorRight, s.scanTop = s.editorTop;
    s.editorWindow = false;
  } else {
    s.scanLeft = Real(s[kScanLeft]), s.scanBottom = Real(s[kScanBottom]);
    s.scanRight = Real(s[kScanRight]), s.scanTop = Real(s[kScanTop]);
  }
  if (s.scanRight < s.scanLeft) std::swap(s.scanLeft, s.scanRight);
  if (s.scanTop < s.scanBottom) std::swap(s.scanBottom, s.scanTop);
  if (!(s.scanRight > s.scanLeft)) s.scanRight = s.scanLeft + 10 / u;
  if (!(s.scanTop > s.scanBottom)) s.scanTop = s.scanBottom + 10 / u;
  for (Setting f : {kAreaLeft, kAreaBottom})
    if (!s[f].empty()) s[f] = length(Real(s[f]));
  s[kScanLeft] = length(s.scanLeft);
  s[kScanBottom] = length(s.scanBottom);
  s[kScanRight] = length(s.scanRight);
  s[kScanTop] = length(s.scanTop);
  for (std::string& slot : s.slots) slot = slot.substr(0, utilib::kSlotLength);
}

void ApplyCommandLine(DrcSettings& s, const DrawingUnits& drawing, const std::vector<std::string>& args) {
  if (args.empty() || !drawing.index) return;
  std::string name = args[0].substr(0, db::kMaxCellNameLength);
  UpperCase(name);
  if (db::FindCell(*drawing.index, name) == 0) return;
  s[kCell] = name;
  if (args.size() >= 4) {
    const double x = Real(args[1]), y = Real(args[2]), w = Real(args[3]);
    s.editorWindow = true;
    s.editorLeft = x - w / 2;
    s.editorRight = x + w / 2;
    s.editorBottom = y - 0.4 * w;
    s.editorTop = y + 0.4 * w;
  }
  NormaliseSettings(s, drawing);
}

}  // namespace drc
