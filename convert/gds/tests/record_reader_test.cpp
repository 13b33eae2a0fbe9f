#include "convert/gds/record_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
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

// Reads to ENDLIB or to the first failure; returns the types read.
std::vector<int> ReadAll(const Bytes& bytes, gds::ReadStatus* status) {
  gds::GdsReader reader(bytes.data(), bytes.size());
  std::vector<int> types;
  gds::GdsRecord r;
  while (reader.Next(r)) {
    types.push_back(r.type);
    if (r.type == gds::kEndLib) break;
  }
  *status = reader.Status();
  return types;
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
