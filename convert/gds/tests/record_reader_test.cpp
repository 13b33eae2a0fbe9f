#include "convert/gds/record_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "convert/gds/record.h"
#include "convert/gds/record_writer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes SmallLibrary() {
  gds::GdsWriter w;
  std::tm t{};
  w.WriteHeaderRecord();
  w.WriteBgnLib(t, t);
  w.WriteLibName("LIB");
  w.WriteUnits(0.001L, 1e-9L);
  w.WriteBgnStr(t, t);
  w.WriteStrName("TOP");
  w.WriteBoundary();
  w.WriteLayer(40000);
  w.WriteDatatype(0);
  const gds::GdsPoint box[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
  w.WriteXy(box, 5);
  w.WriteEndEl();
  w.WriteEndStr();
  w.WriteEndLib();
  return w.Buffer();
}

Bytes Record(int length, int type, int dataType, Bytes data = {}) {
  Bytes r{static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length),
          static_cast<std::uint8_t>(type), static_cast<std::uint8_t>(dataType)};
  r.insert(r.end(), data.begin(), data.end());
  return r;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// What a reader hands out, record by record, up to ENDLIB or the first failure.
struct Reading {
  std::vector<int> types;
  std::vector<Bytes> data;
  std::vector<std::size_t> positions;
  gds::ReadStatus status = gds::ReadStatus::kOk;
  std::string headerLine;
  bool operator==(const Reading&) const = default;
};

Reading ReadWith(gds::GdsReader& reader) {
  Reading out;
  gds::GdsRecord r;
  while (reader.Next(r)) {
    out.types.push_back(r.type);
    out.data.emplace_back(r.data, r.data + r.size);
    out.positions.push_back(reader.Position());
    if (r.type == gds::kEndLib) break;
  }
  out.status = reader.Status();
  out.headerLine = reader.HeaderLine();
  return out;
}

// The same bytes read from a file, twice over with a rewind between, on the reader's own thread and
// with a thread reading ahead.
std::vector<Reading> ReadFromFile(const Bytes& bytes) {
  std::FILE* f = std::tmpfile();
  if (!f) return {};
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fflush(f);
  std::vector<Reading> readings;
  for (bool ahead : {false, true}) {
    gds::GdsReader reader(f, bytes.size(), ahead);
    for (int pass = 0; pass < 2; ++pass) {
      reader.Rewind();
      readings.push_back(ReadWith(reader));
    }
  }
  std::fclose(f);
  return readings;
}

// Reads to ENDLIB or to the first failure; returns the types read. Reading the bytes from a file
// must hand out the very same records and end the same way.
std::vector<int> ReadAll(const Bytes& bytes, gds::ReadStatus* status) {
  gds::GdsReader reader(bytes.data(), bytes.size());
  const Reading inMemory = ReadWith(reader);
  for (const Reading& fromFile : ReadFromFile(bytes)) EXPECT_TRUE(fromFile == inMemory);
  *status = inMemory.status;
  return inMemory.types;
}

TEST(GdsReader, ReadsWhatTheWriterWrites) {
  const Bytes lib = SmallLibrary();
  gds::GdsReader reader(lib.data(), lib.size());
  gds::GdsRecord r;
  std::vector<int> types;
  while (reader.Next(r)) {
    types.push_back(r.type);
    if (r.type == gds::kLayer) {
      EXPECT_EQ(r.Int2(0), 40000u);  // int2 is unsigned
    }
    if (r.type == gds::kUnits) {
      EXPECT_DOUBLE_EQ(r.Real8(0), 0.001);
      EXPECT_DOUBLE_EQ(r.Real8(1), 1e-9);
    }
    if (r.type == gds::kXy) {
      EXPECT_EQ(r.Int4Count(), 10u);
      EXPECT_EQ(r.Int4(2), 10);
      EXPECT_EQ(r.Int4(99), 0);  // past the data
    }
    if (r.type == gds::kStrName) {
      EXPECT_EQ(gds::ReadGdsString(r, 32), "TOP");
    }
    if (r.type == gds::kEndLib) break;
  }
  EXPECT_EQ(reader.Status(), gds::ReadStatus::kOk);
  EXPECT_EQ(reader.Position(), lib.size());
  EXPECT_EQ(types, (std::vector<int>{0, 1, 2, 3, 5, 6, 8, 13, 14, 16, 17, 7, 4}));
}

