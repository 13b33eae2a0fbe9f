#include "drc/machine.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <vector>

#include "drc/pcx.h"
#include "drc/settings.h"
#include "editor/db/text_numbers.h"
#include "editor/tlc/run.h"
#include "platform/os/path.h"

namespace drc {

namespace {

std::vector<std::string> Split(std::string_view line) {
  std::vector<std::string> pieces(1);
  for (char c : line) {
    if (c == ',') pieces.emplace_back();
    else pieces.back() += c;
  }
  return pieces;
}

using tlc::UpperCase;

constexpr long long kMostSpan = 1 << 20;

}  // namespace

std::string MapFileName(std::string_view cell, int check, int number) {
  return utilib::Format("%.*s_%d_%d.PCX", static_cast<int>(cell.size()), cell.data(), check, number);
}

int LastMapNumber(std::string_view cell, int check) {
  const std::string head = UpperCase(utilib::Format("%.*s_%d_", static_cast<int>(cell.size()), cell.data(), check));
  const std::string tail = ".PCX";
  int last = 0;
  // The pattern may catch more (a cell name holding a wildcard, "TOP_1_1_2.PCX" of cell TOP_1):
  // only the head, digits and the tail make a map file of this cell and check.
  for (const std::string& file : os::ListFiles(head + "*" + tail)) {
    const std::string name = UpperCase(file);
    if (name.size() <= head.size() + tail.size() || name.compare(0, head.size(), head) != 0 ||
        name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
      continue;
    const std::string digits = name.substr(head.size(), name.size() - head.size() - tail.size());
    std::int32_t n = 0;
    if (digits.find_first_not_of("0123456789") == std::string::npos && db::ParseInt32(digits, n) &&
        n <= kMostMapNumber)
      last = std::max(last, int(n));
  }
  return last;
}

Machine::Machine(db::Database& database, utilib::Job& j, CheckView& v, CheckMaps& m)
    : db(database), job(j), view(v), maps(m), raster(database) {
  raster.stop = [this] { return Stop(); };
}

bool Machine::Stop() { return utilib::PollEscape(job); }

void Machine::Status(const std::string& text) { utilib::RouteMessage(job, text, utilib::MessageKind::Item, kStatusItem); }

void Machine::MapInto(BitMap& target, int layer, const RasterModes& modes) {
  const int e = raster.MapLayer(target, layer, frame, modes);
  if (e != kRunOk) runError = e;
  ClearMapBorder(target);
}

void Machine::Store(const BitMap& m, int key) {
  if (slots.Store(m, key)) return;
  job.ui->Box(kProgram, "Map Storage Allocation Failed", tell::Buttons::Ok);
  job.abort = true;
}

void Machine::CloseMapper() {
  if (!mapperOpen) return;
  view.CloseMapper();
  mapperOpen = false;
}

void Machine::Show(std::string_view colour, std::string_view density) {
  if (!mapperOpen) {
    mapper = NewMapperPicture();
    mapperOpen = true;
  }
  PaintMapperMap(mapper, maps.display, DspColour(colour), int(db::LeadingInt(density)),
                 geometry.GuardPixels());
  const double u = scale;
  const char* n = unit.c_str();
  view.ShowMapper(mapper, utilib::Format("Cell: %s   Check %d: %s", cellName.c_str(), checkNumber, title.c_str()),
                  utilib::Format("Area: L=%g%s B=%g%s R=%g%s T=%g%s    Res= %g%s  Dist= %g%s  Lambda= %g",
                                 double(frame.x0) / u, n, double(frame.y0) / u, n, double(frame.x1) / u, n,
                                 double(frame.y1) / u, n, geometry.resolution, n, geometry.distance, n, lambda));
}

void Machine::Copy() {
  // Only what an area has shown can be copied; an area without a map keeps "Map Not Copied".
  if (!enableScpy || copies >= fileLimit || !mapperOpen || mapNumber >= kMostMapNumber) return;
  const std::string file = MapFileName(cellName, checkNumber, mapNumber + 1);
  Status(utilib::Format("Copying Map to %s ...", file.c_str()));
  if (!WritePcxMap(file, mapper, 0, 0, kMapperWidth, kMapperHeight)) {
    job.ui->Box(kProgram, "Can't Open Map File", tell::Buttons::Ok);
    return;
  }
  ++mapNumber;
  ++copies;
  mapName = file;
}

int Machine::ExecOperator(std::string_view line) {
  const std::vector<std::string> pieces = Split(line);
  const std::string name = UpperCase(pieces[0]);
  if (name.size() < 3) return -1;
  // Argument i (1-based); an empty piece counts as missing.
  auto arg = [&](std::size_t i) -> std::optional<int> {
    if (i >= pieces.size() || pieces[i].empty()) return std::nullopt;
    return int(db::LeadingInt(pieces[i]));
  };
  auto text = [&](std::size_t i) -> std::string_view {
    return i < pieces.size() ? std::string_view(pieces[i]) : std::string_view();
  };
  auto layer = [&](int low) -> std::optional<int> {
    auto n = arg(1);
    if (!n || *n < low || *n > 64) return std::nullopt;
    return n;
  };
  BitMap& R = maps.R;
  BitMap& S = maps.S;

  if (name == "MAP") {
    auto n = layer(0);
    if (!n) return -1;
    Status(utilib::Format("Mapping %d ...", *n));
    if (*n == 0) {
      Store(R, 1);
      return 1;
    }
    // The rasteriser draws into T alone, so R and S come through unchanged.
    MapInto(maps.T, *n, {});
    if (runError == kRunOk) Store(maps.T, *n + 1);
    return 1;
  }
  if (name == "MAPR") {
    Status("Mapping R ...");
    Store(R, 1);
    return 1;
  }
  if (name == "JRC" || name == "JR0") {
    Status("Checking R ...");
    return IsMapNotEmpty(R);
  }
  if (name == "JRS" || name == "JR1") {
    Status("Checking R ...");
    return IsMapNotFull(R);
  }
  if (name == "TESTR" || name == "JRN" || name == "JNR") {
    Status("Testing R ...");
    const int f = TestFlags(R, geometry.GuardPixels());
    checkFlags += f;
    totalFlags += f;
    if (f) {
      flagged = true;
      Status("Reporting ...");
    }
    return f ? 1 : 0;
  }
  if (name == "PUSH") {
    if (!arg(1)) return -1;
    Status(utilib::Format("Pushing %s ...", std::string(text(1)).c_str()));
    CopyMap(S, R);
    slots.Load(R, MapSlots::Key(text(1)));
    return 1;
  }
  if (name == "POPR") {
    Status("Poping R ...");
    CopyMap(R, S);
    return 1;
  }
  if (name == "PUSHR") {
    Status("Pushing R ...");
    CopyMap(S, R);
    slots.Load(R, 1);
    return 1;
  }
  if (name == "EXPR" || name == "EXPRS" || name == "GAGR" || name == "GAGRS") {
    const bool two = name.back() == 'S';
    const bool expand = name[0] == 'E';
    const int k = arg(1).value_or(expand && !two ? -1 : 1);
    Status(std::string(expand ? "Expanding R" : "Gauging R") + (two ? ",S ..." : " ..."));
    // Spans past the map's size mark and grow no differently; held there, they cannot overflow.
    const int n = static_cast<int>(std::clamp<long long>(static_cast<long long>(geometry.baseSpan) + k, -kMostSpan, kMostSpan));
    if (expand) ExpandMap(maps, two, n, [this] { return Stop(); });
    else GaugeMap(maps, two, n);
    return 1;
  }
  if (name == "NOTR") {
    Status("NOTing R ...");
    NotMap(R);
    ClearMapBorder(R);
    return 1;
  }
  if (name == "ANDRS" || name == "ORRS" || name == "XORRS") {
    Status(name == "ANDRS" ? "ANDing R,S..." : name == "ORRS" ? "ORing R,S..." : "XORing R,S...");
    if (name == "ANDRS") AndMaps(R, S);
    else if (name == "ORRS") OrMaps(R, S);
    else XorMaps(R, S);
    ClearMapBorder(R);
    return 1;
  }
  if (name == "SWPRS" || name == "SWAPRS") {
    Status("Swapping R,S...");
    SwapMaps(R, S);
    ClearMapBorder(R);
    ClearMapBorder(S);
    return 1;
  }
  if (name == "CLR" || name == "CLRR") {
    Status("Clearing R ...");
    ClearMap(R);
    return 1;
  }
  if (name == "STR" || name == "SETR") {
    Status("Setting R ...");
    FillMap(R);
    ClearMapBorder(R);
    return 1;
  }
  if (name == "DSP") {
    if (!arg(1)) return -1;
    if (slots.Load(maps.T, MapSlots::Key(text(1)))) CopyMap(maps.display, maps.T);
    Show(text(2), text(3));
    return 1;
  }
  if (name == "DSPR" || name == "DSPS") {
    CopyMap(maps.display, name == "DSPR" ? R : S);
    Show(text(1), text(2));
    return 1;
  }
  if (name == "DBLR") {
    Status("Doubling R ...");
    DoubleMap(R);
    return 1;
  }
  if (name == "PAUSE") {
    if (enablePause) utilib::ShowPause(job, pauseSeconds * 1000);
    return 1;
  }
  if (name == "HCPY" || name == "SCPY") {
    Copy();
    return 1;
  }
  if (name == "OVRLAP") {
    auto n = layer(1);
    if (!n) return -1;
    Status(utilib::Format("OverLapping %d ...", *n));
    // The check's guard band and steps were set for OVRLAP before its first area.
    side = geometry.P;
    RasterModes overlap;
    overlap.overlap = &R;
    MapInto(maps.T, *n, overlap);
    DoubleMap(R);
    ClearMapBorder(R);
    CopyMap(S, maps.T);
    return 1;
  }
  if (name == "SIZE") {
    auto n = layer(1);
    if (!n) return -1;
    Status(utilib::Format("Sizing %d ...", *n));
    RasterModes squares;
    squares.fixedSize = true;
    squares.side = static_cast<std::int32_t>(side);
    MapInto(maps.G1, *n, squares);
    if (runError == kRunOk && !job.abort) MapInto(maps.T, *n, {});
    CopyMap(R, maps.G1);
    XorMaps(R, maps.T);
    DoubleMap(R);
    ClearMapBorder(R);
    CopyMap(S, maps.T);
    return 1;
  }
  return -1;
}

}  // namespace drc
