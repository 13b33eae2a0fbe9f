#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "editor/tlc/readers.h"
#include "editor/tlc/records.h"
#include "editor/tlc/writer.h"

namespace {

using namespace tlc;

// Everything a record loop hands over, as one line per record, for easy comparison.
class Recorder : public RecordConsumer {
 public:
  void CellRef(const TlcCellRef& r) override {
    log.push_back("C " + r.name + " " + std::to_string(r.orientation) + " " + std::to_string(r.x) +
                  " " + std::to_string(r.y));
  }
  void Box(const TlcBox& b) override {
    log.push_back("B " + std::to_string(b.layer) + " " + std::to_string(b.left) + " " +
                  std::to_string(b.bottom) + " " + std::to_string(b.right) + " " +
                  std::to_string(b.top));
  }
  void Path(const TlcPath& p) override {
    std::string s = "P " + std::to_string(p.layer) + " " + std::to_string(p.width) + ":";
    for (int i = 0; i < p.VertexCount(); ++i)
      s += " " + std::to_string(p.x[i]) + "," + std::to_string(p.y[i]);
    log.push_back(s);
  }
  void Text(const TlcText& t) override {
    log.push_back("T " + std::to_string(t.layer) + " " + std::to_string(t.size) + " " +
                  std::to_string(t.vertexCount) + " " + std::to_string(t.orientation) + " " +
                  std::to_string(t.x) + "," + std::to_string(t.y) + " [" + t.text + "]");
  }
  void ReadError(Keyword, std::string_view message) override { log.push_back(std::string(message)); }
  std::vector<std::string> log;
};

std::vector<std::string> ReadAll(const std::string& text) {
  StringLineSource source(text);
  TlcStream stream(source);
  Recorder r;
  ReadTlcRecords(stream, r);
  return r.log;
}

std::string Crlf(std::string lf) {
  std::string out;
  for (char c : lf) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

using Log = std::vector<std::string>;

TEST(KeywordEscape, OnlyWholeKeywordTextsGetABlank) {
  struct Case { const char* in; const char* out; };
  for (Case c : {Case{"=B", " =B"}, {"=H", " =H"}, {"=T", " =T"}, {"=C", " =C"}, {"=P", " =P"},
                 {"=Bx", "=Bx"}, {"=X", "=X"}, {" =B", " =B"}, {"", ""}, {"=", "="}}) {
    EXPECT_EQ(EscapeKeywordText(c.in), c.out) << c.in;
  }
}

TEST(TextVertexCount, ReferencePointPlusOnePerEightCharacters) {
  EXPECT_EQ(TextVertexCount(0), 1);
  EXPECT_EQ(TextVertexCount(1), 2);
  EXPECT_EQ(TextVertexCount(8), 2);
  EXPECT_EQ(TextVertexCount(9), 3);
  EXPECT_EQ(TextVertexCount(64), 9);
}

// The exact bytes of a small cell, as the editor writes it.
TEST(Writer, FixtureCellMatchesExpectedBytes) {
  StringSink sink;
  TlcWriter w(sink);
  TlcHeader h;
  h.name = "NAND2";
  h.version1 = "6.05";
  h.version2 = "6.05";
  h.scale = 1000;
  h.unit = "um";
  h.date = "01/02/03";
  h.time = "04:05:06";
  h.rank = 2;
  h.left = -10, h.bottom = -20, h.right = 300, h.top = 400;
  h.boxes = 1, h.paths = 4, h.vertices = 18, h.cellRefs = 1;
  ASSERT_TRUE(w.PutHeader(h));
  ASSERT_TRUE(w.PutCellRef({"INV", 5, -100, 200}));
  ASSERT_TRUE(w.PutBox({3, 0, 0, 10, -20}));
  std::vector<std::int32_t> x5 = {1, 2, 3, 4, 5}, y5 = {-1, -2, -3, -4, -5};
  ASSERT_TRUE(w.PutPath(7, 0, x5, y5));
  std::vector<std::int32_t> x6 = {1, 2, 3, 4, 5, 6}, y6 = {0, 0, 0, 0, 0, 0};
  ASSERT_TRUE(w.PutPath(64, 20, x6, y6));
  ASSERT_TRUE(w.PutPath(1, 5, {}, {}));
  ASSERT_TRUE(w.PutText({2, 75, 2, 3, 10, 20, "=P"}));
  ASSERT_TRUE(w.Flush());
  EXPECT_EQ(sink.text, Crlf("=H\nNAND2\n6.05\n6.05\n1000\num\n01/02/03\n04:05:06\n"
                            "2 -10 -20 300 400\n1 4 18 1\n"
                            "=C\nINV\n5 -100 200 0\n"
                            "=B\n3 0 0 10 -20\n"
                            "=P\n7 0 5\n1 -1 2 -2 3 -3 4 -4 5 -5 \n"
                            "=P\n64 20 6\n1 0 2 0 3 0 4 0 5 0 \n6 0 \n"
                            "=P\n1 5 0\n"
                            "=T\n2 75 2 3\n10 20\n =P\n"));
  EXPECT_EQ(w.Counts().boxes, 1);
  EXPECT_EQ(w.Counts().paths, 3);
  EXPECT_EQ(w.Counts().texts, 1);
  EXPECT_EQ(w.Counts().vertices, 13);
  EXPECT_EQ(w.Counts().cellRefs, 1);
}

TEST(Writer, TwelveVerticesMakeLinesOfFiveFiveAndTwo) {
  StringSink sink;
  TlcWriter w(sink);
  std::vector<std::int32_t> x(12), y(12);
  for (int i = 0; i < 12; ++i) x[i] = i, y[i] = 100 + i;
  ASSERT_TRUE(w.PutPath(1, 0, x, y));
  ASSERT_TRUE(w.Flush());
  EXPECT_EQ(sink.text, Crlf("=P\n1 0 12\n0 100 1 101 2 102 3 103 4 104 \n"
                            "5 105 6 106 7 107 8 108 9 109 \n10 110 11 111 \n"));
}

TEST(Writer, ImporterAndLayerLogicVariants) {
  TlcHeader h;
  h.name = "TOP";
  h.version1 = "6.05";
  h.version2 = "6.05";
  h.scale = 1000.7;
  h.unit = "mil";
  h.date = "12/31/99";
  h.time = "23:59:59";
  h.rank = 3;
  h.left = 5, h.bottom = 5, h.right = 9, h.top = 9;
  h.boxes = 2, h.paths = 3, h.vertices = -1, h.cellRefs = 4;

  {  // GDSII importer: header first, "6.0" twice, no outline, a CELLS.REF entry.
    StringSink sink;
    CellsRefWriter ref(1);
    TlcWriterOptions o = UtilityWriterOptions();
    o.outline = HeaderOutline::Importer;
    o.cellsRef = &ref;
    TlcWriter w(sink, o);
    ASSERT_TRUE(w.PutHeader(h));
    EXPECT_EQ(sink.text, Crlf("=H\nTOP\n6.0\n6.0\n1000.7\nmil\n12/31/99\n23:59:59\n3 0 0 1 0\n2 3 -1 4\n"));
    EXPECT_EQ(ref.Text(false), Crlf("1\nTOP\n3 0 0 1000 0 2 3 -1 4\n"));
    EXPECT_EQ(ref.Text(true), Crlf("1\nTOP\n3 0 0 1000 0 2 3 -1 4\n\n"));
  }
  {  // Layer logic: unit "um", outline to the scale's width, "%u" vertices, header last.
    StringSink sink;
    TlcWriterOptions o = UtilityWriterOptions();
    o.outline = HeaderOutline::ScaleWide;
    o.fixedUnit = "um";
    o.unsignedVertexCount = true;
    o.countsFromRecords = true;
    int updates = 0;
    o.onRecord = [&](const TlcRecordCounts&) { ++updates; };
    TlcWriter w(sink, o);
    ASSERT_TRUE(w.PutBox({1, 0, 0, 1, 1}));
    std::vector<std::int32_t> x = {0, 1, 1}, y = {0, 0, 1};
    ASSERT_TRUE(w.PutPath(1, 0, x, y));
    ASSERT_TRUE(w.PutHeader(h));
    EXPECT_EQ(updates, 2);
    EXPECT_NE(sink.text.find("=H\r\nTOP\r\n6.0\r\n6.0\r\n1000.7\r\num\r\n12/31/99\r\n23:59:59\r\n"
                             "3 0 0 1000 0\r\n1 1 3 0\r\n"),
              std::string::npos);
  }
  {
    StringSink sink;
    TlcWriterOptions o;
    o.unsignedVertexCount = true;
    TlcWriter w(sink, o);
    ASSERT_TRUE(w.PutHeader(h));
    EXPECT_NE(sink.text.find("2 3 4294967295 4\r\n"), std::string::npos);
  }
}

// Numbers go out as "%d" writes them, whatever their length and sign: in a box, in the pairs of a
// path of the longest numbers, and as the header's vertex count, signed and unsigned.
TEST(Writer, NumbersAreWrittenAsPrintfWritesThem) {
  std::vector<std::int32_t> x = {0, INT32_MIN, INT32_MAX, -1, 99999999, 100000000};
  for (std::int64_t p = 1; p <= 1000000000; p *= 10)
    for (std::int64_t v : {p - 1, p, p + 1, 2 * p + 7}) {
      x.push_back(static_cast<std::int32_t>(std::min<std::int64_t>(v, INT32_MAX)));
      x.push_back(static_cast<std::int32_t>(-std::min<std::int64_t>(v, INT32_MAX)));
    }
  std::vector<std::int32_t> y(x.rbegin(), x.rend());
  StringSink sink;
  TlcWriter w(sink);
  ASSERT_TRUE(w.PutBox({7, INT32_MIN, -10000, 9999, INT32_MAX}));
  ASSERT_TRUE(w.PutPath(1, -2147483647, x, y));
  std::string expected = "=B\r\n7 -2147483648 -10000 9999 2147483647\r\n=P\r\n1 -2147483647 " +
                         std::to_string(x.size()) + "\r\n";
  for (std::size_t i = 0; i < x.size(); ++i) {
    char pair[32];
    std::snprintf(pair, sizeof pair, "%d %d ", x[i], y[i]);
    expected += pair;
    if (i % 5 == 4 || i + 1 == x.size()) expected += "\r\n";
  }
  ASSERT_TRUE(w.Flush());
  EXPECT_EQ(sink.text, expected);

  for (bool unsignedCount : {false, true}) {
    StringSink headerSink;
    TlcWriterOptions o;
    o.unsignedVertexCount = unsignedCount;
    TlcWriter hw(headerSink, o);
    TlcHeader h;
    h.vertices = INT32_MIN;
    ASSERT_TRUE(hw.PutHeader(h));
    EXPECT_TRUE(headerSink.text.ends_with(unsignedCount ? "\r\n0 0 2147483648 0\r\n" : "\r\n0 0 -2147483648 0\r\n"))
        << headerSink.text;
  }
}

class FailingSink : public ByteSink {
 public:
  bool Write(std::string_view) override { return false; }
};

TEST(Writer, AFailedWriteIsReportedAndSticks) {
  FailingSink sink;
  TlcWriter w(sink);
  EXPECT_TRUE(w.PutBox({1, 0, 0, 1, 1}));  // still buffered
  EXPECT_FALSE(w.Flush());
  EXPECT_TRUE(w.Failed());
  EXPECT_FALSE(w.PutBox({1, 0, 0, 1, 1}));
  EXPECT_FALSE(w.Flush());
}

TEST(Writer, ScaleFormatsAsPercentG) {
  struct Case { double in; const char* out; };
  for (Case c : {Case{1000, "1000"}, {20, "20"}, {0.5, "0.5"}, {1e6, "1e+06"}, {123456.7, "123457"},
                 {0.0001, "0.0001"}, {0.00001, "1e-05"}, {-2.5, "-2.5"}}) {
    EXPECT_EQ(FormatScale(c.in), c.out) << c.in;
  }
}

// Pair lines may be wrapped anywhere, as long as x and y of a pair share a line.
TEST(Readers, PairLinesWrappedAnyWayGiveTheSamePath) {
  const std::string eleven = "P 5 10: 1,2 3,4 5,6 7,8 9,10 11,12 13,14 15,16 17,18 19,20 21,22";
  struct Case { const char* name; std::string text; };
  const Case cases[] = {
      {"five a line", "=P\n5 10 11\n1 2 3 4 5 6 7 8 9 10 \n11 12 13 14 15 16 17 18 19 20 \n21 22 \n"},
      {"one a line", "=P\n5 10 11\n1 2\n3 4\n5 6\n7 8\n9 10\n11 12\n13 14\n15 16\n17 18\n19 20\n21 22\n"},
      {"all on one line", "=P\n5 10 11\n1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22\n"},
      {"uneven, tabs", "=P\n5\t10 11\n1 2 3 4 5 6\n7 8\n\n9 10\t11 12 13 14 15 16 17 18 19 20 21 22 99 99\n"},
      {"CR LF", Crlf("=P\n5 10 11\n1 2 3 4 5 6 7 8 9 10 \n11 12 13 14 15 16 17 18 19 20 \n21 22 \n")},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadAll(c.text + "=B\n1 0 0 1 1\n"), (Log{eleven, "B 1 0 0 1 1"})) << c.name;
}

TEST(Readers, BadRecordsCostOnlyThemselves) {
  struct Case { const char* name; std::string text; Log log; };
  const Case cases[] = {
      {"pair split over two lines", "=P\n1 0 2\n1 2 3\n4\n", {"Path Record Read Error"}},
      {"short box line", "=B\n1 0 0 10\n", {"Box Record Read Error"}},
      {"box on layer 0", "=B\n0 0 0 10 10\n", {"Box Record Read Error"}},
      {"box on layer 65", "=B\n65 0 0 10 10\n", {"Box Record Read Error"}},
      {"path on layer 0", "=P\n0 0 1\n1 1\n", {"Path Record Read Error"}},
      {"negative vertex count", "=P\n1 0 -1\n", {"Path Record Read Error"}},
      {"513 vertices", "=P\n1 0 513\n" + std::string(513, ' ').replace(0, 3, "1 1") + "\n", {"Path Record Read Error"}},
      {"text orientation 8", "=T\n1 75 2 8\n0 0\nAB\n", {"Text Record Read Error"}},
      {"text layer 0", "=T\n0 75 2 0\n0 0\nAB\n", {"Text Record Read Error"}},
      {"reference orientation -1", "=C\nINV\n-1 0 0 0\n", {"Cell Record Read Error"}},
      {"reference with two numbers", "=C\nINV\n1 0\n", {"Cell Record Read Error"}},
      {"path cut short by a keyword", "=P\n1 0 3\n1 1 2 2\n", {"Path Record Read Error"}},
      {"reference cut short by a keyword", "=C\n", {"Cell Record Read Error"}},
      {"text at the end of the file", "=T\n1 75 2 0\n0 0\n", {"Text Record Read Error"}},
  };
  for (const Case& c : cases) {
    Log want = c.log;
    want.push_back("B 2 1 2 3 4");
    EXPECT_EQ(ReadAll(c.text + "=B\n2 1 2 3 4\n"), want) << c.name;
  }
  // At the very end of the file the record just fails.
  EXPECT_EQ(ReadAll("=P\n1 0 2\n1 1\n"), Log{"Path Record Read Error"});
}

TEST(Readers, EdgesOfTheRecordGrammar) {
  // No pair line for n = 0: the keyword after it is a record of its own.
  EXPECT_EQ(ReadAll("=P\n3 10 0\n=B\n1 0 0 1 1\n"), (Log{"P 3 10:", "B 1 0 0 1 1"}));
  // n = 1 reads one pair line, the rest of it ignored.
  EXPECT_EQ(ReadAll("=P\n3 10 1\n5 6 7 8\n7 8\n"), (Log{"P 3 10: 5,6"}));
  // 512 vertices are the most a path holds.
  std::string p512 = "=P\n1 0 512\n";
  for (int i = 0; i < 512; ++i) p512 += std::to_string(i) + " " + std::to_string(-i) + " \n";
  Log got = ReadAll(p512);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].rfind(" 511,-511"), got[0].size() - 9);
  // Keyword escape: the blank stays; a text that begins with a keyword is any text.
  EXPECT_EQ(ReadAll("=T\n1 75 2 0\n0 0\n =T\n=T\n1 75 2 0\n0 0\n=B1\n"),
            (Log{"T 1 75 2 0 0,0 [ =T]", "T 1 75 2 0 0,0 [=B1]"}));
  // Lines that are not exactly a keyword are skipped: blank lines, trailing blanks, lower case.
  EXPECT_EQ(ReadAll("\n\n=B \n1 0 0 1 1\n=b\n1 0 0 1 1\n\n=B\n1 0 0 1 1 junk\n"),
            (Log{"B 1 0 0 1 1"}));
  // atoi rules: junk after a number is ignored; a sign is taken; a word is 0.
  EXPECT_EQ(ReadAll("=B\n1x -5 +6 7abc 8\n=C\nA\n3 x 9\n"), (Log{"B 1 -5 6 7 8", "C A 3 0 9"}));
  // The stream ends without a final new-line.
  EXPECT_EQ(ReadAll("=B\n1 0 0 1 1"), (Log{"B 1 0 0 1 1"}));
}