struct DamagedCase {
  const char* name;
  Bytes bytes;
  gds::ReadStatus status;
  std::size_t recordsRead;
  const char* headerLine;  // nullptr: not checked
};

TEST(GdsReader, DamagedStreamsStopWithTheirMessage) {
  const Bytes header = Record(6, gds::kHeader, gds::kInt2, {0, 3});
  const Bytes endlib = Record(4, gds::kEndLib, 0);
  const Bytes hundredNulls(200, 0);
  const Bytes bigString(600, 'x');
  const DamagedCase cases[] = {
      {"100 null words then a record", Cat({hundredNulls, header, endlib}), gds::ReadStatus::kOk, 2,
       nullptr},
      {"101 null words", Cat({hundredNulls, Bytes{0, 0}, header, endlib}),
       gds::ReadStatus::kTooManyNulls, 0, nullptr},
      {"record type 61", Cat({header, Record(4, 61, 0), endlib}), gds::ReadStatus::kTooManyNulls, 1,
       "GDS Record Header: RL=4  RT=61  DT=0"},
      {"data type 7", Cat({header, Record(4, gds::kEndStr, 7), endlib}),
       gds::ReadStatus::kDataTypeError, 1, nullptr},
      {"LAYER as int4", Cat({header, Record(8, gds::kLayer, gds::kInt4, {0, 0, 0, 1}), endlib}),
       gds::ReadStatus::kWrongDataType, 1, "GDS Record Header: RL=8  RT=13  DT=3"},
      {"HEADER of length 8", Cat({Record(8, gds::kHeader, gds::kInt2, {0, 3, 0, 0}), endlib}),
       gds::ReadStatus::kWrongLength, 0, nullptr},
      {"length 2 never loops", Cat({header, Record(2, gds::kEndEl, 0), endlib}),
       gds::ReadStatus::kWrongLength, 1, nullptr},
      {"length 0 after the first record", Cat({header, Bytes{0, 0, 0, 0}, endlib}),
       gds::ReadStatus::kWrongLength, 1, nullptr},
      {"LAYER without its value", Cat({header, Record(4, gds::kLayer, gds::kInt2), endlib}),
       gds::ReadStatus::kWrongLength, 1, nullptr},
      {"UNITS with one real", Cat({header, Record(12, gds::kUnits, gds::kReal8, Bytes(8, 0x41)), endlib}),
       gds::ReadStatus::kWrongLength, 1, nullptr},
      {"XY without a point", Cat({header, Record(8, gds::kXy, gds::kInt4, {0, 0, 0, 0}), endlib}),
       gds::ReadStatus::kWrongLength, 1, nullptr},
      {"length past the end", Cat({header, Record(0xFFFE, gds::kXy, gds::kInt4, Bytes(16, 0))}),
       gds::ReadStatus::kUnexpectedEnd, 1, nullptr},
      {"cut inside a header", Cat({header, Bytes{0, 4, 4}}), gds::ReadStatus::kUnexpectedEnd, 1,
       nullptr},
      {"no ENDLIB", header, gds::ReadStatus::kUnexpectedEnd, 1, nullptr},
      {"empty file", Bytes{}, gds::ReadStatus::kUnexpectedEnd, 0, nullptr},
      {"unknown record skipped by length",
       Cat({header, Record(10, 50, gds::kInt4, Bytes(6, 7)), endlib}), gds::ReadStatus::kOk, 3,
       nullptr},
      {"string over 512 bytes keeps step",
       Cat({header, Record(604, gds::kString, gds::kAscii, bigString), endlib}), gds::ReadStatus::kOk,
       3, nullptr},
  };
  for (const auto& c : cases) {
    gds::ReadStatus status;
    const auto types = ReadAll(c.bytes, &status);
    EXPECT_EQ(status, c.status) << c.name;
    EXPECT_EQ(types.size(), c.recordsRead) << c.name;
    if (c.headerLine) {
      gds::GdsReader reader(c.bytes.data(), c.bytes.size());
      gds::GdsRecord r;
      while (reader.Next(r)) {
      }
      EXPECT_EQ(reader.HeaderLine(), c.headerLine) << c.name;
    }
  }
}

