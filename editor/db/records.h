// Fixed records of the object store and of the CL6/BP6 cell files, their flag bits and capacities,
// and the little-endian byte layout the files use.
#pragma once
#include <cstdint>
#include <string>

namespace db {

// ---- Capacities -------------------------------------------------------------------------------
constexpr int kPageBytes = 8192;

constexpr int kBoxWords = 5;
constexpr int kBoxesPerPage = 409;
constexpr int kBoxPages = 626;
constexpr int kBoxCapacity = kBoxesPerPage * kBoxPages;  // 256034, the highest record number
constexpr int kBoxLimit = kBoxCapacity - 1;              // 256033, most boxes a cell may hold

constexpr int kPathWords = 3;
constexpr int kPathsPerPage = 682;
constexpr int kPathPages = 376;
constexpr int kPathCapacity = kPathsPerPage * kPathPages;  // 256432
constexpr int kPathLimit = kPathCapacity - 1;              // 256431

constexpr int kVertexWords = 4;
constexpr int kVerticesPerPage = 512;
constexpr int kVertexPages = 1000;
constexpr int kVertexCapacity = kVerticesPerPage * kVertexPages;  // 512000
constexpr int kVertexLimit = kVertexCapacity - 1;                 // 511999

constexpr int kRefWords = 3;
constexpr int kRefsPerPage = 682;
constexpr int kRefPages = 376;
constexpr int kRefCapacity = kRefsPerPage * kRefPages;  // 256432 per level
constexpr int kRefLimit = kRefCapacity - 1;             // 256431
constexpr int kRefLevels = 15;                          // level 0 = the open cell, 1..14 below it

// Bytes of one record in a CL6/BP6 file.
constexpr int kBoxBytes = 20;
constexpr int kPathBytes = 12;
constexpr int kVertexBytes = 16;
constexpr int kRefBytes = 12;

// ---- Flag bits --------------------------------------------------------------------------------
constexpr std::int32_t kLayerMask = 0x7F;  // boxes and paths: layer 1..64 in bits 0-6
constexpr int kLayerCount = 64;
constexpr std::int32_t kOffWindowBit = 0x40000000;  // bit 30, set by the drawing pass

constexpr std::int32_t kEdgeTop = 0x100;
constexpr std::int32_t kEdgeRight = 0x200;
constexpr std::int32_t kEdgeBottom = 0x400;
constexpr std::int32_t kEdgeLeft = 0x800;
constexpr std::int32_t kEdgesAll = 0xF00;  // the whole box selected

constexpr int kOrientationShift = 11;          // texts and references: bits 11-13
constexpr std::int32_t kOrientationMask = 0x3800;
constexpr std::int32_t kPathSelectedBit = 0x10000;                      // bit 16
constexpr std::int32_t kTextBit = static_cast<std::int32_t>(0x80000000u);  // bit 31: path is a text

constexpr std::int32_t kVertexOwnerMask = 0x0FFFFFFF;  // bits 0-27 owning path
constexpr std::int32_t kVertexSelectedBit = 0x10000000;  // bit 28
constexpr std::int32_t kVertexKeptBit = 0x20000000;      // bit 29, vertex compaction
constexpr std::int32_t kCharVertexBit = static_cast<std::int32_t>(0x80000000u);

constexpr std::int32_t kRefRowMask = 0x7FF;       // bits 0-10 cell-index row
constexpr std::int32_t kRefOutlineBit = 0x4000;   // bit 14: drawn as its outline
constexpr std::int32_t kRefSelectedBit = 0x10000;  // bit 16

// What survives a save: every other bit lives in memory only.
constexpr std::int32_t kBoxFileBits = kLayerMask;
constexpr std::int32_t kPathFileBits = kLayerMask | kOrientationMask | kTextBit;
constexpr std::int32_t kVertexMemoryBits = 0x70000000;  // bits 28-30
constexpr std::int32_t kRefFileBits = 0x7FFF;           // bits 0-14

inline int LayerOf(std::int32_t flags) { return flags & kLayerMask; }
inline int OrientationOf(std::int32_t flags) { return (flags >> kOrientationShift) & 7; }
inline int RefRowOf(std::int32_t word) { return word & kRefRowMask; }
inline bool IsText(std::int32_t pathFlags) { return pathFlags < 0; }

// ---- Records (word order as in memory and in the files) ---------------------------------------
struct BoxRecord {
  std::int32_t flags = 0;
  std::int32_t left = 0;
  std::int32_t bottom = 0;
  std::int32_t right = 0;
  std::int32_t top = 0;
};

// A path, a polygon (width 0) or a text (bit 31; width is then the text size).
struct PathRecord {
  std::int32_t flags = 0;
  std::int32_t width = 0;
  std::int32_t firstVertex = 0;
};

// A character vertex carries 8 characters in x and y, the first one in the high byte of x.
struct VertexRecord {
  std::int32_t flags = 0;  // owner path, selection bits, character bit
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t next = 0;
};

struct CellRefRecord {
  std::int32_t flags = 0;  // row, orientation, outline and selected bits
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// ---- The cell index -------------------------------------------------------------------------
constexpr int kCellIndexRows = 514;  // rows 0..513; row 0 is the scratch row of Make
constexpr int kMaxIndexCount = 513;  // most cells a CELLS6.DBD can hold
constexpr std::int32_t kRankMask = 15;
constexpr std::int32_t kAttachedBit = 16;
constexpr std::int32_t kIndexFileFlags = 31;  // rank and attached bit reach the file

struct CellIndexEntry {
  std::string name;  // up to 32 characters, upper case
  std::int32_t flags = 0;
  std::int32_t left = 0;
  std::int32_t bottom = 0;
  std::int32_t right = 0;
  std::int32_t top = 0;
  std::int32_t boxCount = 0;
  std::int32_t pathCount = 0;
  std::int32_t vertexCount = 0;
  std::int32_t refCount = 0;