TEST(Readers, NumbersReadInOneGoAgreeWithAtoiRules) {
  // Every token read as a number gives what ToInt gives for the token, plain or not.
  const std::string line =
      " 0\t-0 7 -2147483648 -2147483649 2147483647 2147483648 9999999999 99999999999 00000000000042 "
      "+6 - --5 1x x 12\v \r5 -12a 4294967297  \t";
  Tokens byToken(line), byNumber(line);
  std::string_view token;
  std::int32_t value = 0;
  int count = 0;
  while (byToken.Next(token)) {
    ASSERT_TRUE(byNumber.NextInt(value)) << token;
    EXPECT_EQ(value, ToInt(token)) << token;
    ++count;
  }
  EXPECT_FALSE(byNumber.NextInt(value));
  EXPECT_EQ(count, 19);
}

// A long line is one line: no piece of it ever becomes a record, and fields are cut at their limits.
TEST(Readers, LongLinesStayWhole) {
  const std::string name40(40, 'N');
  const std::string text100 = std::string(97, 't') + "=B1";
  std::string pairs;
  for (int i = 0; i < 40; ++i) pairs += "1234567890 -1234567890 ";
  const std::string file = std::string(98, 'x') + "=B\n1 0 0 9 9\n"  // a 100-character foreign line
                           "=C\n" + name40 + "\n1 2 3 0\n"
                           "=T\n1 75 14 0\n0 0\n" + text100 + "\n"
                           "=P\n1 0 40\n" + pairs + "\n";
  Log got = ReadAll(file);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0], "C " + name40.substr(0, 32) + " 1 2 3");
  EXPECT_EQ(got[1], "T 1 75 14 0 0,0 [" + text100.substr(0, 64) + "]");
  EXPECT_EQ(got[2].size(), std::string("P 1 0:").size() + 40 * std::string(" 1234567890,-1234567890").size());
}

