// The layer mover over TLC files in a scratch folder: records moved and copied, the header written
// last, and the program's refusals.
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>

#include "batch/layer_shift.h"
#include "editor/tlc/readers.h"
#include "platform/os/tests/scratch.h"

namespace {

class RecordingConsole final : public batch::Console {
 public:
  std::string out;
  std::deque<int> keys;  // typed ahead; each one is waiting until read
  int reads = 0;

  void Print(std::string_view text) override { out += text; }
  bool KeyWaiting() override { return !keys.empty(); }
  int ReadKey() override {
    ++reads;
    if (keys.empty()) return -1;
    const int k = keys.front();
    keys.pop_front();
    return k;
  }
};

// Records of a TLC text in file order: "B5", "P6", "T5: =B", "C:SUB", "H".
struct Listing final : tlc::RecordConsumer {
  std::vector<std::string> records;
  void CellRef(const tlc::TlcCellRef& r) override {
    records.push_back("C" + std::to_string(r.orientation) + ":" + r.name + "@" + std::to_string(r.x));
  }
  void Box(const tlc::TlcBox& b) override { records.push_back("B" + std::to_string(b.layer)); }
  void Path(const tlc::TlcPath& p) override {
    records.push_back("P" + std::to_string(p.layer) + "/" + std::to_string(p.VertexCount()));
  }
  void Text(const tlc::TlcText& t) override { records.push_back("T" + std::to_string(t.layer) + ":" + t.text); }
  void ReadError(tlc::Keyword, std::string_view m) override { records.push_back(std::string(m)); }
};

std::vector<std::string> Records(const std::string& text) {
  tlc::StringLineSource source(text);
  tlc::TlcStream stream(source);
  Listing listing;
  tlc::ReadTlcRecords(stream, listing);
  return listing.records;
}

const char* const kCell =
    "=H\r\nTOP\r\n6.05\r\n6.05\r\n1000\r\num\r\n01/01/20\r\n10:00:00\r\n3 -5 -6 70 80\r\n9 9 9 9\r\n"
    "=C\r\nSUB\r\n3 100 200 0\r\n"
    "=B\r\n5 0 0 10 10\r\n=B\r\n6 0 0 20 20\r\n"
    "=P\r\n5 40 3\r\n0 0 10 0 10 10 \r\n"
    "=P\r\n6 0 3\r\n0 0 5 0 5 5 \r\n"
    "=T\r\n5 150 2 1\r\n7 8\r\n =B\r\n"
    "=T\r\n9 150 2 0\r\n1 2\r\n=Bx\r\n";

class LayerShift : public ::testing::Test {
 protected:
  ostest::Scratch dir;
  RecordingConsole console;