TEST(GdsReader, AFileReadInBlocksGivesTheRecordsOfMemory) {
  // Records of many lengths up to the largest, so that records straddle every block boundary.
  Bytes lib = Cat({Record(6, gds::kHeader, gds::kInt2, {0, 3})});
  std::uint32_t seed = 7;
  std::size_t n = 0;
  while (lib.size() < (std::size_t{5} << 20)) {
    seed = seed * 1664525u + 1013904223u;
    const std::size_t points = n++ % 97 == 0 ? gds::kMaxXyPoints : 1 + (seed >> 20) % 300;
    Bytes xy(8 * points);
    for (std::size_t i = 0; i < xy.size(); ++i) xy[i] = static_cast<std::uint8_t>(seed >> (i % 24));
    for (const Bytes& r : {Record(static_cast<int>(xy.size() + 4), gds::kXy, gds::kInt4, xy), Record(4, gds::kEndEl, 0)})
      lib.insert(lib.end(), r.begin(), r.end());
  }
  const Bytes whole = Cat({lib, Record(4, gds::kEndLib, 0)});
  const Bytes cut(lib.begin(), lib.end() - 3);  // the last record cut short
  for (const Bytes* bytes : {&whole, &cut}) {
    gds::GdsReader reader(bytes->data(), bytes->size());
    const Reading inMemory = ReadWith(reader);
    EXPECT_EQ(inMemory.status, bytes == &whole ? gds::ReadStatus::kOk : gds::ReadStatus::kUnexpectedEnd);
    const std::vector<Reading> fromFile = ReadFromFile(*bytes);
    ASSERT_EQ(fromFile.size(), 4u);
    for (const Reading& reading : fromFile) EXPECT_TRUE(reading == inMemory);
  }
}

// A file whose reading fails (a folder opened as a file) is a read error, not a stream that ends,
// whichever thread reads it.
TEST(GdsReader, AFileThatCannotBeReadIsAReadError) {
  for (bool ahead : {false, true}) {
    std::FILE* folder = std::fopen("/tmp", "rb");
    ASSERT_NE(folder, nullptr);
    gds::GdsReader reader(folder, 4096, ahead);
    reader.Rewind();
    gds::GdsRecord r;
    EXPECT_FALSE(reader.Next(r));
    EXPECT_EQ(reader.Status(), gds::ReadStatus::kReadError) << ahead;
    std::fclose(folder);
  }
}

TEST(GdsReader, MessagesOfEachStatus) {
  EXPECT_STREQ(gds::ReadStatusMessage(gds::ReadStatus::kTooManyNulls),
               "Too Many Nulls in GDS Header ... Can't Continue");
  EXPECT_STREQ(gds::ReadStatusMessage(gds::ReadStatus::kDataTypeError),
               "Data Type Error ... Can't Continue");
  EXPECT_STREQ(gds::ReadStatusMessage(gds::ReadStatus::kWrongDataType), "Stream Data Type is Wrong");
  EXPECT_STREQ(gds::ReadStatusMessage(gds::ReadStatus::kWrongLength),
               "Stream Record Length is Wrong");
}

TEST(GdsReader, StringsAreCutAtTheirLimitAndAt512) {
  struct StringCase {
    Bytes data;
    std::size_t limit;
    const char* text;
    bool tooLong;
  };
  const StringCase cases[] = {
      {Bytes{'A', 'B', 'C', 0}, 32, "ABC", false},
      {Bytes(40, 'N'), 32, "NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN", true},
      {Bytes{'A', 0, 'B', 'C'}, 32, "A", false},
      {Bytes(600, 'T'), 512, nullptr, false},
      {Bytes{}, 32, "", false},
  };
  for (const auto& c : cases) {
    gds::GdsRecord r;
    r.type = gds::kString;
    r.data = c.data.data();
    r.size = c.data.size();
    bool tooLong = true;
    const std::string s = gds::ReadGdsString(r, c.limit, &tooLong);
    if (c.text) {
      EXPECT_EQ(s, c.text);
    } else {
      EXPECT_EQ(s, std::string(512, 'T'));  // the rest of the record is dropped, not an overflow
    }
    EXPECT_EQ(tooLong, c.tooLong) << s;
  }
}

}  // namespace
