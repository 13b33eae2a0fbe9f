// The state of one Go of the extractor: the drawing, the run switches, the tables of the cell being
// extracted with its shape model, the connector and pass-back tables, the symbol cells, the counts
// and the output files; and how the run talks to the user (operation and status lines, messages,
// yields and the Esc poll).
#pragma once
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "extract/model.h"
#include "extract/settings.h"
#include "extract/tables.h"
#include "platform/os/textfile.h"
#include "utilib/job.h"

namespace ext {

// DISPLAY1 items.
constexpr int kOperationItem = 500, kStatusItem = 501, kFirstCountItem = 510, kFirstMessageItem = 520;
constexpr int kMessageLines = 6;
constexpr int kYieldMs = 200;

struct ConnectorEntry {
  int record = 0;  // path record of the text
  std::int32_t x = 0, y = 0;
  int number = 0;
  NodeNumber node = 0;
};

struct PassBackEntry {
  int instance = 0;  // 1-based, in the cell's instance table
  std::int32_t x = 0, y = 0;
  int number = 0;
  NodeNumber node = 0;
};

constexpr int kMaxConnectors = 255;
constexpr int kMaxPassBack = 16383;

struct SymbolCell {
  int row = 0;
  std::string name;
};

// The counts of DISPLAY1 items 510..519.
struct NodeCounts {
  int instances = 0, smashed = 0, symbolInstances = 0;
  int named = 0, virtuals = 0, symbols = 0;
  int passNamed = 0, passVirtual = 0, passSymbol = 0;
};

// A text of a cell as the tracing sees it.
struct CellText {
  int record = 0;
  std::int32_t x = 0, y = 0;
  std::string chars;
};

// Characters of a text path: four in x and four in y of each character vertex, the first in the high
// byte, at most 64; "" for a path that is not a text.
std::string TextCharsOf(TraceTables& t, int path);
// Texts of a layer in path order, with their reference points.
std::vector<CellText> TextsOf(TraceTables& t, int layer);

class Extraction {
 public:
  Extraction(utilib::Job& job, Drawing& drawing, const RunSwitches& switches);

  utilib::Job& job;
  Drawing& drawing;
  RunSwitches sw;
  LayerRoles roles;
  TraceTables t;
  ShapeModel model;
  std::vector<ConnectorEntry> connectors;
  std::vector<PassBackEntry> passBack;
  std::vector<SymbolCell> symbols;
  NodeCounts counts;
  int errors = 0;
  NodeNumber lastVirtual = 0;
  bool areaChanged = false;  // a shape gained a node in the current sweep of the area pass
  std::set<int> inProgress;  // cell rows whose ExtractCircuit is running
  std::string date, time;  // "MM/DD/YY", "HH:MM:SS"

  os::TextWriter cir, nod;
  os::TextWriter* diag = nullptr;

  // The run must stop: aborted, or memory ran out.
  bool Stopped() const { return job.abort || t.memoryError || !t.damagedFile.empty(); }

  // ---- Talking to the user ----
  // The 200 ms yield, or with Fast Run the Esc poll ("Aborting ..." when the key is down).
  void Yield();
  void PollEscape();
  void ShowOperationLine(std::string_view text, bool yield);
  void ShowStatusLine(std::string_view text, bool yield);
  // A kind-1 message: report line and the next rotating line of DISPLAY1.
  void Message(std::string_view text);
  // A kind-1 message that counts as an error of the run.
  void Error(std::string_view text);
  void Box(std::string_view text);
  // A coordinate in user units.
  double User(std::int32_t v) const { return v / drawing.scale; }

  // ---- Nodes and texts of the cell in the tables ----
  std::string NodeName(NodeNumber node);
  std::vector<CellText> TextsOnLayer(int layer) { return TextsOf(t, layer); }
  NodeNumber Node(int id) {
    return model.IsBox(id) ? t.GetShapeField(kBoxNode, model.Record(id)) : t.GetTracePathField(kPathNode, model.Record(id));
  }
  void SetNode(int id, NodeNumber node) {
    if (model.IsBox(id)) t.SetShapeField(node, kBoxNode, model.Record(id));
    else t.SetTracePathField(node, kPathNode, model.Record(id));
  }
  // After a new load: names of path records and the shape model are stale.
  void ForgetNames() { names_.clear(); }
  // "Nodes %s and %s are Shorted" when the names differ: the giving shape's node first.
  void ReportShort(NodeNumber a, NodeNumber b);

  // ---- Texts of placed cells, read once per Go ----
  struct CellSummary {
    bool read = false;
    std::vector<CellText> connectors;
    std::vector<CellText> named;
  };
  const CellSummary& SummaryOf(int row);

 private:
  std::unordered_map<NodeNumber, std::string> names_;
  std::unordered_map<int, CellSummary> summaries_;
  std::unique_ptr<TraceTables> scratch_;
};

// The decimal number that starts at the first digit of a connector text; 0 without a digit.
int ConnectorNumber(std::string_view text);

}  // namespace ext
