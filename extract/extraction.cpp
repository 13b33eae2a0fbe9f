#include "extract/extraction.h"

#include <cctype>
#include <cstdio>

#include "editor/db/records.h"

namespace ext {

Extraction::Extraction(utilib::Job& job, Drawing& drawing, const RunSwitches& switches)
    : job(job), drawing(drawing), sw(switches), roles(switches.trace) {
  t.setAside = [this](const std::string& cell, const db::AsideRecords& records) {
    utilib::TellSetAside(this->job, cell, records);
  };
}

void Extraction::PollEscape() {
  if (job.abort) return;
  if (job.ui->IsEscapePressed()) {
    Box("Aborting ...");
    job.abort = true;
  }
}

void Extraction::Yield() {
  if (sw.fastRun) PollEscape();
  else utilib::ShowPause(job, kYieldMs);
}

void Extraction::ShowOperationLine(std::string_view text, bool yield) {
  utilib::RouteMessage(job, text, utilib::MessageKind::Item, kOperationItem);
  if (yield) Yield();
  utilib::SetItemText(job, "", kStatusItem);
}

void Extraction::ShowStatusLine(std::string_view text, bool yield) {
  utilib::SetItemText(job, text, kStatusItem);
  if (yield) Yield();
}

void Extraction::Message(std::string_view text) {
  utilib::ReportOnNextLine(job, text, kMessageLines, kFirstMessageItem);
}

void Extraction::Error(std::string_view text) {
  Message(text);
  ++errors;
}

void Extraction::Box(std::string_view text) {
  job.ui->Box(job.programName, text, tell::Buttons::Ok);
}

std::string TextCharsOf(TraceTables& t, int path) {
  std::string out;
  if (t.GetTracePathField(kPathFlags, path) >= 0) return out;
  const int count = t.vertexCount();
  int v = t.GetTracePathField(kPathFirstVertex, path);
  int charVertices = 0;
  for (int steps = 0; v >= 1 && v <= count && steps < count && charVertices < 8; ++steps) {
    if (t.GetVertex(kVertexOwner, v) & db::kCharVertexBit) {
      ++charVertices;
      for (int word : {kVertexX, kVertexY}) {
        const auto w = static_cast<std::uint32_t>(t.GetVertex(word, v));
        for (int shift = 24; shift >= 0; shift -= 8) {
          const char c = static_cast<char>((w >> shift) & 0xFF);
          if (c == 0) return out;
          out += c;
        }
      }
    }
    v = t.GetVertex(kVertexNext, v);
  }
  return out;
}

std::vector<CellText> TextsOf(TraceTables& t, int layer) {
  std::vector<CellText> out;
  for (int p = 1; p <= t.pathCount; ++p) {
    const std::int32_t flags = t.GetTracePathField(kPathFlags, p);
    if (flags >= 0 || (flags & 127) != layer) continue;
    CellText text;
    text.record = p;
    const int v = t.GetTracePathField(kPathFirstVertex, p);
    if (v >= 1 && v <= t.vertexCount()) {
      text.x = t.GetVertex(kVertexX, v);
      text.y = t.GetVertex(kVertexY, v);
    }
    text.chars = TextCharsOf(t, p);
    out.push_back(std::move(text));
  }
  return out;
}

std::string Extraction::NodeName(NodeNumber node) {
  if (node == 0) return "?";
  if (node < 0) return sw.virtualPrefix + std::to_string(-static_cast<std::int64_t>(node));
  if (IsSymbolNode(node)) {
    const std::size_t k = static_cast<std::size_t>(node - kSymbolNodeBase);
    return k >= 1 && k <= symbols.size() ? symbols[k - 1].name : std::string();
  }
  auto it = names_.find(node);
  if (it != names_.end()) return it->second;
  std::string name = node <= t.pathCount ? TextCharsOf(t, node) : std::string();
  names_.emplace(node, name);
  return name;
}

void Extraction::ReportShort(NodeNumber a, NodeNumber b) {
  const std::string na = NodeName(a), nb = NodeName(b);
  if (na == nb) return;
  Error(utilib::Format("Nodes %s and %s are Shorted", na.c_str(), nb.c_str()));
}

const Extraction::CellSummary& Extraction::SummaryOf(int row) {
  auto it = summaries_.find(row);
  if (it != summaries_.end()) return it->second;
  CellSummary& s = summaries_[row];
  if (!scratch_) {
    scratch_ = std::make_unique<TraceTables>();
    scratch_->setAside = t.setAside;
  }
  scratch_->damagedFile.clear();
  if (scratch_->LoadCellGeometry(drawing, row) == 0) {
    s.read = true;
    s.connectors = TextsOf(*scratch_, sw.connectorLayer);
    s.named = TextsOf(*scratch_, sw.namedLayer);
  }
  if (scratch_->memoryError) t.memoryError = true;
  if (t.damagedFile.empty()) t.damagedFile = scratch_->damagedFile;
  return s;
}

int ConnectorNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && !std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
  long long n = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    n = n * 10 + (text[i] - '0');
    if (n > 2147483647) n = 2147483647;
  }
  return static_cast<int>(n);
}

}  // namespace ext