TEST(Readers, HeaderIsFoundWhereverItStands) {
  const std::string header = "=H\nnand2\n6.05\n6.05\n1000\nUM\n01/02/03\n04:05:06\n2 -1 -2 3 4\n5 6 7 8\n";
  for (const std::string& text :
       {header, "\n\n" + header, Crlf("junk\n" + header), "=B\n1 0 0 1 1\n" + header}) {
    StringLineSource source(text);
    TlcStream stream(source);
    TlcHeader h;
    bool found = false;
    ASSERT_EQ(ReadTlcHeader(stream, h, &found), 1);
    EXPECT_TRUE(found);
    EXPECT_EQ(h.name, "nand2");
    EXPECT_EQ(h.scale, 1000);
    EXPECT_EQ(h.unit, "UM");
    EXPECT_EQ(h.time, "04:05:06");
    EXPECT_EQ(h.rank, 2);
    EXPECT_EQ(h.top, 4);
    EXPECT_EQ(h.cellRefs, 8);
  }
  {  // Versions, unit, date and time are cut at their widths.
    StringLineSource source("=H\nA\n6.05abc\n6.0\n1\nmicrons\n01/02/2003\n04:05:06.7\n1 0 0 0 0\n0 0 0 0\n");
    TlcStream stream(source);
    TlcHeader h;
    ASSERT_EQ(ReadTlcHeader(stream, h), 1);
    EXPECT_EQ(h.version1, "6.05a");
    EXPECT_EQ(h.unit, "micro");
    EXPECT_EQ(h.date, "01/02/20");
    EXPECT_EQ(h.time, "04:05:06");
  }
  {  // No header: 1, fields untouched, not found.
    StringLineSource source("=B\n1 0 0 1 1\n");
    TlcStream stream(source);
    TlcHeader h;
    h.rank = 9;
    bool found = true;
    EXPECT_EQ(ReadTlcHeader(stream, h, &found), 1);
    EXPECT_FALSE(found);
    EXPECT_EQ(h.rank, 9);
  }
  {  // A short number line fails the header.
    StringLineSource source("=H\nA\n6.0\n6.0\n1\num\nd\nt\n1 0 0 1\n0 0 0 0\n");
    TlcStream stream(source);
    TlcHeader h;
    EXPECT_EQ(ReadTlcHeader(stream, h), 0);
  }
}

