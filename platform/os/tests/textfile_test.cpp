#include "platform/os/textfile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/os/path.h"
#include "platform/os/tests/scratch.h"

namespace {

using ostest::Scratch;

std::vector<std::string> ReadAll(const std::string& path) {
  os::TextReader r;
  std::vector<std::string> lines;
  if (!r.Open(path)) return {"<not opened>"};
  std::string line;
  while (r.ReadLine(line)) lines.push_back(line);
  return lines;
}

TEST(TextFiles, ReadersTakeCrLfAndLfAndKeepLongAndUnterminatedLines) {
  Scratch s;
  std::string longLine(100000, 'x');
  s.Write("f.txt", "one\r\ntwo\n\r\n" + longLine + "\nlast");
  EXPECT_EQ(ReadAll(s.Path("f.txt")), (std::vector<std::string>{"one", "two", "", longLine, "last"}));
  s.Write("eof.txt", "a\r\nb\x1A" "c\r\nd\r\n");
  EXPECT_EQ(ReadAll(s.Path("eof.txt")), (std::vector<std::string>{"a", "b"}));
  s.Write("empty.txt", "");
  EXPECT_TRUE(ReadAll(s.Path("empty.txt")).empty());

  os::TextReader r;
  ASSERT_TRUE(r.Open(s.Path("f.txt")));
  std::string line;
  ASSERT_TRUE(r.ReadLine(line));
  std::int64_t second = r.Tell();
  ASSERT_TRUE(r.ReadLine(line, 2));
  EXPECT_EQ(line, "tw");
  ASSERT_TRUE(r.ReadLine(line));
  EXPECT_EQ(line, "");  // the rest of a cut line never becomes a line of its own
  ASSERT_TRUE(r.Seek(second));
  ASSERT_TRUE(r.ReadLine(line));
  EXPECT_EQ(line, "two");
  EXPECT_FALSE(r.Open(s.Path("missing.txt")));
}

TEST(TextFiles, LinesAcrossTheReadersBlocksComeBackWholeAndSeekable) {
  Scratch s;
  // Lines of every length up to a few blocks, CR LF and LF mixed, a NUL kept inside a line.
  std::vector<std::string> lines;
  std::string text;
  for (std::size_t i = 0; text.size() < 600000; ++i) {
    std::string line(i * 7919 % (i % 50 == 0 ? 150000 : 300), static_cast<char>('a' + i % 26));
    if (i == 3) line = std::string("x\0y", 3);
    lines.push_back(line);
    text += line + (i % 2 ? "\r\n" : "\n");
  }
  s.Write("big.txt", text + "tail");
  lines.push_back("tail");
  os::TextReader r;
  ASSERT_TRUE(r.Open(s.Path("big.txt")));
  std::vector<std::string> got, again;
  std::vector<std::int64_t> starts;
  std::string line;
  for (starts.push_back(r.Tell()); r.ReadLine(line); starts.push_back(r.Tell())) got.push_back(line);
  EXPECT_EQ(got, lines);
  EXPECT_FALSE(r.Failed());
  EXPECT_EQ(starts.back(), static_cast<std::int64_t>(text.size() + 4));
  // A return to any line's start reads on from that line.
  for (std::size_t k : {lines.size() - 1, std::size_t{0}, lines.size() / 2, std::size_t{1}}) {
    ASSERT_TRUE(r.Seek(starts[k]));
    ASSERT_TRUE(r.ReadLine(line));
    EXPECT_EQ(line, lines[k]) << k;
  }
  // An end-of-file byte in a later block still ends the file there.
  s.Write("eof.txt", text + "cut\x1Ahere\nnever\n");
  ASSERT_TRUE(r.Open(s.Path("eof.txt")));
  while (r.ReadLine(line)) again.push_back(line);
  lines.back() = "cut";
  EXPECT_EQ(again, lines);
}

// Skipping to the lines that begin "=C" or "=H" gives exactly those lines, in order, that reading
// every line gives: across the reader's blocks, after CR LF and LF, for a last line without its end,
// and never past the 0x1A that ends the file, inside a skipped line or a kept one.
TEST(TextFiles, SkippingToMarkedLinesGivesWhatReadingEveryLineGives) {
  Scratch s;
  const char* shapes[] = {"=C", "=H", "=B", "=CX", "C=", "=", "x=C", "=h", "=Hh", "1 2 3 4 5", ""};
  std::string text;
  for (std::size_t i = 0; text.size() < 300000; ++i) {
    text += shapes[i * 7 % 11];
    if (i % 97 == 0) text += std::string(i % 4000, 'p');
    text += i % 3 ? "\r\n" : "\n";
  }
  auto marked = [](const std::string& line) {
    return line.size() >= 2 && line[0] == '=' && (line[1] == 'C' || line[1] == 'H');
  };
  auto skipping = [](const std::string& path) {
    os::TextReader r;
    std::vector<std::string> lines;
    std::string line;
    if (!r.Open(path)) return lines;
    while (r.SkipToLineStarting('=', "CH") && r.ReadLine(line)) lines.push_back(line);
    return lines;
  };
  const std::vector<std::string> bodies = {text,           text + "=C",
                                           text + "=",     "=C",
                                           "=C\x1A=H\n=H\n", text + "a\x1A" "b\n=C\n",
                                           text + "=H\x1A\n=C\n", "\x1A=C\n"};
  for (const std::string& body : bodies) {
    s.Write("f.txt", body);
    std::vector<std::string> every;
    for (const std::string& line : ReadAll(s.Path("f.txt")))
      if (marked(line)) every.push_back(line);
    std::vector<std::string> kept;
    for (const std::string& line : skipping(s.Path("f.txt")))
      if (marked(line)) kept.push_back(line);
    EXPECT_EQ(kept, every) << body.size();
  }
}

TEST(TextFiles, WritersEndLinesInCrLfAndReplaceThroughATemporaryFile) {
  Scratch s;
  os::SetDriveTable("C=" + s.root);
  s.Write("Form.dbd", "old\r\n");
  {
    os::TextWriter w;
    ASSERT_TRUE(w.Open("C:\\FORM.DBD"));
    w.Write("pool=\nlayer=");
    w.Printf("none %d\n", 1);
    w.Line("x");
    EXPECT_EQ(s.Read("Form.dbd"), "old\r\n");  // untouched until the commit
    EXPECT_EQ(w.Commit(), 1);
  }
  EXPECT_EQ(s.Read("Form.dbd"), "pool=\r\nlayer=none 1\r\nx\r\n");
  {
    os::TextWriter w;
    ASSERT_TRUE(w.Open("C:\\form.dbd"));
    w.Line("half");
  }  // destroyed without a commit
  EXPECT_EQ(s.Read("Form.dbd"), "pool=\r\nlayer=none 1\r\nx\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(s.root), {}), 1);  // no temporary left

  os::TextWriter a;
  ASSERT_TRUE(a.Open("C:\\LOG.RPT", false, true));
  a.Line("1");
  EXPECT_EQ(a.Commit(), 1);
  ASSERT_TRUE(a.Open("C:\\log.rpt", false, true));
  a.Line("2");
  EXPECT_EQ(a.Commit(), 1);
  EXPECT_EQ(s.Read("LOG.RPT"), "1\r\n2\r\n");

  os::TextWriter bad;
  EXPECT_FALSE(bad.Open("C:\\no\\such\\folder\\x.txt"));
  EXPECT_EQ(bad.Commit(), 0);
}

TEST(TextFiles, AFailedWriteIsReportedAndTheOldFileStays) {
  Scratch s;
  s.Write("cell.bp6", "precious");
  // A file-size limit makes the disk "full" for this process.
  struct rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit small = saved;
  small.rlim_cur = 4096;
  signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  std::string big(20000, 'z');
  os::TakeWriteFailures();
  os::BinaryWriter b;
  bool opened = b.Open(s.Path("cell.bp6"));
  b.Write(big.data(), big.size());
  int committed = b.Commit();
  os::TextWriter t;
  bool topened = t.Open(s.Path("cell.bp6"));
  t.Write(big);
  int tcommitted = t.Commit();
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, SIG_DFL);
  EXPECT_TRUE(opened);
  EXPECT_TRUE(topened);
  EXPECT_EQ(committed, 0);
  EXPECT_EQ(tcommitted, 0);
  EXPECT_EQ(s.Read("cell.bp6"), "precious");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(s.root), {}), 1);
  // Each writer's file is named once, with the system's reason, for the message that tells it.
  const std::vector<os::WriteFailure> failures = os::TakeWriteFailures();
  ASSERT_EQ(failures.size(), 2u);
  for (const os::WriteFailure& f : failures) {
    EXPECT_EQ(f.path, os::NativePath(s.Path("cell.bp6")));
    EXPECT_EQ(f.reason, std::strerror(EFBIG));
  }
  EXPECT_TRUE(os::TakeWriteFailures().empty());

  std::string bytes;
  EXPECT_TRUE(os::ReadWholeFile(s.Path("cell.bp6"), bytes));
  EXPECT_EQ(bytes, "precious");
  EXPECT_FALSE(os::ReadWholeFile(s.Path("nope"), bytes));
}

}  // namespace
