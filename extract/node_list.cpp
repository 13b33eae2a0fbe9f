#include "extract/node_list.h"

#include <strings.h>

#include <algorithm>
#include <map>
#include <unordered_map>
#include <unordered_set>

#include "editor/db/helpers.h"
#include "editor/tlc/run.h"
#include "editor/tlc/writer.h"
#include "extract/devices.h"
#include "platform/os/textfile.h"

namespace ext {

namespace {

constexpr int kItemLine = 64;
constexpr std::size_t kConnectionSpace = 2047;
constexpr const char* kCompareCaption = "Nodelist Compare";

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    std::size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t') ++i;
    if (i > start) out.push_back(text.substr(start, i - start));
  }
  return out;
}

}  // namespace

void ShowNodeCounts(Extraction& x) {
  const NodeCounts& c = x.counts;
  const int entries = static_cast<int>(x.passBack.size());
  const int values[10] = {c.instances - c.smashed - c.symbolInstances,
                          c.named,
                          c.virtuals,
                          c.symbols,
                          c.named + c.virtuals + c.symbols,
                          entries,
                          c.passNamed,
                          c.passVirtual,
                          c.passSymbol,
                          c.passNamed + c.passVirtual + c.passSymbol};
  for (int i = 0; i < 10; ++i) utilib::SetItemNumber(x.job, values[i], kFirstCountItem + i);
  x.Yield();
}

void WriteCountLine(Extraction& x) {
  const NodeCounts& c = x.counts;
  utilib::ReportPrintf(x.job, "D=%d  NN=%d NV=%d NS=%d NT=%d  CC=%d CN=%d CV=%d CS=%d CT=%d",
                       c.instances - c.smashed - c.symbolInstances, c.named, c.virtuals, c.symbols,
                       c.named + c.virtuals + c.symbols, static_cast<int>(x.passBack.size()), c.passNamed,
                       c.passVirtual, c.passSymbol, c.passNamed + c.passVirtual + c.passSymbol);
}

void SortNodeList(Extraction& x) {
  auto& table = x.passBack;
  // Names ranked once, so the exchange sort (whose order of equal names shows in the list) compares
  // numbers.
  std::vector<std::string> names;
  names.reserve(table.size());
  for (const PassBackEntry& e : table) names.push_back(x.NodeName(e.node));
  std::vector<std::string> sorted = names;
  std::sort(sorted.begin(), sorted.end());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  std::vector<int> rank(table.size());
  for (std::size_t i = 0; i < table.size(); ++i)
    rank[i] = static_cast<int>(std::lower_bound(sorted.begin(), sorted.end(), names[i]) - sorted.begin());
  for (std::size_t i = 0; i < table.size(); ++i)
    for (std::size_t j = i + 1; j < table.size(); ++j)
      if (rank[i] > rank[j]) {
        std::swap(table[i], table[j]);
        std::swap(rank[i], rank[j]);
      }
}

void WriteNodeList(Extraction& x, InstanceTexts& texts) {
  std::string previous;
  bool first = true;
  int onLine = 0;
  for (const PassBackEntry& e : x.passBack) {
    if (x.Stopped()) return;
    const std::string name = x.NodeName(e.node);
    if (first || name != previous) {
      x.nod.Printf("\n%s:\n", name.c_str());
      onLine = 0;
      previous = name;
      first = false;
    } else if (onLine > kItemLine) {
      x.nod.Write("\n");
      onLine = 0;
    }
    std::string device = texts.Collect(x, x.sw.deviceLayer, e.instance, false, false);
    device = device.substr(0, device.find_first_of(" \n"));
    const std::string item = " " + device + "." + std::to_string(e.number) + " ";
    x.nod.Write(item);
    onLine += static_cast<int>(item.size());
  }
  x.nod.Write("\n::\n");
}

namespace {

// One circuit of a node list: its nodes in file order, each with its connection text.
struct NodeSection {
  struct Node {
    std::string line;  // "A:"
    std::string text;  // the connections, as read
  };
  std::vector<Node> nodes;  // the closing "::" last
};

class Comparison {
 public:
  Comparison(utilib::Job& job, const CompareSettings& s, int& errors) : job_(job), s_(s), errors_(errors) {}
  int Run();

 private:
  void Message(const std::string& text) {
    int item = utilib::NextMessageLine(job_, kCompareLines, kCompareFirstLine);
    if (item == kCompareFirstLine + kCompareLines - 1) item = 614;  // the tenth line of the display
    utilib::RouteMessage(job_, text, utilib::MessageKind::ReportAndItem, item);
  }
  bool Header(const std::string& line, bool& opens) const;
  bool FindSection(const std::string& file);
  // Reads the circuit's nodes; false after the connection space ran out (the run is aborted).
  bool ReadSection(const std::string& file, NodeSection& out);
  void CompareSection(const NodeSection& a, const NodeSection& b);

