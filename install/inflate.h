// The DEFLATE decoder (RFC 1951) of the unpacker: decoding tables, the bit buffer, and the 32768-byte
// window that is both the output buffer and the history the copies reach back into.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "install/archive_stream.h"
#include "install/crc32.h"

namespace install {

// One entry of a decoding table. op: 16 literal, 15 end of block, 99 invalid code, 17..31 a link
// to a sub-table indexed by op - 16 further bits, 0..14 a length or distance with that many extra
// bits. bits: the code bits the entry takes. value: literal, base value or sub-table offset.
struct HuffmanEntry {
  std::uint8_t op = 99;
  std::uint8_t bits = 1;
  std::uint16_t value = 0;
};
using HuffmanTable = std::vector<HuffmanEntry>;

constexpr int kMaxCodeBits = 15;
constexpr int kMaxCodes = 288;
constexpr std::uint8_t kOpLiteral = 16, kOpEndOfBlock = 15, kOpInvalid = 99;

// Builds `table` from the code lengths of symbols 0..count-1 (at most 288 codes of at most 15 bits).
// Symbols below `simple` stand for themselves (256 ends a block); the others take base[s - simple]
// and extra[s - simple]. lookupBits: the first level's index width asked for, cut to the longest
// code. Adds the entries made to `entryCount`.
// Returns 0 complete, 1 incomplete (also when every length is 0: a table of invalid codes),
// 2 over-subscribed or not a code, 3 out of memory (nothing kept).
int BuildHuffmanTable(const std::uint8_t* lengths, int count, int simple, const std::uint16_t* base,
                      const std::uint8_t* extra, HuffmanTable& table, int& lookupBits, int& entryCount);

// Receives the window's bytes as it flushes.
class MemberOutput {
 public:
  virtual ~MemberOutput() = default;
  virtual void Write(const std::uint8_t* bytes, std::size_t count) = 0;
};

constexpr std::size_t kWindowSize = 32768;

enum InflateResult {
  kInflateOk = 0,
  kInflateBadData = 1,   // a stored block whose length check fails, a bad code, the input ending early
  kInflateBadBlock = 2,  // block type 3, a code set that is no code
  kInflateNoMemory = 3,
  kInflateWrongLength = 4,  // more bytes than the member may have, or a stored member cut short
};

// One decoder, used for one member at a time.
class Decoder {
 public:
  Decoder();

  // Restarts the CRC, the byte count and the window for a member written to `out`.
  void StartMember(MemberOutput* out);
  // Decodes one member's DEFLATE stream from the archive's current place. The whole bytes the bit
  // buffer took beyond the stream's end are given back, so the archive stands right after it.
  // More than `outputLimit` bytes give kInflateWrongLength: a copy at once, a run of literals by the
  // next window flush (so by at most kWindowSize bytes over; the caller checks the exact length).
  int Inflate(ArchiveStream& in, std::uint64_t outputLimit);
  // A stored member: `count` bytes through the window. Gives the bytes copied.
  std::uint64_t CopyStored(ArchiveStream& in, std::uint64_t count);
  // Writes the rest of the window; the member is done. The fixed tables are dropped.
  void FinishMember();

  std::uint32_t Crc() const { return crc_.Value(); }
  std::uint64_t BytesWritten() const { return written_; }
  // Entries of all tables built so far.
  int TableEntries() const { return entryCount_; }

 private:
  void FlushWindow(std::size_t count);
  void Fill(ArchiveStream& in);
  bool Need(ArchiveStream& in, int bits);
  void Drop(int bits) {
    bitBuffer_ >>= bits;
    bitCount_ -= bits;
  }
  bool Overrun() const { return bitCount_ < 8 * padBytes_; }
  int StoredBlock(ArchiveStream& in, std::uint64_t limit);
  int FixedBlock(ArchiveStream& in, std::uint64_t limit);
  int DynamicBlock(ArchiveStream& in, std::uint64_t limit);
  int DecodeCodes(ArchiveStream& in, const HuffmanTable& lit, int litBits, const HuffmanTable& dist, int distBits,
                  std::uint64_t limit);
  std::uint64_t Produced() const { return written_ + pos_; }

  std::vector<std::uint8_t> window_;
  std::size_t pos_ = 0;
  MemberOutput* out_ = nullptr;
  Crc32 crc_;
  std::uint64_t written_ = 0;

  std::uint64_t bitBuffer_ = 0;
  int bitCount_ = 0;
  int padBytes_ = 0;  // zero bytes put into the bit buffer past the input's end

  HuffmanTable fixedLit_, fixedDist_;
  int fixedLitBits_ = 0, fixedDistBits_ = 0;
  HuffmanTable lit_, dist_, lengthCodes_;
  int entryCount_ = 0;
};

}  // namespace install
