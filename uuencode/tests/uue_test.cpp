// The encoder's lines, check sum and begin-line names, and whole conversions in a scratch folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "platform/os/tests/scratch.h"
#include "platform/tell/recorder.h"
#include "uuencode/uue_codec.h"
#include "uuencode/uue_job.h"

namespace {

std::string Bytes(std::size_t n, unsigned seed = 1) {
  std::mt19937 gen(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(gen() & 0xFF);
  return s;
}

std::string Encoded(const std::string& bytes) {
  return uue::EncodeUueLine(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
}

TEST(UueCodec, LinesOfKnownBytes) {
  // "Cat" is the classic example: 0x43 0x61 0x74 -> 16 54 5 52 -> "0V%T".
  EXPECT_EQ(Encoded("Cat"), "#0V%T");
  EXPECT_EQ(Encoded(std::string(1, '\0')), "!````");
  EXPECT_EQ(Encoded(std::string(3, '\xFF')), "#____");
  EXPECT_EQ(Encoded(""), "`");
  const std::string full = Encoded(Bytes(45));
  EXPECT_EQ(full.size(), 61u);
  EXPECT_EQ(full[0], 'M');
  for (char c : full) EXPECT_TRUE(c >= '!' && c <= '`') << int(c);
}

TEST(UueCodec, EveryLineLengthDecodesBack) {
  for (int n = 0; n <= 45; ++n) {
    const std::string bytes = Bytes(n, n);
    std::string back;
    EXPECT_EQ(uue::DecodeUueLine(Encoded(bytes), back), n);
    EXPECT_EQ(back, bytes) << n;
  }
}

TEST(UueCodec, ShortAndForeignLinesNeverReadPastTheirEnd) {
  std::string out;
  // "M" claims 45 bytes but brings none: zeros, and nothing read beyond the line.
  EXPECT_EQ(uue::DecodeUueLine("M", out), 45);
  EXPECT_EQ(out, std::string(45, '\0'));
  // Blanks, as other encoders write them, are zeros like the backquote.
  out.clear();
  uue::DecodeUueLine("#    ", out);
  EXPECT_EQ(out, std::string(3, '\0'));
  out.clear();
  EXPECT_EQ(uue::DecodeUueLine("", out), 0);
}

TEST(UueCodec, CheckSumCountsRunsOfBlanksOnce) {
  struct Case {
    std::string text;
    std::uint32_t sum, count;
  } cases[] = {
      {"abc\n", 32 + 97 + 98 + 99 + 32, 5},
      {"abc\r\n", 32 + 97 + 98 + 99 + 32, 5},
      {"abc", 32 + 97 + 98 + 99 + 32, 5},            // the closing run is counted at the end
      {"  a  \t b", 32 + 97 + 32 + 98 + 32, 5},     // a leading run joins the starting 32
      {std::string("a\0\0b", 4), 32 + 97 + 98 + 32, 4},  // NUL bytes add nothing
      {"\xE1", 32 + 97 + 32, 3},                    // bit 7 is cleared
      {"", 32, 1},
  };
  for (const Case& c : cases) {
    uue::CheckSum sum;
    sum.Add(reinterpret_cast<const unsigned char*>(c.text.data()), c.text.size());
    EXPECT_EQ(sum.Sum(), c.sum) << c.text;
    EXPECT_EQ(sum.Count(), c.count) << c.text;
  }
}

TEST(UueCodec, BeginLineNamesStayInsideTheDestination) {
  const std::pair<const char*, const char*> cases[] = {
      {"begin 644 DATA.BIN", "DATA.BIN"},  {"begin 666 a.b c", "a.b"},
      {"begin 644 ../../etc/x", "x"},      {"begin 644 /etc/passwd", "passwd"},
      {"begin 644 C:\\WIN\\x.dll", "x.dll"}, {"begin 644 D:y", "y"},
      {"begin 644 ..", ""},                {"begin 644", ""},
      {"begin-base64 644 x", ""},          {"beginning 644 x", ""},
  };
  for (const auto& [line, name] : cases) EXPECT_EQ(uue::BeginLineName(line), name) << line;
}

TEST(UueSettings, DestinationRules) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"a.bin", "", ".\\"},         {"a.bin", "out", "out\\"},     {"a.bin", "out\\", "out\\"},
      {"X.UUE", "+", "+"},          {"x.uue", "+", "+"},           {"a.bin", "+", "+\\"},
      {"dir.uue\\a.bin", "+", "+\\"}, {"a.bin", "/tmp/", "/tmp/"},
  };
  for (const auto& [source, dest, expected] : cases) {
    uue::UueSettings s;
    s.source() = source;
    s.destination() = dest;
    uue::NormaliseUueSettings(s);
    EXPECT_EQ(s.destination(), expected) << source << " " << dest;
  }
}

class UueRun : public ::testing::Test {
 protected:
  ostest::Scratch dir;
  tell::Recorder ui;
  utilib::Job job{"MEROUUE", ui};
  uue::UueOutcome out;

  void SetUp() override { std::filesystem::current_path(dir.root); }

