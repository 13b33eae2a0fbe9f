#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "drawing_fixture.h"
#include "editor/tlc/tlcin.h"
#include "editor/tlc/tlcout.h"
#include "platform/os/path.h"
#include "platform/os/tests/scratch.h"
#include "platform/tell/recorder.h"

namespace {

using namespace tlc;
using tlctest::CellSpec;
using tlctest::PathSpec;
using tlctest::RefSpec;
using Boxes = std::vector<std::string>;
using tell::Answer;
using tell::Buttons;

std::string Told(std::string_view caption, std::string_view text) { return tell::Recorder::BoxLine(caption, text); }
std::string Asked(std::string_view caption, std::string_view text, Buttons buttons) {
  return tell::Recorder::BoxLine(caption, text, buttons);
}

// The set-up dialog as a user leaves it, noted in the run's record as "setup CAPTION".
SetupDialog Dialog(tell::Recorder& talk) {
  return [&talk](std::string_view caption, TlcSetup&) {
    talk.Note("setup " + std::string(caption));
    return true;
  };
}

// What the user was shown of a run: its set-up dialog and its boxes.
Boxes Said(const tell::Recorder& talk) {
  Boxes out;
  for (const std::string& e : talk.events)
    if (e.rfind("setup ", 0) == 0 || e.rfind("box ", 0) == 0) out.push_back(e);
  return out;
}

// Conversion runs through the set-up dialog, with Global TLC on so both folders count.
struct Folders : ostest::Scratch {
  std::string Dir(const std::string& name) const { return Path(name) + "/"; }
  // Case-blind, as the programs look for files.
  bool Exists(const std::string& rel) const { return os::FileExists(Path(rel)); }
  std::vector<std::string> List(const std::string& pattern) const {
    std::vector<std::string> names = os::ListFiles(Path(pattern));
    for (std::string& n : names) n = UpperCase(n);
    return names;
  }

