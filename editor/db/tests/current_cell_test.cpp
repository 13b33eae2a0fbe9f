#include "editor/db/current_cell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "editor/db/cell_files.h"
#include "editor/db/tests/drawing_folder.h"
#include "editor/db/tests/sample_cell.h"

namespace {

using dbtest::SampleBp6;
using dbtest::Words;
using dbtest::Zeros;
using Events = std::vector<std::string>;

std::string GoldenSettings() {
  std::ifstream in(std::string(MERO_SOURCE_DIR) + "/editor/db/tests/data/default_consts6.dbd",
                   std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A three-level drawing folder as a user's would be on disk: LEAF (rank 1, the sample cell), MID
// (rank 2, LEAF placed in all eight orientations), TOP (rank 3, MID and an outlined LEAF, a box).
std::string LeafBp6() { return SampleBp6(); }
std::string MidCl6() {
  std::string refs;
  for (int k = 0; k < 8; ++k) refs += Words({1 | (k << 11), 1000 * k, 0});
  return refs + Zeros(12);
}
std::string TopCl6() { return Words({2, 0, 0}) + Words({1 | (5 << 11) | 0x4000, -500, 500}) + Zeros(12); }
std::string TopBp6() { return Words({3, 0, 0, 10, 10}) + Zeros(20) + Zeros(12) + Zeros(16); }
std::string Index() {
  return "3\r\nLEAF\r\n1 -10 -118 105 50 2 3 8 0\r\nMID\r\n2 -10 -118 7118 118 0 0 0 8\r\n"
         "TOP\r\n3 -618 -118 7118 605 1 0 0 2\r\n\r\n";
}

struct CurrentCell : ::testing::Test {
  dbtest::DrawingFolder f;
  dbtest::Db d;

  void WriteFolder() {
    f.Write("Form.dbd", "pool=\r\nlayer=none 1\r\n");
    f.Write("Cells6.dbd", Index());
    f.Write("Consts6.dbd", GoldenSettings());
    f.Write("Leaf.bp6", LeafBp6());
    f.Write("Mid.bp6", Zeros(48));
    f.Write("Mid.cl6", MidCl6());
    f.Write("Top.bp6", TopBp6());
    f.Write("Top.cl6", TopCl6());
  }
  void Open() {
    ASSERT_EQ(db::OpenCellCollection(*d), 1);
    d.talk.events.clear();
  }
  db::ObjectStore& s() { return d->store; }
};

TEST_F(CurrentCell, FreshFolderGetsItsDefaultFiles) {
  ASSERT_EQ(db::OpenCellCollection(*d), 1);
  EXPECT_TRUE(d.talk.events.empty());
  EXPECT_EQ(f.Read("Form.dbd"), "pool=\r\nlayer=none 1\r\n");
  EXPECT_EQ(f.Read("Cells6.dbd"), "0\r\n\r\n");
  EXPECT_EQ(f.Read("Consts6.dbd"), GoldenSettings());
  EXPECT_EQ(f.Listing(), "Cells6.dbd Consts6.dbd Form.dbd ");
  // The default FORM.DBD is not read back in the same start: no layer rows yet.
  EXPECT_TRUE(d->form.layers.empty());
  EXPECT_EQ(d->form.currentFontPath, "C:\\MERO6\\TFF.DBD");
}

TEST_F(CurrentCell, FailedStartUpsEndWithTheirMessageAndWriteNothing) {
  struct Case {
    const char* what;
    std::string cells;
    std::string consts;
    bool font;
    Events messages;
  };
  const Case cases[] = {
      {"damaged cell index", "600\r\n", GoldenSettings(), true, {dbtest::Message(27)}},
      {"settings without end", Index(), GoldenSettings().substr(0, 300), true, {dbtest::Message(25)}},
      {"settings empty", Index(), "", true, {dbtest::Message(25)}},
      {"settings all zero bytes", Index(), std::string(4096, '\0'), true, {dbtest::Message(25)}},
      {"no font table", Index(), GoldenSettings(), false, {dbtest::Message(23), dbtest::Message(26)}},
  };
  for (const Case& c : cases) {
    dbtest::DrawingFolder folder;
    dbtest::Db db;
    folder.Write("FORM.DBD", "POOL=\r\n");
    folder.Write("CELLS6.DBD", c.cells);
    folder.Write("CONSTS6.DBD", c.consts);
    if (!c.font) std::filesystem::remove(folder.root + "/MERO6/TFF.DBD");
    EXPECT_EQ(db::OpenCellCollection(*db), 0) << c.what;
    EXPECT_EQ(dbtest::Messages(db.talk), c.messages) << c.what;
    // What the window's destruction does afterwards must not touch the folder either.
    EXPECT_EQ(db::SaveCellState(*db, 0), 0) << c.what;
    EXPECT_EQ(db::SaveOpenCell(*db, 3), 0) << c.what;
    EXPECT_EQ(db::LoadCell(*db, "LEAF"), 0) << c.what;
    EXPECT_EQ(folder.Read("CELLS6.DBD"), c.cells) << c.what;
    EXPECT_EQ(folder.Read("CONSTS6.DBD"), c.consts) << c.what;
    EXPECT_EQ(folder.Listing(), "CELLS6.DBD CONSTS6.DBD FORM.DBD ") << c.what;
  }
}

TEST_F(CurrentCell, HierarchyCopiedFromWindowsSavesBackByteForByte) {
  // Names as a Windows copy leaves them: any case, CR LF text.
  f.Write("form.DBD", "pool=\r\nlayer=none 1\r\n");
  f.Write("cells6.DBD", Index());
  f.Write("CONSTS6.dbd", GoldenSettings());
  f.Write("leaf.BP6", LeafBp6());
  f.Write("MID.bp6", Zeros(48));
  f.Write("mid.CL6", MidCl6());
  f.Write("Top.Bp6", TopBp6());
  f.Write("TOP.cl6", TopCl6());
  std::vector<std::string> names = f.Names();
  Open();

  for (const char* cell : {"TOP", "MID", "LEAF"}) {
    ASSERT_EQ(db::LoadCell(*d, cell), 1) << cell;
    // Selection and off-window marks live in memory only.
    for (int b = 1; b <= s().boxCount; ++b) s().SetBox(s().GetBox(0, b) | 0xF00 | db::kOffWindowBit, 0, b);
    for (int p = 1; p <= s().pathCount; ++p)
      s().SetPath(s().GetPath(0, p) | db::kPathSelectedBit | db::kOffWindowBit, 0, p);
    for (int v = 1; v <= s().vertexCount; ++v)
      s().SetVertex(s().GetVertex(0, v) | db::kVertexSelectedBit | db::kVertexKeptBit, 0, v);
    for (int r = 1; r <= s().refCount[0]; ++r)
      s().SetCellRef(0, s().GetCellRef(0, 0, r) | db::kRefSelectedBit, 0, r);
    ASSERT_EQ(db::SaveOpenCell(*d, 1), 1) << cell;
  }
  EXPECT_TRUE(dbtest::Messages(d.talk).empty());
  EXPECT_EQ(f.Read("cells6.DBD"), Index());
  EXPECT_EQ(f.Read("CONSTS6.dbd"), GoldenSettings());
  EXPECT_EQ(f.Read("leaf.BP6"), LeafBp6());
  EXPECT_EQ(f.Read("MID.bp6"), Zeros(48));
  EXPECT_EQ(f.Read("mid.CL6"), MidCl6());
  EXPECT_EQ(f.Read("Top.Bp6"), TopBp6());
  EXPECT_EQ(f.Read("TOP.cl6"), TopCl6());
  for (const char* backup : {"Cellbkup.bp6", "Cellbkup.cl6", "Mainbkup.bp6", "Mainbkup.cl6"})
    names.push_back(backup);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(f.Names(), names) << "every file replaced under its own spelling";
  EXPECT_EQ(d->recent.places[0], "LEAF");
  EXPECT_EQ(d->recent.places[2], "TOP");
}

TEST_F(CurrentCell, NewCellsAreWrittenAtOnce) {
  Open();
  d.hooks.ranks = {1, 3, 16, 0};
  ASSERT_EQ(db::LoadCell(*d, "INV"), 1);
  EXPECT_EQ(f.Read("Inv.bp6"), Zeros(48));
  EXPECT_FALSE(f.Has("Inv.cl6"));
  ASSERT_EQ(db::LoadCell(*d, "NAND"), 1);
  EXPECT_EQ(f.Read("Nand.cl6"), Zeros(12));
  ASSERT_EQ(db::LoadCell(*d, "BIG"), 1);
  EXPECT_EQ(d->current.rank, 15) << "a rank above 15 would read as the attached bit";
  EXPECT_EQ(f.Read("Cells6.dbd"),
            "3\r\nINV\r\n1 0 0 0 0 0 0 0 0\r\nNAND\r\n3 0 0 0 0 0 0 0 0\r\nBIG\r\n15 0 0 0 0 0 0 0 0\r\n\r\n");
  EXPECT_EQ(db::LoadCell(*d, "GONE"), 0);
  EXPECT_EQ(dbtest::Messages(d.talk), (Events{"newcell INV", "newcell NAND", "newcell BIG", "newcell GONE",
                                       dbtest::Message(19)}));
  EXPECT_EQ(d->current.name, "BIG") << "a cancelled new cell leaves the open one open";
  EXPECT_EQ(d->index.count, 3);
  // The loading notice, then the normal title back.
  EXPECT_EQ(Events(d.talk.events.begin() + 1, d.talk.events.begin() + 3),
            (Events{"maintitle 2 \"INV\"", "maintitle 0 \"INV\""}));
}

TEST_F(CurrentCell, NamesThatCannotBeOpened) {
  WriteFolder();
  Open();
  d->index.rows[2].flags = 0;  // a row with no rank
  d->index.rows[3].flags = 1 | db::kAttachedBit;
  for (const char* name : {"CELLBKUP", "MAINBKUP", "NAND 2", "A.B", ""})
    EXPECT_EQ(db::LoadCell(*d, name), 0) << name;
  EXPECT_EQ(db::LoadCell(*d, "MID"), 0);
  EXPECT_EQ(db::LoadCell(*d, "TOP"), 0);
  EXPECT_EQ(dbtest::Messages(d.talk), (Events{dbtest::Message(1), dbtest::Message(1), dbtest::Message(1), dbtest::Message(1),
                                       dbtest::Message(1), dbtest::Message(5), dbtest::Message(21)}));
}

TEST_F(CurrentCell, FullCollectionStillOpensItsCellsButMakesNoNewOne) {
  std::string index = "513\r\n";
  for (int i = 1; i <= 513; ++i) index += "C" + std::to_string(i) + "\r\n1 0 0 0 0 0 0 0 0\r\n";
  f.Write("CELLS6.DBD", index + "\r\n");
  f.Write("C513.BP6", Zeros(48));
  Open();
  d.hooks.ranks = {1};
  EXPECT_EQ(db::LoadCell(*d, "C513"), 1);
  EXPECT_EQ(db::LoadCell(*d, "NEW"), 0);
  d->index.count = 512;
  EXPECT_EQ(db::LoadCell(*d, "NEW"), 0);
  d->index.count = 511;
  EXPECT_EQ(db::LoadCell(*d, "NEW"), 1);
  EXPECT_EQ(dbtest::Messages(d.talk), (Events{dbtest::Message(14), dbtest::Message(14), "newcell NEW"}));
}

TEST_F(CurrentCell, SavingARankOneCellWithoutReferencesDropsAStaleCl6) {
  WriteFolder();
  f.Write("LEAF.CL6", Words({1, 0, 0}) + Zeros(12));
  Open();
  ASSERT_EQ(db::LoadCell(*d, "LEAF"), 1);
  ASSERT_EQ(db::SaveOpenCell(*d, 1), 1);
  EXPECT_FALSE(f.Has("LEAF.CL6"));
  EXPECT_EQ(f.Listing().find(".cl6 Leaf"), std::string::npos);
}

TEST_F(CurrentCell, SaveStoresTheViewOfTheRankAndTheRowOfTheCell) {
  WriteFolder();
  Open();
  ASSERT_EQ(db::LoadCell(*d, "TOP"), 1);
  s().boxCount = 2;
  s().PutBoxRecord(2, {7, -2000, 0, 0, 10});
  d.hooks.haveView = true;
  d.hooks.view = {2500.9, -10.7, 3.2, 4, 5, 1};
  ASSERT_EQ(db::SaveOpenCell(*d, 1), 1);
  const db::RankView& v = d->settings.rankViews[3];
  EXPECT_EQ(v.width, 2500);
  EXPECT_EQ(v.centreX, -10);
  EXPECT_EQ(v.workGrid, 4);
  EXPECT_EQ(v.dotShown, 1);
  db::CellIndex back;
  ASSERT_EQ(db::ReadCellIndex(back), 1);
  EXPECT_EQ(back.rows[3].left, -2000);
  EXPECT_EQ(back.rows[3].boxCount, 2);
  EXPECT_EQ(back.rows[3].refCount, 2);
  db::Settings settings;
  ASSERT_EQ(db::ReadSettingsFile(settings), 1);
  EXPECT_EQ(settings.rankViews[3].width, 2500);
}

TEST_F(CurrentCell, UndoBringsBackTheStateBeforeTheLastBackupAndSavesIt) {
  WriteFolder();
  Open();
  ASSERT_EQ(db::LoadCell(*d, "TOP"), 1);
  ASSERT_EQ(db::RestoreBackup(*d, 2), 1) << "right after opening: the state as opened";
  EXPECT_EQ(f.Read("Top.bp6"), TopBp6());
  EXPECT_EQ(f.Read("Top.cl6"), TopCl6());

  s().boxCount = 0;  // a destructive command: backup first, then the change
  s().refCount[0] = 1;
  ASSERT_EQ(db::SaveOpenCell(*d, 1), 1);
  ASSERT_EQ(db::RestoreBackup(*d, 1), 1);
  EXPECT_EQ(s().boxCount, 1);
  EXPECT_EQ(s().refCount[0], 2);
  EXPECT_EQ(f.Read("Top.bp6"), TopBp6());
  EXPECT_EQ(f.Read("Top.cl6"), TopCl6());
  EXPECT_EQ(Events(d.talk.events.end() - 2, d.talk.events.end()),
            (Events{"maintitle 1 \"TOP\"", "maintitle 0 \"TOP\""}));

  db::ClearCurrentCell(*d);
  EXPECT_EQ(db::RestoreBackup(*d, 1), 0) << "no cell open: nothing to restore into";
}

TEST_F(CurrentCell, UndoNeverReplacesACellWithABackupThatDoesNotLoad) {
  WriteFolder();
  Open();
  ASSERT_EQ(db::LoadCell(*d, "TOP"), 1);
  s().boxCount = 0;
  struct Case {
    const char* what;
    const char* file;
    std::string bytes;  // "" removes the file
    std::string message;
  };
  const Case cases[] = {
      {"missing BP6", "Mainbkup.bp6", "", dbtest::Message(6)},
      {"cut BP6", "Mainbkup.bp6", Words({3, 0, 0, 10, 10}), dbtest::Message(6)},
      {"missing CL6", "Mainbkup.cl6", "", dbtest::Message(7)},
      {"cyclic BP6", "Mainbkup.bp6", Zeros(20) + Words({1, 0, 1}) + Zeros(12) + Words({1, 0, 0, 1}) + Zeros(16), dbtest::Message(6)},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(db::SaveUndoBackup(*d), 1);
    if (c.bytes.empty()) std::filesystem::remove(f.Path(c.file));
    else f.Write(c.file, c.bytes);
    d.talk.events.clear();
    EXPECT_EQ(db::RestoreBackup(*d, 2), 0) << c.what;
    EXPECT_EQ(dbtest::Messages(d.talk), Events{c.message}) << c.what;
    EXPECT_EQ(f.Read("Top.bp6"), TopBp6()) << c.what;
    EXPECT_EQ(f.Read("Top.cl6"), TopCl6()) << c.what;
    EXPECT_EQ(s().boxCount, 1) << c.what << ": the cell's own files are loaded again";
    EXPECT_EQ(s().refCount[0], 2) << c.what;
  }
}

TEST_F(CurrentCell, AFileNotReadWholeIsNeverSavedOverAndTheUserIsTold) {
  WriteFolder();
  const std::string damaged = Words({2, 0, 0}) + Words({9, 0, 0});
  f.Write("Top.cl6", damaged);
  Open();
  ASSERT_EQ(db::LoadCell(*d, "TOP"), 1);
  EXPECT_EQ(dbtest::Messages(d.talk), Events{dbtest::Message(7)});
  d.talk.events.clear();
  EXPECT_EQ(db::SaveOpenCell(*d, 1), 0);
  EXPECT_EQ(dbtest::Messages(d.talk), Events{dbtest::Message(7)});
  EXPECT_EQ(f.Read("Top.cl6"), damaged);
  db::CellIndex back;
  ASSERT_EQ(db::ReadCellIndex(back), 1);
  EXPECT_EQ(back.rows[3].refCount, 2) << "the row keeps the counts of the file it describes";
  EXPECT_EQ(back.rows[3].right, 7118);

  // Undo must not turn the partial references into the cell's file either.
  d.talk.events.clear();
  EXPECT_EQ(db::RestoreBackup(*d, 2), 1);
  EXPECT_EQ(f.Read("Top.cl6"), damaged);

  // The next cell starts with clean flags: a new rank-2 cell gets and keeps its references.
  d.hooks.ranks = {2};
  ASSERT_EQ(db::LoadCell(*d, "NEW"), 1);
  s().refCount[0] = 1;
  s().PutCellRefRecord(0, 1, {1, 4, 5});
  d.talk.events.clear();
  EXPECT_EQ(db::SaveOpenCell(*d, 1), 1);
  EXPECT_TRUE(dbtest::Messages(d.talk).empty());
  EXPECT_EQ(f.Read("New.cl6"), Words({1, 4, 5}) + Zeros(12));
}

TEST_F(CurrentCell, ADamagedBp6StopsTheOpeningAndSpoilsNoLaterCell) {
  WriteFolder();
  f.Write("Leaf.bp6", Words({1, 0, 0, 1, 1}));
  Open();
  EXPECT_EQ(db::LoadCell(*d, "LEAF"), 0);
  EXPECT_EQ(dbtest::Messages(d.talk), Events{dbtest::Message(6)});
  EXPECT_EQ(d->current.row, 0);
  d.hooks.ranks = {1};
  ASSERT_EQ(db::LoadCell(*d, "FRESH"), 1);
  EXPECT_EQ(db::SaveOpenCell(*d, 1), 1);
  EXPECT_EQ(f.Read("Leaf.bp6"), Words({1, 0, 0, 1, 1}));
}

TEST_F(CurrentCell, AFailedWriteIsReportedAndSkipsTheTlcCopy) {
  WriteFolder();
  Open();
  d->settings.tlcOnSave = 1;
  ASSERT_EQ(db::LoadCell(*d, "LEAF"), 1);
  s().SetBox(s().GetBox(0, 1) | 0xF00, 0, 1);
  ASSERT_EQ(db::SaveOpenCell(*d, 3), 1);
  EXPECT_EQ(dbtest::Messages(d.talk), Events{"tlcout LEAF"});
  EXPECT_EQ(s().boxCount, 2) << "the cell is read back after the TLC copy";
  EXPECT_EQ(s().GetBox(0, 1), 1);
  EXPECT_EQ(d->load.loadedCell, 1);

  // The BP6 cannot be replaced: the save fails, names the file and why, and makes no TLC copy from
  // old files.
  std::filesystem::remove(f.Path("Leaf.bp6"));
  std::filesystem::create_directories(f.Path("Leaf.bp6/x"));
  d.talk.events.clear();
  EXPECT_EQ(db::SaveOpenCell(*d, 3), 0);
  EXPECT_EQ(dbtest::Messages(d.talk),
            Events{"box \"MERO\" \"File Error ... Unable to Write " + std::string(f.Path("Leaf.bp6")) +
                   " (Is a directory)\""});
  EXPECT_EQ(s().boxCount, 2);
}

TEST_F(CurrentCell, ClearingTheCellFreesTheStoreAndForgetsTheLoadState) {
  WriteFolder();
  Open();
  ASSERT_EQ(db::LoadCell(*d, "MID"), 1);
  ASSERT_EQ(db::LoadRefsOfCell(*d, 1, 3), 1);
  d->load.objectLoadError = 1;
  db::ClearCurrentCell(*d);
  EXPECT_EQ(d->current.name, "(none)");
  EXPECT_EQ(d->current.undoBackup, 0);
  EXPECT_EQ(d->current.cellBackup, 1);
  EXPECT_EQ(d->load.objectLoadError, 0);
  EXPECT_EQ(d->load.refLoadFailed, 0);
  EXPECT_EQ(d->load.levelCell[0], 0);
  EXPECT_EQ(s().refCount[0], 0);
  EXPECT_EQ(s().refs[0].AllocatedPages(), 0);
  EXPECT_EQ(s().boxes.AllocatedPages(), 0);
  EXPECT_EQ(db::SaveOpenCell(*d, 1), 0);
}

TEST_F(CurrentCell, LayerNamesComeFromTheTableWhileSwitchedOn) {
  d->form.layers = {{"META", 3}, {"POLY", 2}, {"MET2", 3}};
  d->settings.layerSelectionByTable = 1;
  EXPECT_EQ(db::GetLayerName(*d, 3), "META");
  EXPECT_EQ(db::GetLayerName(*d, 7), "7");
  d->settings.layerSelectionByTable = 0;
  EXPECT_EQ(db::GetLayerName(*d, 3), "3");
}

TEST_F(CurrentCell, AppendedObjectsAreMarkedAndMarksClearedBeforeASave) {
  WriteFolder();
  Open();
  ASSERT_EQ(db::LoadCell(*d, "LEAF"), 1);
  ASSERT_EQ(db::AppendObjectsOfCell(*d, 1), 0);
  db::MarkAppendedObjects(*d);
  EXPECT_EQ(s().GetBox(0, 2), 64);
  EXPECT_EQ(s().GetBox(0, 3), 1 | 0xF00);
  EXPECT_EQ(s().GetPath(0, 4), 2 | db::kPathSelectedBit);
  EXPECT_EQ(s().GetVertex(0, 9) & db::kVertexSelectedBit, db::kVertexSelectedBit);
  d->active.boxes = 2;
  db::ClearSelectionMarks(*d);
  EXPECT_EQ(s().GetBox(0, 3), 1);
  EXPECT_EQ(s().GetPath(0, 6), static_cast<std::int32_t>(dbtest::kTextFlag | (3 << 11) | 4));
  EXPECT_EQ(s().GetVertex(0, 16), static_cast<std::int32_t>(dbtest::kTextFlag | 3));
  EXPECT_EQ(d->active.boxes, 0);
}

}  // namespace
