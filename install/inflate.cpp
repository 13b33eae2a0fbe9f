#include "install/inflate.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace install {

namespace {

// Length codes 257..287 and distance codes 0..31; the last two of each can never be used.
constexpr std::uint16_t kLengthBase[31] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27, 31,
                                           35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258, 0,  0};
constexpr std::uint8_t kLengthExtra[31] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2,
                                           3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0, 99, 99};
constexpr std::uint16_t kDistBase[32] = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,  33,
                                         49,   65,   97,   129,  193,  257,   385,   513,   769, 1025, 1537,
                                         2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577, 0,   0};
constexpr std::uint8_t kDistExtra[32] = {0, 0, 0, 0, 1, 1, 2,  2,  3,  3,  4,  4,  5,  5,  6,  6,
                                         7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 99, 99};
constexpr std::uint8_t kLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

constexpr int kLitLookup = 9, kDistLookup = 6, kFixedLitLookup = 7, kFixedDistLookup = 5, kLengthLookup = 7;

// A symbol's worst case: 15 code bits, 5 extra, 15 distance code bits, 13 extra.
constexpr int kSymbolBits = 48;
// Bytes past the input's end the bit buffer may hold as zeros before the stream must have ended.
constexpr int kMaxPad = 8;

std::uint32_t Reverse(std::uint32_t code, int length) {
  std::uint32_t r = 0;
  for (int i = 0; i < length; ++i) {
    r = (r << 1) | (code & 1);
    code >>= 1;
  }
  return r;
}

}  // namespace

int BuildHuffmanTable(const std::uint8_t* lengths, int count, int simple, const std::uint16_t* base,
                      const std::uint8_t* extra, HuffmanTable& table, int& lookupBits, int& entryCount) {
  table.clear();
  if (count < 0 || count > kMaxCodes) return 2;
  int lengthCount[kMaxCodeBits + 1] = {};
  int maxLength = 0;
  for (int s = 0; s < count; ++s) {
    if (lengths[s] > kMaxCodeBits) return 2;
    ++lengthCount[lengths[s]];
    maxLength = std::max<int>(maxLength, lengths[s]);
  }
  try {
    if (maxLength == 0) {
      lookupBits = 1;
      table.assign(2, HuffmanEntry{});
      entryCount += 2;
      return 1;
    }
    int left = 1;
    for (int len = 1; len <= kMaxCodeBits; ++len) {
      left = (left << 1) - lengthCount[len];
      if (left < 0) return 2;
    }
    const int root = std::min(lookupBits, maxLength);
    lookupBits = root;

    int nextCode[kMaxCodeBits + 2] = {};
    int code = 0;
    lengthCount[0] = 0;
    for (int len = 1; len <= kMaxCodeBits; ++len) {
      code = (code + lengthCount[len - 1]) << 1;
      nextCode[len] = code;
    }
    std::vector<std::uint32_t> reversed(static_cast<std::size_t>(count));
    const std::uint32_t rootSize = 1u << root, rootMask = rootSize - 1;
    // Codes longer than the first level share a sub-table per first-level index, as wide as the
    // longest code under that index needs.
    std::vector<std::uint8_t> subWidth(rootSize, 0);
    for (int s = 0; s < count; ++s) {
      const int len = lengths[s];
      if (len == 0) continue;
      reversed[static_cast<std::size_t>(s)] = Reverse(static_cast<std::uint32_t>(nextCode[len]++), len);
      if (len > root) {
        auto& w = subWidth[reversed[static_cast<std::size_t>(s)] & rootMask];
        w = std::max<std::uint8_t>(w, static_cast<std::uint8_t>(len - root));
      }
    }
    std::vector<std::uint32_t> subOffset(rootSize, 0);
    std::uint32_t size = rootSize;
    for (std::uint32_t i = 0; i < rootSize; ++i)
      if (subWidth[i]) {
        subOffset[i] = size;
        size += 1u << subWidth[i];
      }
    table.assign(size, HuffmanEntry{});
    for (std::uint32_t i = 0; i < rootSize; ++i)
      if (subWidth[i])
        table[i] = HuffmanEntry{static_cast<std::uint8_t>(16 + subWidth[i]), static_cast<std::uint8_t>(root),
                                static_cast<std::uint16_t>(subOffset[i])};
    for (int s = 0; s < count; ++s) {
      const int len = lengths[s];
      if (len == 0) continue;
      HuffmanEntry e;
      if (s < simple) {
        e.op = s < 256 ? kOpLiteral : kOpEndOfBlock;
        e.value = static_cast<std::uint16_t>(s);
      } else {
        e.op = extra[s - simple];
        e.value = base[s - simple];
      }
      const std::uint32_t rev = reversed[static_cast<std::size_t>(s)];
      if (len <= root) {
        e.bits = static_cast<std::uint8_t>(len);
        for (std::uint32_t i = rev; i < rootSize; i += 1u << len) table[i] = e;
      } else {
        const std::uint32_t prefix = rev & rootMask;
        const int sub = len - root;
        e.bits = static_cast<std::uint8_t>(sub);
        const std::uint32_t width = 1u << subWidth[prefix];
        for (std::uint32_t i = rev >> root; i < width; i += 1u << sub) table[subOffset[prefix] + i] = e;
      }
    }
    entryCount += static_cast<int>(size);
    return left > 0 ? 1 : 0;
  } catch (const std::bad_alloc&) {
    table.clear();
    table.shrink_to_fit();
    return 3;
  }
}

