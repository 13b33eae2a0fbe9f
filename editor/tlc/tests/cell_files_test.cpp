#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "drawing_fixture.h"
#include "editor/db/cell_files.h"
#include "editor/db/database.h"
#include "editor/tlc/cell_files.h"
#include "editor/tlc/run.h"
#include "platform/os/tests/scratch.h"

namespace {

using namespace tlc;

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
  // The utilities read another folder's cells through the cell database's loader.
  auto d = std::make_unique<db::Database>();
  ASSERT_EQ(db::ReadCellIndexFile(d->index, folder + "CELLS6.DBD"), 1);
  d->folder = folder;
  d->form.poolFolder = pool;
  EXPECT_EQ(db::LoadObjectsOfCell(*d, 1), 0);
  EXPECT_EQ(d->store.boxCount, 1);
  EXPECT_EQ(db::LoadObjectsOfCell(*d, 2), 0);
  d->form.poolFolder = folder;
  EXPECT_EQ(db::LoadObjectsOfCell(*d, 1), 1) << "PADS is in the pool, not in the drawing folder";
  EXPECT_EQ(d->load.objectLoadError, 0);
  EXPECT_EQ(ReadPoolFolder(s.root + "/none/", pool), 0);
  // No POOL= line: the current folder.
  s.Write("plain/FORM.DBD", "LAYER=1\r\n");
  ASSERT_EQ(ReadPoolFolder(s.root + "/plain/", pool), 1);
  EXPECT_EQ(pool, ".\\");
}

}  // namespace
