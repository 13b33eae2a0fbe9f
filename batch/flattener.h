// The flattener's job: one cell of the drawing folder with every cell below it into flat TLC files.
// Smash mode writes one file with all the geometry in the top cell's coordinates; circuit-compile
// mode writes a token cell per device cell and a flat top cell that keeps the devices as instances
// and only the texts a circuit compiler needs.
#pragma once
#include <cstdint>
#include <string>

#include "batch/planer_settings.h"
#include "editor/db/cell_index.h"
#include "editor/db/settings.h"
#include "editor/tlc/cell_files.h"
#include "utilib/job.h"

namespace planer {

// DISPLAY items.
constexpr int kItemOperation = 500, kItemCell = 501, kItemFile = 502;
constexpr int kItemBoxes = 503, kItemPaths = 504, kItemTexts = 505, kItemVertices = 506, kItemCells = 507;

constexpr int kMaxDeviceInstances = 16380;  // per cell
constexpr int kMaxDepth = 14;               // below the top: ranks 15..1 reach depth 14

// What the flattener reads of the drawing folder when it starts.
struct DrawingFolder {
  std::string folder;  // "" (the current folder) or ending in a separator
  db::CellIndex index;
  std::string pool;
  db::DatabaseScale scale;  // scale.damaged: the caller tells db::kDamagedScaleText
};
// Reads FORM.DBD, CELLS6.DBD and CONSTS6.DBD. 1, or 0 with the message to show ("FORM.DBD is
// Missing" and the like).
int ReadDrawingFolder(DrawingFolder& d, std::string& message);

struct FlattenResult {
  std::string topFile;
  std::int64_t topFileBytes = 0;
};

// The Go job: 1 done, 0 stopped or refused (its message shown).
int FlattenCollection(utilib::Job& job, const DrawingFolder& d, const PlanerSettings& s, FlattenResult& result);

std::string CompletedText(const FlattenResult& result);

}  // namespace planer