Decoder::Decoder() : window_(kWindowSize) {}

void Decoder::StartMember(MemberOutput* out) {
  out_ = out;
  crc_.Update(nullptr, 0);
  written_ = 0;
  pos_ = 0;
  bitBuffer_ = 0;
  bitCount_ = 0;
  padBytes_ = 0;
}

void Decoder::FlushWindow(std::size_t count) {
  if (count == 0) return;
  crc_.Update(window_.data(), count);
  if (out_) out_->Write(window_.data(), count);
  written_ += count;
}

void Decoder::FinishMember() {
  FlushWindow(pos_);
  pos_ = 0;
  fixedLit_.clear();
  fixedDist_.clear();
  fixedLit_.shrink_to_fit();
  fixedDist_.shrink_to_fit();
}

// Tops the bit buffer up to at least kSymbolBits bits; past the input's end with zero bytes, which
// Overrun() tells apart once a code reaches into them.
void Decoder::Fill(ArchiveStream& in) {
  if (bitCount_ >= kSymbolBits || bitCount_ < 0) return;  // below 0 only once the stream ran out
  if (in.Available() >= 8) {
    std::uint64_t v;
    std::memcpy(&v, in.Peek(), 8);  // little-endian host
    const int take = (63 - bitCount_) >> 3;
    bitBuffer_ |= v << bitCount_;
    bitCount_ += take * 8;
    bitBuffer_ &= (std::uint64_t{1} << bitCount_) - 1;
    in.Skip(static_cast<std::size_t>(take));
    return;
  }
  while (bitCount_ <= 56) {
    std::uint8_t b = 0;
    if (!in.Next(b)) {
      if (padBytes_ >= kMaxPad) return;
      ++padBytes_;
    }
    bitBuffer_ |= static_cast<std::uint64_t>(b) << bitCount_;
    bitCount_ += 8;
  }
}

bool Decoder::Need(ArchiveStream& in, int bits) {
  if (bitCount_ < bits) Fill(in);
  return bitCount_ >= bits;
}

int Decoder::Inflate(ArchiveStream& in, std::uint64_t outputLimit) {
  bitBuffer_ = 0;
  bitCount_ = 0;
  padBytes_ = 0;
  int result = kInflateOk;
  for (;;) {
    if (!Need(in, 3)) {
      result = kInflateBadData;
      break;
    }
    const bool last = bitBuffer_ & 1;
    const int type = static_cast<int>((bitBuffer_ >> 1) & 3);
    Drop(3);
    if (Overrun()) {
      result = kInflateBadData;
      break;
    }
    if (type == 0) result = StoredBlock(in, outputLimit);
    else if (type == 1) result = FixedBlock(in, outputLimit);
    else if (type == 2) result = DynamicBlock(in, outputLimit);
    else result = kInflateBadBlock;
    if (result != kInflateOk || last) break;
  }
  // Whole bytes the buffer took beyond the stream go back, so the archive stands after the stream.
  const int unused = bitCount_ / 8 - padBytes_;
  if (unused > 0) in.Seek(in.Position() - static_cast<std::uint64_t>(unused));
  bitBuffer_ = 0;
  bitCount_ = 0;
  padBytes_ = 0;
  return result;
}

