#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "drawing_fixture.h"
#include "editor/db/database.h"
#include "editor/tlc/cell_files.h"
#include "editor/tlc/run.h"
#include "platform/os/tests/scratch.h"

namespace {

using namespace tlc;

std::string Words(std::initializer_list<std::int32_t> words) {
  std::string bytes;
  for (std::int32_t w : words) {
    unsigned char b[4];
    db::PutLe32(b, w);
    bytes.append(reinterpret_cast<char*>(b), 4);
  }
  return bytes;
}

TEST(CellFileReaders, TablesEndAtZeroRowsOrTheEndOfTheFile) {
  struct Case {
    const char* name;
    std::string bytes;
    int boxes, paths, vertices, result;
  };
  const std::string box = Words({3, 0, 0, 5, 5});
  const std::string path = Words({2, 10, 1});
  const std::string vertex = Words({1, 7, 8, 0});
  const Case cases[] = {
      {"missing", "", 0, 0, 0, 0},
      {"0 bytes", "", 0, 0, 0, 1},
      {"empty tables", Words({0, 0, 0, 0, 0}) + Words({0, 0, 0}) + Words({0, 0, 0, 0}), 0, 0, 0, 1},
      {"whole", box + box + Words({0, 0, 0, 0, 0}) + path + Words({0, 0, 0}) + vertex + Words({0, 0, 0, 0}), 2, 1, 1, 1},
      {"no end rows", box + Words({0, 0, 0, 0, 0}) + path + Words({0, 0, 0}) + vertex, 1, 1, 1, 1},
      {"cut inside a record", box + box.substr(0, 7), 1, 0, 0, 1},
      {"zero padding after the end",
       box + Words({0, 0, 0, 0, 0}) + path + Words({0, 0, 0}) + vertex + Words({0, 0, 0, 0}) + std::string(40, '\0'),
       1, 1, 1, 1},
      // A record zeroed inside a table ends it early: what follows the last end row would be lost.
      {"record after the end",
       box + Words({0, 0, 0, 0, 0}) + path + Words({0, 0, 0}) + Words({0, 0, 0, 0}) + vertex, 1, 1, 0, -2},
      {"zero box inside", box + Words({0, 0, 0, 0, 0}) + Words({0, 0, 0}) + Words({0, 0, 0, 0}) + box, 1, 0, 0, -2},
  };
  for (const Case& c : cases) {
    ostest::Scratch s;
    if (std::string(c.name) != "missing") s.Write("NAND.BP6", c.bytes);
    auto d = std::make_unique<db::Database>();
    d->store.boxCount = 99;
    EXPECT_EQ(ReadCellObjectFile(d->store, d->index, s.root + "/", "", "NAND"), c.result) << c.name;
    EXPECT_EQ(d->store.boxCount, c.boxes) << c.name;
    EXPECT_EQ(d->store.pathCount, c.paths) << c.name;
    EXPECT_EQ(d->store.vertexCount, c.vertices) << c.name;
  }
  const std::string ref = Words({5 | (3 << 11), 10, 20});
  const struct {
    const char* name;
    std::string bytes;
    int refs, result;
  } refCases[] = {
      {"whole", ref + ref + Words({0, 0, 0}), 2, 1},
      {"padding after the end", ref + Words({0, 0, 0}) + std::string(24, '\0'), 1, 1},
      {"no end row", ref, 1, 1},
      {"record after a zero record", ref + Words({0, 0, 0}) + Words({7, 1, 1}), 1, -2},
  };
  for (const auto& c : refCases) {
    ostest::Scratch s;
    s.Write("TOP.CL6", c.bytes);
    auto d = std::make_unique<db::Database>();
    EXPECT_EQ(ReadCellRefFile(d->store, s.root + "/", "top"), c.result) << c.name;
    ASSERT_EQ(d->store.refCount[0], c.refs) << c.name;
    EXPECT_EQ(d->store.GetCellRef(0, 0, 1), 5 | (3 << 11)) << c.name;
    EXPECT_EQ(ReadCellRefFile(d->store, s.root + "/", "NONE"), 0);
    EXPECT_EQ(d->store.refCount[0], 0);
  }
}

TEST(CellFileReaders, AttachedCellsComeFromThePoolAndFormGivesThePool) {
  ostest::Scratch s;
  tlctest::CellSpec pooled = tlctest::Cell("PADS", 1 | db::kAttachedBit);
  pooled.boxes = {{9, 0, 0, 1, 1}};
  const std::string folder = s.root + "/draw/";
  tlctest::WriteDrawingFolder(folder, {pooled, tlctest::Cell("LOCAL", 1)}, 1000, "um",
                              "pool = " + s.root + "/draw/pool ; shared cells\r\nPOOL=.\\nowhere\r\nPool=" +
                                  s.root + "/draw/pool\r\n");
  std::string pool;
  ASSERT_EQ(ReadPoolFolder(folder, pool), 1);
  EXPECT_EQ(pool, tlc::UpperCase(s.root) + "/DRAW/POOL\\");
  auto d = std::make_unique<db::Database>();
  ASSERT_EQ(db::ReadCellIndexFile(d->index, folder + "CELLS6.DBD"), 1);
  EXPECT_EQ(ReadCellObjectFile(d->store, d->index, folder, pool, "PADS"), 1);
  EXPECT_EQ(d->store.boxCount, 1);
  EXPECT_EQ(ReadCellObjectFile(d->store, d->index, folder, folder, "PADS"), 0);
  EXPECT_EQ(ReadPoolFolder(s.root + "/none/", pool), 0);
  // No POOL= line: the current folder.
  s.Write("plain/FORM.DBD", "LAYER=1\r\n");
  ASSERT_EQ(ReadPoolFolder(s.root + "/plain/", pool), 1);
  EXPECT_EQ(pool, ".\\");
}

}  // namespace
