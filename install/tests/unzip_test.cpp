#include "install/unzip.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <ctime>

#include "install/tests/zip_fixture.h"

namespace install {
namespace {

using insttest::MakeZip;
using insttest::ProgressLines;
using insttest::Deflated;
using insttest::Stored;
using insttest::ZipMember;

struct Outcome {
  tell::Recorder ui;
  int severity = -1;
  std::vector<std::string> lines;
};

// Unpacks C:\A.ZIP (made of `members`) into the folder T of the scratch drive.
void Unzip(const insttest::Scratch& scratch, const std::string& zip, Outcome& run, const std::string& into = "T") {
  scratch.Write("A.ZIP", zip);
  std::filesystem::create_directories(scratch.Path(into));
  utilib::Job job("SETUP", run.ui);
  ProgressList list(job);
  run.severity = UnzipArchive("C:\\A.ZIP", "C:\\" + into + "\\", list);
  run.lines = ProgressLines(run.ui);
}

TEST(UnzipArchive, StoredAndDeflatedMembersComeOutWhole) {
  insttest::Scratch s;
  const std::string big = insttest::TextBytes(200000, 1) + insttest::RandomBytes(70000, 2);
  Outcome run;
  Unzip(s, MakeZip({Stored("readme.txt", "hello\r\n"), Stored("empty", ""), Deflated("BIG.BIN", big),
                    Stored("raw.bin", insttest::RandomBytes(40000, 3)), Deflated("nothing", "")}),
        run);
  EXPECT_EQ(run.severity, kSeverityNone);
  // Names take proper case: lower case, a capital first.
  EXPECT_EQ(s.Read("T/Readme.txt"), "hello\r\n");
  EXPECT_TRUE(s.Has("T/Empty"));
  EXPECT_EQ(s.Read("T/Big.bin"), big);
  EXPECT_EQ(s.Read("T/Raw.bin"), insttest::RandomBytes(40000, 3));
  EXPECT_EQ(s.Read("T/Nothing"), "");
  EXPECT_EQ(run.lines, (std::vector<std::string>{"readme.txt ... OK", "empty ... OK", "BIG.BIN ... OK", "raw.bin ... OK",
                                                 "nothing ... OK"}));
  EXPECT_EQ(run.ui.items[kProgressCounter], "5 Files Installed");
}

// Each damaged member reports itself and the walk goes on to the next one.
TEST(UnzipArchive, DamagedMembersReportAndTheWalkGoesOn) {
  struct Case {
    const char* what;
    ZipMember member;
    std::string line;
    int severity;
  };
  std::vector<Case> cases;
  {
    ZipMember m = Deflated("m12.dat", "some data");
    m.method = 12;
    cases.push_back({"another method", m, "m12.dat ... not stored or deflated, can't unzip", 1});
  }
  {
    ZipMember m = Deflated("nlen.dat", "abc");
    m.compressed = insttest::BadStoredBlock();
    m.setCompressed = true;
    cases.push_back({"stored block length check", m, "nlen.dat ... compressed data format wrong", 1});
  }
  {
    ZipMember m = Deflated("crc.dat", insttest::TextBytes(50000, 9));
    m.badCrc = true;
    cases.push_back({"CRC", m, "crc.dat ... compressed data CRC error", 1});
  }
  {
    ZipMember m = Stored("len.dat", "twelve bytes");
    m.usizeOverride = 11;
    cases.push_back({"length", m, "len.dat ... compressed data length error", 1});
  }
  {
    // Declares 1000 bytes but inflates to 10 MB: stopped at the declared size.
    ZipMember m = Deflated("bomb.dat", std::string(10 << 20, '\0'));
    m.usizeOverride = 1000;
    cases.push_back({"more than declared", m, "bomb.dat ... compressed data length error", 1});
  }
  {
    ZipMember m = Stored("secret.txt", "x");
    m.flags = 1;
    cases.push_back({"encrypted", m, "secret.txt ... encrypted, can't unzip", 1});
  }
  {
    ZipMember m = Stored("when.txt", "x");
    m.date = (44 << 9) | (2 << 5) | 30;  // 30 February
    cases.push_back({"no such day", m, "Unable to reset when.txt file date and time", 1});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    insttest::Scratch s;
    s.Write("T/Len.dat", "the old file");
    s.Write("T/Crc.dat", "the old file");
    Outcome run;
    Unzip(s, MakeZip({Stored("first.txt", "1"), c.member, Deflated("last.txt", "2")}), run);
    EXPECT_EQ(run.severity, c.severity);
    ASSERT_EQ(run.lines.size(), 3u + (c.line.rfind("Unable to reset", 0) == 0 ? 1u : 0u));
    EXPECT_EQ(run.lines[0], "first.txt ... OK");
    EXPECT_EQ(run.lines[run.lines.size() - 2], c.line);
    EXPECT_EQ(run.lines.back(), "last.txt ... OK");
    EXPECT_EQ(s.Read("T/Last.txt"), "2");
    // A damaged member never replaces the file that was there.
    EXPECT_EQ(s.Read("T/Len.dat"), "the old file");
    EXPECT_EQ(s.Read("T/Crc.dat"), "the old file");
    EXPECT_FALSE(s.Has("T/Bomb.dat"));
    EXPECT_FALSE(s.Has("T/M12.dat"));
  }
}

TEST(UnzipArchive, NamesThatLeaveTheFolderAreRefused) {
  const std::vector<std::string> names = {"../evil.txt", "/tmp/evil.txt", "\\evil.txt", "C:\\evil.txt", "c:evil.txt",
                                          "a/../../evil.txt", "a\\..\\..\\evil.txt", "..", "a/..", "bad\nname"};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    insttest::Scratch s;
    Outcome run;
    Unzip(s, MakeZip({Deflated(name, "gotcha"), Stored("ok.txt", "fine")}), run, "D/T");
    EXPECT_EQ(run.severity, kSeverityMember);
    ASSERT_EQ(run.lines.size(), 2u);
    EXPECT_NE(run.lines[0].find("... name leaves the folder, can't unzip"), std::string::npos);
    EXPECT_EQ(run.lines[1], "ok.txt ... OK");
    EXPECT_EQ(s.Tree(), (std::vector<std::string>{"A.ZIP", "D", "D/T", "D/T/Ok.txt"}));
  }
  for (const char* fine : {"a..b.txt", "..a", "a/./b.txt", "x/y..z/w"}) EXPECT_TRUE(IsSafeMemberName(fine)) << fine;
}

TEST(UnzipArchive, FoldersAndNestedMembers) {
  insttest::Scratch s;
  Outcome run;
  Unzip(s, MakeZip({Stored("d/", ""), Deflated("d/e/f.txt", "deep"), Stored("g\\h.txt", "back"),
                    Deflated("x/y/", "")}),
        run);
  EXPECT_EQ(run.severity, kSeverityNone);
  EXPECT_EQ(s.Read("T/D/E/F.txt"), "deep");
  EXPECT_EQ(s.Read("T/G/H.txt"), "back");
  EXPECT_TRUE(std::filesystem::is_directory(s.Path("T/X/Y")));
  EXPECT_EQ(run.lines.size(), 4u);

  // A file where a folder has to go cannot be written over.
  insttest::Scratch t;
  t.Write("T/D", "a file");
  Outcome blocked;
  Unzip(t, MakeZip({Deflated("d/e.txt", "x"), Stored("z.txt", "z")}), blocked);
  EXPECT_EQ(blocked.severity, kSeverityFatal);
  EXPECT_EQ(blocked.lines[0], "Unable to open d/e.txt file ... can't continue");
  EXPECT_EQ(blocked.lines[1], "z.txt ... OK");
}

// Members whose CRC and sizes follow the data, as a writer to a pipe leaves them, and sizes too large
// for the header's 32 bits.
TEST(UnzipArchive, DescriptorsAndLargeSizeFields) {
  std::vector<ZipMember> members;
  const std::string data = insttest::TextBytes(90000, 4);
  ZipMember a = Deflated("a.txt", data);
  a.descriptor = true;
  members.push_back(a);
  ZipMember b = Deflated("b.txt", "short");
  b.descriptor = true;
  b.descriptorSignature = false;
  members.push_back(b);
  ZipMember c = Stored("c.txt", "stored, sizes in header");
  c.descriptor = true;
  c.sizesInHeader = true;
  members.push_back(c);
  ZipMember d = Stored("d.txt", "stored, sizes only in the directory");
  d.descriptor = true;
  members.push_back(d);
  ZipMember e = Deflated("e.txt", data);
  e.zip64 = true;
  members.push_back(e);
  members.push_back(Stored("f.txt", "after all of them"));
  insttest::Scratch s;
  Outcome run;
  Unzip(s, MakeZip(members), run);
  EXPECT_EQ(run.severity, kSeverityNone);
  ASSERT_EQ(run.lines.size(), 6u);
  for (const std::string& line : run.lines) EXPECT_NE(line.find("... OK"), std::string::npos) << line;
  EXPECT_EQ(s.Read("T/A.txt"), data);
  EXPECT_EQ(s.Read("T/B.txt"), "short");
  EXPECT_EQ(s.Read("T/D.txt"), "stored, sizes only in the directory");
  EXPECT_EQ(s.Read("T/E.txt"), data);
  EXPECT_EQ(s.Read("T/F.txt"), "after all of them");

  // Without the directory a stored member of unknown size ends the walk, saying so.
  insttest::Scratch t;
  Outcome lost;
  Unzip(t, MakeZip({d, Stored("f.txt", "x")}, false), lost);
  EXPECT_EQ(lost.severity, kSeverityMember);
  EXPECT_EQ(lost.lines, (std::vector<std::string>{"d.txt ... size unknown, rest of archive skipped"}));
}

TEST(UnzipArchive, ArchivesThatAreNoneOrCannotBeOpened) {
  insttest::Scratch s;
  Outcome notZip;
  Unzip(s, "this is no archive at all, PK\3\4 only later", notZip);
  EXPECT_EQ(notZip.severity, kSeverityNone);
  EXPECT_TRUE(notZip.lines.empty());

  tell::Recorder ui;
  utilib::Job job("SETUP", ui);
  ProgressList list(job);
  EXPECT_EQ(UnzipArchive("C:\\NONE.ZIP", "C:\\T\\", list), kSeverityFatal);
  EXPECT_EQ(ProgressLines(ui), (std::vector<std::string>{"C:\\NONE.ZIP file is missing"}));
}

// An archive cut short anywhere, or with offsets and lengths damaged anywhere, ends with its lines
// and writes nothing outside the target folder.
TEST(UnzipArchive, CutAndDamagedArchivesEndCleanly) {
  const std::string zip = MakeZip({Deflated("one.txt", insttest::TextBytes(5000, 1)), Stored("two.bin", "22222"),
                                   Deflated("three.txt", insttest::TextBytes(3000, 2))});
  for (std::size_t cut = 0; cut <= zip.size(); cut += 37) {
    insttest::Scratch s;
    Outcome run;
    Unzip(s, zip.substr(0, cut), run);
    EXPECT_GE(run.severity, kSeverityNone);
    for (const std::string& p : s.Tree()) EXPECT_TRUE(p == "A.ZIP" || p.rfind("T", 0) == 0) << p;
  }
  std::uint32_t x = 17;
  for (int round = 0; round < 150; ++round) {
    std::string damaged = zip;
    x = x * 1103515245u + 12345u;
    // Mostly the header fields: sizes, lengths and the name.
    const std::size_t at = (x >> 8) % (round % 2 ? 60 : damaged.size());
    damaged[at] = static_cast<char>(x >> 24);
    insttest::Scratch s;
    Outcome run;
    Unzip(s, damaged, run);
    for (const std::string& p : s.Tree()) EXPECT_TRUE(p == "A.ZIP" || p.rfind("T", 0) == 0) << p;
  }
}

TEST(UnzipArchive, DateTimeAndProgramsAreRestored) {
  setenv("TZ", "UTC", 1);
  tzset();
  insttest::Scratch s;
  ZipMember program = Stored("tool", std::string("\x7f" "ELF\2\1\1", 7) + std::string(100, '\0'));
  ZipMember script = Deflated("run.sh", "#!/bin/sh\necho hi\n");
  ZipMember data = Deflated("data.txt", "plain");
  Outcome run;
  Unzip(s, MakeZip({program, script, data}), run);
  EXPECT_EQ(run.severity, kSeverityNone);
  struct stat st;
  ASSERT_EQ(stat(s.Path("T/Tool").c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IXUSR);
  std::tm t{};
  t.tm_year = 2024 - 1900;
  t.tm_mon = 2;
  t.tm_mday = 15;
  t.tm_hour = 13;
  t.tm_min = 45;
  t.tm_sec = 20;
  EXPECT_EQ(st.st_mtime, timegm(&t));
  ASSERT_EQ(stat(s.Path("T/Run.sh").c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IXUSR);
  ASSERT_EQ(stat(s.Path("T/Data.txt").c_str(), &st), 0);
  EXPECT_FALSE(st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH));
  unsetenv("TZ");
  tzset();
}

// A disk that fills up is not an OK member: the file stays as it was, and the archive is fatal.
TEST(UnzipArchive, AFailedWriteIsFatal) {
  insttest::Scratch s;
  s.Write("T/Big.bin", "old");
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 100000;
  setrlimit(RLIMIT_FSIZE, &small);
  Outcome run;
  Unzip(s, MakeZip({Deflated("big.bin", std::string(300000, 'b')), Stored("small.txt", "s")}), run);
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_EQ(run.severity, kSeverityFatal);
  ASSERT_EQ(run.lines.size(), 2u);
  EXPECT_EQ(run.lines[0], "Unable to write big.bin file ... can't continue");
  EXPECT_EQ(run.lines[1], "small.txt ... OK");
  EXPECT_EQ(s.Read("T/Big.bin"), "old");
}

TEST(UnzipArchive, ProgressListWrapsAndEscStops) {
  std::vector<ZipMember> many;
  for (int i = 1; i <= 13; ++i) many.push_back(Stored("f" + std::to_string(i), std::to_string(i)));
  insttest::Scratch s;
  Outcome run;
  Unzip(s, MakeZip(many), run);
  EXPECT_EQ(run.lines.size(), 13u);
  // The twelfth line fills the list, which empties; the thirteenth is the first line again.
  EXPECT_EQ(run.ui.items[501], "f13 ... OK");
  EXPECT_EQ(run.ui.items[512], "");
  EXPECT_EQ(run.ui.items[kProgressCounter], "13 Files Installed");
  EXPECT_EQ(run.ui.EventsOf("pause").size(), 13u);
  EXPECT_EQ(run.ui.EventsOf("pause")[0], "pause 100");

  insttest::Scratch t;
  Outcome stopped;
  stopped.ui.cancelAtPause = 1;  // Esc during the second member's pause
  Unzip(t, MakeZip(many), stopped);
  EXPECT_EQ(stopped.lines.size(), 2u);
  EXPECT_FALSE(t.Has("T/F3"));
}

}  // namespace
}  // namespace install
