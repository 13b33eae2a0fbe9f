#include "utilib/importer_tlc.h"

#include <gtest/gtest.h>

#include "platform/os/tests/scratch.h"
#include "platform/tell/recorder.h"

namespace utilib {
namespace {

TEST(ImporterTlc, SmallHelpers) {
  const std::pair<double, int> sizes[] = {{22, 15}, {23, 30}, {100000, 61440}, {0, 15}, {-40, 15}, {61439, 61440}};
  for (auto [size, rounded] : sizes) EXPECT_EQ(RoundTextSize15(size), rounded) << size;
}

tlc::TlcHeader Header(const std::string& name, int rank) {
  tlc::TlcHeader h;
  h.name = name;
  h.scale = 1000;
  h.unit = "um";
  h.date = "01/02/24";
  h.time = "10:11:12";
  h.rank = rank;
  return h;
}

TEST(ImporterTlc, CellsAndCellsRef) {
  ostest::Scratch dir;
  tell::Recorder ui;
  Job job("STRMIMP", ui);
  ImporterTlc out(job, ImporterKind::Gds, dir.Path("out"));
  std::filesystem::create_directories(dir.Path("out"));
  ASSERT_EQ(out.CreateCellsRef(3), 1);
  for (const char* name : {"A", "B", "TOP"}) {
    ASSERT_EQ(out.CreateCellTlc(name), 1);
    tlc::TlcWriter& w = out.Writer();
    std::vector<std::int32_t> x = {0, 1, 2, 3, 4, 5, 6}, y = {0, 0, 0, 0, 0, 0, 7};
    w.PutPath(5, 20, x, y);
    w.PutBox({1, 0, 0, 10, 10});
    tlc::TlcHeader h = Header(name, 1);
    h.boxes = w.Counts().boxes;
    h.paths = w.Counts().paths;
    h.vertices = static_cast<std::int32_t>(w.Counts().vertices);
    w.PutHeader(h);
    ASSERT_EQ(out.CloseCellTlc(), 1);
  }
  ASSERT_EQ(out.SaveCellsRef(), 1);
  EXPECT_EQ(dir.Read("out/CELLS.REF"),
            "3\r\nA\r\n1 0 0 1000 0 1 1 7 0\r\nB\r\n1 0 0 1000 0 1 1 7 0\r\nTOP\r\n1 0 0 1000 0 1 1 7 0\r\n");
  std::string a = dir.Read("out/A.TLC");
  EXPECT_NE(a.find("=P\r\n5 20 7\r\n0 0 1 0 2 0 3 0 4 0 \r\n5 0 6 7 \r\n=B\r\n"), std::string::npos) << a;
  EXPECT_NE(a.find("=H\r\nA\r\n6.0\r\n6.0\r\n1000\r\num\r\n01/02/24\r\n10:11:12\r\n1 0 0 1 0\r\n1 1 7 0\r\n"),
            std::string::npos)
      << a;
  EXPECT_EQ(ui.items[kItemCellPath], dir.Path("out") + "\\TOP.TLC");
  EXPECT_EQ(ui.items[kItemBoxes], "1");
  EXPECT_EQ(ui.items[kItemVertices], "7");
  EXPECT_EQ(ui.items[kItemMaxPaths], "1");
  // The counters run per record; an item is set again only when its count changed.
  EXPECT_EQ(ui.EventsOf("item " + std::to_string(kItemPaths)), std::vector<std::string>{"item 504 \"1\""});
  EXPECT_EQ(ui.EventsOf("item " + std::to_string(kItemBoxes)).size(), 6u);  // 0 and 1 in each cell
}

TEST(ImporterTlc, CifVariantAndMissingFolder) {
  ostest::Scratch dir;
  tell::Recorder ui;
  Job job("CALIMP", ui);
  ImporterTlc missing(job, ImporterKind::Cif, dir.Path("nowhere/deeper"));
  EXPECT_EQ(missing.CreateCellsRef(1), 0);
  EXPECT_EQ(missing.CreateCellTlc("A"), 0);

  ImporterTlc out(job, ImporterKind::Cif, dir.Path(""));
  ASSERT_EQ(out.CreateCellTlc("C"), 1);
  tlc::TlcHeader h = Header("C", 2);
  h.unit = "mil";
  out.Writer().PutHeader(h);
  ASSERT_EQ(out.CloseCellTlc(), 1);
  EXPECT_NE(dir.Read("C.TLC").find("1000\r\num\r\n"), std::string::npos);
}

TEST(ImporterTlc, ConstructionWithAndWithoutCellsRef) {
  ostest::Scratch dir;
  auto writeCell = [](ImporterTlc& out, const char* name) {
    if (!out.CreateCellTlc(name)) return false;
    out.Writer().PutHeader(Header(name, 1));
    return out.CloseCellTlc() == 1;
  };

  // Two of the three cells expected: the count line says what was written.
  tell::Recorder ui;
  Job job("STRMIMP", ui);
  ImporterTlc out(job, ImporterKind::Gds, dir.Path(""));
  EXPECT_EQ(out.ConstructTlcFiles(true, 3, 1, 515, [&] { return writeCell(out, "A") && writeCell(out, "B"); },
                                  "Writing CELLS.REF File ..."),
            1);
  EXPECT_EQ(dir.Read("CELLS.REF").substr(0, 3), "2\r\n");
  const std::vector<std::string> operation = ui.EventsOf("item 500");
  EXPECT_EQ(operation, (std::vector<std::string>{"item 500 \"Writing CELLS.REF File ...\"",
                                                 "item 500 \"Constructing TLC Files ...\""}));
  EXPECT_EQ(ui.EventsOf("item 516"), std::vector<std::string>{"item 516 \"\""});

  // No CELLS.REF where it cannot be made: nothing is converted.
  tell::Recorder refused;
  Job stopped("CALIMP", refused);
  ImporterTlc nowhere(stopped, ImporterKind::Cif, dir.Path("nowhere/deeper"));
  bool ran = false;
  EXPECT_EQ(nowhere.ConstructTlcFiles(true, 1, 1, 514, [&] { return ran = true; }), 0);
  EXPECT_FALSE(ran);
  EXPECT_TRUE(stopped.abort);
  EXPECT_EQ(refused.EventsOf("box"),
            std::vector<std::string>{"box \"CALIMP\" \"Unable to Open REF File ... Can't Continue\""});

  // A conversion that fails has told why: no word of CELLS.REF, whose entries are kept.
  tell::Recorder failing;
  Job failed("STRMIMP", failing);
  ImporterTlc partial(failed, ImporterKind::Gds, dir.Path("partial"));
  std::filesystem::create_directories(dir.Path("partial"));
  EXPECT_EQ(partial.ConstructTlcFiles(true, 2, 3, 515, [&] { return writeCell(partial, "X") && false; }), 0);
  EXPECT_TRUE(failing.EventsOf("box").empty());
  EXPECT_EQ(dir.Read("partial/CELLS.REF").substr(0, 3), "1\r\n");
  // The DXF importer's failed run leaves its destination as it was, its older file included; one
  // that succeeds moves its files in over the older ones.
  tell::Recorder dxfUi;
  Job dxf("XCHIMP", dxfUi);
  std::filesystem::create_directories(dir.Path("dxf"));
  dir.Write("dxf/X.TLC", "older");
  {
    ImporterTlc staged(dxf, ImporterKind::Dxf, dir.Path("dxf"));
    EXPECT_EQ(staged.ConstructTlcFiles(true, 2, 3, 515, [&] { return writeCell(staged, "X") && false; }), 0);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path("dxf")), {}), 1);
  EXPECT_EQ(dir.Read("dxf/X.TLC"), "older");
  {
    ImporterTlc staged(dxf, ImporterKind::Dxf, dir.Path("dxf"));
    EXPECT_EQ(staged.ConstructTlcFiles(true, 2, 3, 515, [&] { return writeCell(staged, "X") && writeCell(staged, "Y"); }),
              1);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path("dxf")), {}), 3);
  EXPECT_EQ(dir.Read("dxf/CELLS.REF").substr(0, 3), "2\r\n");
  EXPECT_NE(dir.Read("dxf/X.TLC"), "older");
  // Without a CELLS.REF only the conversion counts.
  tell::Recorder plain;
  Job noRef("DXFIMP", plain);
  ImporterTlc none(noRef, ImporterKind::Dxf, dir.Path("none"));
  EXPECT_EQ(none.ConstructTlcFiles(false, 2, 3, 515, [] { return true; }), 1);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("none/CELLS.REF")));
}

}  // namespace
}  // namespace utilib
