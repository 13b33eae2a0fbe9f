// The editor program run whole, headless and scripted, on a fresh drawing folder: cells drawn and
// edited through typed macros and dialogs, saved, and checked by decoding their BP6 and CL6 files.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Box {
  std::int32_t flags, left, bottom, right, top;
  bool operator==(const Box&) const = default;
};
struct Path {
  std::int32_t flags, width, first;
};
struct Vertex {
  std::int32_t flags, x, y, next;
};
struct Ref {
  std::int32_t flags, x, y;
};

// One cell's files, decoded: each table of little-endian words ends with an all-zero record.
struct CellFiles {
  std::vector<Box> boxes;
  std::vector<Path> paths;
  std::vector<Vertex> vertices;
  std::vector<Ref> refs;

  std::vector<std::pair<std::int32_t, std::int32_t>> Points(std::size_t path) const {
    std::vector<std::pair<std::int32_t, std::int32_t>> pts;
    for (std::int32_t v = paths[path].first; v >= 1 && std::size_t(v) <= vertices.size() && pts.size() <= vertices.size();
         v = vertices[std::size_t(v - 1)].next)
      pts.push_back({vertices[std::size_t(v - 1)].x, vertices[std::size_t(v - 1)].y});
    return pts;
  }
};

std::vector<std::vector<std::int32_t>> Table(const std::string& bytes, std::size_t& at, int words) {
  std::vector<std::vector<std::int32_t>> rows;
  while (at + 4 * std::size_t(words) <= bytes.size()) {
    std::vector<std::int32_t> row(static_cast<std::size_t>(words), 0);
    bool zero = true;
    for (int i = 0; i < words; ++i) {
      std::uint32_t v = 0;
      for (int k = 3; k >= 0; --k) v = (v << 8) | static_cast<unsigned char>(bytes[at + 4 * std::size_t(i) + std::size_t(k)]);
      row[std::size_t(i)] = std::int32_t(v);
      zero = zero && v == 0;
    }
    at += 4 * std::size_t(words);
    if (zero) break;
    rows.push_back(row);
  }
  return rows;
}