TEST(Readers, ScaleCheckIgnoresTheCaseOfTheUnitOnly) {
  TlcHeader h;
  h.scale = 1000;
  h.unit = "um";
  EXPECT_EQ(CheckTlcScale(h, {true, 1000, "UM"}), "");
  EXPECT_EQ(CheckTlcScale(h, {false, 100, "mil"}), "");
  EXPECT_EQ(CheckTlcScale(h, {true, 100, "UM"}), "Different Scales!  TLC=1000/um Internal=100/UM");
  EXPECT_EQ(CheckTlcScale(h, {true, 1000, "mil"}), "Different Scales!  TLC=1000/um Internal=1000/mil");
}

// A unit longer than a reader keeps is written cut, so the file and what is read of it agree.
TEST(Writer, UnitIsWrittenAsEveryReaderKeepsIt) {
  StringSink sink;
  TlcWriter w(sink);
  TlcHeader h;
  h.name = "A";
  h.unit = "microns";
  ASSERT_TRUE(w.PutHeader(h));
  EXPECT_NE(sink.text.find("\r\nmicro\r\n"), std::string::npos) << sink.text;
  StringLineSource source(sink.text);
  TlcStream stream(source);
  TlcHeader back;
  ASSERT_EQ(ReadTlcHeader(stream, back), 1);
  EXPECT_EQ(back.unit, "micro");
}

