#include "extract/netlist.h"

#include <set>
#include <unordered_set>

#include "editor/db/helpers.h"
#include "editor/db/hierarchy.h"
#include "editor/db/settings.h"
#include "editor/tlc/cell_files.h"
#include "editor/tlc/writer.h"
#include "extract/connectors.h"
#include "extract/devices.h"
#include "extract/diagnostics.h"
#include "extract/node_list.h"
#include "extract/trace.h"
#include "platform/os/textfile.h"

namespace ext {

namespace {

constexpr int kWrapColumn = 64;

// Marks a row as being extracted for as long as its ExtractCircuit runs.
struct InProgress {
  std::set<int>& rows;
  int row;
  InProgress(std::set<int>& rows, int row) : rows(rows), row(row) { rows.insert(row); }
  ~InProgress() { rows.erase(row); }
};

void ZeroCellCounts(Extraction& x) { x.counts = {}; }

// The .SUBCKT line: one port per connector number, in ascending order, as every placement of the
// cell writes them; a port whose connectors found no node gets a name of its own.
void WriteSubcircuitLine(Extraction& x, const std::string& name, InstanceTexts& texts) {
  std::string head = "\n.SUBCKT " + name;
  x.cir.Write(head);
  int column = static_cast<int>(head.size());
  const auto& table = x.connectors;
  for (std::size_t i = 0; i < table.size();) {
    std::size_t j = i;
    NodeNumber node = 0;
    for (; j < table.size() && table[j].number == table[i].number; ++j)
      if (node == 0) node = table[j].node;
    std::string port = x.NodeName(node);
    if (node == 0) {
      x.Error(utilib::Format("Device Definition Node Name %d is Unknown", table[i].number));
      port.assign(1, '?');
      port += std::to_string(table[i].number);
    }
    column = WrapSpiceLine(x, column, static_cast<int>(port.size()));
    x.cir.Write(" " + port);
    i = j;
  }
  std::string own = texts.Collect(x, x.sw.parameterLayer, 0, true, false);
  own = ResolveParameters(x, own);
  if (!own.empty() && own[0] != ' ' && own[0] != '\n') own.insert(own.begin(), ' ');
  x.cir.Write(own + "\n");
}

bool OpenOutput(Extraction& x, os::TextWriter& w, const std::string& path) {
  if (w.Open(path)) return true;
  utilib::RouteMessage(x.job, utilib::Format("Unable to Open %s ... Can't Continue", path.c_str()),
                       utilib::MessageKind::ReportAndBox, 0);
  return false;
}

}  // namespace

int WrapSpiceLine(Extraction& x, int column, int length) {
  if (column + length <= kWrapColumn) return column + length;
  x.cir.Write("\n+ ");
  return 2 * length;
}

void CopyIncludeFile(Extraction& x, std::string_view name) {
  std::string bytes;
  if (name.empty() || !os::ReadWholeFile(name, bytes)) return;
  std::string text;
  text.reserve(bytes.size());
  for (char c : bytes)
    if (c != '\r') text += c;
  // A last card without its line end would run into the closing comment.
  if (!text.empty() && text.back() != '\n') text += '\n';
  const std::string n(name);
  x.cir.Write("\n* START OF " + n + "\n");
  x.cir.Write(text);
  x.cir.Write("* END OF " + n + "\n");
}

void MeasureShapeAreas(Extraction& x) {
  const ShapeModel& m = x.model;
  for (int id = 0; id < m.Count(); ++id) {
    double area = 0;
    if (x.roles.conductor[m.layer[id]] && (m.kind[id] == ShapeKind::Box || m.kind[id] == ShapeKind::Area))
      area = OutlineArea(m.outline[id]);
    if (m.IsBox(id)) x.t.SetShapeArea(area, m.Record(id));
    else x.t.SetTracePathArea(area, m.Record(id));
  }
}

double SumNodeCapacitance(Extraction& x, const std::string& name) {
  const ShapeModel& m = x.model;
  double total = 0;
  for (int id = 0; id < m.Count(); ++id) {
    const int layer = m.layer[id];
    if (!x.roles.conductor[layer] || m.kind[id] == ShapeKind::Text) continue;
    const double area = m.IsBox(id) ? x.t.GetShapeArea(m.Record(id)) : x.t.GetTracePathArea(m.Record(id));
    if (area == 0 || x.NodeName(x.Node(id)) != name) continue;
    const int row = x.roles.ConductorRowOf(layer);
    total += area * (row >= 0 ? x.sw.trace.capacitance[row] : 0.0);
    if (m.IsBox(id)) x.t.SetShapeArea(0, m.Record(id));
    else x.t.SetTracePathArea(0, m.Record(id));
  }
  return total;
}

void WriteParasiticCaps(Extraction& x) {
  x.cir.Write("\n* PARASITIC CAPS\n");
  std::unordered_set<std::string> connected;
  for (const PassBackEntry& e : x.passBack) connected.insert(x.NodeName(e.node));
  const ShapeModel& m = x.model;
  std::unordered_set<std::string> done;
  // Every node with conductor area, in the order its first shape stands: a node without a connector
  // or without capacitance is passed over, and the ones after it still get theirs.
  for (int id = 0; id < m.Count() && !x.Stopped(); ++id) {
    if (!x.roles.conductor[m.layer[id]] || m.kind[id] == ShapeKind::Text) continue;
    const double area = m.IsBox(id) ? x.t.GetShapeArea(m.Record(id)) : x.t.GetTracePathArea(m.Record(id));
    if (area == 0) continue;
    const std::string name = x.NodeName(x.Node(id));
    if (!done.insert(name).second || !connected.count(name)) continue;
    const double total = SumNodeCapacitance(x, name) / x.drawing.scale / x.drawing.scale;
    if (name == "0" || name == "00" || name == "000" || total == 0) continue;
    x.cir.Printf("C_%s %s 0 %gpF\n", name.c_str(), name.c_str(), total);
  }
}

int ExtractCircuit(Extraction& x, int n, int row, bool main) {
  if (x.Stopped()) return -1;
  db::CellIndex& index = x.drawing.index;
  if (row < 1 || row > index.count) return 0;
  if (index.rows[row].flags & (kWrittenBit | kSymbolCellBit)) return 0;
  // A damaged index that places a cell inside itself must not recurse forever.
  if (x.inProgress.count(row)) {
    x.Error(utilib::Format("Cell %s is Placed inside Itself", index.rows[row].name.c_str()));
    return 0;
  }
  InProgress guard(x.inProgress, row);
  const std::string name = index.rows[row].name;

  bool rankTold = false;
  for (int i = 1; i <= n; ++i) {
    const PlacedInstance inst = x.t.FetchInstance(x.drawing, i);
    if (inst.row == 0 || index.rows[inst.row].refCount == 0) continue;
    // A cell placing itself or one of its own rank is not followed into.
    if (!db::RankAllowsPlacement(index.rows[row].Rank(), inst.rank)) {
      if (!rankTold)
        x.Error(utilib::Format("%s ... %s Placed in %s", db::kRankErrorText, inst.name.c_str(), name.c_str()));
      rankTold = true;
      continue;
    }
    if (index.rows[inst.row].flags & (kWrittenBit | kSymbolCellBit)) continue;  // nothing more to write
    x.t.LoadInstances(x.drawing, inst.row);
    const int r = ExtractCircuit(x, x.t.instanceCount(), inst.row, false);
    x.t.LoadInstances(x.drawing, row);
    if (r == -1 || x.Stopped()) return -1;
  }

  x.job.ui->SetDisplayTitle(utilib::Format("Analyzing %s ...", name.c_str()));
  if (n == 0) return 0;
  utilib::ReportPrintf(x.job, main ? "\n[MAIN CIRCUIT] %s\n" : "\n[SUBCKT] %s\n",
                       main ? x.sw.cellName.c_str() : name.c_str());

  FreePassBackTable(x);
  ZeroCellCounts(x);
  x.lastVirtual = 0;
  utilib::ClearMessageLines(x.job, kMessageLines - 1, kFirstMessageItem);

  x.ShowOperationLine("Searching for Devices ...", true);
  x.counts.instances = n;
  ShowNodeCounts(x);
  for (int k = 1; k <= n && !x.Stopped(); ++k) CollectInstanceConnectors(x, k, x.t.FetchInstance(x.drawing, k));
  if (x.Stopped()) return -1;

  if (x.sw.floats) x.ShowOperationLine("Checking for Floating Devices ...", true);
  for (int k = 1; k <= n && !x.Stopped(); ++k) CheckFloatingInstance(x, k);
  if (x.Stopped()) return -1;

  x.ShowOperationLine("Searching for Named Nodes ...", true);
  if (x.t.LoadCellGeometry(x.drawing, row) != 0 && !x.Stopped())
    x.Error(utilib::Format("%s.BP6 is Missing", name.c_str()));
  if (x.t.truncated) x.Error(utilib::Format("Object Limit Exceeded in %s", name.c_str()));
  if (x.Stopped()) return -1;

  const int boxesBefore = x.t.boxCount, pathsBefore = x.t.pathCount;
  for (int k = 1; k <= n && !x.Stopped(); ++k) {
    const PlacedInstance inst = x.t.FetchInstance(x.drawing, k);
    if (inst.symbol) ++x.counts.symbolInstances;
    if (inst.symbol || !inst.unconnected || !IsSmashCell(x, inst.row)) continue;
    x.t.LoadPlacedGeometry(x.drawing, inst.row, inst.x, inst.y, inst.orientation);
    ++x.counts.smashed;
  }
  if (x.Stopped()) return -1;
  if (x.t.truncated) x.Error(utilib::Format("Object Limit Exceeded in %s", name.c_str()));
  if (x.t.boxCount > boxesBefore || x.t.pathCount > pathsBefore)
    x.Message(utilib::Format("Cells Smashed to %d Boxes and %d Polygons", x.t.boxCount - boxesBefore,
                             x.t.pathCount - pathsBefore));
  PrepareTracing(x);

  SeedNamedNodes(x);
  x.ShowOperationLine("Searching for Symbol Nodes ...", true);
  SeedSymbolNodes(x);
  ShowNodeCounts(x);
  if (x.Stopped()) return -1;

  const std::pair<const char*, void (*)(Extraction&)> tracing[] = {
      {"Searching for Connectors ...", CollectConnectors},
      {"Connecting Named Line Nodes ...", [](Extraction& e) { ConnectLineNodes(e, 0); }},
      {"Connecting Virtual Line Nodes ...", SeedVirtualLineNodes},
      {"Connecting Named Nodes ...", [](Extraction& e) { ConnectAreaNodes(e, 0); }},
      {"Connecting Virtual Nodes ...", SeedVirtualAreaNodes},
  };
  for (const auto& [line, step] : tracing) {
    x.ShowOperationLine(line, true);
    step(x);
    if (x.Stopped()) return -1;
  }

  CheckMissingNodes(x);
  AssignConnectorNodes(x);
  if (x.Stopped()) return -1;

  x.ShowOperationLine("Assigning Nodes to Connectors ...", true);
  AssignPassBackNodes(x);
  SortPassBack(x);
  AssignSymbolPassBack(x, n);
  MergeSameConnectorNodes(x);
  ResolveVirtualPassBack(x);
  if (x.Stopped()) return -1;

  x.ShowOperationLine("Reconnecting Named Nodes ...", true);
  ConnectAreaNodes(x, 0);
  CountPassBackKinds(x);
  ShowNodeCounts(x);
  if (x.Stopped()) return -1;

  if (x.sw.opens) {
    x.ShowOperationLine("Checking for Open Connectors ...", false);
    CheckOpenConnectors(x);
  }
  if (x.sw.shorts) {
    x.ShowOperationLine("Checking for Shorted Connectors ...", false);
    CheckShortedConnectors(x);
  }
  if (x.sw.virtuals) {
    x.ShowOperationLine("Checking for Virtual Nodes ...", false);
    ReportVirtualNodes(x);
  }
  if (x.Stopped()) return -1;

  x.ShowOperationLine("Writing Device Statements ...", true);
  InstanceTexts texts;
  texts.Build(x);
  if (main) {
    x.nod.Printf("\n[%s]", x.sw.cellName.c_str());
    x.cir.Printf("\n*MAIN CIRCUIT %s\n", x.sw.cellName.c_str());
  } else {
    index.rows[row].flags |= kWrittenBit;
    x.nod.Printf("\n[%s]", name.c_str());
    WriteSubcircuitLine(x, name, texts);
  }
  for (int k = 1; k <= n && !x.Stopped(); ++k) WriteDeviceStatement(x, texts, k);
  if (x.Stopped()) return -1;

  if (x.sw.capacitance) {
    x.ShowOperationLine("Writing Parasitic Capacitors ...", true);
    MeasureShapeAreas(x);
    WriteParasiticCaps(x);
    if (x.Stopped()) return -1;
  }
  if (x.sw.counts) WriteCountLine(x);
  if (!main) x.cir.Write(".ENDS\n");

  if (x.diag && x.diag->IsOpen()) {
    x.diag->Printf("\n%s Entries=%d", name.c_str(), static_cast<int>(x.passBack.size()));
    DumpPassBackTable(x);
    x.diag->Printf("\n%s", name.c_str());
    DumpNodeTables(x);
    x.diag->Printf("\n%s", name.c_str());
    DumpConnectorTable(x);
  }

  x.ShowOperationLine("Sorting Node List ...", true);
  SortNodeList(x);
  x.ShowOperationLine("Writing Node List ...", true);
  WriteNodeList(x, texts);
  if (x.Stopped()) return -1;
  ZeroCellCounts(x);
  return n;
}

int RunExtraction(Extraction& x) {
  utilib::Job& job = x.job;
  x.errors = 0;
  x.t.memoryError = false;
  x.t.damagedFile.clear();
  job.abort = false;
  FreePassBackTable(x);
  (void)job.ui->IsEscapePressed();  // a press from before Go does not stop it
  x.inProgress.clear();

  db::CellIndex& index = x.drawing.index;
  for (int row = 0; row <= index.count; ++row) index.rows[row].flags &= ~kRunBits;

  tlc::TlcHeader now;
  tlc::StampNow(now);
  x.date = now.date;
  x.time = now.time;
  const char* date = x.date.c_str();
  const char* time = x.time.c_str();

  const std::string report = db::ProperCasePath(x.sw.reportName);
  if (!utilib::OpenReport(job, report)) {
    utilib::RouteMessage(job, utilib::Format("Unable to Open %s ... Can't Continue", report.c_str()),
                         utilib::MessageKind::ReportAndBox, 0);
    return 2;
  }

  FindSymbolCells(x);
  if (job.abort) return 0;
  if (x.t.memoryError) {
    x.Box("Fatal Memory Error ... Can't Continue");
    return 0;
  }
  if (!x.t.damagedFile.empty()) {
    x.Box(utilib::Format("%s is Damaged ... Can't Continue", x.t.damagedFile.c_str()));
    return 0;
  }
  // Nothing can be written for a cell the index lacks: a failed run, not a completed one.
  const int top = FindTopCell(index, x.sw.cellName);
  if (top == 0) {
    utilib::RouteMessage(job, utilib::Format("%s is not in CELLS6.DBD", x.sw.cellName.c_str()),
                         utilib::MessageKind::ReportAndBox, 0);
    return 0;
  }

  utilib::ReportPrintf(job, "*** Compile Error List for %s made by MEROCKT on %s %s ***\n", x.sw.cellName.c_str(),
                       date, time);
  if (!OpenOutput(x, x.nod, x.sw.cellName + ".NOD") || !OpenOutput(x, x.cir, x.sw.cellName + ".CIR")) return 2;
  x.nod.Printf("*** Node List of %s made by MEROCKT on %s %s ***\n", x.sw.cellName.c_str(), date, time);
  x.cir.Printf("*** SPICE Circuit File of %s made by MEROCKT on %s %s ***\n", x.sw.cellName.c_str(), date, time);

  CopyIncludeFile(x, x.sw.headerFile);
  int result = 0;
  if (index.rows[top].refCount != 0 || (index.rows[top].flags & 15) > 1) {
    x.t.LoadInstances(x.drawing, top);
    result = ExtractCircuit(x, x.t.instanceCount(), top, true);
    if (result == -1) job.abort = true;
  }
  if (result != -1) {
    CopyIncludeFile(x, x.sw.footerFile);
    x.cir.Write(".END\n");
  }
  if (x.t.memoryError) {
    x.Box("Fatal Memory Error ... Can't Continue");
    return 0;
  }
  if (!x.t.damagedFile.empty()) {
    x.Box(utilib::Format("%s is Damaged ... Can't Continue", x.t.damagedFile.c_str()));
    return 0;
  }
  return job.abort ? 0 : 1;
}

std::string ReadDrawingFolder(Drawing& drawing) {
  if (!tlc::ReadPoolFolder("", drawing.files.form.poolFolder)) return "FORM.DBD is Missing";
  const int index = db::ReadCellIndex(drawing.index);
  if (index == 0) return "CELLS6.DBD is Missing";
  if (index < 0) return "CELLS6.DBD is Damaged";
  db::DatabaseScale scale;
  if (!db::ReadDatabaseScale(scale)) return "CONSTS6.DBD is Missing";
  drawing.scale = scale.scale;
  drawing.scaleDamaged = scale.damaged;
  return "";
}

int GoExtraction(utilib::Job& job, Drawing& drawing, const ExtractorSettings& settings, int& errors) {
  os::TextWriter diag;
  diag.Open(db::ProperCasePath(kDiagnosticFile));
  Extraction x(job, drawing, MakeRunSwitches(settings));
  x.diag = &diag;
  const int result = RunExtraction(x);
  CloseRunFiles(x);
  if (diag.IsOpen()) diag.Commit();
  errors = x.errors;
  x.t.FreeExtractorPages();
  FreePassBackTable(x);
  return result;
}

void CloseRunFiles(Extraction& x) {
  if (x.cir.IsOpen()) x.cir.Commit();
  if (x.nod.IsOpen()) x.nod.Commit();
}

}  // namespace ext
