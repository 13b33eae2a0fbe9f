#include "convert/gds/record_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

std::string HexOf(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  char b[4];
  for (std::uint8_t v : bytes) {
    std::snprintf(b, sizeof b, out.empty() ? "%02X" : " %02X", v);
    out += b;
  }
  return out;
}

std::string Write(const std::function<void(gds::GdsWriter&)>& write) {
  gds::GdsWriter w;
  write(w);
  EXPECT_EQ(w.BytesWritten(), static_cast<std::int64_t>(w.Buffer().size()));
  return HexOf(w.Buffer());
}

struct WriterCase {
  const char* name;
  std::function<void(gds::GdsWriter&)> write;
  const char* bytes;
};

TEST(GdsWriter, WritesEachRecordKind) {
  std::tm t{};
  t.tm_year = 124;
  t.tm_mon = 2;
  t.tm_mday = 7;
  t.tm_hour = 13;
  t.tm_min = 5;
  t.tm_sec = 59;
  const gds::GdsPoint points[] = {{0, 0}, {-1, 256}};
  const WriterCase cases[] = {
      {"HEADER", [](auto& w) { w.WriteHeaderRecord(); }, "00 06 00 02 00 03"},
      {"BGNLIB", [&](auto& w) { w.WriteBgnLib(t, t); },
       "00 1C 01 02 00 7C 00 03 00 07 00 0D 00 05 00 3B 00 7C 00 03 00 07 00 0D 00 05 00 3B"},
      {"LIBNAME odd", [](auto& w) { w.WriteLibName("ABC"); }, "00 08 02 06 41 42 43 00"},
      {"LIBNAME even", [](auto& w) { w.WriteLibName("AB"); }, "00 06 02 06 41 42"},
      {"UNITS", [](auto& w) { w.WriteUnits(1.0L / 1000, 1.0L / 1000 * 1e-6L); },
       "00 14 03 05 3E 41 89 37 4B C6 A7 EF 39 44 B8 2F A0 9B 5A 52"},
      {"ENDLIB", [](auto& w) { w.WriteEndLib(); }, "00 04 04 00"},
      {"BGNSTR", [&](auto& w) { w.WriteBgnStr(t, t); },
       "00 1C 05 02 00 7C 00 03 00 07 00 0D 00 05 00 3B 00 7C 00 03 00 07 00 0D 00 05 00 3B"},
      {"STRNAME", [](auto& w) { w.WriteStrName("TOP"); }, "00 08 06 06 54 4F 50 00"},
      {"ENDSTR", [](auto& w) { w.WriteEndStr(); }, "00 04 07 00"},
      {"BOUNDARY", [](auto& w) { w.WriteBoundary(); }, "00 04 08 00"},
      {"PATH", [](auto& w) { w.WritePath(); }, "00 04 09 00"},
      {"SREF", [](auto& w) { w.WriteSref(); }, "00 04 0A 00"},
      {"AREF", [](auto& w) { w.WriteAref(); }, "00 04 0B 00"},
      {"TEXT", [](auto& w) { w.WriteText(); }, "00 04 0C 00"},
      {"LAYER", [](auto& w) { w.WriteLayer(63); }, "00 06 0D 02 00 3F"},
      {"DATATYPE", [](auto& w) { w.WriteDatatype(5); }, "00 06 0E 02 00 05"},
      {"WIDTH", [](auto& w) { w.WriteWidth(-200); }, "00 08 0F 03 FF FF FF 38"},
      {"XY", [&](auto& w) { w.WriteXy(points, 2); },
       "00 14 10 03 00 00 00 00 00 00 00 00 FF FF FF FF 00 00 01 00"},
      {"ENDEL", [](auto& w) { w.WriteEndEl(); }, "00 04 11 00"},
      {"SNAME", [](auto& w) { w.WriteSname("a"); }, "00 06 12 06 61 00"},
      {"COLROW", [](auto& w) { w.WriteColRow(3, 2); }, "00 08 13 02 00 03 00 02"},
      {"TEXTTYPE", [](auto& w) { w.WriteTextType(1); }, "00 06 16 02 00 01"},
      {"PRESENTATION", [](auto& w) { w.WritePresentation(16 * 2 + 4); }, "00 06 17 01 00 24"},
      {"STRING empty", [](auto& w) { w.WriteString(""); }, "00 04 19 06"},
      {"STRANS", [](auto& w) { w.WriteStrans(0x8000); }, "00 06 1A 01 80 00"},
      {"MAG", [](auto& w) { w.WriteMag(1.0L); }, "00 0C 1B 05 41 10 00 00 00 00 00 00"},
      {"ANGLE zero", [](auto& w) { w.WriteAngle(0.0L); }, "00 0C 1C 05 00 00 00 00 00 00 00 00"},
      {"PATHTYPE", [](auto& w) { w.WritePathType(2); }, "00 06 21 02 00 02"},
      {"GENERATIONS", [](auto& w) { w.WriteGenerations(3); }, "00 06 22 02 00 03"},
      {"BOX", [](auto& w) { w.WriteBox(); }, "00 04 2D 00"},
  };
  for (const auto& c : cases) EXPECT_EQ(Write(c.write), c.bytes) << c.name;
}

