#include "utilib/cell_list.h"

#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <utility>

#include "editor/db/hierarchy.h"
#include "editor/tlc/readers.h"

namespace utilib {

namespace {

// Upper case as the case-blind comparison folds it.
std::string Folded(std::string_view name) {
  std::string key(name);
  for (char& c : key)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return key;
}

bool SameName(const std::string& entry, std::string_view name, bool exact) {
  if (entry.size() != name.size()) return false;
  return exact ? entry == name : strncasecmp(entry.data(), name.data(), name.size()) == 0;
}

}  // namespace

void CellList::SyncIndex() const {
  if (stale_ || indexed_ > entries.size()) {
    exact_.clear();
    folded_.clear();
    indexed_ = 0;
    stale_ = false;
  }
  for (; indexed_ < entries.size(); ++indexed_) {
    const int number = static_cast<int>(indexed_) + 1;
    auto add = [number](Index& index, std::string key) {
      auto [it, added] = index.try_emplace(std::move(key), Slot{number, 1});
      if (!added) ++it->second.count;
    };
    add(exact_, entries[indexed_].name);
    add(folded_, Folded(entries[indexed_].name));
  }
}

int CellList::Scan(std::string_view name, bool exact) const {
  for (int i = 0; i < Count(); ++i)
    if (SameName(entries[i].name, name, exact)) return i + 1;
  return 0;
}

int CellList::FindListedCell(std::string_view name, bool exact) const {
  SyncIndex();
  const Index& index = exact ? exact_ : folded_;
  auto it = index.find(exact ? std::string(name) : Folded(name));
  if (it == index.end()) {
    // An entry moved to a place the index had passed before it was indexed is missed there.
    const int found = Scan(name, exact);
    if (found) stale_ = true;
    return found;
  }
  const Slot slot = it->second;
  if (slot.count == 1 && slot.number <= Count() && SameName(entries[slot.number - 1].name, name, exact))
    return slot.number;
  // Entries moved since they were indexed, or several share the name: the first in list order counts.
  if (slot.count == 1) stale_ = true;
  return Scan(name, exact);
}

bool CellList::Append(std::string_view name) {
  if (FindListedCell(name, true)) return true;
  if (Count() >= kMaxListedCells) return false;
  entries.push_back({std::string(name), 0});
  return true;
}

void CellList::ClearCellList() {
  entries.clear();
  SyncIndex();
}

namespace {

// One pass over a cell's file for what listing needs of it: the names of its "=C" records in file
// order and, when `header` is given, its header. Keyword lines are never part of a record, so the
// header and the references are the ones a pass of their own would read.
void ReadListedCellFile(tlc::TlcStream& stream, tlc::TlcHeader* header, std::vector<std::string>& names) {
  const std::string_view keys = header ? "CH" : "C";
  bool headerRead = false;
  tlc::TlcCellRef ref;
  while (stream.SkipToKeyword(keys) && stream.Next()) {
    const tlc::Keyword kind = tlc::KeywordOf(stream.Line());
    if (kind == tlc::Keyword::Header && header && !headerRead) {
      headerRead = true;
      stream.Unread();
      tlc::ReadTlcHeader(stream, *header);
      continue;
    }
    if (kind == tlc::Keyword::CellRef && tlc::ReadTlcCellRef(stream, ref)) names.push_back(ref.name);
  }
}

// Appends the names not listed yet, in order; a full list is told once. Stops at the abort flag when
// `honourAbort`.
void AppendReferencedCells(Job& job, const std::vector<std::string>& names, CellList& list, bool honourAbort,
                           int lines, int firstLine, std::vector<std::string>* named) {
  bool toldFull = false;
  for (const std::string& name : names) {
    if (honourAbort && job.abort) break;
    if (named) named->push_back(name);
    if (!list.Append(name) && !toldFull) {
      ReportOnNextLine(job, Format("Cell List is Full at %d Cells ... %s Left Out", kMaxListedCells, name.c_str()),
                       lines, firstLine);
      toldFull = true;
    }
  }
}

}  // namespace

int CollectReferencedCells(Job& job, tlc::TlcStream& stream, CellList& list, bool honourAbort, int lines,
                           int firstLine, std::vector<std::string>* named) {
  std::vector<std::string> names;
  if (!(honourAbort && job.abort)) ReadListedCellFile(stream, nullptr, names);
  AppendReferencedCells(job, names, list, honourAbort, lines, firstLine, named);
  return 1;
}

MainFileName MainFileName::Split(std::string_view path) {
  MainFileName m;
  if (path.size() >= 2 && path[1] == ':') {
    m.drive = std::string(path.substr(0, 2));
    path.remove_prefix(2);
  }
  std::size_t slash = path.find_last_of("\\/");
  if (slash != std::string_view::npos) {
    m.folder = std::string(path.substr(0, slash + 1));
    path.remove_prefix(slash + 1);
  }
  std::size_t dot = path.rfind('.');
  m.base = std::string(path.substr(0, dot));
  if (dot != std::string_view::npos) m.extension = std::string(path.substr(dot));
  return m;
}

std::string CellTlcPath(const MainFileName& main, std::string_view cell, CellFileExtension ext) {
  // A name from a "=C" record becomes part of a path: it must not reach out of the main file's folder.
  if (cell.empty() || cell.find_first_of("\\/:") != std::string_view::npos || cell == "." || cell == "..")
    return "";
  std::string extension = main.extension;
  if (ext == CellFileExtension::Tlc || (ext == CellFileExtension::MainElseTlc && extension.empty()))
    extension = ".TLC";
  return main.drive + main.folder + std::string(cell) + extension;
}

int OpenCellTlc(tlc::FileLineSource& source, const MainFileName& main, std::string_view cell,
                CellFileExtension ext) {
  std::string path = CellTlcPath(main, cell, ext);
  return !path.empty() && source.Open(path) ? 1 : 0;
}

int ReadCellTlcHeader(const MainFileName& main, std::string_view cell, CellFileExtension ext,
                      tlc::TlcHeader& header) {
  tlc::FileLineSource source;
  if (!OpenCellTlc(source, main, cell, ext)) return 0;
  tlc::TlcStream stream(source);
  tlc::ReadTlcHeader(stream, header);
  return 1;
}

int BuildCellList(Job& job, const MainFileName& main, std::string_view mainCell, CellList& list,
                  const CellListReading& how) {
  list.Append(mainCell);
  std::vector<std::vector<std::string>> placed;  // names each listed cell places, for the rank check
  for (int i = 1; i <= list.Count(); ++i) {
    if (job.abort) return 0;
    const std::string name = list[i].name;
    if (how.beforeCell && !how.beforeCell(name)) return 0;
    tlc::FileLineSource source;
    if (!OpenCellTlc(source, main, name, how.extension)) {
      StopJob(job, Format(how.missingFormat, name.c_str()));
      return 0;
    }
    tlc::TlcStream stream(source);
    tlc::TlcHeader header;
    std::vector<std::string> names;
    ReadListedCellFile(stream, &header, names);
    source.Close();
    CheckTlcScaleUnits(job, header, how.mainScale, how.mainUnit, how.lines, how.firstLine);
    list[i].rank = header.rank;
    placed.resize(static_cast<std::size_t>(i));
    AppendReferencedCells(job, names, list, how.honourAbort, how.lines, how.firstLine, &placed.back());
    ShowPause(job, 200);
  }
  if (job.abort) return 0;
  // A cell placing itself or a cell not below it makes a loop that every reader of the output would
  // follow: told once for each such pair.
  for (std::size_t i = 0; i < placed.size(); ++i) {
    std::vector<int> told;
    for (const std::string& name : placed[i]) {
      const int used = list.FindListedCell(name, true);
      if (!used || ListedPlacementAllowed(list.entries[i], list[used])) continue;
      if (std::find(told.begin(), told.end(), used) != told.end()) continue;
      told.push_back(used);
      ReportOnNextLine(job, Format("%s ... %s Placed in %s%s", db::kRankErrorText, list[used].name.c_str(),
                                   list.entries[i].name.c_str(), how.rankBreaksLeftOut ? " not Written" : ""),
                       how.lines, how.firstLine);
    }
  }
  return 1;
}

bool ListedPlacementAllowed(const CellListEntry& holder, const CellListEntry& placed) {
  return db::RankAllowsPlacement(holder.rank, placed.rank);
}

void RankSortCells(CellList& list, bool ascending, int first) {
  auto& e = list.entries;
  for (std::size_t i = static_cast<std::size_t>(first - 1); i < e.size(); ++i)
    for (std::size_t j = i + 1; j < e.size(); ++j)
      if (ascending ? e[j].rank < e[i].rank : e[j].rank > e[i].rank) std::swap(e[i], e[j]);
  list.EntriesMoved();
}

int ConvertListedCells(Job& job, const CellList& list, int operationItem, int pauseMs,
                       const std::function<bool(int number)>& convert) {
  int converted = 0;
  for (int i = 1; i <= list.Count() && !job.abort; ++i) {
    SetItemText(job, Format("Converting %s.TLC ...", list[i].name.c_str()), operationItem);
    if (!convert(i)) break;
    ++converted;
    ShowPause(job, pauseMs);
  }
  return converted;
}

std::int64_t GetOutputFileSize(std::FILE* stream) {
  if (!stream) return 0;
  std::fflush(stream);
  struct stat st {};
  if (fstat(fileno(stream), &st) != 0) return 0;
  return st.st_size;
}

void CheckTlcScaleUnits(Job& job, const tlc::TlcHeader& header, double mainScale, std::string_view mainUnit,
                        int lines, int firstLine) {
  bool sameUnit = header.unit.size() == mainUnit.size() &&
                  strncasecmp(header.unit.data(), mainUnit.data(), mainUnit.size()) == 0;
  if (sameUnit && header.scale == mainScale) return;
  ReportOnNextLine(job, Format("TLC Scale Units do not agree in %s", header.name.c_str()), lines, firstLine);
}

void ShowScalesLine(Job& job, std::string_view line) { RouteMessage(job, line, MessageKind::Item, 510); }

}  // namespace utilib