  int Rank() const { return flags & kRankMask; }
  bool Attached() const { return (flags & kAttachedBit) != 0; }
};

// ---- Little-endian layout ----------------------------------------------------------------------
inline void PutLe32(unsigned char* out, std::int32_t value) {
  auto v = static_cast<std::uint32_t>(value);
  out[0] = static_cast<unsigned char>(v);
  out[1] = static_cast<unsigned char>(v >> 8);
  out[2] = static_cast<unsigned char>(v >> 16);
  out[3] = static_cast<unsigned char>(v >> 24);
}

inline std::int32_t GetLe32(const unsigned char* in) {
  std::uint32_t v = static_cast<std::uint32_t>(in[0]) | (static_cast<std::uint32_t>(in[1]) << 8) |
                    (static_cast<std::uint32_t>(in[2]) << 16) |
                    (static_cast<std::uint32_t>(in[3]) << 24);
  return static_cast<std::int32_t>(v);
}

// Words of a record, `count` of them, to and from file bytes.
inline void EncodeWords(const std::int32_t* words, int count, unsigned char* out) {
  for (int i = 0; i < count; ++i) PutLe32(out + 4 * i, words[i]);
}
inline void DecodeWords(const unsigned char* in, int count, std::int32_t* words) {
  for (int i = 0; i < count; ++i) words[i] = GetLe32(in + 4 * i);
}

void EncodeBox(const BoxRecord& r, unsigned char out[kBoxBytes]);
BoxRecord DecodeBox(const unsigned char in[kBoxBytes]);
void EncodePath(const PathRecord& r, unsigned char out[kPathBytes]);
PathRecord DecodePath(const unsigned char in[kPathBytes]);
void EncodeVertex(const VertexRecord& r, unsigned char out[kVertexBytes]);
VertexRecord DecodeVertex(const unsigned char in[kVertexBytes]);
void EncodeCellRef(const CellRefRecord& r, unsigned char out[kRefBytes]);
CellRefRecord DecodeCellRef(const unsigned char in[kRefBytes]);

}  // namespace db
