#include "utilib/cell_list.h"

#include <strings.h>
#include <sys/stat.h>

#include "editor/tlc/readers.h"

namespace utilib {

bool CellList::Append(std::string_view name) {
  std::string key(name);
  if (exactNames_.count(key)) return true;
  if (Count() >= kMaxListedCells) return false;
  exactNames_.insert(key);
  entries.push_back({key, 0});
  return true;
}

int CellList::FindListedCell(std::string_view name, bool exact) const {
  for (int i = 0; i < Count(); ++i) {
    const std::string& e = entries[i].name;
    if (e.size() != name.size()) continue;
    if (exact ? e == name : strncasecmp(e.data(), name.data(), name.size()) == 0) return i + 1;
  }
  return 0;
}

void CellList::ClearCellList() {
  entries.clear();
  exactNames_.clear();
}

int CollectReferencedCells(Job& job, tlc::TlcStream& stream, CellList& list, bool honourAbort) {
  bool toldFull = false;
  while (!(honourAbort && job.abort) && stream.Next()) {
    if (tlc::KeywordOf(stream.Line()) != tlc::Keyword::CellRef) continue;
    tlc::TlcCellRef ref;
    if (!tlc::ReadTlcCellRef(stream, ref)) continue;
    if (!list.Append(ref.name) && !toldFull) {
      ReportOnNextLine(job, Format("Cell List is Full at %d Cells ... %s Left Out", kMaxListedCells, ref.name.c_str()),
                       5, 511);
      toldFull = true;
    }
  }
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
