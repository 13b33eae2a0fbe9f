#include "install/inflate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "install/tests/zip_fixture.h"

namespace install {
namespace {

using insttest::BitWriter;

struct Collected final : MemberOutput {
  std::string data;
  void Write(const std::uint8_t* bytes, std::size_t count) override {
    data.append(reinterpret_cast<const char*>(bytes), count);
  }
};

struct Decoded {
  int result = -1;
  std::string out;
  std::uint32_t crc = 0;
  std::uint64_t position = 0;  // where the archive stands afterwards
};

// Decodes `stream` lying in a file after `before` and followed by `after`.
Decoded Decode(const std::string& stream, std::uint64_t limit = ~std::uint64_t{0}, const std::string& after = "",
               const std::string& before = "") {
  insttest::Scratch scratch;
  scratch.Write("s.bin", before + stream + after);
  ArchiveStream in;
  EXPECT_TRUE(in.Open(scratch.Path("s.bin")));
  in.Seek(before.size());
  in.SetLimit(before.size() + stream.size() + after.size());
  Decoder decoder;
  Collected out;
  decoder.StartMember(&out);
  Decoded d;
  d.result = decoder.Inflate(in, limit);
  decoder.FinishMember();
  d.out = out.data;
  d.crc = decoder.Crc();
  d.position = in.Position() - before.size();
  EXPECT_EQ(decoder.BytesWritten(), out.data.size());
  return d;
}

TEST(Crc32, KnownValuesAndPieces) {
  EXPECT_EQ(Crc32Of("123456789", 9), 0xCBF43926u);
  EXPECT_EQ(Crc32Of("", 0), 0u);
  const std::string data = insttest::RandomBytes(100003, 5);
  Crc32 crc;
  for (std::size_t at = 0; at < data.size(); at += 777)
    crc.Update(reinterpret_cast<const std::uint8_t*>(data.data()) + at, std::min<std::size_t>(777, data.size() - at));
  EXPECT_EQ(crc.Value(), insttest::ZlibCrc(data));
  crc.Update(nullptr, 0);  // restarts
  EXPECT_EQ(crc.Value(), 0u);
}

// Follows `code` (most significant bit first) through the table as the decoder does.
HuffmanEntry Lookup(const HuffmanTable& table, int rootBits, std::uint32_t code, int length) {
  std::uint32_t bits = 0;  // least significant bit first
  for (int i = 0; i < length; ++i) bits |= ((code >> (length - 1 - i)) & 1) << i;
  HuffmanEntry e = table[bits & ((1u << rootBits) - 1)];
  if (e.op > 16 && e.op != 99) {
    const std::uint32_t rest = bits >> e.bits;
    e = table[e.value + (rest & ((1u << (e.op - 16)) - 1))];
    e.bits = static_cast<std::uint8_t>(e.bits + rootBits);
  }
  return e;
}

TEST(BuildHuffmanTable, EveryCodeFindsItsSymbol) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> lengths;
    int lookup;
    int result;
  };
  std::vector<std::uint8_t> skewed;  // a code down to 15 bits, past the 9-bit first level
  for (int len = 1; len <= 14; ++len) skewed.push_back(static_cast<std::uint8_t>(len));
  skewed.push_back(15);
  skewed.push_back(15);
  std::vector<std::uint8_t> fixed(288, 8);
  std::fill(fixed.begin() + 144, fixed.begin() + 256, 9);
  std::fill(fixed.begin() + 256, fixed.begin() + 280, 7);
  const std::vector<Case> cases = {
      {"four of two bits", {2, 2, 2, 2}, 9, 0},
      {"fixed literal set", fixed, 7, 0},
      {"skewed to fifteen bits", skewed, 9, 0},
      {"skewed, small first level", skewed, 3, 0},
      {"one code of one bit", {0, 1}, 6, 1},
      {"gaps between symbols", {0, 3, 0, 3, 2, 0, 1, 0, 0}, 9, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HuffmanTable table;
    int bits = c.lookup, entries = 0;
    // Symbols stand for themselves here, so every entry shows which symbol it found.
    const int count = static_cast<int>(c.lengths.size());
    ASSERT_EQ(BuildHuffmanTable(c.lengths.data(), count, count, nullptr, nullptr, table, bits, entries), c.result);
    EXPECT_LE(bits, c.lookup);
    EXPECT_EQ(entries, static_cast<int>(table.size()));
    // Canonical codes, assigned independently of the table builder.
    int code = 0;
    for (int len = 1; len <= 15; ++len) {
      for (int s = 0; s < count; ++s) {
        if (c.lengths[static_cast<std::size_t>(s)] != len) continue;
        const HuffmanEntry e = Lookup(table, bits, static_cast<std::uint32_t>(code), len);
        EXPECT_EQ(e.value, s) << "symbol " << s;
        EXPECT_EQ(e.bits, len) << "symbol " << s;
        EXPECT_EQ(e.op, s < 256 ? kOpLiteral : kOpEndOfBlock);
        ++code;
      }
      code <<= 1;
    }
  }
}

TEST(BuildHuffmanTable, IncompleteEmptyAndOversubscribedSets) {
  HuffmanTable table;
  int entries = 0;
  const std::uint8_t none[5] = {0, 0, 0, 0, 0};
  int bits = 6;
  EXPECT_EQ(BuildHuffmanTable(none, 5, 0, nullptr, nullptr, table, bits, entries), 1);
  for (const HuffmanEntry& e : table) EXPECT_EQ(e.op, kOpInvalid);  // nothing decodes
  const std::uint8_t over[3] = {1, 1, 1};
  bits = 9;
  EXPECT_EQ(BuildHuffmanTable(over, 3, 3, nullptr, nullptr, table, bits, entries), 2);
  const std::uint8_t tooLong[2] = {16, 1};
  EXPECT_EQ(BuildHuffmanTable(tooLong, 2, 2, nullptr, nullptr, table, bits, entries), 2);
  // The unused half of an incomplete set stays invalid.
  const std::uint8_t half[2] = {1, 0};
  bits = 4;
  EXPECT_EQ(BuildHuffmanTable(half, 2, 2, nullptr, nullptr, table, bits, entries), 1);
  EXPECT_EQ(Lookup(table, bits, 0, 1).op, kOpLiteral);
  EXPECT_EQ(Lookup(table, bits, 1, 1).op, kOpInvalid);
}

// Streams an independent encoder makes, of every block kind it uses, decode to their input; the
// archive is left right after the stream.
TEST(Inflate, DecodesWhatAnotherEncoderWrites) {
  struct Kind {
    const char* what;
    int level;
    int strategy;
  };
  const Kind kinds[] = {{"stored", 0, Z_DEFAULT_STRATEGY}, {"fastest", 1, Z_DEFAULT_STRATEGY},
                        {"default", 6, Z_DEFAULT_STRATEGY}, {"best", 9, Z_DEFAULT_STRATEGY},
                        {"fixed codes", 6, Z_FIXED},        {"codes only", 6, Z_HUFFMAN_ONLY},
                        {"runs", 6, Z_RLE},                 {"filtered", 9, Z_FILTERED}};
  const std::size_t sizes[] = {0, 1, 258, 32767, 32768, 32769, 100000, 300001};
  for (const Kind& k : kinds) {
    for (std::size_t size : sizes) {
      for (int data = 0; data < 3; ++data) {
        SCOPED_TRACE(std::string(k.what) + " size " + std::to_string(size) + " data " + std::to_string(data));
        const std::string input = data == 0   ? insttest::RandomBytes(size, static_cast<std::uint32_t>(size))
                                  : data == 1 ? insttest::TextBytes(size, static_cast<std::uint32_t>(size))
                                              : std::string(size, 'a');
        const std::string stream = insttest::Deflate(input, k.level, k.strategy);
        const Decoded d = Decode(stream, ~std::uint64_t{0}, "PK\3\4 next header");
        ASSERT_EQ(d.result, kInflateOk);
        ASSERT_TRUE(d.out == input);
        EXPECT_EQ(d.crc, insttest::ZlibCrc(input));
        EXPECT_EQ(d.position, stream.size());
      }
    }
  }
}

TEST(Inflate, HandMadeBlocks) {
  // Stored blocks: two, the second final, then a fixed block with an overlapping copy.
  BitWriter w;
  w.Bits(0, 1);
  w.Bits(0, 2);
  w.Align();
  w.Bits(3, 16);
  w.Bits(~3u & 0xFFFF, 16);
  w.bytes += "abc";
  w.Bits(1, 1);
  w.Bits(1, 2);
  w.FixedLiteral('x');
  w.FixedLiteral(285);  // length 258
  w.FixedDistance(0);   // distance 1: x repeated
  w.FixedLiteral(256);
  Decoded d = Decode(w.bytes);
  EXPECT_EQ(d.result, kInflateOk);
  EXPECT_EQ(d.out, "abc" + std::string(259, 'x'));

  struct Bad {
    const char* what;
    std::string stream;
    int result;
  };
  std::vector<Bad> bad;
  bad.push_back({"stored length check", insttest::BadStoredBlock(), kInflateBadData});
  {
    BitWriter b;
    b.Bits(1, 1);
    b.Bits(3, 2);
    bad.push_back({"block type 3", b.bytes, kInflateBadBlock});
  }
  {
    BitWriter b;  // a copy reaching before the member's first byte
    b.Bits(1, 1);
    b.Bits(1, 2);
    b.FixedLiteral('a');
    b.FixedLiteral(257);
    b.FixedDistance(1);  // distance 2
    b.FixedLiteral(256);
    bad.push_back({"distance past the start", b.bytes, kInflateBadData});
  }
  {
    BitWriter b;
    b.Bits(1, 1);
    b.Bits(1, 2);
    b.FixedLiteral(286);
    bad.push_back({"length code 286", b.bytes, kInflateBadData});
  }
  {
    BitWriter b;
    b.Bits(1, 1);
    b.Bits(1, 2);
    b.FixedLiteral('a');
    b.FixedLiteral(257);
    b.FixedDistance(30);
    bad.push_back({"distance code 30", b.bytes, kInflateBadData});
  }
  {
    BitWriter b;  // dynamic block whose code-length codes repeat a length before any was given
    b.Bits(1, 1);
    b.Bits(2, 2);
    b.Bits(0, 5);
    b.Bits(0, 5);
    b.Bits(0, 4);      // four code-length codes: 16, 17, 18, 0
    b.Bits(1, 3);      // 16: one bit
    b.Bits(0, 3);
    b.Bits(0, 3);
    b.Bits(1, 3);      // 0: one bit
    b.Code(0, 1);      // 16 first
    b.Bits(0, 2);
    b.bytes += std::string(8, '\0');
    bad.push_back({"repeat without a length", b.bytes, kInflateBadData});
  }
  {
    BitWriter b;  // a final fixed block that never ends
    b.Bits(1, 1);
    b.Bits(1, 2);
    for (int i = 0; i < 40; ++i) b.FixedLiteral('q');
    bad.push_back({"no end of block", b.bytes, kInflateBadData});
  }
  for (const Bad& c : bad) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Decode(c.stream).result, c.result);
  }
}