  int Convert(const std::string& source, const std::string& destination, bool pagePause = false) {
    uue::UueSettings s;
    s.source() = source;
    s.destination() = destination;
    s.pagePause = pagePause;
    uue::NormaliseUueSettings(s);
    return uue::ConvertUue(job, s, out);
  }
  std::vector<std::string> Lines(const std::string& file) {
    std::vector<std::string> lines;
    const std::string text = dir.Read(file);
    std::size_t pos = 0;
    while (pos < text.size()) {
      std::size_t end = text.find("\r\n", pos);
      EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
      if (end == std::string::npos) break;
      lines.push_back(text.substr(pos, end - pos));
      pos = end + 2;
    }
    return lines;
  }
};

TEST_F(UueRun, FortySixBytesMakeAFullLineAndAOneByteLine) {
  const std::string data = Bytes(46);
  dir.Write("data.bin", data);
  ASSERT_EQ(Convert("data.bin", ""), uue::kEncoded);
  EXPECT_EQ(out.output, ".\\Data.uue");
  const auto lines = Lines("Data.uue");
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "begin 644 data.bin");
  EXPECT_EQ(lines[1][0], 'M');
  EXPECT_EQ(lines[2].size(), 5u);
  EXPECT_EQ(lines[2][0], '!');
  EXPECT_EQ(lines[3], "`");
  EXPECT_EQ(lines[4], "end");
  // The check sum is the one of the file as written.
  uue::CheckSum sum;
  const std::string text = dir.Read("Data.uue");
  sum.Add(reinterpret_cast<const unsigned char*>(text.data()), text.size());
  EXPECT_EQ(out.checkSum, sum.Sum());
  EXPECT_EQ(out.byteCount, sum.Count());
  EXPECT_EQ(uue::UueCompletionText(out),
            "Converted to UUE, CheckSum= " + std::to_string(sum.Sum()) + "  ByteCount= " + std::to_string(sum.Count()));
  // The display shows a page at the begin line, the next when "end" flushes it.
  const auto items = ui.EventsOf("item");
  ASSERT_EQ(items.size(), 32u);
  EXPECT_EQ(items[0], "item 501 \"Encoding to UUE ...\"");
  EXPECT_EQ(items[1], "item 502 \"begin 644 data.bin\"");
  EXPECT_EQ(items[2], "item 503 \"\"");
  EXPECT_EQ(ui.items[501], lines[1]);
  EXPECT_EQ(ui.items[503], "`");
  EXPECT_EQ(ui.items[504], "end");
  EXPECT_EQ(ui.items[505], "");
  EXPECT_TRUE(ui.EventsOf("box").empty());
}

TEST_F(UueRun, EmptyFilesAndFullLinesEndWithTheBackquoteLineAlone) {
  for (std::size_t n : {0u, 45u, 90u}) {
    dir.Write("f.bin", Bytes(n));
    ui.boxAnswers = {tell::Answer::Ok};  // replace the last round's file
    ASSERT_EQ(Convert("f.bin", ""), uue::kEncoded) << n;
    auto lines = Lines("F.uue");
    ASSERT_EQ(lines.size(), n / 45 + 3) << n;
    EXPECT_EQ(lines[lines.size() - 2], "`");
    EXPECT_EQ(lines.back(), "end");
  }
}

TEST_F(UueRun, EncodedFilesOfManySizesDecodeBack) {
  std::filesystem::create_directory(dir.Path("back"));
  for (std::size_t n : {0u, 1u, 2u, 3u, 44u, 45u, 46u, 89u, 91u, 134u, 135u, 136u, 4096u}) {
    const std::string data = Bytes(n, static_cast<unsigned>(n) + 7);
    dir.Write("blob.dat", data);
    ui.boxAnswers = {tell::Answer::Ok, tell::Answer::Ok};
    ASSERT_EQ(Convert("blob.dat", ""), uue::kEncoded) << n;
    ASSERT_EQ(Convert("Blob.uue", "back"), uue::kDecoded) << n;
    EXPECT_EQ(out.fileLength, n);
    EXPECT_EQ(out.output, "back\\blob.dat");
    EXPECT_EQ(dir.Read("back/blob.dat"), data) << n;
    EXPECT_EQ(uue::UueCompletionText(out), "Converted from UUE, FileLength= " + std::to_string(n));
  }
}

