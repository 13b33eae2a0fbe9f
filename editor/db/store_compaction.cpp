#include "editor/db/store_compaction.h"

namespace db {

namespace {

template <class Move>
int Compact(int& count, const std::vector<char>& remove, Move move) {
  int to = 0;
  for (int n = 1; n <= count; ++n) {
    if (std::size_t(n) < remove.size() && remove[std::size_t(n)]) continue;
    if (++to != n) move(to, n);
  }
  const int removed = count - to;
  count = to;
  return removed;
}

}  // namespace

int RemoveMarkedBoxes(ObjectStore& s, const std::vector<char>& remove) {
  return Compact(s.boxCount, remove, [&](int to, int from) { s.PutBoxRecord(to, s.GetBoxRecord(from)); });
}

int RemoveMarkedCellRefs(ObjectStore& s, const std::vector<char>& remove) {
  return Compact(s.refCount[0], remove,
                 [&](int to, int from) { s.PutCellRefRecord(0, to, s.GetCellRefRecord(0, from)); });
}

int RemoveMarkedPaths(ObjectStore& s, const std::vector<char>& remove) {
  return Compact(s.pathCount, remove, [&](int to, int from) { s.PutPathRecord(to, s.GetPathRecord(from)); });
}

std::vector<int> ChainOf(ObjectStore& s, int path) {
  std::vector<int> chain;
  s.WalkChain(s.GetPath(2, path), [&](int v) { chain.push_back(v); });
  return chain;
}

void CompactVertices(ObjectStore& s, const std::function<void(int, int)>& progress) {
  const int total = s.vertexCount;
  std::vector<char> removePath(std::size_t(s.pathCount) + 1, 0);
  bool anyShort = false;
  for (int p = 1; p <= s.pathCount; ++p) {
    int length = 0;
    s.WalkChain(s.GetPath(2, p), [&](int) { ++length; });
    if (length < 2) removePath[std::size_t(p)] = anyShort = 1;
  }
  if (anyShort) RemoveMarkedPaths(s, removePath);

  // Which path reaches each vertex; 0 for none.
  std::vector<int> owner(std::size_t(s.vertexCount) + 1, 0);
  for (int p = 1; p <= s.pathCount; ++p)
    s.WalkChain(s.GetPath(2, p), [&](int v) { owner[std::size_t(v)] = p; });
  std::vector<int> remap(std::size_t(s.vertexCount) + 1, 0);
  int to = 0;
  for (int v = 1; v <= s.vertexCount; ++v) {
    if (progress && (v & 4095) == 0) progress(v, total);
    if (!owner[std::size_t(v)]) continue;
    remap[std::size_t(v)] = ++to;
    VertexRecord r = s.GetVertexRecord(v);
    r.flags = (r.flags & (kCharVertexBit | kVertexSelectedBit)) | owner[std::size_t(v)];
    if (to != v) s.PutVertexRecord(to, r);
    else s.SetVertex(r.flags, 0, v);
  }
  for (int v = 1; v <= to; ++v) {
    const std::int32_t next = s.GetVertex(3, v);
    const std::int32_t moved = next >= 1 && next < std::int32_t(remap.size()) ? remap[std::size_t(next)] : 0;
    if (moved != next) s.SetVertex(moved, 3, v);
  }
  for (int p = 1; p <= s.pathCount; ++p) {
    const std::int32_t first = s.GetPath(2, p);
    s.SetPath(first >= 1 && first < std::int32_t(remap.size()) ? remap[std::size_t(first)] : 0, 2, p);
  }
  s.vertexCount = to;
  if (progress) progress(total, total);
}

void ReverseChain(ObjectStore& s, int path) {
  const std::vector<int> chain = ChainOf(s, path);
  if (chain.size() < 2) return;
  s.SetPath(chain.back(), 2, path);
  for (std::size_t i = chain.size() - 1; i > 0; --i) s.SetVertex(chain[i - 1], 3, chain[i]);
  s.SetVertex(0, 3, chain.front());
}

}  // namespace db
