// A drawing folder made for a test: cells written as TLC and read in by the editor's TLCIN, the
// settings file with the scale, and a reader of what the layer-logic run writes.
#pragma once
#include <string>
#include <vector>

#include "editor/db/database.h"
#include "editor/db/tests/drawing_folder.h"
#include "editor/tlc/records.h"
#include "layerlogic/run.h"
#include "platform/tell/recorder.h"

namespace lltest {

struct Cell {
  Cell(std::string name, int rank, std::vector<tlc::TlcBox> boxes = {})
      : name(std::move(name)), rank(rank), boxes(std::move(boxes)) {}
  std::string name;
  int rank = 1;
  std::vector<tlc::TlcBox> boxes;
  std::vector<tlc::TlcPath> paths;
  std::vector<tlc::TlcCellRef> refs;
};

// What a run wrote, read back.
struct Output {
  std::vector<tlc::TlcBox> boxes;
  std::vector<tlc::TlcPath> polygons;
  std::vector<std::string> header;  // the ten lines of "=H", empty when there is none
  bool headerLast = false;          // nothing follows the header
};

Output ReadOutput(const std::string& text);

// Records the map window and answers the rounding warnings from a list (then Ignore).
class RecordingView : public layerlogic::RunView {
 public:
  std::vector<std::string> events;
  std::vector<layerlogic::RoundingAnswer> answers;
  void ShowMap(const drc::BitMap& map, std::string_view area) override;
  void CloseMap() override { events.push_back("close map"); }
  layerlogic::RoundingAnswer AskRounding(std::string_view text) override;
};

struct Folder : dbtest::DrawingFolder {
  // Writes the cells as TLC, reads them in, and writes FORM.DBD and CONSTS6.DBD.
  void Make(const std::vector<Cell>& cells, double scale = 20, const std::string& unit = "um");

  // After Make: the drawing as the program loads it.
  db::Database database;
  layerlogic::Drawing drawing;
  layerlogic::Settings settings;
  tell::Recorder ui;
  utilib::Job job{"MEROLL", ui};
  RecordingView view;
  layerlogic::RunOutcome outcome;

  // Normalises `settings` with the typed slots and runs Go.
  int Go(const std::vector<std::pair<int, std::string>>& typed);
};

}  // namespace lltest