  utilib::Job& job_;
  const CompareSettings& s_;
  int& errors_;
};

bool Comparison::Header(const std::string& line, bool& opens) const {
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return false;
  // The circuit opens at every header that begins with the base name: "INV" opens "[INVX]" too.
  const std::string name = line.substr(1, line.size() - 2);
  opens = name.size() >= s_.baseName.size() &&
          strncasecmp(name.c_str(), s_.baseName.c_str(), s_.baseName.size()) == 0;
  return true;
}

bool Comparison::FindSection(const std::string& file) {
  os::TextReader in;
  if (!in.Open(file)) {
    Message(utilib::Format("%s is Missing", file.c_str()));
    return false;
  }
  std::string line;
  bool opens = false;
  while (in.ReadLine(line))
    if (Header(line, opens) && opens) return true;
  Message(utilib::Format("Nodelist of %s is not in %s", s_.baseName.c_str(), file.c_str()));
  return false;
}

bool Comparison::ReadSection(const std::string& file, NodeSection& out) {
  out.nodes.clear();
  os::TextReader in;
  if (!in.Open(file)) return true;
  std::string line;
  bool inside = false;
  NodeSection::Node* open = nullptr;
  while (in.ReadLine(line)) {
    bool opens = false;
    if (Header(line, opens)) {
      inside = opens;
      open = nullptr;
      continue;
    }
    if (!inside) continue;
    if (!line.empty() && line.back() == ':') {
      out.nodes.push_back({line, {}});
      open = &out.nodes.back();
    } else if (!line.empty() && line[0] == ' ' && open) {
      if (open->text.size() + line.size() > kConnectionSpace) {
        job_.ui->Box(kCompareCaption,
                            utilib::Format("Out of Connection Space in Circuit %s Node %s", s_.baseName.c_str(),
                                           open->line.c_str()),
                            tell::Buttons::Ok);
        job_.abort = true;
        return false;
      }
      open->text += line;
    }
  }
  return true;
}

void Comparison::CompareSection(const NodeSection& a, const NodeSection& b) {
  // Where each connection stands first in B, and B's connections upper-cased with their node.
  std::unordered_map<std::string, std::size_t> firstNode;
  std::unordered_set<std::string> upper;
  auto key = [](std::size_t node, const std::string& word) { return std::to_string(node) + ' ' + word; };
  firstNode.reserve(4 * b.nodes.size());
  upper.reserve(4 * b.nodes.size());
  for (std::size_t i = 0; i < b.nodes.size(); ++i)
    for (const std::string& w : Words(b.nodes[i].text)) {
      firstNode.emplace(w, i);
      upper.insert(key(i, tlc::UpperCase(w)));
    }
  for (const NodeSection::Node& node : a.nodes) {
    if (job_.abort) return;
    const std::vector<std::string> connections = Words(node.text);
    if (connections.empty()) continue;
    auto found = firstNode.find(connections[0]);
    const bool known = found != firstNode.end();
    const std::string expected = known ? b.nodes[found->second].line : "?";
    for (const std::string& c : connections) {
      const std::string u = tlc::UpperCase(c);
      if (known && upper.count(key(found->second, u))) continue;
      Message(utilib::Format("Connection %s on Node %s is not on expected Node %s", u.c_str(), node.line.c_str(),
                             expected.c_str()));
      ++errors_;
      break;
    }
  }
}

int Comparison::Run() {
  errors_ = 0;
  job_.rotatingCounter = 0;
  tlc::TlcHeader now;
  tlc::StampNow(now);
  if (!utilib::OpenReport(job_, db::ProperCasePath(s_.errorFile))) return 0;
  utilib::ReportPrintf(job_, "*** Node Compare Error List made by MEROCKT on %s %s ***\n\n", now.date.c_str(),
                       now.time.c_str());
  if (s_.baseName.empty()) {
    job_.ui->Box(kCompareCaption, "Circuit Base Name is Needed", tell::Buttons::Ok);
    return 0;
  }
  if (!FindSection(s_.firstFile) || !FindSection(s_.secondFile)) return 0;
  NodeSection first, second;
  if (!ReadSection(s_.firstFile, first) || !ReadSection(s_.secondFile, second)) return 0;
  const std::string forward = utilib::Format("Comparing %s to %s", s_.firstFile.c_str(), s_.secondFile.c_str());
  utilib::RouteMessage(job_, forward, utilib::MessageKind::ReportAndItem, kCompareFirstItem);
  CompareSection(first, second);
  if (job_.abort) return 0;
  utilib::ClearMessageLines(job_, kCompareLines - 1, kCompareFirstLine);
  utilib::SetItemText(job_, "", 614);
  const std::string backward = utilib::Format("Comparing %s to %s", s_.secondFile.c_str(), s_.firstFile.c_str());
  utilib::RouteMessage(job_, backward, utilib::MessageKind::Item, kCompareSecondItem);
  CompareSection(second, first);
  return job_.abort ? 0 : 1;
}

}  // namespace

int CompareNodeLists(utilib::Job& job, const CompareSettings& s, int& errors) {
  return Comparison(job, s, errors).Run();
}

}  // namespace ext
