// Drawing folders for the extractor's tests: cells written as the editor writes them, a process of
// poly (layer 1) under metal (layer 3) joined through contacts (layer 2), and a Go whose files are
// read back with LF line ends.
#pragma once
#include <string>
#include <vector>

#include "editor/db/tests/drawing_folder.h"
#include "editor/tlc/tests/drawing_fixture.h"
#include "extract/extraction.h"
#include "extract/netlist.h"
#include "extract/settings.h"
#include "platform/tell/recorder.h"

namespace exttest {

constexpr int kPoly = 1, kContact = 2, kMetal = 3;
constexpr int kNamed = 60, kConnector = 61, kDeviceName = 62, kParameter = 63;

db::BoxRecord Box(int layer, std::int32_t l, std::int32_t b, std::int32_t r, std::int32_t t);
tlctest::PathSpec Text(int layer, std::int32_t x, std::int32_t y, std::string chars);
tlctest::PathSpec Wire(int layer, std::int32_t width, std::vector<std::pair<std::int32_t, std::int32_t>> points);
tlctest::RefSpec Ref(std::string cell, std::int32_t x, std::int32_t y, int orientation = 0);
tlctest::CellSpec Cell(std::string name, int rank, std::int32_t l = -10, std::int32_t b = -10, std::int32_t r = 10,
                       std::int32_t t = 10);

// A four-terminal device cell: connectors 1 to 4 at the top, left, bottom and right of its outline.
tlctest::CellSpec Transistor(std::string name);
// A global symbol: a rank-1 cell whose only text names a node.
tlctest::CellSpec Symbol(std::string name, std::string node);

struct Folder : dbtest::DrawingFolder {
  Folder();
  // Writes the drawing (scale 1 unless given) and reads it as the program does at start-up.
  void Make(const std::vector<tlctest::CellSpec>& cells, double scale = 1, const std::string& extraForm = "");

  ext::ExtractorSettings settings;
  ext::Drawing drawing;
  tell::Recorder ui;
  utilib::Job job{"MEROCKT", ui};
  int errors = 0;

  // Normalises the settings with the cell name and runs Go.
  int Go(const std::string& cell);
  // A file of the folder with CR LF read as LF ("" when it is missing).
  std::string Text(const std::string& name) const;
  std::string Cir(const std::string& cell) const { return Text(cell + ".CIR"); }
  std::string Nod(const std::string& cell) const { return Text(cell + ".NOD"); }
  std::string Report() const { return Text("Merockt.rpt"); }
  // Lines of the .CIR without its title and the blank lines.
  std::vector<std::string> Cards(const std::string& cell) const;
  std::vector<std::string> Boxes() const { return ui.EventsOf("box"); }
};

// An extraction over the folder's drawing for calling single steps of the pipeline.
struct Steps {
  explicit Steps(Folder& f);
  ext::Extraction x;
  // Loads the cell's geometry and instances, builds the shape model.
  void Load(const std::string& cell);
  // The node of box b (1-based) or path p, and its name.
  ext::NodeNumber BoxNode(int b) { return x.t.GetShapeField(ext::kBoxNode, b); }
  ext::NodeNumber PathNode(int p) { return x.t.GetTracePathField(ext::kPathNode, p); }
  std::string BoxName(int b) { return x.NodeName(BoxNode(b)); }
  std::string PathName(int p) { return x.NodeName(PathNode(p)); }
  // Runs the tracing steps of the pipeline from SeedNamedNodes to SeedVirtualAreaNodes.
  void Trace();
};

}  // namespace exttest