  void SetUp() override {
    setenv("MERO_NOW", "2024-03-07 13:05:59", 1);
    dir.Write("CELLS.REF", "2\r\nTOP\r\n3 0 0 0 0 0 0 0 0\r\nSUB\r\n1 0 0 0 0 0 0 0 0\r\n\r\n");
    dir.Write("TOP.TLC", kCell);
    dir.Write("SUB.TLC", "=H\r\nSUB\r\n6.0\r\n6.0\r\n1000\r\num\r\n01/01/20\r\n10:00:00\r\n1 0 0 1 0\r\n1 0 0 0\r\n"
                         "=B\r\n5 1 1 2 2\r\n");
  }
  int Run(std::vector<std::string> args) { return batch::RunLayerShift(args, console); }
};

TEST_F(LayerShift, MoveAndCopyChangeOnlyTheOldLayer) {
  ASSERT_EQ(Run({"m", "5", "7", dir.root + "/"}), 0);
  EXPECT_EQ(Records(dir.Read("TOP.TLC")),
            (std::vector<std::string>{"C3:SUB@100", "B7", "B6", "P7/3", "P6/3", "T7: =B", "T9:=Bx"}));
  EXPECT_EQ(Records(dir.Read("SUB.TLC")), std::vector<std::string>{"B7"});
  EXPECT_NE(console.out.find("3 Cells\nLayer 5 Moved to 7 in TOP.TLC\nLayer 5 Moved to 7 in SUB.TLC\n"),
            std::string::npos)
      << console.out;

  dir.Write("TOP.TLC", kCell);
  ASSERT_EQ(Run({"c", "5", "7", dir.root}), 0);
  EXPECT_EQ(Records(dir.Read("TOP.TLC")), (std::vector<std::string>{"C3:SUB@100", "B5", "B7", "B6", "P5/3", "P7/3",
                                                                    "P6/3", "T5: =B", "T7: =B", "T9:=Bx"}));
  EXPECT_NE(console.out.find("Layer 5 Copied to 7 in TOP.TLC"), std::string::npos);
}

TEST_F(LayerShift, TheHeaderComesLastWithTheCountsWritten) {
  ASSERT_EQ(Run({"c", "5", "7", dir.root + "/"}), 0);
  const std::string text = dir.Read("TOP.TLC");
  const std::size_t h = text.find("=H\r\n");
  ASSERT_NE(h, std::string::npos);
  EXPECT_EQ(text.substr(h), "=H\r\nTOP\r\n6.05\r\n6.05\r\n1000\r\num\r\n03/07/24\r\n13:05:59\r\n3 -5 -6 70 80\r\n"
                            "3 6 15 1\r\n");
  // Every reader finds the header at the end.
  tlc::StringLineSource source(text);
  tlc::TlcStream stream(source);
  tlc::TlcHeader header;
  bool found = false;
  EXPECT_EQ(tlc::ReadTlcHeader(stream, header, &found), 1);
  EXPECT_TRUE(found);
  EXPECT_EQ(header.paths, 6);
  // Nothing but the cells' files is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.root), {}), 3);
}

TEST_F(LayerShift, RefusalsChangeNothing) {
  const std::string folder = dir.root + "/";
  // The usage asked for is no failure; a refused job exits 1.
  const struct {
    std::vector<std::string> args;
    const char* message;
    int status;
  } cases[] = {
      {{"m", "5", "7"}, "   Command line :  lyrshift m[c] oldlayer newlayer drive:\\path\\\n", 0},
      {{"x", "5", "7", folder}, "   Command line :", 0},
      {{"m", "0", "7", folder}, "Old Layer out of Range\n", 1},
      {{"m", "5", "65", folder}, "New Layer out of Range\n", 1},
      {{"m", "5", "7", folder + "nowhere/"}, "CELLS.REF is Missing\n", 1},
  };
  for (const auto& c : cases) {
    console.out.clear();
    EXPECT_EQ(Run(c.args), c.status) << c.message;
    EXPECT_NE(console.out.find(c.message), std::string::npos) << console.out;
    EXPECT_NE(console.out.find("\nPress a key to continue...\n"), std::string::npos);
    EXPECT_EQ(dir.Read("TOP.TLC"), kCell);
  }
  dir.Write("CELLS.REF", "513\r\nTOP\r\n3\r\n");
  console.out.clear();
  EXPECT_EQ(Run({"m", "5", "7", folder}), 1);
  EXPECT_NE(console.out.find("CELLS.REF Lists more than 512 Cells\n"), std::string::npos) << console.out;
  EXPECT_EQ(dir.Read("TOP.TLC"), kCell);
}

TEST_F(LayerShift, DamagedFilesAndNamesArePassedOver) {
  dir.Write("CELLS.REF", "4\r\nNOHEAD\r\n1\r\n../TOP\r\n1\r\nBAD\r\n1\r\nGONE\r\n1\r\n");
  dir.Write("NOHEAD.TLC", "=B\r\n5 0 0 1 1\r\n");
  dir.Write("BAD.TLC", std::string(kCell) + "=B\r\n5 x\r\n=B\r\n5 1 1 3 3\r\n");
  std::filesystem::create_directory(dir.Path("sub"));
  std::filesystem::copy_file(dir.Path("CELLS.REF"), dir.Path("sub/CELLS.REF"));
  std::filesystem::copy_file(dir.Path("BAD.TLC"), dir.Path("sub/BAD.TLC"));
  std::filesystem::copy_file(dir.Path("NOHEAD.TLC"), dir.Path("sub/NOHEAD.TLC"));
  Run({"m", "5", "7", dir.Path("sub")});
  EXPECT_NE(console.out.find("4 Cells\nHeader Missing in NOHEAD\n"), std::string::npos) << console.out;
  EXPECT_EQ(dir.Read("sub/NOHEAD.TLC"), "=B\r\n5 0 0 1 1\r\n");
  // A name that leads out of the folder is not followed.
  EXPECT_EQ(dir.Read("TOP.TLC"), kCell);
  // A record that cannot be read is lost alone.
  EXPECT_NE(console.out.find("  Box Record Read Error\n"), std::string::npos);
  const auto bad = Records(dir.Read("sub/BAD.TLC"));
  EXPECT_EQ(bad.back(), "B7");
  EXPECT_EQ(bad.size(), 8u);
}

TEST_F(LayerShift, EscStopsBeforeTheNextCellAndAnExtendedKeyDoesNot) {
  console.keys = {batch::kExtendedKey, 'H', batch::kEscapeKey};
  dir.Write("CELLS.REF", "3\r\nSUB\r\n1\r\nSUB\r\n1\r\nTOP\r\n1\r\n");
  Run({"m", "5", "7", dir.root + "/"});
  EXPECT_NE(console.out.find("Layer 5 Moved to 7 in SUB.TLC\nLayer 5 Moved to 7 in SUB.TLC\n\nPress a key"),
            std::string::npos)
      << console.out;
  EXPECT_EQ(dir.Read("TOP.TLC"), kCell);
}

}  // namespace
