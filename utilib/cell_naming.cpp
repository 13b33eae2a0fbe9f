#include "utilib/cell_naming.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "editor/db/helpers.h"
#include "editor/tlc/readers.h"
#include "editor/tlc/run.h"
#include "editor/tlc/stream.h"

namespace utilib {

namespace {

using tlc::UpperCase;

bool UsedByOtherRow(const StructureTable& table, int row, std::string_view name) {
  for (int i = 0; i < table.Count(); ++i)
    if (i != row && table.rows[i].cellName == name) return true;
  return false;
}

}  // namespace

void RankedHierarchy::BeginDefinition(StructureTable& table, int row, bool added) {
  if (added) changed = true;
  StructureRow& r = table.rows[static_cast<std::size_t>(row)];
  r.found = true;
  current_ = r.rank;
  definitions.push_back({row, refs.size(), refs.size()});
}

void RankedHierarchy::Place(const StructureTable& table, int row, bool added) {
  if (added) {
    if (row >= 0) changed = true;
  } else if (row >= 0 && table.rows[static_cast<std::size_t>(row)].rank >= current_) {
    current_ = table.rows[static_cast<std::size_t>(row)].rank + 1;
    changed = true;
  }
  refs.push_back(row);
}

void RankedHierarchy::EndDefinition(StructureTable& table) {
  Definition& d = definitions.back();
  table.rows[static_cast<std::size_t>(d.row)].rank = current_;
  d.endRef = refs.size();
}

bool RankedHierarchy::RaiseRanks(StructureTable& table, const std::function<void(std::size_t)>& visited) {
  bool rose = false;
  for (std::size_t i = 0; i < definitions.size(); ++i) {
    const Definition& d = definitions[i];
    StructureRow& row = table.rows[static_cast<std::size_t>(d.row)];
    int rank = row.rank;
    for (std::size_t k = d.firstRef; k < d.endRef; ++k) {
      const int placed = refs[k];
      if (placed >= 0 && table.rows[static_cast<std::size_t>(placed)].rank >= rank) {
        rank = table.rows[static_cast<std::size_t>(placed)].rank + 1;
        rose = true;
      }
    }
    row.rank = rank;
    if (visited) visited(i);
  }
  return rose;
}

bool AddStructureName(Job& job, StructureTable& table) {
  if (table.Count() < table.limit) return true;
  if (!table.overflow) job.ui->Box(job.programName, table.overflowMessage, tell::Buttons::Ok);
  table.overflow = true;
  return false;
}

bool IsValidCellName(std::string_view name, int rowCount) {
  return db::CheckCellName(name, 0) == 0 && rowCount <= kMaxStructures;
}

std::string PromptNewCellName(Job& job, const StructureTable& table, int row, std::string rejected,
                              const NewNameAsker& ask) {
  for (;;) {
    std::optional<std::string> typed = ask ? ask(rejected) : std::nullopt;
    if (!typed) {
      job.abort = true;
      return "NONAME";
    }
    std::string name = UpperCase(*typed);
    if (IsValidCellName(name, table.Count()) && !UsedByOtherRow(table, row, name)) return name;
    rejected = name;
  }
}

void MakeCellNames(Job& job, StructureTable& table, const NewNameAsker& ask) {
  SetItemText(job, "Making MERO Cell Names ...", 500);
  for (StructureRow& r : table.rows) r.cellName.clear();
  for (int i = 0; i < table.Count(); ++i) {
    StructureRow& r = table.rows[i];
    // Two foreign names that differ only in case would name one file: the second must be renamed.
    std::string proposal = UpperCase(r.foreignName);
    if (IsValidCellName(proposal, table.Count()) && !UsedByOtherRow(table, i, proposal))
      r.cellName = proposal;
    else
      r.cellName = PromptNewCellName(job, table, i, proposal, ask);
    SetItemText(job, Format("%s %s -> Cell %s", table.foreignWord.c_str(), r.foreignName.c_str(), r.cellName.c_str()),
                519);
    if (job.abort) break;
  }
  ShowPause(job, 200);
}

void CheckPreviousTlcFiles(Job& job, StructureTable& table, std::string_view destination, double scale) {
  for (StructureRow& r : table.rows) {
    if (job.abort) return;
    std::int32_t left = 0, bottom = 0, right = static_cast<std::int32_t>(scale), top = 0;
    tlc::FileLineSource source;
    r.tlcPresent = false;
    if (source.Open(std::string(destination) + r.cellName + ".TLC")) {
      r.tlcPresent = true;
      tlc::TlcStream stream(source);
      for (;;) {
        tlc::TlcHeader h;
        bool found = false;
        if (!tlc::ReadTlcHeader(stream, h, &found) || !found) break;
        if (h.rank > r.rank) r.rank = h.rank;
        left = h.left, bottom = h.bottom, right = h.right, top = h.top;
      }
    }
    r.left = left, r.bottom = bottom, r.right = right, r.top = top;
  }
}

void ExchangeCellRows(StructureTable& table, int a, int b) { std::swap(table.rows[a], table.rows[b]); }

void SortCellsByRank(StructureTable& table) {
  // The exchange order fixes the order of rows of equal rank, and so the output order: keep it.
  for (int b = table.Count() - 1; b >= 1; --b)
    for (int n = b - 1; n >= 0; --n)
      if (table.rows[b].rank < table.rows[n].rank) ExchangeCellRows(table, b, n);
}

void ReportCellCollection(Job& job, const StructureTable& table) {
  ReportPrintf(job, "\n%d Cells in Converted Cell Collection\n", table.Count());
  ReportPrintf(job, "Cell                   Rank  %-6sTLC    %s\n", table.formatWord.c_str(), table.foreignWord.c_str());
  ReportPrintf(job, "%s\n", std::string(52, '-').c_str());
  for (const StructureRow& r : table.rows)
    ReportPrintf(job, "%-24s%-6d%-6c%-6c%-24s\n", r.cellName.c_str(), r.rank, r.found ? 'Y' : 'N',
                 r.tlcPresent ? 'Y' : 'N', r.foreignName.c_str());
  ReportPrintf(job, "\n");
}

void WriteStructureReportHead(Job& job) {
  ReportPrintf(job, "TLC Files:\n");
  ReportPrintf(job, "Cell                   Rank  Boxes   Paths   Text  (Vertex)  Cells\n");
  ReportPrintf(job, "%s\n", std::string(67, '-').c_str());
}

bool RankWithPreviousFiles(Job& job, StructureTable& table, RankedHierarchy& hierarchy, std::string_view destination,
                           double scale, int topRow) {
  std::vector<int> before(table.rows.size());
  for (std::size_t i = 0; i < table.rows.size(); ++i) before[i] = table.rows[i].rank;
  CheckPreviousTlcFiles(job, table, destination, scale);
  if (job.abort) return false;
  bool changed = false;
  for (std::size_t i = 0; i < table.rows.size() && !changed; ++i) changed = table.rows[i].rank != before[i];
  for (int pass = 1; changed && pass <= kMaxRankPasses; ++pass) changed = hierarchy.RaiseRanks(table);
  const auto deeper = [&job](const std::string& name) {
    StopJob(job, Format("Hierarchy Deeper than %d Levels at %s ... Can't Continue", kMaxCellRank, name.c_str()));
    return false;
  };
  // Below the top row there is one rank less to go.
  const int limit = topRow >= 0 ? kMaxCellRank - 1 : kMaxCellRank;
  int highest = 0;
  for (int i = 0; i < table.Count(); ++i) {
    if (i == topRow) continue;
    const StructureRow& row = table.rows[static_cast<std::size_t>(i)];
    if (row.rank > limit) return deeper(row.foreignName);
    highest = std::max(highest, row.rank);
  }
  if (topRow >= 0) {
    StructureRow& top = table.rows[static_cast<std::size_t>(topRow)];
    top.rank = std::max(top.rank, highest + 1);
    if (top.rank > kMaxCellRank) return deeper(top.cellName);
  }
  return true;
}

bool ReadyCellTable(Job& job, StructureTable& table, RankedHierarchy& hierarchy, std::string_view destination,
                    double scale, std::vector<int>& rowOfTag, int topRow) {
  if (!RankWithPreviousFiles(job, table, hierarchy, destination, scale, topRow)) return false;
  SortCellsByRank(table);
  for (int i = 0; i < table.Count(); ++i) rowOfTag[static_cast<std::size_t>(table.rows[i].tag)] = i;
  ReportCellCollection(job, table);
  if (job.abort) return false;
  WriteStructureReportHead(job);
  return true;
}

void WriteStructureReportLine(Job& job, const StructureRow& r) {
  ReportPrintf(job, "%-24s%-6d%-8d%-8d%-8d%-8lld%-8d\n", r.cellName.c_str(), r.rank, r.boxes, r.paths, r.texts,
               static_cast<long long>(r.vertices), r.cellRefs);
}

}  // namespace utilib
