#include "layerlogic/settings.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "editor/db/helpers.h"
#include "editor/tlc/run.h"
#include "editor/tlc/stream.h"
#include "utilib/job.h"
#include "utilib/layer_filter.h"
#include "utilib/setup_file.h"

namespace layerlogic {

namespace {

const char* const kDefaults[kSlots] = {
    "???", "???.TLC", "1", "2", "3", "1.", "0.", "1.", "0", "0", "100.", "100.", "0", kReportFile,
    "0",   "N",       "N", "N", "N", "N"};

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

std::size_t NameStart(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/:");
  return cut == std::string::npos ? 0 : cut + 1;
}

// Whole database units, at least one; far beyond any drawing is held at 2^23.
std::int32_t WholeUnits(double scale, double value) {
  double v = std::fabs(scale * value);
  if (!(v < db::kCoordinateLimit)) v = db::kCoordinateLimit;
  const std::int32_t n = db::RoundHalfAway(v);
  return n < 1 ? 1 : n;
}

}  // namespace

Resolution ComputeResolution(double scale, double mapResolution, double maxSegSize, double minBoxSize) {
  Resolution r;
  // A tile of 1024 pixels then still spans no more than the coordinates can hold.
  r.pixel = std::min(WholeUnits(scale, mapResolution), kMaxPixel);
  const std::int32_t polygon = WholeUnits(scale, maxSegSize);
  r.ratio = Clamp(polygon / r.pixel, 1, 100);
  double m = std::fabs(scale * minBoxSize);
  if (!(m < db::kCoordinateLimit)) m = db::kCoordinateLimit;
  r.minBox = db::RoundHalfAway(m);
  return r;
}

std::string OutputCellName(std::string_view path) {
  std::string p(path);
  std::string name = p.substr(NameStart(p));
  const std::size_t dot = name.find('.');
  if (dot != std::string::npos) name.resize(dot);
  return name;
}

void SetDefaults(Settings& s) {
  s.slots.assign(kDefaults, kDefaults + kSlots);
  s.fit.reset();
}

void Normalise(Settings& s, const Drawing& d) {
  auto& v = s.slots;
  v.resize(kSlots);
  const double u = d.scale > 0 ? d.scale : 1.0;

  v[kCell] = tlc::UpperCase(v[kCell]);
  if (!d.hasCell || !d.hasCell(v[kCell])) v[kCell] = "???";

  std::string& out = v[kOutput];
  out = tlc::UpperCase(out);
  const std::size_t start = NameStart(out);
  if (out.find('.', start) == std::string::npos) out += ".TLC";
  if (out[start] == '.') out.insert(start, "???");

  s.layerA = Clamp(tlc::ToInt(v[kLayerA]), 1, 64);
  s.layerB = Clamp(tlc::ToInt(v[kLayerB]), 0, 64);
  s.layerOut = Clamp(tlc::ToInt(v[kLayerOut]), 1, 64);
  v[kLayerA] = std::to_string(s.layerA);
  v[kLayerB] = std::to_string(s.layerB);
  v[kLayerOut] = std::to_string(s.layerOut);

  s.resolution = ComputeResolution(u, tlc::ToDouble(v[kMapResolution]), tlc::ToDouble(v[kMaxSegSize]),
                                   tlc::ToDouble(v[kMinBoxSize]));
  const Resolution& r = s.resolution;
  v[kMapResolution] = utilib::FormatLength(r.pixel / u, d.unit);
  v[kMinBoxSize] = utilib::FormatLength(r.minBox / u, d.unit);
  v[kMaxSegSize] = utilib::FormatLength(static_cast<double>(r.ratio) * r.pixel / u, d.unit);

  Window w;
  if (s.fit) {
    w = *s.fit;
    s.fit.reset();
  } else {
    w = {tlc::ToDouble(v[kLeft]), tlc::ToDouble(v[kBottom]), tlc::ToDouble(v[kRight]), tlc::ToDouble(v[kTop])};
  }
  if (!(w.right > w.left)) std::swap(w.left, w.right);
  if (!(w.top > w.bottom)) std::swap(w.bottom, w.top);
  s.window = w;
  v[kLeft] = utilib::FormatLength(w.left, d.unit);
  v[kBottom] = utilib::FormatLength(w.bottom, d.unit);
  v[kRight] = utilib::FormatLength(w.right, d.unit);
  v[kTop] = utilib::FormatLength(w.top, d.unit);

  int seconds = tlc::ToInt(v[kShowTime]);
  if (seconds < 0) seconds = 0;
  if (seconds > 2000000) seconds = 2000000;  // held where milliseconds still fit
  v[kShowTime] = std::to_string(seconds);
  s.showTimeMs = seconds * 1000;

  v[kReport] = tlc::UpperCase(v[kReport]);
  if (v[kReport].empty()) v[kReport] = kReportFile;

  // Only an edited set-up file can hold another operation; it is taken as AND.
  int op = tlc::ToInt(v[kOperation]);
  if (op < 0 || op > 2) op = 0;
  v[kOperation] = std::to_string(op);
  s.operation = static_cast<Operation>(op);

  auto yes = [&v](int slot) {
    const bool y = utilib::IsSettingYes(v[slot]);
    v[slot].assign(1, y ? 'Y' : 'N');
    return y;
  };
  s.notA = yes(kNotA);
  s.notB = yes(kNotB);
  s.notOut = yes(kNotOut);
  s.convertToPoly = yes(kConvertToPoly);
  s.reduceVertices = yes(kReduceVertices);
}

}  // namespace layerlogic
