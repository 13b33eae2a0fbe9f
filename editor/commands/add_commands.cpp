#include "editor/commands/add_commands.h"

#include "editor/commands/delete_commands.h"
#include "editor/commands/edit_common.h"
#include "editor/db/helpers.h"
#include "editor/db/hierarchy.h"
#include "editor/db/store_compaction.h"
#include "editor/ui/draw/primitives.h"
#include "editor/ui/edit_dialogs.h"
#include "editor/ui/overlays.h"
#include "editor/ui/shell.h"
#include "editor/ui/status_bar.h"

namespace edcmd {

namespace {

constexpr int kVertexLimitMessage = 30, kRankErrorMessage = 5;
constexpr int kMarkColour = 15;

// Which kind of addition the running Add makes, kept with the command's state.
enum Branch { kBranchNone = 0, kBranchBox, kBranchPath, kBranchVertex, kBranchCell };

void SetSlot(edui::Editor& ed, int n, std::int32_t x, std::int32_t y) {
  edui::PointSlot& slot = ed.proto.now.slots[std::size_t(n)];
  slot.x = x;
  slot.y = y;
  const draw::ScreenPoint p = draw::WorldToScreen(ed.view, x, y);
  slot.sx = p.x;
  slot.sy = p.y;
}

void AddBox(edui::Editor& ed) {
  auto& st = ed.proto.now;
  switch (st.pointState) {
    case 0:
      st.pointState = 1;
      edui::SetModeBits(ed, draw::kModeSnap, 1);
      edui::SetStatusField(ed, edui::kFieldCommand, " Add Box Pt.1");
      return;
    case 1:
      st.pointState = 2;
      MarkPoint(ed, st.slots[1].x, st.slots[1].y, kMarkColour);
      st.bandMode = edui::kBandRect;
      edui::SetStatusField(ed, edui::kFieldCommand, " Add Box Pt.2");
      return;
    default: {
      edui::EraseOverlays(ed);
      st.bandMode = edui::kBandNone;
      db::ObjectStore& s = ed.db.store;
      if (!s.CheckBoxLimit()) {
        db::BoxRecord b{ed.db.settings.layer & db::kLayerMask, st.slots[1].x, st.slots[1].y, st.slots[2].x,
                        st.slots[2].y};
        NormalizeBox(b);
        const int n = ++s.boxCount;
        s.PutBoxRecord(n, b);
        draw::RedrawBox(ed.draw, n);
      }
      EndCommand(ed);
    }
  }
}

void AddPath(edui::Editor& ed) {
  auto& st = ed.proto.now;
  if (st.pointState == 0) {
    st.pointState = 1;
    edui::SetModeBits(ed, draw::kModeSnap, 1);
    edui::SetStatusField(ed, edui::kFieldCommand, " Add (1st Vtx.)");
    return;
  }
  db::ObjectStore& s = ed.db.store;
  if (!s.CheckPathLimit() && !s.CheckVertexLimit()) {
    const int p = ++s.pathCount;
    const int v = ++s.vertexCount;
    s.PutVertexRecord(v, {p | db::kVertexSelectedBit, st.slots[1].x, st.slots[1].y, 0});
    s.PutPathRecord(p, {(ed.db.settings.layer & db::kLayerMask) | db::kPathSelectedBit, ed.db.settings.pathWidth, v});
    MarkPoint(ed, st.slots[1].x, st.slots[1].y, kMarkColour);
  }
  EndCommand(ed);
}

void AddVertex(edui::Editor& ed, PathVertex at) {
  auto& st = ed.proto.now;
  db::ObjectStore& s = ed.db.store;
  if (st.pointState == 0) {
    st.pointState = 2;
    const db::VertexRecord r = s.GetVertexRecord(at.vertex);
    SetSlot(ed, 1, r.x, r.y);
    if (r.next >= 1 && r.next <= s.vertexCount) {
      SetSlot(ed, 5, s.GetVertex(1, r.next), s.GetVertex(2, r.next));
      st.bandMode = edui::kBandTwoLines;
    } else {
      st.bandMode = edui::kBandLine;
    }
    st.angleConstraint = 1;
    edui::SetModeBits(ed, draw::kModeSnap, 1);
    edui::SetStatusField(ed, edui::kFieldCommand, " Add (Vtx.)");
    return;
  }
  edui::EraseOverlays(ed);
  st.bandMode = edui::kBandNone;
  InsertVertexAfter(ed, at.vertex, st.slots[2].x, st.slots[2].y, kInsertErase | kInsertDraw);
  EndCommand(ed);
}

void AddCell(edui::Editor& ed) {
  auto& st = ed.proto.now;
  if (st.pointState == 0) {
    st.pointState = 1;
    edui::SetModeBits(ed, draw::kModeSnap, 1);
    edui::SetStatusField(ed, edui::kFieldCommand, " Add (Cell Pt.)");
    edui::CellGhostOffsets(ed);
    st.bandMode = edui::kBandCell;
    return;
  }
  edui::EraseOverlays(ed);
  st.bandMode = edui::kBandNone;
  db::ObjectStore& s = ed.db.store;
  const int cell = ed.objectCell;
  if (!s.CheckCellRefLimit()) {
    if (!db::PlacementAllowed(ed.db.index, ed.db.current.rank, cell)) {
      edui::ShowMessage(ed, kRankErrorMessage);
    } else {
      MarkPoint(ed, st.slots[1].x, st.slots[1].y, kMarkColour);
      const int n = ++s.refCount[0];
      s.PutCellRefRecord(0, n, {cell & db::kRefRowMask, st.slots[1].x, st.slots[1].y});
      draw::RedrawInstance(ed.draw, n);
      draw::RestoreEditedCell(ed.draw);
    }
  }
  EndCommand(ed);
}

}  // namespace

bool InsertVertexAfter(edui::Editor& ed, int vertex, std::int32_t x, std::int32_t y, int options) {
  db::ObjectStore& s = ed.db.store;
  const db::VertexRecord at = s.GetVertexRecord(vertex);
  const int path = at.flags & db::kVertexOwnerMask;
  if (s.CheckVertexLimit()) return false;
  if (Chain(s, path).size() >= std::size_t(kPathVertexLimit)) {
    edui::ShowMessage(ed, kVertexLimitMessage);
    return false;
  }
  if (options & kInsertErase) draw::ErasePath(ed.draw, path);
  const int v = ++s.vertexCount;
  s.PutVertexRecord(v, {at.flags, x, y, at.next});
  s.SetVertex(v, 3, vertex);
  s.SetVertex(at.flags & ~db::kVertexSelectedBit, 0, vertex);
  if (options & kInsertDraw) {
    MarkPoint(ed, x, y, kMarkColour);
    draw::RedrawPath(ed.draw, path);
  }
  return true;
}

std::vector<std::pair<std::int32_t, std::int32_t>> PackText(const std::string& text) {
  std::vector<std::pair<std::int32_t, std::int32_t>> words;
  for (std::size_t i = 0; i < text.size(); i += 8) {
    std::uint32_t w[2] = {0, 0};
    for (std::size_t k = 0; k < 8 && i + k < text.size(); ++k)
      w[k / 4] |= std::uint32_t(static_cast<unsigned char>(text[i + k])) << (24 - 8 * (k % 4));
    words.push_back({std::int32_t(w[0]), std::int32_t(w[1])});
  }
  return words;
}

std::string UnpackText(db::ObjectStore& s, int path) {
  std::string text;
  const std::vector<int> chain = Chain(s, path);
  for (std::size_t i = 1; i < chain.size(); ++i) {
    for (std::int32_t word : {s.GetVertex(1, chain[i]), s.GetVertex(2, chain[i])}) {
      for (int k = 0; k < 4; ++k) {
        const char c = char((std::uint32_t(word) >> (24 - 8 * k)) & 0xFF);
        if (c) text += c;
      }
    }
  }
  return text;
}

void AddCommand(edui::Editor& ed) {
  auto& st = ed.proto.now;
  if (EndOnEscape(ed)) return;
  int& branch = st.vars[0];
  const PathVertex at = FirstSelectedVertex(ed);
  if (st.pointState == 0) {
    if (at.path) branch = kBranchVertex;
    else branch = ed.objectKind == 3 ? kBranchCell : ed.objectKind == 2 ? kBranchPath : kBranchBox;
  }
  switch (branch) {
    case kBranchVertex:
      if (at.path) AddVertex(ed, at);
      else EndCommand(ed);
      return;
    case kBranchPath:
      AddPath(ed);
      return;
    case kBranchCell:
      AddCell(ed);
      return;
    default:
      AddBox(ed);
      return;
  }
}

void TextCommand(edui::Editor& ed) {
  auto& st = ed.proto.now;
  if (EndOnEscape(ed)) return;
  if (st.pointState == 0) {
    st.pointState = 1;
    edui::SetModeBits(ed, draw::kModeSnap, 1);
    edui::SetStatusField(ed, edui::kFieldCommand, " Text Ref. Pt.");
    edui::ShowStatus(ed, edui::status::kTextForm);
    return;
  }
  edui::EraseOverlays(ed);
  db::ObjectStore& s = ed.db.store;
  const std::int32_t x = st.slots[1].x, y = st.slots[1].y;
  std::int32_t size = db::RoundTextSize(ed.db.settings.textSize);
  std::int32_t flags = (ed.db.settings.textLayer & db::kLayerMask) | db::kTextBit;
  ed.edit.textBuffer.clear();
  int takenOver = 0;
  for (int p = 1; p <= s.pathCount && !takenOver; ++p) {
    const db::PathRecord r = s.GetPathRecord(p);
    if (!db::IsText(r.flags) || !Editable(ed, r.flags)) continue;
    if (r.firstVertex < 1 || r.firstVertex > s.vertexCount) continue;
    if (s.GetVertex(1, r.firstVertex) != x || s.GetVertex(2, r.firstVertex) != y) continue;
    takenOver = p;
    size = r.width;
    flags = r.flags & ~(db::kPathSelectedBit | db::kOffWindowBit);
    ed.edit.textBuffer = UnpackText(s, p);
  }
  // A text taken over goes only once the dialog says what replaces it.
  if (edui::RunTextDialog(ed)) {
    if (takenOver) {
      draw::ErasePath(ed.draw, takenOver);
      std::vector<char> remove(std::size_t(s.pathCount) + 1, 0);
      remove[std::size_t(takenOver)] = 1;
      db::RemoveMarkedPaths(s, remove);
      CompactVerticesShown(ed, false);
    }
    const std::string& text = ed.edit.textBuffer;
    const auto words = PackText(text);
    if (!text.empty() && !s.CheckPathLimit() && !NoRoomForVertices(s, int(words.size()) + 1)) {
      const int p = ++s.pathCount;
      const int first = s.vertexCount + 1;
      s.PutPathRecord(p, {flags, size, first});
      s.PutVertexRecord(++s.vertexCount, {p, x, y, words.empty() ? 0 : first + 1});
      for (std::size_t i = 0; i < words.size(); ++i) {
        const int v = ++s.vertexCount;
        s.PutVertexRecord(v, {db::kCharVertexBit | p, words[i].first, words[i].second,
                              i + 1 < words.size() ? v + 1 : 0});
      }
      draw::RedrawPath(ed.draw, p);
    }
  }
  EndCommand(ed);
}

}  // namespace edcmd
