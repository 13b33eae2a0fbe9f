// The editor itself, run headless on a script, drives System Mode over a copy of the demo drawing;
// each run is checked by decoding CELLS6.DBD and the cells' CL6 and BP6 files before and after.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "editor/db/tests/collection_files.h"

namespace {

namespace fs = std::filesystem;
using dbtest::Bp6;
using dbtest::IndexRow;
using Records = std::vector<std::vector<std::int32_t>>;
using Lines = std::vector<std::string>;

// One cell as its files hold it.
struct CellFiles {
  IndexRow row;
  Bp6 bp6;
  Records refs;
  bool hasBp6 = false;
  bool hasCl6 = false;
};
using Collection = std::map<std::string, CellFiles>;

bool SameBp6(const Bp6& a, const Bp6& b) {
  return a.boxes == b.boxes && a.paths == b.paths && a.vertices == b.vertices;
}

Collection Decode(const std::string& folder) {
  Collection cells;
  for (const IndexRow& row : dbtest::ReadIndex(folder)) {
    CellFiles& c = cells[row.name];
    c.row = row;
    const std::string bp6 = dbtest::FileIn(folder, row.name + ".BP6");
    const std::string cl6 = dbtest::FileIn(folder, row.name + ".CL6");
    c.hasBp6 = !bp6.empty();
    c.hasCl6 = !cl6.empty();
    if (c.hasBp6) c.bp6 = dbtest::DecodeBp6(dbtest::ReadBytes(bp6));
    if (c.hasCl6) c.refs = dbtest::DecodeCl6(dbtest::ReadBytes(cl6));
  }
  return cells;
}

// A cell's references by the names of the cells they place: row numbers may move, these may not.
Lines PlacedByName(const std::string& folder, const Records& refs) {
  const std::vector<IndexRow> rows = dbtest::ReadIndex(folder);
  Lines out;
  for (const auto& r : refs) {
    const int row = r[0] & 0x7FF;
    const std::string name = row >= 1 && row <= int(rows.size()) ? rows[std::size_t(row - 1)].name : "?";
    out.push_back(name + " " + std::to_string(r[0] >> 11) + " " + std::to_string(r[1]) + " " + std::to_string(r[2]));
  }
  return out;
}

std::map<std::string, Lines> AllPlacements(const std::string& folder) {
  std::map<std::string, Lines> out;
  for (const auto& [name, c] : Decode(folder)) out[name] = PlacedByName(folder, c.refs);
  return out;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

struct SystemMode : ::testing::Test {
  std::string root;
  std::string work;
  std::string log;

  void SetUp() override {
    char pattern[] = "/tmp/mero-sys-XXXXXX";
    root = mkdtemp(pattern);
    work = root + "/work";
    CopyDemo(work);
    // A first run settles what opening System Mode writes anyway (the open cell's save), so that
    // "before" is the folder as every command finds it.
    ASSERT_EQ(Run(work, "answer SYSTEM press 1015\ncommand 13\nquit\n"), 0) << log;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(root, ec);
  }

  void CopyDemo(const std::string& to) {
    fs::create_directories(to);
    for (const auto& e : fs::directory_iterator(MERO_DEMO_DIR)) fs::copy_file(e.path(), to + "/" + e.path().filename().string());
  }

  // The editor in `folder` on `script`; its exit status (-1 when it had to be stopped). The log is kept
  // with its lines' CRs taken out.
  int Run(const std::string& folder, const std::string& script, const Lines& args = {"TOP"},
          const std::string& program = MERO_WMERO, const std::map<std::string, std::string>& env = {}) {
    const std::string scriptPath = root + "/script.txt";
    const std::string logPath = root + "/run.log";
    std::ofstream(scriptPath) << script;
    fs::remove(logPath);
    const pid_t pid = fork();
    if (pid == 0) {
      if (chdir(folder.c_str()) != 0) _exit(126);
      setenv("MERO_SCRIPT", scriptPath.c_str(), 1);
      setenv("MERO_LOG", logPath.c_str(), 1);
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
      // The single-instance lock lives there: editors of other tests running now are not this one's.
      setenv("XDG_RUNTIME_DIR", root.c_str(), 1);
      setenv("LSAN_OPTIONS", "suppressions=" MERO_SOURCE_DIR "/cmake/lsan.supp", 0);
      for (const auto& [k, v] : env) setenv(k.c_str(), v.c_str(), 1);
      const int out = open((root + "/run.out").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
      if (out >= 0) {
        dup2(out, 1);
        dup2(out, 2);
      }
      std::vector<std::string> strings = {program};
      strings.insert(strings.end(), args.begin(), args.end());
      std::vector<char*> argv;
      for (std::string& s : strings) argv.push_back(s.data());
      argv.push_back(nullptr);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    int status = 0;
    bool ended = false;
    for (int i = 0; i < 1800 && !ended; ++i) {
      ended = waitpid(pid, &status, WNOHANG) == pid;
      if (!ended) usleep(100000);
    }
    if (!ended) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
    }
    log = dbtest::ReadBytes(logPath);
    std::erase(log, '\r');
    if (!ended) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
  }

  bool Logged(const std::string& line) const { return log.find(line + "\n") != std::string::npos; }
};

TEST_F(SystemMode, TlcOutOfTheDemoThenTlcInIntoAFreshFolderGivesTheSameCells) {
  const std::string tlc = root + "/tlc";
  ASSERT_EQ(Run(work, "answer SYSTEM press 3001 press 1015\n"
                      "answer TLCOUT set 1055 " + Quoted(tlc) + " press ok\n"
                      "box ok\nbox ok\ncommand 13\nquit\n"),
            0)
      << log;
  EXPECT_TRUE(Logged("box \"TLCOUT\" \"Conversion Complete ... 5 Cells\"")) << log;
  const Collection demo = Decode(work);
  for (const auto& [name, c] : demo) EXPECT_FALSE(dbtest::FileIn(tlc, name + ".TLC").empty()) << name;
  EXPECT_EQ(dbtest::ReadBytes(dbtest::FileIn(tlc, "CELLS.REF")).substr(0, 3), "5\r\n");

  const std::string fresh = root + "/fresh";
  fs::create_directories(fresh);
  ASSERT_EQ(Run(fresh,
                "answer CELL press cancel\n"
                "answer SYSTEM press 3000 press 1015\n"
                "answer TLCIN set 1057 " + Quoted(tlc) + " press ok\n"
                "box ok\nbox ok\ncommand 13\nquit\n",
                {}),
            0)
      << log;
  EXPECT_TRUE(Logged("box \"TLCIN\" \"Conversion Complete ... 5 Cells\"")) << log;
  const Collection copy = Decode(fresh);
  ASSERT_EQ(copy.size(), demo.size());
  for (const auto& [name, c] : demo) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(copy.count(name));
    const CellFiles& d = copy.at(name);
    EXPECT_EQ(d.row.Rank(), c.row.Rank());
    for (int k = 5; k <= 8; ++k) EXPECT_EQ(d.row.v[std::size_t(k)], c.row.v[std::size_t(k)]) << "count " << k;
    EXPECT_EQ(dbtest::Flatten(fresh, name), dbtest::Flatten(work, name));
    EXPECT_EQ(d.bp6.paths.size(), c.bp6.paths.size());
  }
}

TEST_F(SystemMode, AttachAndImportFromThePool) {
  const std::string pool = root + "/pool";
  fs::create_directories(pool);
  dbtest::WriteCollection(pool, {{"PAD1", 1, {{9, 0, 0, 40, 40}, {5, 10, 10, 30, 30}}, {}}, {"HIER", 2, {}, {{1, 0, 0, 0}}}});
  std::string form = dbtest::ReadBytes(work + "/FORM.DBD");
  form.replace(form.find("pool="), 5, "pool=" + pool);
  std::ofstream(work + "/FORM.DBD", std::ios::binary) << form;
  const Collection before = Decode(work);

  ASSERT_EQ(Run(work, "answer SYSTEM press 2000 press 2001 press 1015\n"
                      "answer ATTACH press 1321 press ok\n"
                      "answer ANYLIST dblclick 1006 0\n"
                      "answer IMPORT set 1018 \"pad1\" set 1020 \"MYPAD\" press ok\n"
                      "command 13\nquit\n"),
            0)
      << log;
  EXPECT_TRUE(Logged("item ANYLIST 1009 \"Attachable Cells\"")) << log;
  const Collection after = Decode(work);
  ASSERT_EQ(after.size(), before.size() + 2);
  const IndexRow& attached = after.at("PAD1").row;
  EXPECT_EQ(attached.v, (std::array<std::int64_t, 9>{17, -100, -100, 100, 100, 2, 0, 0, 0}));
  EXPECT_FALSE(after.at("PAD1").hasBp6);  // its geometry stays in the pool
  const CellFiles& imported = after.at("MYPAD");
  EXPECT_EQ(imported.row.v[0], 1);
  EXPECT_EQ(imported.row.v[5], 2);
  EXPECT_EQ(imported.bp6.boxes, dbtest::DecodeBp6(dbtest::ReadBytes(pool + "/PAD1.BP6")).boxes);
  for (const auto& [name, c] : before) {
    EXPECT_TRUE(SameBp6(after.at(name).bp6, c.bp6)) << name;
    EXPECT_EQ(after.at(name).refs, c.refs) << name;
  }
}

TEST_F(SystemMode, CopyMakesATwinAndAppendAddsSelectedObjects) {
  const Collection before = Decode(work);
  ASSERT_EQ(Run(work, "answer SYSTEM press 2002 press 2002 press 1015\n"
                      "answer COPY set 1017 \"INV\" set 1005 \"inv2\" press ok\n"
                      "answer COPY press 1321 set 1005 \"row\" press ok\n"
                      "answer ANYLIST dblclick 1006 1\n"
                      "command 13\nquit\n"),
            0)
      << log;
  EXPECT_TRUE(Logged("item SYSTEM 1000 \"Copying Cell ...\"") && Logged("item SYSTEM 1000 \"Appending Cell ...\"")) << log;
  const Collection after = Decode(work);
  const CellFiles& inv = before.at("INV");
  const CellFiles& twin = after.at("INV2");
  EXPECT_EQ(twin.row.Rank(), 2);
  EXPECT_EQ(twin.row.v, (std::array<std::int64_t, 9>{2, inv.row.v[1], inv.row.v[2], inv.row.v[3], inv.row.v[4],
                                                      inv.row.v[5], inv.row.v[6], inv.row.v[7], inv.row.v[8]}));
  EXPECT_TRUE(SameBp6(twin.bp6, inv.bp6));
  EXPECT_EQ(twin.refs, inv.refs);

  // ROW (rank 3) took INV's objects, selected, behind its own; INV's references to CONTACT stay.
  const CellFiles& row = after.at("ROW");
  const CellFiles& old = before.at("ROW");
  ASSERT_EQ(row.bp6.boxes.size(), old.bp6.boxes.size() + inv.bp6.boxes.size());
  ASSERT_EQ(row.refs.size(), old.refs.size() + inv.refs.size());
  for (std::size_t i = 0; i < inv.bp6.boxes.size(); ++i) {
    auto expected = inv.bp6.boxes[i];
    expected[0] |= 0xF00;
    EXPECT_EQ(row.bp6.boxes[old.bp6.boxes.size() + i], expected);
  }
  for (std::size_t i = 0; i < inv.refs.size(); ++i) {
    auto expected = inv.refs[i];
    expected[0] |= 0x10000;
    EXPECT_EQ(row.refs[old.refs.size() + i], expected);
  }
  // The appended chains link behind ROW's own vertices.
  const std::size_t paths = old.bp6.paths.size(), vertices = old.bp6.vertices.size();
  ASSERT_EQ(row.bp6.paths.size(), paths + inv.bp6.paths.size());
  for (std::size_t i = 0; i < inv.bp6.paths.size(); ++i)
    EXPECT_EQ(row.bp6.paths[paths + i][2], inv.bp6.paths[i][2] + std::int32_t(vertices));
  EXPECT_EQ(row.row.v[5], std::int64_t(row.bp6.boxes.size()));
  EXPECT_EQ(row.row.v[8], std::int64_t(row.refs.size()));
}

TEST_F(SystemMode, ScaleStoresTheMagnitudeAndRefusesZero) {
  const Collection before = Decode(work);
  ASSERT_EQ(Run(work, "answer SYSTEM press 2003 press 2003 press 1015\n"
                      "answer SCALE set 1024 \"mil\" set 1025 \"-100\" press ok\n"
                      "answer SCALE set 1025 \"0\" press ok\n"
                      "box ok\ncommand 13\nquit\n"),
            0)
      << log;
  EXPECT_TRUE(Logged("item SYSTEM 1000 \"Max. Size will be 167772 mil\"")) << log;
  EXPECT_TRUE(Logged("box \"Scale\" \"MERO Units/Phys Unit must not be 0\"")) << log;
  std::istringstream consts(dbtest::ReadBytes(dbtest::FileIn(work, "CONSTS6.DBD")));
  std::string version, scale, unit;
  std::getline(consts, version);
  std::getline(consts, scale);
  std::getline(consts, unit);
  EXPECT_EQ(scale, "100\r");
  EXPECT_EQ(unit, "mil\r");
  const Collection after = Decode(work);
  for (const auto& [name, c] : before) EXPECT_TRUE(SameBp6(after.at(name).bp6, c.bp6)) << name;
}

TEST_F(SystemMode, RenameMovesTheFilesAndTheOpenCellFollowsItsName) {
  const Collection before = Decode(work);
  const Lines top = dbtest::Flatten(work, "TOP");
  ASSERT_EQ(Run(work, "answer SYSTEM press 2005 press 2005 press 1015\n"
                      "answer RENAME set 1031 \"nand2\" set 1032 \"gate2\" press ok\n"
                      "answer RENAME set 1031 \"TOP\" set 1032 \"CHIP\" press ok\n"
                      "command 13\nquit\n"),
            0)
      << log;
  const Collection after = Decode(work);
  EXPECT_EQ(after.size(), before.size());
  EXPECT_FALSE(after.count("NAND2") || after.count("TOP"));
  EXPECT_TRUE(dbtest::FileIn(work, "NAND2.BP6").empty() && dbtest::FileIn(work, "NAND2.CL6").empty());
  EXPECT_TRUE(SameBp6(after.at("GATE2").bp6, before.at("NAND2").bp6));
  EXPECT_EQ(after.at("GATE2").refs, before.at("NAND2").refs);
  EXPECT_EQ(dbtest::Flatten(work, "CHIP"), top);
  EXPECT_NE(log.rfind("Cell: CHIP "), std::string::npos) << log;
}

TEST_F(SystemMode, KillTakesTheCellAndEveryReferenceToIt) {
  const auto placements = AllPlacements(work);
  int users = 0;
  for (const auto& [name, placed] : placements)
    users += std::any_of(placed.begin(), placed.end(), [](const std::string& p) { return p.rfind("INV ", 0) == 0; });
  ASSERT_GT(users, 0);
  std::string boxes = "box yes\n";
  for (int i = 0; i < users; ++i) boxes += "box yes\n";
  ASSERT_EQ(Run(work, "answer SYSTEM press 149 press 1015\nanswer KILL set 1019 \"inv\" press ok\n" + boxes +
                          "command 13\nquit\n"),
            0)
      << log;
  EXPECT_TRUE(Logged("box \"Kill\" \"Cell is Used in ROW ... Continue ?\"")) << log;
  const Collection after = Decode(work);
  EXPECT_FALSE(after.count("INV"));
  EXPECT_TRUE(dbtest::FileIn(work, "INV.BP6").empty() && dbtest::FileIn(work, "INV.CL6").empty());
  const auto now = AllPlacements(work);
  for (const auto& [name, placed] : placements) {
    if (name == "INV") continue;
    Lines expected;
    for (const std::string& p : placed)
      if (p.rfind("INV ", 0) != 0) expected.push_back(p);
    EXPECT_EQ(now.at(name), expected) << name;
    EXPECT_EQ(after.at(name).row.v[8], std::int64_t(expected.size())) << name;
  }
}

int TextSize(double size) {
  const double m = std::fabs(size);
  if (m >= 61440) return 61440;
  const int r = int(std::floor(m / 15 + 0.5)) * 15;
  return r < 15 ? 15 : r;
}

TEST_F(SystemMode, ResizeOfEveryCellScalesGeometryPlacementsAndOutlines) {
  const Collection before = Decode(work);
  ASSERT_EQ(Run(work, "answer SYSTEM press 2006 press 1015\n"
                      "answer RESIZE set 1026 \"*\" set 1028 \"2\" press ok\n"
                      "box yes\ncommand 13\nquit\n"),
            0)
      << log;
  EXPECT_TRUE(Logged("box \"ReSize\" \"You Sure ?\"")) << log;
  const Collection after = Decode(work);
  int texts = 0;
  for (const auto& [name, c] : before) {
    SCOPED_TRACE(name);
    const CellFiles& a = after.at(name);
    ASSERT_EQ(a.bp6.boxes.size(), c.bp6.boxes.size());
    for (std::size_t i = 0; i < c.bp6.boxes.size(); ++i)
      EXPECT_EQ(a.bp6.boxes[i], (std::vector<std::int32_t>{c.bp6.boxes[i][0], 2 * c.bp6.boxes[i][1], 2 * c.bp6.boxes[i][2],
                                                           2 * c.bp6.boxes[i][3], 2 * c.bp6.boxes[i][4]}));
    ASSERT_EQ(a.bp6.paths.size(), c.bp6.paths.size());
    for (std::size_t i = 0; i < c.bp6.paths.size(); ++i) {
      const auto& p = c.bp6.paths[i];
      const bool text = p[0] < 0;
      texts += text;
      EXPECT_EQ(a.bp6.paths[i][1], text ? TextSize(std::trunc(p[1] * 2.0)) : 2 * p[1]);
    }
    ASSERT_EQ(a.bp6.vertices.size(), c.bp6.vertices.size());
    for (std::size_t i = 0; i < c.bp6.vertices.size(); ++i) {
      const auto& v = c.bp6.vertices[i];
      const int k = v[0] > 0 ? 2 : 1;  // character vertices hold text, not coordinates
      EXPECT_EQ(a.bp6.vertices[i], (std::vector<std::int32_t>{v[0], k * v[1], k * v[2], v[3]}));
    }
    ASSERT_EQ(a.refs.size(), c.refs.size());
    for (std::size_t i = 0; i < c.refs.size(); ++i)
      EXPECT_EQ(a.refs[i], (std::vector<std::int32_t>{c.refs[i][0], 2 * c.refs[i][1], 2 * c.refs[i][2]}));
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(a.row.v[std::size_t(k)], 2 * c.row.v[std::size_t(k)]);
  }
  EXPECT_GT(texts, 0);
}

TEST_F(SystemMode, RerankOfALeafRaisesEveryCellAboveIt) {
  const Lines top = dbtest::Flatten(work, "TOP");
  const int topRank = int(Decode(work).at("TOP").row.Rank());
  ASSERT_EQ(Run(work, "answer SYSTEM press 2007 press 1015\n"
                      "answer RERANK set 1029 \"contact\" set 1030 \"2\" press ok\n"
                      "box yes\ncommand 13\nquit\n"),
            0)
      << log;
  const Collection after = Decode(work);
  EXPECT_EQ(after.at("CONTACT").row.Rank(), 2);
  EXPECT_EQ(after.at("TOP").row.Rank(), topRank + 1);
  for (const auto& [name, c] : after)
    for (const auto& placed : PlacedByName(work, c.refs)) {
      const std::string cell = placed.substr(0, placed.find(' '));
      EXPECT_GT(c.row.Rank(), after.at(cell).row.Rank()) << name << " places " << cell;
    }
  EXPECT_EQ(dbtest::Flatten(work, "TOP"), top);
}

TEST_F(SystemMode, CellSortOrdersTheRowsAndReferencesFollowTheirCells) {
  ASSERT_EQ(Run(work, "answer SYSTEM press 2005 press 1015\n"
                      "answer RENAME set 1031 \"INV\" set 1032 \"XINV\" press ok\ncommand 13\nquit\n"),
            0)
      << log;
  const auto placements = AllPlacements(work);
  const Lines top = dbtest::Flatten(work, "TOP");
  const Records topRefs = Decode(work).at("TOP").refs;
  ASSERT_EQ(Run(work, "answer SYSTEM press 2008 press 1015\nbox yes\ncommand 13\nquit\n"), 0) << log;
  EXPECT_TRUE(Logged("item SYSTEM 1000 \"Sorting Cells ... DO NOT Interrupt\"")) << log;
  const std::vector<IndexRow> rows = dbtest::ReadIndex(work);
  for (std::size_t i = 1; i < rows.size(); ++i)
    EXPECT_TRUE(rows[i - 1].Rank() < rows[i].Rank() || (rows[i - 1].Rank() == rows[i].Rank() && rows[i - 1].name < rows[i].name))
        << rows[i - 1].name << " before " << rows[i].name;
  EXPECT_EQ(AllPlacements(work), placements);
  EXPECT_EQ(dbtest::Flatten(work, "TOP"), top);
  EXPECT_NE(Decode(work).at("TOP").refs, topRefs);  // the row numbers did move
}

TEST_F(SystemMode, CloneCopiesLayersAndSettingsIntoANewFolder) {
  const std::string target = root + "/copy";
  ASSERT_EQ(Run(work, "answer SYSTEM press 1007 press 1007 press 1015\n"
                      "answer SPAWN set 1325 " + Quoted(target) + " press ok\n"
                      "answer SPAWN set 1325 " + Quoted(target) + " press ok\n"
                      "box ok\ncommand 13\nquit\n"),
            0)
      << log;
  EXPECT_TRUE(Logged("box \"MERO\" \"Folder Exists\"")) << log;
  const std::string made = dbtest::FileIn(root, "copy");
  ASSERT_FALSE(made.empty());
  for (const char* file : {"FORM.DBD", "CONSTS6.DBD"}) {
    std::string original = dbtest::ReadBytes(dbtest::FileIn(work, file));
    std::string copy = dbtest::ReadBytes(dbtest::FileIn(made, file));
    std::erase(original, '\r');
    EXPECT_EQ(copy.find("\n") != std::string::npos && copy.find("\r\n") != std::string::npos, true) << file;
    std::erase(copy, '\r');
    EXPECT_EQ(copy, original) << file;
  }
}

// A suite folder of its own: the editor, its font tables, and a recorder in place of the programs it
// starts.
TEST_F(SystemMode, ProgramsStartedByTheEditorGetExactlyTheirArguments) {
  const std::string suite = root + "/MERO6";
  fs::create_directories(suite);
  fs::copy_file(MERO_WMERO, suite + "/wmero");
  for (const auto& e : fs::directory_iterator(fs::path(MERO_WMERO).parent_path()))
    if (e.path().extension() == ".DBD") fs::copy_file(e.path(), suite + "/" + e.path().filename().string());
  for (const char* program : {"wmerockt", "whpv"}) fs::copy_file(MERO_RECORDER, suite + "/" + program);
  const std::string reader = root + "/reader";
  fs::copy_file(MERO_RECORDER, reader);
  const std::string records = root + "/records";
  fs::create_directories(records);

  ASSERT_EQ(Run(work,
                "answer SYSTEM press 3008\n"
                "command 13\n"
                "command 10\n"
                "answer READER set 400 " + Quoted(reader) + " set 401 \"NOTES.TXT\" press ok\n"
                "command 11\n"
                "wait\nquit\n",
                {"TOP"}, suite + "/wmero", {{"MERO_RECORD", records}}),
            0)
      << log;
  auto received = [&](const std::string& program) {
    const std::string path = records + "/" + program + ".args";
    for (int i = 0; i < 300 && !fs::exists(path); ++i) usleep(20000);
    Lines lines;
    std::istringstream in(dbtest::ReadBytes(path));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  };
  const Lines extractor = received("wmerockt");
  ASSERT_EQ(extractor.size(), 6u);
  EXPECT_EQ(extractor[0], "C:\\MERO6\\Wmerockt.EXE");
  EXPECT_EQ(extractor[1], "TOP");
  for (int i = 2; i <= 4; ++i) {
    char g[40];
    std::snprintf(g, sizeof g, "%g", std::strtod(extractor[std::size_t(i)].c_str(), nullptr));
    EXPECT_EQ(extractor[std::size_t(i)], g) << "written with %g";
  }
  EXPECT_GT(std::strtod(extractor[4].c_str(), nullptr), 0);
  // The View mask: every layer of the drawing's layer table is in view.
  std::uint64_t mask = 0;
  std::istringstream form(dbtest::ReadBytes(work + "/FORM.DBD"));
  for (std::string line; std::getline(form, line);)
    if (line.rfind("layer=", 0) == 0) mask |= std::uint64_t{1} << (std::stoi(line.substr(line.find(' '))) - 1);
  EXPECT_EQ(extractor[5], std::to_string(mask));
  EXPECT_EQ(received("whpv"), (Lines{"C:\\MERO6\\Whpv.EXE", "C:\\MERO6\\MERO60.HPV"}));
  EXPECT_EQ(received("reader"), (Lines{reader, "NOTES.TXT"}));
}

}  // namespace