// What the writer writes, the readers read back, for every record kind.
TEST(Readers, WriterOutputReadsBack) {
  StringSink sink;
  TlcWriter w(sink);
  Log want;
  for (int n : {0, 1, 4, 5, 6, 10, 11, 512}) {
    std::vector<std::int32_t> x(n), y(n);
    std::string s = "P 9 " + std::to_string(n * 3) + ":";
    for (int i = 0; i < n; ++i) {
      x[i] = (i * 7919) % 16777217 - 8388608;
      y[i] = -x[i] / 3;
      s += " " + std::to_string(x[i]) + "," + std::to_string(y[i]);
    }
    ASSERT_TRUE(w.PutPath(9, n * 3, x, y));
    want.push_back(s);
  }
  for (const char* t : {"", "=H", "=HX", "a text of many words", " =C"}) {
    std::string text = t;
    ASSERT_TRUE(w.PutText({64, 75, TextVertexCount(text.size()), 7, -8388608, 8388608, text}));
    want.push_back("T 64 75 " + std::to_string(TextVertexCount(text.size())) + " 7 -8388608,8388608 [" +
                   EscapeKeywordText(text) + "]");
  }
  ASSERT_TRUE(w.PutCellRef({"X_1", 6, -3, 4}));
  want.push_back("C X_1 6 -3 4");
  ASSERT_TRUE(w.Flush());
  EXPECT_EQ(ReadAll(sink.text), want);
}

}  // namespace