TEST_F(UueRun, LargeFilesEncodeToTheLinesOfTheCodecAndSumAsWritten) {
  // Sizes around the encoder's read and write blocks, and a name with a byte above 127, which the
  // sum must count as a reader of the file does.
  std::filesystem::create_directory(dir.Path("back"));
  for (std::size_t n : {std::size_t{45} * 8192, std::size_t{45} * 8192 + 1, std::size_t{2500000}}) {
    const std::string data = Bytes(n, static_cast<unsigned>(n));
    const std::string name = "d\xE9ta.bin";
    dir.Write(name, data);
    ui.boxAnswers = {tell::Answer::Ok, tell::Answer::Ok};
    ASSERT_EQ(Convert(name, ""), uue::kEncoded) << n;
    ASSERT_EQ(out.output.substr(0, 2), ".\\");
    const std::string written = out.output.substr(2);
    const std::string text = dir.Read(written);
    std::string expected = "begin 644 " + name + "\r\n";
    for (std::size_t at = 0; at < n; at += 45)
      expected += Encoded(data.substr(at, 45)) + "\r\n";
    expected += "`\r\nend\r\n";
    EXPECT_TRUE(text == expected) << n;
    uue::CheckSum sum;
    sum.Add(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    EXPECT_EQ(out.checkSum, sum.Sum()) << n;
    EXPECT_EQ(out.byteCount, sum.Count()) << n;
    ASSERT_EQ(Convert(written, "back"), uue::kDecoded) << n;
    EXPECT_TRUE(dir.Read("back/" + name) == data) << n;
  }
}

TEST_F(UueRun, DecodingStopsAtEndAndTakesForeignForms) {
  // LF line ends, blanks for zero, trailing blanks, text before begin and after end.
  dir.Write("in.uue", "From: someone\nbegin 600 ../../up.txt\n#0V%T\n\"    \n`\nend  \nbegin 644 more\n#0V%T\n");
  ASSERT_EQ(Convert("in.uue", ""), uue::kDecoded);
  EXPECT_EQ(out.output, ".\\up.txt");
  EXPECT_EQ(dir.Read("up.txt"), std::string("Cat\0\0", 5));
  EXPECT_FALSE(dir.Has("more"));
  EXPECT_FALSE(std::filesystem::exists(dir.root + "/../../up.txt"));
}

TEST_F(UueRun, FailuresShowTheirMessageAndLeaveFilesAlone) {
  struct Case {
    std::string file, content, source, destination, box;
  } cases[] = {
      {"", "", "nothing.bin", "", "Source File is Missing"},
      {"", "", "nothing.uue", "", "Source File is Missing"},
      {"", "", "nothing.uue", "+", "Source File is Missing"},
      {"h.uue", "no header here\n", "h.uue", "", "Source File Header is Incorrect"},
      {"b.uue", "begin-base64 644 x\nAAAA\n====\n", "b.uue", "", "Source File Header is Incorrect"},
      {"w.bin", "x", "w.bin", "no/such/folder", "Can't Write Destination File"},
  };
  for (const Case& c : cases) {
    ui.events.clear();
    if (!c.file.empty()) dir.Write(c.file, c.content);
    EXPECT_EQ(Convert(c.source, c.destination), uue::kFailed) << c.box;
    EXPECT_EQ(ui.EventsOf("box"), std::vector<std::string>{"box \"MEROUUE\" \"" + c.box + "\""}) << c.source;
  }
  EXPECT_FALSE(dir.Has("x"));
}

TEST_F(UueRun, AnExistingDestinationIsKeptUnlessTheUserSaysOk) {
  dir.Write("keep.bin", "new");
  dir.Write("Keep.uue", "old");
  ui.boxAnswers = {tell::Answer::Cancel};
  EXPECT_EQ(Convert("keep.bin", ""), uue::kFailed);
  EXPECT_EQ(dir.Read("Keep.uue"), "old");
  EXPECT_EQ(ui.EventsOf("box"), std::vector<std::string>{"box \"MEROUUE\" \"Destination File Already Exists ... OK?\" okcancel"});
  // The same question guards a decoded file.
  dir.Write("in.uue", "begin 644 keep.bin\n#0V%T\n`\nend\n");
  ui.boxAnswers = {tell::Answer::Cancel};
  EXPECT_EQ(Convert("in.uue", ""), uue::kFailed);
  EXPECT_EQ(dir.Read("keep.bin"), "new");
}

TEST_F(UueRun, CheckSumOnlyWritesNothing) {
  dir.Write("s.uue", "abc\n");
  ASSERT_EQ(Convert("s.uue", "+"), uue::kEncoded);
  EXPECT_EQ(out.checkSum, 358u);
  EXPECT_EQ(out.byteCount, 5u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.root), {}), 1);
}

TEST_F(UueRun, EscOrACancelledPageStopsTheRun) {
  dir.Write("big.bin", Bytes(45 * 100));
  ui.escapeAfterPolls = 3;
  EXPECT_EQ(Convert("big.bin", ""), uue::kFailed);
  EXPECT_TRUE(job.abort);
  // What was written so far stays.
  EXPECT_EQ(Lines("Big.uue").size(), 4u);

  tell::Recorder paged;
  paged.cancelAtPause = 1;
  utilib::Job pagedJob("MEROUUE", paged);
  uue::UueSettings s;
  s.source() = "big.bin";
  s.pagePause = true;
  paged.boxAnswers = {tell::Answer::Ok};
  uue::NormaliseUueSettings(s);
  EXPECT_EQ(uue::ConvertUue(pagedJob, s, out), uue::kFailed);
  EXPECT_EQ(paged.EventsOf("pause"), (std::vector<std::string>{"pause 500", "pause 500"}));
  // The begin line flushed the first page; the second is full after 16 data lines.
  EXPECT_EQ(Lines("Big.uue").size(), 1u + 16u);
}

}  // namespace