class WmeroEdit : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/mero-edit-XXXXXX";
    dir = mkdtemp(pattern);
  }
  void TearDown() override {
    std::error_code ec;
    if (!HasFailure()) fs::remove_all(dir, ec);
  }
  int Run(const std::string& script, const std::string& cell = "") {
    std::ofstream(dir / "run.script") << script;
    const std::string command = "cd '" + dir.string() + "' && XDG_RUNTIME_DIR='" + dir.string() +
                                "' QT_QPA_PLATFORM=offscreen MERO_SCRIPT=run.script MERO_LOG=run.log '" MERO_WMERO
                                "' " + cell + " > run.out 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  bool Logged(const std::string& line) {
    std::ifstream in(dir / "run.log");
    for (std::string l; std::getline(in, l);) {
      if (!l.empty() && l.back() == '\r') l.pop_back();
      if (l == line) return true;
    }
    return false;
  }
  // The file of the folder whose name matches case-blind.
  std::string Read(const std::string& name) {
    std::string lower = name;
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    for (const auto& e : fs::directory_iterator(dir)) {
      std::string n = e.path().filename().string();
      for (char& c : n) c = char(std::tolower(static_cast<unsigned char>(c)));
      if (n == lower) {
        std::ifstream in(e.path(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
      }
    }
    ADD_FAILURE() << name << " is missing";
    return {};
  }
  CellFiles Cell(const std::string& name, bool refs) {
    CellFiles c;
    const std::string bp6 = Read(name + ".BP6");
    std::size_t at = 0;
    for (const auto& r : Table(bp6, at, 5)) c.boxes.push_back({r[0], r[1], r[2], r[3], r[4]});
    for (const auto& r : Table(bp6, at, 3)) c.paths.push_back({r[0], r[1], r[2]});
    for (const auto& r : Table(bp6, at, 4)) c.vertices.push_back({r[0], r[1], r[2], r[3]});
    if (refs) {
      const std::string cl6 = Read(name + ".CL6");
      at = 0;
      for (const auto& r : Table(cl6, at, 3)) c.refs.push_back({r[0], r[1], r[2]});
    }
    return c;
  }
  // A macro of typed lines run through CMD, with the dialogs' answers queued before it.
  // Layers picked by the rank's lists rather than by the layer table (Ctrl+J), all of them shown and
  // open; the settings keep it for the runs that follow.
  static constexpr const char* kLayerLists =
      "post 34 10 0\nwait\n"
      "answer LYRTABLE set 1344 \"1-64\" press ok\npost 1025 61 0\nwait\n"
      "answer LYRTABLE set 1344 \"1-64\" press ok\npost 1025 62 0\nwait\n";
  static std::string Macro(const std::string& lines, const std::string& answers = "") {
    std::string escaped;
    for (char c : lines) escaped += c == '\n' ? std::string("\\n") : std::string(1, c);
    return "answer CMD press 1172\nanswer MACRO set 1171 \"" + escaped + "\" press ok\n" + answers +
           "post 1025 77 0\nwait\n";
  }

  fs::path dir;
};

// Typed numbers are user units: a fresh folder has 20 database units to one.
TEST_F(WmeroEdit, DrawEditAndSaveACellOfBoxesPathsAndATextThenPlaceItTurned) {
  ASSERT_EQ(Run("answer CELL set 1001 \"chip\" press ok\n"
                "answer NEWCELL set 1003 \"1\" press ok\n"
                "wait\n" + std::string(kLayerLists) +
                    Macro("Add 0 0 10 10\nAdd 30 5 20 0\nfGet -1 -1 11 11\nCpy 100 0\naPut\nfGet 19 -1 31 6\nDel\n"
                          "Text 50 50\naPut\n",
                          "answer TEXT set 117 \"CHIP ONE\" press ok\n") +
                    // A path of three vertices, made through Obj and Wdth.
                    "answer ANYLIST dblclick 1006 1\npost 1025 23 0\nwait\n"
                    "answer WSIZE set 1027 \"2\" press ok\npost 1025 41 0\nwait\n" +
                    Macro("Add 0 20\nAdd 10 20\nAdd 10 30\n") + "command 14\nwait\nquit\n"),
            0);
  const CellFiles chip = Cell("CHIP", false);
  ASSERT_EQ(chip.boxes.size(), 2u);
  EXPECT_EQ(chip.boxes[0], (Box{1, 0, 0, 200, 200}));
  EXPECT_EQ(chip.boxes[1], (Box{1, 2000, 0, 2200, 200}));
  ASSERT_EQ(chip.paths.size(), 2u);
  // The text: its layer with bit 31, size 15, the reference point and one vertex of 8 characters.
  EXPECT_EQ(chip.paths[0].flags, std::int32_t(0x80000001));
  EXPECT_EQ(chip.paths[0].width, 15);
  EXPECT_EQ(chip.Points(0).front(), (std::pair<std::int32_t, std::int32_t>{1000, 1000}));
  EXPECT_EQ(chip.Points(0)[1], (std::pair<std::int32_t, std::int32_t>{0x43484950, 0x204F4E45}));
  EXPECT_EQ(chip.paths[1].width, 40);
  EXPECT_EQ(chip.Points(1), (std::vector<std::pair<std::int32_t, std::int32_t>>{{0, 400}, {200, 400}, {200, 600}}));
  // Nothing of the selection reaches the file.
  for (const Vertex& v : chip.vertices) EXPECT_EQ(v.flags & 0x70000000, 0);

  ASSERT_EQ(Run("answer CELL set 1001 \"top\" press ok\n"
                "answer NEWCELL set 1003 \"2\" press ok\n"
                "wait\n"
                "answer ANYLIST dblclick 1006 2\npost 1025 23 0\nwait\n" +
                    Macro("Add 500 0\nAdd 0 500\nFit\naGet -1000 -1000 1000 1000\nRot 500 0\n",
                          "answer ROT set 157 \"90\" press ok\n") +
                    "command 14\nwait\nquit\n"),
            0);
  const CellFiles top = Cell("TOP", true);
  ASSERT_EQ(top.refs.size(), 2u);
  EXPECT_EQ(top.refs[0].flags, 1 | (1 << 11));
  EXPECT_EQ(top.refs[0].x, 10000);
  EXPECT_EQ(top.refs[0].y, 0);
  EXPECT_EQ(top.refs[1].flags, 1 | (1 << 11));
  EXPECT_EQ(top.refs[1].x, 0);
  EXPECT_EQ(top.refs[1].y, -10000);
}

TEST_F(WmeroEdit, SmashingAnInstanceWritesItsContentsIntoTheCell) {
  ASSERT_EQ(Run("answer CELL set 1001 \"leaf\" press ok\nanswer NEWCELL set 1003 \"1\" press ok\nwait\n" +
                std::string(kLayerLists) + Macro("Add 0 0 10 20\n") + "command 14\nwait\nquit\n"),
            0);
  ASSERT_EQ(Run("answer CELL set 1001 \"top\" press ok\nanswer NEWCELL set 1003 \"2\" press ok\nwait\n"
                "answer ANYLIST dblclick 1006 2\npost 1025 23 0\nwait\n" +
                Macro("Add 100 100\nFit\naGet 0 0 200 200\nSmsh\n", "answer SMSH press ok\n") + "quit\n"),
            0);
  const CellFiles top = Cell("TOP", true);
  EXPECT_TRUE(top.refs.empty());
  ASSERT_EQ(top.boxes.size(), 1u);
  EXPECT_EQ(top.boxes[0], (Box{1, 2000, 2000, 2200, 2400}));
  // The undo backup holds the cell as it was before the smash (the exit saves the cell alone).
  EXPECT_EQ(Cell("MAINBKUP", true).refs.size(), 1u);
}

}  // namespace