TEST(GdsWriter, CorrectionReachesEveryNonZeroReal) {
  gds::GdsWriter w;
  w.SetReal8Correction(1);
  w.WriteMag(1.0L);
  w.WriteAngle(0.0L);
  w.WriteAngle(90.0L);
  EXPECT_EQ(HexOf(w.Buffer()),
            "00 0C 1B 05 41 10 00 00 00 00 00 01 "
            "00 0C 1C 05 00 00 00 00 00 00 00 00 "
            "00 0C 1C 05 42 5A 00 00 00 00 00 01");
}

TEST(GdsWriter, SinkGetsEveryByteInOrderAndFailureSticks) {
  std::vector<std::uint8_t> sunk;
  int calls = 0;
  gds::GdsWriter w([&](const std::uint8_t* d, std::size_t n) {
    ++calls;
    sunk.insert(sunk.end(), d, d + n);
    return calls < 3;
  });
  std::vector<gds::GdsPoint> pts(8000);
  for (int i = 0; i < 200; ++i) w.WriteXy(pts);  // about 12 MB, several blocks
  w.Flush();
  EXPECT_EQ(static_cast<std::int64_t>(sunk.size()), w.BytesWritten());
  EXPECT_EQ(w.BytesWritten(), 200 * (8 * 8000 + 4));
  EXPECT_TRUE(w.Failed());
}

// A whole element written at once is the same bytes as its records one by one, with and without a
// sink, however many points it has (more than a record holds are dropped alike).
TEST(GdsWriter, WholeElementsAreTheirRecordsOneByOne) {
  for (std::size_t count : {0, 1, 5, 8191, 9000}) {
    std::vector<gds::GdsPoint> pts(count);
    for (std::size_t i = 0; i < count; ++i)
      pts[i] = {static_cast<std::int32_t>(i) - 7, -static_cast<std::int32_t>(i * 31)};
    auto byRecords = [&](gds::GdsWriter& w) {
      w.WriteBoundary();
      w.WriteLayer(63);
      w.WriteDatatype(0);
      w.WriteXy(pts);
      w.WriteEndEl();
      w.WritePath();
      w.WriteLayer(64000);
      w.WriteDatatype(7);
      w.WritePathType(2);
      w.WriteWidth(-5);
      w.WriteXy(pts);
      w.WriteEndEl();
    };
    auto whole = [&](gds::GdsWriter& w) {
      w.WriteBoundaryElement(63, 0, pts.data(), pts.size());
      w.WritePathElement(64000, 7, 2, -5, pts.data(), pts.size());
    };
    EXPECT_EQ(Write(whole), Write(byRecords)) << count;
    std::vector<std::uint8_t> sunk[2];
    for (int k = 0; k < 2; ++k) {
      gds::GdsWriter w([&sunk, k](const std::uint8_t* d, std::size_t n) {
        sunk[k].insert(sunk[k].end(), d, d + n);
        return true;
      });
      for (int i = 0; i < 40; ++i) {  // past a block of the sink
        if (k) whole(w);
        else byRecords(w);
      }
      ASSERT_TRUE(w.Flush());
      EXPECT_EQ(w.BytesWritten(), static_cast<std::int64_t>(sunk[k].size()));
    }
    EXPECT_TRUE(sunk[0] == sunk[1]) << count;
  }
}

TEST(GdsWriter, OversizedDataStaysWithinOneRecord) {
  gds::GdsWriter w;
  std::vector<gds::GdsPoint> pts(9000);
  w.WriteXy(pts);
  ASSERT_GE(w.Buffer().size(), 4u);
  const int length = (w.Buffer()[0] << 8) | w.Buffer()[1];
  EXPECT_EQ(length, 8 * 8191 + 4);
  EXPECT_EQ(w.Buffer().size(), static_cast<std::size_t>(length));
}

}  // namespace