  TlcRunSummary Out(tell::Recorder& talk, const std::string& from, const std::string& to,
                    const std::string& name = "") const {
    TlcSetup setup{from, to, name, true, true};
    TlcRunSummary summary;
    ConvertCellsToTlc(false, setup, talk, &summary, Dialog(talk));
    return summary;
  }
  TlcRunSummary In(tell::Recorder& talk, const std::string& from, const std::string& to,
                   const std::string& name = "") const {
    TlcSetup setup{from, to, name, true, true};
    TlcRunSummary summary;
    ConvertTlcToCells(false, setup, talk, &summary, Dialog(talk));
    return summary;
  }
};

PathSpec Text(int layer, std::int32_t size, int orientation, std::int32_t x, std::int32_t y, std::string chars) {
  PathSpec p;
  p.layer = layer;
  p.width = size;
  p.text = true;
  p.orientation = orientation;
  p.points = {{x, y}};
  p.chars = std::move(chars);
  return p;
}

PathSpec Path(int layer, std::int32_t width, int n, std::int32_t step) {
  std::vector<std::pair<std::int32_t, std::int32_t>> points;
  for (int i = 0; i < n; ++i) points.push_back({i * step, (i % 3) * step - 8388608 / 2});
  return tlctest::Path(layer, width, points);
}

// Every record kind over three ranks, rows not in rank order, and an empty cell.
std::vector<CellSpec> ThreeRanks() {
  CellSpec top = tlctest::Cell("TOP", 3, -5000, -6000, 7000, 8000);
  top.refs = {{"MID", 7, 100, -200}, {"LEAF", 2, -8388608, 8388608}, {"MID", 0, 0, 0}};
  top.paths = {Path(5, 10, 12, 40), Text(64, 30, 3, 7, -7, "TOP LEVEL"), Text(1, 15, 0, 0, 0, ""),
               Text(2, 45, 6, 1, 2, std::string(64, 'q'))};
  CellSpec mid = tlctest::Cell("MID", 2, 0, 0, 3000, 3000);
  mid.refs = {{"LEAF", 0, 10, 10}, {"LEAF", 5, 2000, 10}};
  mid.boxes = {{3, -1, -2, 3, 4}};
  mid.paths = {Path(7, 0, 5, 100)};
  CellSpec leaf = tlctest::Cell("LEAF", 1, -10, -10, 500, 900);
  leaf.boxes = {{1, 0, 0, 100, 50}, {64, -8388608, -8388608, 8388608, 8388608}};
  leaf.paths = {Path(2, 0, 5, 10), Path(3, 25, 6, 10), Text(4, 75, 1, 5, 5, "ABCDEFGH"),
                Text(4, 75, 0, 0, 0, "=Px"), Path(9, 7, 0, 1), Path(10, -20, 512, 3)};
  CellSpec empty = tlctest::Cell("EMPTY", 1, -8388608, -8388608, 8388608, 8388608);
  return {top, mid, leaf, empty};
}

TEST(RoundTrip, ThreeRankFolderComesBackExactly) {
  Folders f;
  tlctest::WriteDrawingFolder(f.Dir("src"), ThreeRanks());
  tell::Recorder out;
  TlcRunSummary o = f.Out(out, f.Dir("src"), f.Dir("tlc"));
  EXPECT_EQ(o.result, 1);
  EXPECT_EQ(Said(out), (Boxes{"setup TLCOUT", Asked("TLCOUT", "Any Old Cells will be Replaced ...", Buttons::OkCancel),
                              Told("TLCOUT", "Conversion Complete ... 4 Cells")}));
  EXPECT_EQ(f.Read("tlc/CELLS.REF"),
            "4\r\nTOP\r\n3 -5000 -6000 7000 8000 0 4 25 3\r\nMID\r\n2 0 0 3000 3000 1 1 5 2\r\n"
            "LEAF\r\n1 -10 -10 500 900 2 6 527 0\r\nEMPTY\r\n1 -8388608 -8388608 8388608 8388608 0 0 0 0\r\n\r\n");
  EXPECT_EQ(f.Read("tlc/LAYERS.REF"), "LAYER=1 Metal1 ; first\r\nlayer=2 Poly\r\nLayer=64 Text\r\n");

  tlctest::WriteEmptyDrawingFolder(f.Dir("dst"));
  tell::Recorder in;
  TlcRunSummary i = f.In(in, f.Dir("tlc"), f.Dir("dst"));
  EXPECT_EQ(i.result, 1);
  EXPECT_EQ(Said(in), (Boxes{"setup TLCIN", Asked("TLCIN", "Any Old Cells will be Replaced ...", Buttons::OkCancel),
                             Told("TLCIN", "Conversion Complete ... 4 Cells")}));
  auto src = tlctest::ReadDrawingFolder(f.Dir("src"));
  auto dst = tlctest::ReadDrawingFolder(f.Dir("dst"));
  ASSERT_EQ(src.size(), 4u);
  ASSERT_EQ(dst.size(), 4u);
  for (const auto& [name, cell] : src) EXPECT_TRUE(tlctest::Same(dst[name], cell)) << name;
  EXPECT_EQ(dst["LEAF"].vertices.size(), 527u);
  EXPECT_EQ(dst["TOP"].refs.size(), 3u);
  EXPECT_FALSE(f.Exists("dst/LEAF.CL6"));
}

// A full TLC file as the editor writes it, date and time fixed by MERO_NOW.
TEST(TlcOut, FixtureFileMatchesExpectedBytes) {
  Folders f;
  setenv("MERO_NOW", "2024-03-05 07:08:09", 1);
  CellSpec cell = tlctest::Cell("INV", 2, -1, -2, 30, 40);
  cell.refs = {{"PAD", 6, -5, 5}};
  cell.boxes = {{3, 0, 0, 10, 20}};
  cell.paths = {Path(2, 4, 7, 5), Text(8, 30, 1, 3, 4, "=P"), Text(8, 30, 0, 0, 0, "IN OUT 9")};
  CellSpec pad = tlctest::Cell("PAD", 1, 0, 0, 1, 1);
  tlctest::WriteDrawingFolder(f.Dir("src"), {cell, pad}, 20, "mil");
  tell::Recorder talk;
  talk.boxAnswers = {Answer::No};  // no lesser cells
  EXPECT_EQ(f.Out(talk, f.Dir("src"), f.Dir("out"), "inv").result, 1);
  EXPECT_EQ(f.Read("out/INV.TLC"),
            "=H\r\nINV\r\n6.05\r\n6.05\r\n20\r\nmil\r\n03/05/24\r\n07:08:09\r\n2 -1 -2 30 40\r\n1 3 11 1\r\n"
            "=C\r\nPAD\r\n6 -5 5 0\r\n"
            "=B\r\n3 0 0 10 20\r\n"
            "=P\r\n2 4 7\r\n0 -4194304 5 -4194299 10 -4194294 15 -4194304 20 -4194299 \r\n"
            "25 -4194294 30 -4194304 \r\n"
            "=T\r\n8 30 2 1\r\n3 4\r\n =P\r\n"
            "=T\r\n8 30 2 0\r\n0 0\r\nIN OUT 9\r\n");
  EXPECT_FALSE(f.Has("out/PAD.TLC"));
  EXPECT_FALSE(f.Has("out/CELLS.REF"));
  EXPECT_FALSE(f.Has("out/LAYERS.REF"));
  unsetenv("MERO_NOW");
}

TEST(TlcOut, NamedWildcardLesserAndTokenCells) {
  struct Case {
    const char* name;
    const char* pattern;
    std::vector<Answer> answers;
    std::vector<const char*> written;
    Boxes boxes;
  };
  const Case cases[] = {
      {"pattern with lesser cells", "M*", {Answer::Yes}, {"MID", "LEAF"},
       {Asked("TLCOUT", "Named Conversion ... Add/Replace Lesser Cell TLC Files?", Buttons::YesNoCancel), Told("TLCOUT", "Conversion Complete ... 2 Cells")}},
      {"pattern without lesser cells", "M*", {Answer::No}, {"MID"},
       {Asked("TLCOUT", "Named Conversion ... Add/Replace Lesser Cell TLC Files?", Buttons::YesNoCancel), Told("TLCOUT", "Conversion Complete ... 1 Cells")}},
      {"lesser cells through two ranks", "top", {Answer::Yes}, {"TOP", "MID", "LEAF"},
       {Asked("TLCOUT", "Named Conversion ... Add/Replace Lesser Cell TLC Files?", Buttons::YesNoCancel), Told("TLCOUT", "Conversion Complete ... 3 Cells")}},
      {"cancelled", "TOP", {Answer::Cancel}, {},
       {Asked("TLCOUT", "Named Conversion ... Add/Replace Lesser Cell TLC Files?", Buttons::YesNoCancel), Told("TLCOUT", "Aborted ... Conversion may be Incomplete")}},
      {"nothing matches", "ZZ*", {}, {}, {Told("TLCOUT", "No Wildcard Cells Found!")}},
      {"whole names only", "LEAFY", {Answer::No}, {"LEAFY"},
       {Asked("TLCOUT", "Named Conversion ... Add/Replace Lesser Cell TLC Files?", Buttons::YesNoCancel),
        Told("TLCOUT", "LEAFY is Missing ... Token Cell will be Generated!"),
        Told("TLCOUT", "Some Error Occurred ... Conversion may be Incorrect")}},
  };
  for (const Case& c : cases) {
    Folders f;
    tlctest::WriteDrawingFolder(f.Dir("src"), ThreeRanks());
    tell::Recorder talk;
    talk.boxAnswers.assign(c.answers.begin(), c.answers.end());
    f.Out(talk, f.Dir("src"), f.Dir("out"), c.pattern);
    const Boxes said = Said(talk);
    Boxes boxes(said.begin() + 1, said.end());
    EXPECT_EQ(boxes, c.boxes) << c.name;
    std::vector<std::string> files = f.List("out/*");
    std::vector<std::string> want;
    for (const char* w : c.written) want.push_back(std::string(w) + ".TLC");
    std::sort(want.begin(), want.end());
    EXPECT_EQ(files, want) << c.name;
  }
  // The token cell of a missing cell: rank 1, no outline, the name as a text with the vertex
  // count of its 9 characters.
  Folders f;
  tlctest::WriteDrawingFolder(f.Dir("src"), ThreeRanks());
  tell::Recorder talk;
  talk.boxAnswers = {Answer::No};
  f.Out(talk, f.Dir("src"), f.Dir("out"), "LEAFY");
  const std::string token = f.Read("out/LEAFY.TLC");
  EXPECT_NE(token.find("\r\n1 0 0 0 0\r\n0 0 0 0\r\n=T\r\n64 75 3 0\r\n0 0\r\n<<LEAFY>>\r\n"), std::string::npos);
}

TEST(TlcOut, DestinationFolderChecks) {
  Folders f;
  tlctest::WriteDrawingFolder(f.Dir("src"), ThreeRanks());
  std::filesystem::create_directories(f.Path("old"));
  {
    tell::Recorder talk;
    talk.boxAnswers = {Answer::No};
    EXPECT_EQ(f.Out(talk, f.Dir("src"), f.Dir("old")).result, 0);
    EXPECT_EQ(Said(talk), (Boxes{"setup TLCOUT", Asked("TLCOUT", "Destination Folder " + f.Dir("old") + " Exists ... Continue?", Buttons::YesNo)}));
  }
  {
    tell::Recorder talk;
    EXPECT_EQ(f.Out(talk, f.Dir("src"), f.Path("no/such/place")).result, 0);
    EXPECT_EQ(Said(talk)[1], Told("TLCOUT", "Destination Folder " + f.Path("no/such/place") + "\\ is Invalid"));
  }
  {
    tell::Recorder talk;
    TlcSetup setup{f.Dir("src"), f.Dir("new"), "", true, true};
    EXPECT_EQ(ConvertCellsToTlc(false, setup, talk, nullptr, [](std::string_view, TlcSetup&) { return false; }), 0);
    EXPECT_FALSE(f.Has("new"));
  }
  {
    tell::Recorder talk;
    EXPECT_EQ(f.Out(talk, f.Dir("nothing"), f.Dir("new")).result, 3);
    EXPECT_EQ(Said(talk).back(), Told("TLCOUT", "Source CELLS6.DBD File is Missing"));
  }
}

// The quiet copy of a cell save: the drawing folder itself, no dialog, no message.
TEST(TlcOut, QuietRunWritesTheCellSilently) {
  Folders f;
  tlctest::WriteDrawingFolder(f.Dir("draw"), ThreeRanks());
  std::filesystem::current_path(f.Path("draw"));
  tell::Recorder talk;
  EXPECT_EQ(QuietTlcOut("MID", talk), 1);
  EXPECT_EQ(talk.EventsExcept("pause"), Boxes{});  // no box, no display, no item
  EXPECT_TRUE(f.Exists("draw/MID.TLC"));
  EXPECT_FALSE(f.Exists("draw/LEAF.TLC"));
}

TEST(TlcOut, EscStopsTheCellAndLeavesItsFilePartial) {
  Folders f;
  tlctest::WriteDrawingFolder(f.Dir("src"), ThreeRanks());
  tell::Recorder talk;
  talk.escapeWaitingAt = 3;  // LEAF is written first; its fourth path is never written
  TlcRunSummary s = f.Out(talk, f.Dir("src"), f.Dir("out"));
  EXPECT_EQ(s.result, 0);
  EXPECT_EQ(Said(talk).back(), Told("TLCOUT", "Aborted ... Conversion may be Incomplete"));
  const std::string leaf = f.Read("out/LEAF.TLC");
  EXPECT_NE(leaf.find("ABCDEFGH"), std::string::npos);
  EXPECT_EQ(leaf.find("=Px"), std::string::npos);
  EXPECT_FALSE(f.Has("out/TOP.TLC"));
  EXPECT_FALSE(f.Has("out/CELLS.REF"));
}

TEST(TlcOut, PauseCancelStopsAtTheNextCell) {
  Folders f;
  tlctest::WriteDrawingFolder(f.Dir("src"), ThreeRanks());
  tell::Recorder talk;
  // Slow run: two phase pauses, then one after each cell written.
  TlcSetup setup{f.Dir("src"), f.Dir("out"), "", false, true};
  talk.cancelAtPause = 3;  // after the second cell written
  TlcRunSummary s;
  ConvertCellsToTlc(false, setup, talk, &s, Dialog(talk));
  EXPECT_EQ(s.result, 0);
  EXPECT_EQ(s.cells, 2);
  EXPECT_EQ(f.List("out/*").size(), 2u);
  EXPECT_EQ(Said(talk).back(), Told("TLCOUT", "Aborted ... Conversion may be Incomplete"));
}

// A disk that fills up shows at the flush or the close, never as "Complete"; the old file stays.
TEST(TlcOut, WriteErrorsAreReported) {
  Folders f;
  std::vector<CellSpec> cells = ThreeRanks();
  for (int i = 0; i < 3000; ++i) cells[2].boxes.push_back({1, i, i, i + 1, i + 1});
  tlctest::WriteDrawingFolder(f.Dir("src"), cells);
  f.Write("out/LEAF.TLC", "old contents");
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 20000;
  setrlimit(RLIMIT_FSIZE, &small);
  tell::Recorder talk;
  TlcRunSummary s = f.Out(talk, f.Dir("src"), f.Dir("out"));
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_EQ(s.result, 2);
  EXPECT_EQ(Said(talk), (Boxes{"setup TLCOUT", Asked("TLCOUT", "Destination Folder " + f.Dir("out") + " Exists ... Continue?", Buttons::YesNo),
                               Asked("TLCOUT", "Any Old Cells will be Replaced ...", Buttons::OkCancel), Told("TLCOUT", "Destination is Full!"),
                               Told("TLCOUT", "Some Error Occurred ... Conversion may be Incorrect")}));
  EXPECT_EQ(f.Read("out/LEAF.TLC"), "old contents");
}

// TLC files written by other tools: line ends, blank lines, wrapped pairs, headers last or missing.
TEST(TlcIn, ForeignFilesReadTheSame) {
  const std::string leaf =
      "=H\nLEAF\n6.0\n6.0\n1000\num\n01/01/01\n00:00:00\n1 0 0 1 0\n1 1 0 0\n"
      "=B\n1 0 0 100 50\n=P\n2 0 3\n0 0 10 0 10 10 \n";
  struct Case { const char* name; std::string text; };
  auto crlf = [](std::string s) {
    std::string out;
    for (char c : s) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
  };
  const Case cases[] = {
      {"LF", leaf},
      {"CR LF", crlf(leaf)},
      {"blank lines", "\n\n" + std::string(leaf).replace(leaf.find("=B"), 0, "\n\n") + "\n\n"},
      {"one pair a line", std::string(leaf).replace(leaf.find("0 0 10 0 10 10 "), 15, "0 0\n10 0\n10 10")},
      {"header last", "=B\n1 0 0 100 50\n=P\n2 0 3\n0 0 10 0\n10 10\n"
                      "=H\nLEAF\n6.0\n6.0\n1000\num\n01/01/01\n00:00:00\n1 0 0 1 0\n1 1 0 0\n"},
      {"no header", "=B\n1 0 0 100 50\n=P\n2 0 3\n0 0 10 0 10 10\n"},
  };
  std::map<std::string, tlctest::LoadedCell> first;
  for (const Case& c : cases) {
    Folders f;
    f.Write("tlc/LEAF.TLC", c.text);
    tlctest::WriteEmptyDrawingFolder(f.Dir("dst"));
    tell::Recorder talk;
    talk.boxAnswers = {Answer::Yes};
    EXPECT_EQ(f.In(talk, f.Dir("tlc"), f.Dir("dst"), "leaf").result, 1) << c.name;
    EXPECT_EQ(Said(talk).back(), Told("TLCIN", "Conversion Complete ... 1 Cells")) << c.name;
    auto got = tlctest::ReadDrawingFolder(f.Dir("dst"));
    ASSERT_EQ(got.size(), 1u) << c.name;
    // Outline from the geometry: the box and the path (half of width 0).
    const db::CellIndexEntry& row = got["LEAF"].row;
    EXPECT_EQ(row.flags, 1);
    EXPECT_EQ(std::vector<int>({row.left, row.bottom, row.right, row.top}), std::vector<int>({0, 0, 100, 50}))
        << c.name;
    if (first.empty())
      first = got;
    else
      EXPECT_TRUE(tlctest::Same(first["LEAF"], got["LEAF"])) << c.name;
  }
}

TEST(TlcIn, MissingLesserCellsBecomePlaceholders) {
  Folders f;
  f.Write("tlc/TOP.TLC", "=H\nTOP\n6.0\n6.0\n1000\num\nd\nt\n2 0 0 1 0\n0 0 0 2\n"
                         "=C\nsub\n0 10 20 0\n=C\nHERE\n1 0 0 0\n");
  f.Write("tlc/HERE.TLC", "=H\nHERE\n6.0\n6.0\n1000\num\nd\nt\n1 0 0 1 0\n1 0 0 0\n=B\n1 0 0 5 5\n");
  tlctest::WriteEmptyDrawingFolder(f.Dir("dst"));
  tell::Recorder talk;
  talk.boxAnswers = {Answer::No};
  f.In(talk, f.Dir("tlc"), f.Dir("dst"), "TOP");
  EXPECT_EQ(Said(talk), (Boxes{"setup TLCIN", Asked("TLCIN", "Named Conversion ... Replace Lesser Cells", Buttons::YesNoCancel),
                               Told("TLCIN", "SUB.TLC is Missing"),
                               Told("TLCIN", "Some Error Occurred ... Conversion may be Incorrect")}));
  auto got = tlctest::ReadDrawingFolder(f.Dir("dst"));
  ASSERT_EQ(got.size(), 3u);
  const tlctest::LoadedCell& sub = got["SUB"];
  EXPECT_EQ(sub.row.flags, 1);
  ASSERT_EQ(sub.paths.size(), 1u);
  EXPECT_EQ(sub.paths[0].flags, db::kTextBit | 64);
  EXPECT_EQ(sub.paths[0].width, 75);
  ASSERT_EQ(sub.vertices.size(), 2u);
  EXPECT_EQ(sub.vertices[1].x, ('<' << 24) | ('<' << 16) | ('S' << 8) | 'U');
  EXPECT_EQ(sub.vertices[1].y, ('B' << 24) | ('>' << 16) | ('>' << 8));
  // The lower-case reference found its cell.
  ASSERT_EQ(got["TOP"].refs.size(), 2u);
  EXPECT_EQ(got["TOP"].refs[0].first, "SUB");
  EXPECT_EQ(got["TOP"].refs[1].first, "HERE");
}

TEST(TlcIn, WildcardsAndTheReplaceLesserQuestion) {
  struct Case { Answer answer; bool leafReplaced; };
  for (Case c : {Case{Answer::Yes, true}, {Answer::No, false}}) {
    Folders f;
    f.Write("tlc/ALPHA.TLC", "=H\nALPHA\n6.0\n6.0\n1000\num\nd\nt\n2 0 0 1 0\n0 0 0 1\n=C\nLEAF\n0 0 0 0\n");
    f.Write("tlc/ab.tlc", "=H\nAB\n6.0\n6.0\n1000\num\nd\nt\n1 0 0 1 0\n1 0 0 0\n=B\n1 0 0 1 1\n");
    f.Write("tlc/BETA.TLC", "=H\nBETA\n6.0\n6.0\n1000\num\nd\nt\n1 0 0 1 0\n1 0 0 0\n=B\n1 0 0 1 1\n");
    f.Write("tlc/LEAF.TLC", "=H\nLEAF\n6.0\n6.0\n1000\num\nd\nt\n1 0 0 1 0\n1 0 0 0\n=B\n2 0 0 9 9\n");
    CellSpec old = tlctest::Cell("LEAF", 1);
    old.boxes = {{5, 1, 1, 2, 2}};
    tlctest::WriteDrawingFolder(f.Dir("dst"), {old});
    tell::Recorder talk;
    talk.boxAnswers = {c.answer};
    f.In(talk, f.Dir("tlc"), f.Dir("dst"), "a*");
    auto got = tlctest::ReadDrawingFolder(f.Dir("dst"));
    EXPECT_EQ(got.size(), 3u);
    EXPECT_TRUE(got.count("AB") && got.count("ALPHA"));
    EXPECT_FALSE(got.count("BETA"));
    EXPECT_EQ(got["LEAF"].boxes.at(0).flags, c.leafReplaced ? 2 : 5);
    EXPECT_EQ(Said(talk).back(), c.leafReplaced ? Told("TLCIN", "Conversion Complete ... 3 Cells")
                                                : Told("TLCIN", "Conversion Complete ... 2 Cells"));
  }
  Folders f;
  tlctest::WriteEmptyDrawingFolder(f.Dir("dst"));
  std::filesystem::create_directories(f.Path("tlc"));
  tell::Recorder talk;
  EXPECT_EQ(f.In(talk, f.Dir("tlc"), f.Dir("dst"), "Q*").result, 0);
  EXPECT_EQ(Said(talk), (Boxes{"setup TLCIN", Told("TLCIN", "No Wildcard TLC Files Found"),
                               Told("TLCIN", "Some Error Occurred ... Conversion may be Incorrect")}));
}

std::string SmallCell(const std::string& name) {
  return "=H\n" + name + "\n6.0\n6.0\n1000\num\nd\nt\n1 0 0 1 0\n1 0 0 0\n=B\n1 0 0 1 1\n";
}

TEST(TlcIn, ListLimitsOfCellsRefAndTheIndex) {
  for (int n : {510, 511}) {
    Folders f;
    std::string ref = std::to_string(n) + "\n";
    for (int i = 0; i < n; ++i) {
      const std::string name = "C" + std::to_string(i);
      ref += name + "\n1 0 0 0 0 0 0 0 0\n";
      f.Write("tlc/" + name + ".TLC", SmallCell(name));
    }
    f.Write("tlc/CELLS.REF", ref);
    tlctest::WriteEmptyDrawingFolder(f.Dir("dst"));
    tell::Recorder talk;
    TlcRunSummary s = f.In(talk, f.Dir("tlc"), f.Dir("dst"));
    if (n == 510) {
      EXPECT_EQ(s.cells, 510);
      EXPECT_EQ(Said(talk).back(), Told("TLCIN", "Conversion Complete ... 510 Cells"));
    } else {
      EXPECT_EQ(s.result, 0);
      EXPECT_EQ(Said(talk), (Boxes{"setup TLCIN", Asked("TLCIN", "Any Old Cells will be Replaced ...", Buttons::OkCancel),
                                   Told("TLCIN", "Too Many Cells in CELLS.REF"),
                                   Told("TLCIN", "Some Error Occurred ... Conversion may be Incorrect")}));
      EXPECT_FALSE(f.Exists("dst/CELLS6.DBD"));
    }
  }
  // A destination of 511 cells takes one more, then refuses without leaving a file behind.
  Folders f;
  std::vector<CellSpec> many;
  for (int i = 0; i < 511; ++i) many.push_back(tlctest::Cell("OLD" + std::to_string(i), 1));
  tlctest::WriteDrawingFolder(f.Dir("dst"), many);
  f.Write("tlc/CELLS.REF", "2\nNEW1\n1\nNEW2\n1\n");
  f.Write("tlc/NEW1.TLC", SmallCell("NEW1"));
  f.Write("tlc/NEW2.TLC", SmallCell("NEW2"));
  tell::Recorder talk;
  TlcRunSummary s = f.In(talk, f.Dir("tlc"), f.Dir("dst"));
  EXPECT_EQ(s.cells, 1);
  EXPECT_EQ(Said(talk)[2], Told("TLCIN", "NEW2 ... Too Many Cells"));
  EXPECT_TRUE(f.Exists("dst/NEW1.BP6"));
  EXPECT_FALSE(f.Exists("dst/NEW2.BP6"));
  EXPECT_EQ(tlctest::ReadDrawingFolder(f.Dir("dst")).size(), 512u);
}

// Names become file names: anything that is not a cell name stays out of the folder.
TEST(TlcIn, NamesAreCheckedBeforeTheyBecomeFiles) {
  Folders f;
  f.Write("tlc/CELLS.REF", "4\n..\\EVIL\n1\nCON\n1\nGOOD\n1\nA.B\n1\n");
  f.Write("tlc/GOOD.TLC", SmallCell("GOOD") + "=C\n../evil\n0 0 0 0\n");
  f.Write("EVIL.TLC", SmallCell("EVIL"));
  tlctest::WriteEmptyDrawingFolder(f.Dir("dst"));
  tell::Recorder talk;
  f.In(talk, f.Dir("tlc"), f.Dir("dst"));
  EXPECT_EQ(Said(talk), (Boxes{"setup TLCIN", Asked("TLCIN", "Any Old Cells will be Replaced ...", Buttons::OkCancel),
                               Told("TLCIN", "..\\EVIL ... Not a Vaild Name"), Told("TLCIN", "CON ... Not a Vaild Name"),
                               Told("TLCIN", "A.B ... Not a Vaild Name"), Told("TLCIN", "Cell Record Read Error"),
                               Told("TLCIN", "Some Error Occurred ... 1 Cell References Dropped ... Conversion may be Incorrect")}));
  EXPECT_EQ(f.List("dst/*.BP6"), std::vector<std::string>{"GOOD.BP6"});
  EXPECT_FALSE(f.Exists("EVIL.BP6"));
}

// Records that would corrupt the cell files are refused with their record error; the rest stays.
TEST(TlcIn, UnusableRecordsAreRefused) {
  Folders f;
  f.Write("tlc/LEAF.TLC", SmallCell("LEAF"));
  f.Write("tlc/TOP.TLC", "=H\nTOP\n6.0\n6.0\n1000\num\nd\nt\n2 0 0 1 0\n0 0 0 0\n"
                         "=C\nLEAF\n0 1 1 0\n=B\n0 0 0 5 5\n=C\nGHOST\n0 2 2 0\n=T\n1 20 2 9\n0 0\nX\n"
                         "=C\nleaf\n3 3 3 0\n=B\n1 0 0 5 5\n");
  f.Write("tlc/FLAT.TLC", "=H\nFLAT\n6.0\n6.0\n1000\num\nd\nt\n1 0 0 1 0\n0 0 0 0\n=C\nLEAF\n0 1 1 0\n=B\n1 0 0 5 5\n");
  tlctest::WriteDrawingFolder(f.Dir("dst"), {tlctest::Cell("LEAF", 1)});
  // Quiet: no reference scan, so GHOST is never listed and stays unknown.
  for (const char* cell : {"TOP", "FLAT"}) {
    TlcSetup setup{f.Dir("tlc"), f.Dir("dst"), cell, true, true};
    tell::Recorder talk;
    ConvertTlcToCells(true, setup, talk);
    if (std::string(cell) == "TOP")
      EXPECT_EQ(Said(talk), (Boxes{Told("TLCIN", "Box Record Read Error"), Told("TLCIN", "Cell Record Read Error"),
                                   Told("TLCIN", "Text Record Read Error"),
                                   Told("TLCIN", "Some Error Occurred ... 1 Cell References Dropped ... Conversion may be Incorrect")}));
    else
      EXPECT_EQ(Said(talk), (Boxes{Told("TLCIN", "Cell Record Read Error"),
                                   Told("TLCIN", "Some Error Occurred ... 1 Cell References Dropped ... Conversion may be Incorrect")}));
  }
  auto got = tlctest::ReadDrawingFolder(f.Dir("dst"));
  const tlctest::LoadedCell& top = got["TOP"];
  ASSERT_EQ(top.refs.size(), 2u);  // nothing stored as row 0, so nothing after it is lost
  EXPECT_EQ(top.refs[1].first, "LEAF");
  EXPECT_EQ(top.refs[1].second.x, 3);
  EXPECT_EQ(top.boxes.size(), 1u);
  EXPECT_EQ(top.row.refCount, 2);
  // A rank-1 cell has no CL6, so its references are not counted either.
  EXPECT_EQ(got["FLAT"].row.refCount, 0);
  EXPECT_FALSE(got["FLAT"].hasCl6);
}

// A cell places only cells of lower rank: a reference that would make a loop is never stored, and
// the run says how many were dropped. The rank a cell gets in this very run is the one that counts.
TEST(TlcIn, ReferencesThatBreakTheRankRuleAreDropped) {
  auto cell = [](const std::string& name, int rank, const std::vector<std::string>& uses) {
    std::string text = "=H\n" + name + "\n6.0\n6.0\n1000\num\nd\nt\n" + std::to_string(rank) +
                       " 0 0 1 0\n1 0 0 0\n=B\n1 0 0 1 1\n";
    for (std::size_t i = 0; i < uses.size(); ++i) text += "=C\n" + uses[i] + "\n0 " + std::to_string(i) + " 0 0\n";
    return text;
  };
  Folders f;
  f.Write("tlc/LEAF.TLC", cell("LEAF", 1, {}));
  f.Write("tlc/MID.TLC", cell("MID", 2, {"LEAF", "MID", "mid", "PEER"}));
  f.Write("tlc/PEER.TLC", cell("PEER", 2, {"LEAF"}));
  f.Write("tlc/TOP.TLC", cell("TOP", 3, {"MID", "LEAF"}));
  // RISE is rank 1 in the destination but comes in at rank 3, above LOW that places it.
  f.Write("tlc/RISE.TLC", cell("RISE", 3, {"MID"}));
  f.Write("tlc/LOW.TLC", cell("LOW", 2, {"RISE", "LEAF"}));
  f.Write("tlc/CELLS.REF", "6\nLEAF\n1\nMID\n2\nPEER\n2\nTOP\n3\nRISE\n3\nLOW\n2\n");
  tlctest::WriteDrawingFolder(f.Dir("dst"), {tlctest::Cell("RISE", 1)});
  tell::Recorder talk;
  TlcRunSummary s = f.In(talk, f.Dir("tlc"), f.Dir("dst"));
  EXPECT_EQ(s.cells, 6);
  EXPECT_EQ(Said(talk), (Boxes{"setup TLCIN", Asked("TLCIN", "Any Old Cells will be Replaced ...", Buttons::OkCancel),
                               Told("TLCIN", "MID in MID ... Cell Record Rank Error"),
                               // PEER, of MID's rank, is converted after it, so MID cannot find it yet
                               Told("TLCIN", "Cell Record Read Error"),
                               Told("TLCIN", "RISE in LOW ... Cell Record Rank Error"),
                               Told("TLCIN", "Some Error Occurred ... 4 Cell References Dropped ... Conversion may be Incorrect")}));
  auto got = tlctest::ReadDrawingFolder(f.Dir("dst"));
  auto names = [&](const std::string& name) {
    std::vector<std::string> used;
    for (const auto& [placed, ref] : got[name].refs) used.push_back(placed + "@" + std::to_string(ref.x));
    return used;
  };
  EXPECT_EQ(names("MID"), (std::vector<std::string>{"LEAF@0"}));
  EXPECT_EQ(got["MID"].row.refCount, 1);
  EXPECT_EQ(names("PEER"), (std::vector<std::string>{"LEAF@0"}));
  EXPECT_EQ(names("TOP"), (std::vector<std::string>{"MID@0", "LEAF@1"}));
  EXPECT_EQ(names("LOW"), (std::vector<std::string>{"LEAF@1"}));
  EXPECT_EQ(names("RISE"), (std::vector<std::string>{"MID@0"}));
  EXPECT_EQ(got["RISE"].row.flags, 3);
}

TEST(TlcIn, HeadersScalesAndFolders) {
  Folders f;
  f.Write("tlc/BIG.TLC", "=H\nBIG\n6.0\n6.0\n1000\num\nd\nt\n16 0 0 1 0\n0 0 0 0\n=B\n1 0 0 5 5\n");
  f.Write("tlc/ZERO.TLC", "=H\nZERO\n6.0\n6.0\n100\nUM\nd\nt\n0 -5 -5 5 5\n0 0 0 0\n");
  f.Write("tlc/OUTL.TLC", "=H\nOUTL\n6.0\n6.0\n1000\nUM\nd\nt\n1 -5 -5 5 5\n0 0 0 0\n");
  f.Write("tlc/NOHEAD.TLC", "=B\n1 0 0 5 5\n");
  f.Write("tlc/CELLS.REF", "4\nBIG\n1\nZERO\n1\nOUTL\n1\nNOHEAD\n18 0 0 0 0\n");
  tlctest::WriteEmptyDrawingFolder(f.Dir("dst"), 1000, "UM");
  tell::Recorder talk;
  TlcSetup setup{f.Path("tlc"), f.Path("dst"), "", true, true};  // no final separators
  ConvertTlcToCells(false, setup, talk, nullptr, Dialog(talk));
  EXPECT_EQ(setup.source, f.Path("tlc") + "\\");
  EXPECT_EQ(Said(talk), (Boxes{"setup TLCIN", Asked("TLCIN", "Any Old Cells will be Replaced ...", Buttons::OkCancel),
                               Told("TLCIN", "BIG ... Rank Error"),
                               Told("TLCIN", "Different Scales!  TLC=100/UM Internal=1000/UM"),
                               Told("TLCIN", "ZERO ... Rank Error"),
                               Told("TLCIN", "Some Error Occurred ... Conversion may be Incorrect")}));
  auto got = tlctest::ReadDrawingFolder(f.Dir("dst"));
  EXPECT_FALSE(got.count("BIG"));
  EXPECT_FALSE(got.count("ZERO"));  // rank 0 is no rank: the entry is skipped, never taken as 1
  EXPECT_EQ(got["OUTL"].row.left, -5);  // a header outline is taken as it stands
  EXPECT_EQ(got["NOHEAD"].row.flags, 2);  // rank from CELLS.REF
  EXPECT_EQ(got["NOHEAD"].row.right, 5);
  // An empty cell without an outline gets a 256th of the whole range.
  f.Write("tlc/HOLLOW.TLC", "=H\nHOLLOW\n6.0\n6.0\n1000\num\nd\nt\n1 0 0 1 0\n0 0 0 0\n");
  tell::Recorder again;
  f.In(again, f.Dir("tlc"), f.Dir("dst"), "HOLLOW");
  const db::CellIndexEntry row = tlctest::ReadDrawingFolder(f.Dir("dst"))["HOLLOW"].row;
  EXPECT_EQ(std::vector<int>({row.left, row.bottom, row.right, row.top}),
            std::vector<int>({-32768, -32768, 32768, 32768}));
}

TEST(TlcIn, GlobalTlcOffWritesIntoTheDrawingFolder) {
  Folders f;
  f.Write("tlc/LEAF.TLC", SmallCell("LEAF"));
  tlctest::WriteEmptyDrawingFolder(f.Dir("draw"));
  tlctest::WriteEmptyDrawingFolder(f.Dir("elsewhere"));
  std::filesystem::current_path(f.Path("draw"));
  TlcSetup setup{f.Dir("tlc"), f.Dir("elsewhere"), "LEAF", true, false};
  tell::Recorder talk;
  ConvertTlcToCells(false, setup, talk, nullptr, Dialog(talk));
  EXPECT_TRUE(f.Exists("draw/LEAF.BP6"));
  EXPECT_FALSE(f.Exists("elsewhere/LEAF.BP6"));
  EXPECT_EQ(setup.destination, ".\\");
}

TEST(TlcIn, StopLeavesWrittenCellsWithTheirRows) {
  Folders f;
  std::string ref = "4\n";
  for (const char* name : {"AA", "BB", "CC", "DD"}) {
    f.Write(std::string("tlc/") + name + ".TLC", SmallCell(name));
    ref += std::string(name) + "\n1\n";
  }
  f.Write("tlc/CELLS.REF", ref);
  tlctest::WriteEmptyDrawingFolder(f.Dir("dst"));
  tell::Recorder talk;
  // Slow run: 4 header pauses, 2 phase pauses, then one after each converted cell.
  TlcSetup setup{f.Dir("tlc"), f.Dir("dst"), "", false, true};
  talk.cancelAtPause = 7;
  TlcRunSummary s;
  ConvertTlcToCells(false, setup, talk, &s, Dialog(talk));
  EXPECT_TRUE(s.stop);
  EXPECT_EQ(s.cells, 2);
  EXPECT_EQ(Said(talk).back(), Told("TLCIN", "Aborted ... Conversion may be Incomplete"));
  auto got = tlctest::ReadDrawingFolder(f.Dir("dst"));
  EXPECT_EQ(got.size(), 2u);
  EXPECT_TRUE(got.count("AA") && got.count("BB"));
  EXPECT_FALSE(f.Exists("dst/CC.BP6"));
}

}  // namespace