int Decoder::StoredBlock(ArchiveStream& in, std::uint64_t limit) {
  Drop(bitCount_ & 7);
  if (!Need(in, 32)) return kInflateBadData;
  const std::uint32_t len = static_cast<std::uint32_t>(bitBuffer_ & 0xFFFF);
  const std::uint32_t nlen = static_cast<std::uint32_t>((bitBuffer_ >> 16) & 0xFFFF);
  Drop(32);
  if (Overrun() || len != (~nlen & 0xFFFF)) return kInflateBadData;
  if (Produced() + len > limit) return kInflateWrongLength;
  std::uint32_t left = len;
  // Whole bytes already in the bit buffer come first.
  while (left > 0 && bitCount_ >= 8) {
    window_[pos_++] = static_cast<std::uint8_t>(bitBuffer_ & 0xFF);
    Drop(8);
    if (Overrun()) return kInflateBadData;
    --left;
    if (pos_ == kWindowSize) {
      FlushWindow(pos_);
      pos_ = 0;
    }
  }
  if (Overrun()) return kInflateBadData;
  while (left > 0) {
    const std::size_t n = std::min<std::size_t>(left, kWindowSize - pos_);
    const std::size_t got = in.Read(window_.data() + pos_, n);
    pos_ += got;
    left -= static_cast<std::uint32_t>(got);
    if (pos_ == kWindowSize) {
      FlushWindow(pos_);
      pos_ = 0;
    }
    if (got < n) return kInflateBadData;
  }
  return kInflateOk;
}

int Decoder::FixedBlock(ArchiveStream& in, std::uint64_t limit) {
  if (fixedLit_.empty()) {
    std::uint8_t lengths[kMaxCodes];
    std::fill(lengths, lengths + 144, 8);
    std::fill(lengths + 144, lengths + 256, 9);
    std::fill(lengths + 256, lengths + 280, 7);
    std::fill(lengths + 280, lengths + 288, 8);
    fixedLitBits_ = kFixedLitLookup;
    int r = BuildHuffmanTable(lengths, 288, 257, kLengthBase, kLengthExtra, fixedLit_, fixedLitBits_, entryCount_);
    if (r != 0) {
      fixedLit_.clear();
      return r == 3 ? kInflateNoMemory : kInflateBadBlock;
    }
    std::fill(lengths, lengths + 30, 5);
    fixedDistBits_ = kFixedDistLookup;
    r = BuildHuffmanTable(lengths, 30, 0, kDistBase, kDistExtra, fixedDist_, fixedDistBits_, entryCount_);
    if (r > 1) {  // thirty codes of five bits leave two unused: incomplete is as it should be
      fixedLit_.clear();
      fixedDist_.clear();
      return r == 3 ? kInflateNoMemory : kInflateBadBlock;
    }
  }
  return DecodeCodes(in, fixedLit_, fixedLitBits_, fixedDist_, fixedDistBits_, limit);
}

int Decoder::DynamicBlock(ArchiveStream& in, std::uint64_t limit) {
  if (!Need(in, 14)) return kInflateBadData;
  const int nlit = 257 + static_cast<int>(bitBuffer_ & 31);
  const int ndist = 1 + static_cast<int>((bitBuffer_ >> 5) & 31);
  const int ncode = 4 + static_cast<int>((bitBuffer_ >> 10) & 15);
  Drop(14);
  if (Overrun() || nlit > 288 || ndist > 32) return kInflateBadData;

  std::uint8_t lengths[288 + 32] = {};
  for (int i = 0; i < ncode; ++i) {
    if (!Need(in, 3)) return kInflateBadData;
    lengths[kLengthOrder[i]] = static_cast<std::uint8_t>(bitBuffer_ & 7);
    Drop(3);
  }
  if (Overrun()) return kInflateBadData;
  int lengthBits = kLengthLookup;
  int r = BuildHuffmanTable(lengths, 19, 19, nullptr, nullptr, lengthCodes_, lengthBits, entryCount_);
  if (r == 3) return kInflateNoMemory;
  if (r == 2) return kInflateBadData;

  const int total = nlit + ndist;
  const std::uint32_t lengthMask = (1u << lengthBits) - 1;
  int previous = -1;
  for (int i = 0; i < total;) {
    Fill(in);
    const HuffmanEntry e = lengthCodes_[bitBuffer_ & lengthMask];
    if (e.op != kOpLiteral) return kInflateBadData;
    Drop(e.bits);
    if (Overrun()) return kInflateBadData;
    const int symbol = e.value;
    if (symbol < 16) {
      lengths[i++] = static_cast<std::uint8_t>(symbol);
      previous = symbol;
      continue;
    }
    int repeat, value = 0;
    if (symbol == 16) {
      if (previous < 0) return kInflateBadData;
      repeat = 3 + static_cast<int>(bitBuffer_ & 3);
      Drop(2);
      value = previous;
    } else if (symbol == 17) {
      repeat = 3 + static_cast<int>(bitBuffer_ & 7);
      Drop(3);
    } else {
      repeat = 11 + static_cast<int>(bitBuffer_ & 127);
      Drop(7);
    }
    if (Overrun() || i + repeat > total) return kInflateBadData;
    std::fill(lengths + i, lengths + i + repeat, static_cast<std::uint8_t>(value));
    i += repeat;
    if (symbol != 16) previous = 0;
  }
  if (lengths[256] == 0) return kInflateBadData;  // a block without an end code cannot end

  int litBits = kLitLookup;
  r = BuildHuffmanTable(lengths, nlit, 257, kLengthBase, kLengthExtra, lit_, litBits, entryCount_);
  if (r == 3) return kInflateNoMemory;
  if (r != 0) return kInflateBadData;  // an incomplete literal/length set is bad data
  int distBits = kDistLookup;
  r = BuildHuffmanTable(lengths + nlit, ndist, 0, kDistBase, kDistExtra, dist_, distBits, entryCount_);
  if (r == 3) return kInflateNoMemory;
  if (r == 2) return kInflateBadData;
  return DecodeCodes(in, lit_, litBits, dist_, distBits, limit);
}

