#include "editor/commands/delete_commands.h"

#include <vector>

#include "editor/commands/edit_common.h"
#include "editor/commands/instance_commands.h"
#include "editor/db/store_compaction.h"
#include "editor/ui/draw/primitives.h"
#include "editor/ui/status_bar.h"

namespace edcmd {

int DeleteBoxes(edui::Editor& ed, bool erase, bool anyLayer) {
  db::ObjectStore& s = ed.db.store;
  std::vector<char> remove(std::size_t(s.boxCount) + 1, 0);
  bool any = false;
  for (int n = s.boxCount; n >= 1; --n) {
    const std::int32_t flags = s.GetBox(0, n);
    if ((flags & db::kEdgesAll) != db::kEdgesAll || (!anyLayer && !Editable(ed, flags))) continue;
    if (erase) draw::EraseBox(ed.draw, n);
    remove[std::size_t(n)] = 1;
    any = true;
  }
  return any ? db::RemoveMarkedBoxes(s, remove) : 0;
}

void CompactVerticesShown(edui::Editor& ed, bool progress) {
  if (!progress) {
    db::CompactVertices(ed.db.store);
    return;
  }
  db::CompactVertices(ed.db.store, [&](int done, int total) { edui::ShowPercent(ed, done, total); });
}

void DeletePaths(edui::Editor& ed, bool erase, bool anyLayer, bool whole) {
  db::ObjectStore& s = ed.db.store;
  std::vector<char> remove(std::size_t(s.pathCount) + 1, 0);
  bool anyRecord = false;
  for (int p = s.pathCount; p >= 1; --p) {
    const std::int32_t flags = s.GetPath(0, p);
    if (!(flags & db::kPathSelectedBit) || (!anyLayer && !Editable(ed, flags))) continue;
    if (erase) draw::ErasePath(ed.draw, p);
    if (whole || db::IsText(flags)) {
      remove[std::size_t(p)] = 1;
      anyRecord = true;
      continue;
    }
    // The chain skips its selected vertices; compaction takes them out of the table.
    int kept = 0;
    int previous = 0;
    for (int v : Chain(s, p)) {
      if (s.GetVertex(0, v) & db::kVertexSelectedBit) continue;
      if (previous) s.SetVertex(v, 3, previous);
      else kept = v;
      previous = v;
    }
    if (previous) s.SetVertex(0, 3, previous);
    s.SetPath(kept, 2, p);
    s.SetPath(flags & ~db::kPathSelectedBit, 0, p);
    if (erase) draw::RedrawPath(ed.draw, p);
  }
  if (anyRecord) db::RemoveMarkedPaths(s, remove);
  CompactVerticesShown(ed, true);
}

void DelCommand(edui::Editor& ed) {
  edui::SetStatusField(ed, edui::kFieldInfo, " Deleting ...");
  TakeUndoBackup(ed);
  DeleteSelectedInstances(ed, true);
  DeleteBoxes(ed, true, false);
  DeletePaths(ed, true, false, false);
  EndCommand(ed);
}

void VStpCommand(edui::Editor& ed) {
  edui::CountActiveObjects(ed);
  db::ObjectStore& s = ed.db.store;
  if (ed.db.active.vertices == 1 && ed.db.active.paths == 1) {
    for (int p = 1; p <= s.pathCount; ++p) {
      const std::int32_t flags = s.GetPath(0, p);
      if (!(flags & db::kPathSelectedBit) || db::IsText(flags)) continue;
      const std::vector<int> chain = Chain(s, p);
      const bool back = edui::IsCtrlDown();
      std::size_t at = 0;
      while (at < chain.size() && !(s.GetVertex(0, chain[at]) & db::kVertexSelectedBit)) ++at;
      const bool atEnd = back ? at == 0 : at + 1 >= chain.size();
      if (at < chain.size() && !atEnd) {
        draw::ErasePath(ed.draw, p);
        const int from = chain[at], to = chain[back ? at - 1 : at + 1];
        s.SetVertex(s.GetVertex(0, from) & ~db::kVertexSelectedBit, 0, from);
        s.SetVertex(s.GetVertex(0, to) | db::kVertexSelectedBit, 0, to);
        draw::RedrawPath(ed.draw, p);
      }
      break;
    }
  }
  EndCommand(ed);
}

void PRevCommand(edui::Editor& ed) {
  edui::SetStatusField(ed, edui::kFieldInfo, "Reversing ...");
  db::ObjectStore& s = ed.db.store;
  for (int p = 1; p <= s.pathCount; ++p) {
    const std::int32_t flags = s.GetPath(0, p);
    if (!(flags & db::kPathSelectedBit) || db::IsText(flags) || Chain(s, p).size() < 2) continue;
    draw::ErasePath(ed.draw, p);
    db::ReverseChain(s, p);
    draw::RedrawPath(ed.draw, p);
  }
  EndCommand(ed);
}

namespace {

// Which path owns each vertex, and where in its chain the vertex stands.
struct ChainPlace {
  int path = 0;
  bool first = false;
  bool last = false;
};

std::vector<ChainPlace> ChainPlaces(db::ObjectStore& s) {
  std::vector<ChainPlace> places(std::size_t(s.vertexCount) + 1);
  for (int p = 1; p <= s.pathCount; ++p) {
    const std::vector<int> chain = Chain(s, p);
    for (std::size_t i = 0; i < chain.size(); ++i)
      places[std::size_t(chain[i])] = {p, i == 0, i + 1 == chain.size()};
  }
  return places;
}

void SetOwner(db::ObjectStore& s, int v, int path) {
  s.SetVertex((s.GetVertex(0, v) & ~db::kVertexOwnerMask) | path, 0, v);
}

void Unselect(db::ObjectStore& s, int v) { s.SetVertex(s.GetVertex(0, v) & ~db::kVertexSelectedBit, 0, v); }

}  // namespace

void CutCommand(edui::Editor& ed) {
  edui::CountActiveObjects(ed);
  db::ObjectStore& s = ed.db.store;
  if (ed.db.active.vertices != 1) {
    EndCommand(ed);
    return;
  }
  const std::vector<ChainPlace> places = ChainPlaces(s);
  for (int v = 1; v <= s.vertexCount; ++v) {
    const db::VertexRecord r = s.GetVertexRecord(v);
    const ChainPlace& at = places[std::size_t(v)];
    if (!(r.flags & db::kVertexSelectedBit) || !at.path || at.first || at.last) continue;
    if (s.CheckPathLimit() || s.CheckVertexLimit()) break;
    const int p = at.path;
    draw::ErasePath(ed.draw, p);
    const int copy = ++s.vertexCount;
    const int path = ++s.pathCount;
    s.PutVertexRecord(copy, {(r.flags & ~(db::kVertexSelectedBit | db::kVertexOwnerMask)) | path, r.x, r.y, r.next});
    s.SetVertex(0, 3, v);
    const db::PathRecord source = s.GetPathRecord(p);
    s.PutPathRecord(path, {source.flags & ~db::kPathSelectedBit, source.width, copy});
    for (int c : Chain(s, path)) SetOwner(s, c, path);
    RefreshPathSelection(s, path);
    draw::RedrawPath(ed.draw, p);
    draw::RedrawPath(ed.draw, path);
    break;
  }
  EndCommand(ed);
}

void JoinCommand(edui::Editor& ed) {
  edui::CountActiveObjects(ed);
  db::ObjectStore& s = ed.db.store;
  if (ed.db.active.vertices != 2) {
    EndCommand(ed);
    return;
  }
  const std::vector<ChainPlace> places = ChainPlaces(s);
  struct End {
    int path = 0;
    int vertex = 0;
    bool first = false;
  } a, b;
  for (int v = 1; v <= s.vertexCount && !b.path; ++v) {
    const ChainPlace& at = places[std::size_t(v)];
    if (!at.path || !(s.GetVertex(0, v) & db::kVertexSelectedBit) || db::IsText(s.GetPath(0, at.path))) continue;
    if (!at.first && !at.last) continue;
    (a.path ? b : a) = {at.path, v, at.first && !at.last};
  }
  if (!b.path) {
    EndCommand(ed);
    return;
  }
  if (a.path != b.path) {
    draw::ErasePath(ed.draw, a.path);
    draw::ErasePath(ed.draw, b.path);
    // A ends with its chosen vertex, B starts with its own.
    if (a.first) db::ReverseChain(s, a.path);
    if (!b.first && places[std::size_t(b.vertex)].last && !places[std::size_t(b.vertex)].first)
      db::ReverseChain(s, b.path);
    Unselect(s, a.vertex);
    Unselect(s, b.vertex);
    s.SetPath(s.GetPath(0, a.path) & ~db::kPathSelectedBit, 0, a.path);
    s.SetPath(s.GetPath(0, b.path) & ~db::kPathSelectedBit, 0, b.path);
    const int start = s.GetPath(2, b.path);
    const std::vector<int> tail = Chain(s, b.path);
    s.SetPath(0, 2, b.path);
    for (int v : tail) SetOwner(s, v, a.path);
    const bool same = s.GetVertex(1, a.vertex) == s.GetVertex(1, start) && s.GetVertex(2, a.vertex) == s.GetVertex(2, start);
    s.SetVertex(same ? s.GetVertex(3, start) : start, 3, a.vertex);
    draw::RedrawPath(ed.draw, a.path);
    CompactVerticesShown(ed, false);
  } else {
    const std::vector<int> chain = Chain(s, a.path);
    const int first = chain.front(), last = chain.back();
    const bool closed = s.GetVertex(1, first) == s.GetVertex(1, last) && s.GetVertex(2, first) == s.GetVertex(2, last);
    if (!closed && chain.size() >= 2 && !s.CheckVertexLimit()) {
      draw::ErasePath(ed.draw, a.path);
      Unselect(s, first);
      Unselect(s, last);
      s.SetPath(s.GetPath(0, a.path) & ~db::kPathSelectedBit, 0, a.path);
      const int v = ++s.vertexCount;
      s.PutVertexRecord(v, {s.GetVertex(0, last), s.GetVertex(1, first), s.GetVertex(2, first), 0});
      s.SetVertex(v, 3, last);
      draw::RedrawPath(ed.draw, a.path);
    }
  }
  EndCommand(ed);
}

}  // namespace edcmd
