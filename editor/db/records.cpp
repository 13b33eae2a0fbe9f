#include "editor/db/records.h"

namespace db {

void EncodeBox(const BoxRecord& r, unsigned char out[kBoxBytes]) {
  const std::int32_t w[kBoxWords] = {r.flags, r.left, r.bottom, r.right, r.top};
  EncodeWords(w, kBoxWords, out);
}

BoxRecord DecodeBox(const unsigned char in[kBoxBytes]) {
  return {GetLe32(in), GetLe32(in + 4), GetLe32(in + 8), GetLe32(in + 12), GetLe32(in + 16)};
}

void EncodePath(const PathRecord& r, unsigned char out[kPathBytes]) {
  const std::int32_t w[kPathWords] = {r.flags, r.width, r.firstVertex};
  EncodeWords(w, kPathWords, out);
}

PathRecord DecodePath(const unsigned char in[kPathBytes]) {
  return {GetLe32(in), GetLe32(in + 4), GetLe32(in + 8)};
}

void EncodeVertex(const VertexRecord& r, unsigned char out[kVertexBytes]) {
  const std::int32_t w[kVertexWords] = {r.flags, r.x, r.y, r.next};
  EncodeWords(w, kVertexWords, out);
}

VertexRecord DecodeVertex(const unsigned char in[kVertexBytes]) {
  return {GetLe32(in), GetLe32(in + 4), GetLe32(in + 8), GetLe32(in + 12)};
}

void EncodeCellRef(const CellRefRecord& r, unsigned char out[kRefBytes]) {
  const std::int32_t w[kRefWords] = {r.flags, r.x, r.y};
  EncodeWords(w, kRefWords, out);
}

CellRefRecord DecodeCellRef(const unsigned char in[kRefBytes]) {
  return {GetLe32(in), GetLe32(in + 4), GetLe32(in + 8)};
}

}  // namespace db