// A stream cut short anywhere, or damaged anywhere, ends with a result and never runs away.
TEST(Inflate, CutAndDamagedStreamsEnd) {
  const std::string input = insttest::TextBytes(40000, 3) + insttest::RandomBytes(3000, 4);
  const std::string stream = insttest::Deflate(input, 9);
  for (std::size_t cut = 0; cut < stream.size(); cut += std::max<std::size_t>(1, stream.size() / 300)) {
    const Decoded d = Decode(stream.substr(0, cut), input.size() + 100);
    EXPECT_NE(d.result, kInflateOk) << "cut at " << cut;
    EXPECT_LE(d.out.size(), input.size() + 100);
  }
  std::uint32_t x = 99;
  for (int round = 0; round < 400; ++round) {
    std::string damaged = stream;
    x = x * 1103515245u + 12345u;
    damaged[(x >> 8) % damaged.size()] ^= static_cast<char>(1 << (x % 8));
    const Decoded d = Decode(damaged, input.size() + 100);
    EXPECT_LE(d.out.size(), input.size() + 32768 + 100);
    if (d.result == kInflateOk) {
      EXPECT_LE(d.position, damaged.size());
    }
  }
  for (int round = 0; round < 300; ++round) {
    const std::string noise = insttest::RandomBytes(64 + round, static_cast<std::uint32_t>(round));
    const Decoded d = Decode(noise, 1 << 20);
    EXPECT_LE(d.out.size(), (1u << 20) + 32768);
  }
}

TEST(Inflate, StopsAtItsOutputLimit) {
  const std::string zeros(4 << 20, '\0');
  const std::string stream = insttest::Deflate(zeros, 9);  // about 4 KB
  EXPECT_EQ(Decode(stream, 1000).result, kInflateWrongLength);
  EXPECT_EQ(Decode(stream, zeros.size()).result, kInflateOk);
  EXPECT_EQ(Decode(stream, zeros.size() - 1).result, kInflateWrongLength);
}

// A stream whose last code ends well inside the file's buffered bytes hands back what it took.
TEST(Inflate, GivesBackBytesAfterTheStream) {
  const std::string input = "tiny";
  const std::string stream = insttest::Deflate(input, 6);
  const std::string next = insttest::RandomBytes(100, 1);
  const Decoded d = Decode(stream, ~std::uint64_t{0}, next, std::string(70000, 'z'));
  EXPECT_EQ(d.result, kInflateOk);
  EXPECT_EQ(d.out, input);
  EXPECT_EQ(d.position, stream.size());
}

}  // namespace
}  // namespace install