int Decoder::DecodeCodes(ArchiveStream& in, const HuffmanTable& lit, int litBits, const HuffmanTable& dist,
                         int distBits, std::uint64_t limit) {
  const std::uint64_t litMask = (std::uint64_t{1} << litBits) - 1;
  const std::uint64_t distMask = (std::uint64_t{1} << distBits) - 1;
  std::uint8_t* const window = window_.data();
  for (;;) {
    Fill(in);
    HuffmanEntry e = lit[bitBuffer_ & litMask];
    if (e.op > kOpLiteral && e.op != kOpInvalid) {
      Drop(e.bits);
      e = lit[e.value + (bitBuffer_ & ((std::uint64_t{1} << (e.op - 16)) - 1))];
    }
    Drop(e.bits);
    if (e.op == kOpLiteral) {
      if (padBytes_ && Overrun()) return kInflateBadData;
      window[pos_++] = static_cast<std::uint8_t>(e.value);
      if (pos_ == kWindowSize) {
        FlushWindow(pos_);
        pos_ = 0;
        if (written_ > limit) return kInflateWrongLength;
      }
      continue;
    }
    if (e.op == kOpEndOfBlock) return Overrun() ? kInflateBadData : kInflateOk;
    if (e.op >= kOpLiteral) return kInflateBadData;
    std::uint32_t length = e.value + static_cast<std::uint32_t>(bitBuffer_ & ((1u << e.op) - 1));
    Drop(e.op);

    HuffmanEntry d = dist[bitBuffer_ & distMask];
    if (d.op > kOpLiteral && d.op != kOpInvalid) {
      Drop(d.bits);
      d = dist[d.value + (bitBuffer_ & ((std::uint64_t{1} << (d.op - 16)) - 1))];
    }
    Drop(d.bits);
    if (d.op >= kOpEndOfBlock) return kInflateBadData;
    const std::uint32_t distance = d.value + static_cast<std::uint32_t>(bitBuffer_ & ((1u << d.op) - 1));
    Drop(d.op);
    if (padBytes_ && Overrun()) return kInflateBadData;
    // A copy from before the member's first byte would show the previous member's bytes.
    if (distance > Produced()) return kInflateBadData;
    if (Produced() + length > limit) return kInflateWrongLength;

    std::size_t from = (pos_ - distance) & (kWindowSize - 1);
    while (length > 0) {
      std::size_t n = std::min<std::size_t>({length, kWindowSize - pos_, kWindowSize - from});
      if (distance >= n) {
        std::memmove(window + pos_, window + from, n);
      } else {
        for (std::size_t k = 0; k < n; ++k) window[pos_ + k] = window[from + k];
      }
      pos_ += n;
      from = (from + n) & (kWindowSize - 1);
      length -= static_cast<std::uint32_t>(n);
      if (pos_ == kWindowSize) {
        FlushWindow(pos_);
        pos_ = 0;
      }
    }
  }
}

std::uint64_t Decoder::CopyStored(ArchiveStream& in, std::uint64_t count) {
  std::uint64_t done = 0;
  while (done < count) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count - done, kWindowSize - pos_));
    const std::size_t got = in.Read(window_.data() + pos_, n);
    pos_ += got;
    done += got;
    if (pos_ == kWindowSize) {
      FlushWindow(pos_);
      pos_ = 0;
    }
    if (got < n) break;
  }
  return done;
}

}  // namespace install
