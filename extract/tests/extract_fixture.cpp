#include "extract/tests/extract_fixture.h"

#include <cstdlib>
#include <sstream>

#include "extract/connectors.h"
#include "extract/trace.h"

namespace exttest {

db::BoxRecord Box(int layer, std::int32_t l, std::int32_t b, std::int32_t r, std::int32_t t) {
  return {layer, l, b, r, t};
}

tlctest::PathSpec Text(int layer, std::int32_t x, std::int32_t y, std::string chars) {
  tlctest::PathSpec p;
  p.layer = layer;
  p.width = 15;
  p.text = true;
  p.points = {{x, y}};
  p.chars = std::move(chars);
  return p;
}

tlctest::PathSpec Wire(int layer, std::int32_t width, std::vector<std::pair<std::int32_t, std::int32_t>> points) {
  return tlctest::Path(layer, width, std::move(points));
}

tlctest::RefSpec Ref(std::string cell, std::int32_t x, std::int32_t y, int orientation) {
  tlctest::RefSpec r;
  r.cell = std::move(cell);
  r.x = x;
  r.y = y;
  r.orientation = orientation;
  return r;
}

tlctest::CellSpec Cell(std::string name, int rank, std::int32_t l, std::int32_t b, std::int32_t r, std::int32_t t) {
  return tlctest::Cell(std::move(name), rank, l, b, r, t);
}

tlctest::CellSpec Transistor(std::string name) {
  tlctest::CellSpec c = Cell(std::move(name), 1);
  c.paths = {Text(kConnector, 0, 10, "1"), Text(kConnector, -10, 0, "2"), Text(kConnector, 0, -10, "3"),
             Text(kConnector, 10, 0, "4")};
  c.boxes = {Box(kPoly, -10, -1, 10, 1)};
  return c;
}

tlctest::CellSpec Symbol(std::string name, std::string node) {
  tlctest::CellSpec c = Cell(std::move(name), 1, -5, -5, 5, 5);
  c.paths = {Text(kNamed, 0, 0, std::move(node))};
  return c;
}

Folder::Folder() {
  setenv("MERO_NOW", "2024-03-07 13:05:59", 1);
  // The test process: poly under metal, contacts between them.
  settings.trace[ext::kConductorSlot] = "1";
  settings.trace[ext::kConductorSlot + 1] = "3";
  settings.trace[ext::kInsulatorSlot] = "2";
  settings.trace[ext::kCapacitanceSwitch] = "N";
  ext::NormaliseSettings(settings, 2);
}

void Folder::Make(const std::vector<tlctest::CellSpec>& cells, double scale, const std::string& extraForm) {
  tlctest::WriteDrawingFolder(folder + "/", cells, scale, "um", extraForm);
  const std::string message = ext::ReadDrawingFolder(drawing);
  if (!message.empty()) std::abort();
}

int Folder::Go(const std::string& cell) {
  settings.setup1[ext::kCellName] = cell;
  ext::NormaliseSettings(settings, 0);
  const int result = ext::GoExtraction(job, drawing, settings, errors);
  utilib::CloseReport(job);
  return result;
}

std::string Folder::Text(const std::string& name) const {
  std::string bytes;
  if (!os::ReadWholeFile(Path(name), bytes)) return "";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i)
    if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) out += bytes[i];
  return out;
}

std::vector<std::string> Folder::Cards(const std::string& cell) const {
  std::istringstream in(Cir(cell));
  std::vector<std::string> out;
  std::string line;
  std::getline(in, line);  // the title
  while (std::getline(in, line))
    if (!line.empty()) out.push_back(line);
  return out;
}

Steps::Steps(Folder& f) : x(f.job, f.drawing, ext::MakeRunSwitches(f.settings)) {}

void Steps::Load(const std::string& cell) {
  const int row = ext::FindTopCell(x.drawing.index, cell);
  x.t.LoadInstances(x.drawing, row);
  x.t.LoadCellGeometry(x.drawing, row);
  ext::PrepareTracing(x);
}

void Steps::Trace() {
  ext::SeedNamedNodes(x);
  ext::SeedSymbolNodes(x);
  ext::CollectConnectors(x);
  ext::ConnectLineNodes(x, 0);
  ext::SeedVirtualLineNodes(x);
  ext::ConnectAreaNodes(x, 0);
  ext::SeedVirtualAreaNodes(x);
}

}  // namespace exttest
