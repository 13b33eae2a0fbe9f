// System Mode's commands on the whole cell collection of the drawing folder: attaching and importing
// pool cells, copying and appending cells, the scale, deleting, renaming, resizing, re-ranking and
// sorting cells, and cloning the folder. The SYSTEM dialog asks for the names and numbers and calls
// these; they use the object store as their work area, so the caller saves the open cell before and
// opens it again afterwards (by name: a renamed open cell keeps being the open cell under its new
// name, a deleted one is closed).
//
// Every command gives 1 when it did its work and 0 when it was cancelled or refused. Refusals are
// messages of the editor's message table (through the Database's talk) or the questions the command
// asks through its own talk (the SYSTEM dialog's), and leave the collection as it was. A command that rewrites several cell files
// writes them all aside first and puts them in place together, so a failure never leaves the cells
// half renumbered.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "editor/db/database.h"
#include "platform/tell/talk.h"

namespace db {

// Items of the dialog a command runs in (SYSTEM) that take its stage texts: the stage, and "Done !"
// at the end.
constexpr int kStageItem = 1000;
constexpr int kDoneItem = 1002;

// Stage texts the commands show (ProgressText of the message table).
enum CollectionStage {
  kStageDone = 0,
  kStageAttaching = 1,
  kStageImporting = 2,
  kStageCopying = 3,
  kStageAppending = 4,
  kStageCleaning = 5,
  kStageRanks = 6,
  kStageResizing = 7,
  kStageRenaming = 8,
  kStageSorting = 9,
};

// A name typed into a command dialog, as the commands test it: in capitals, at most 32 characters.
std::string DialogName(std::string_view typed);

// The pool folder and its "CELLS6.DBD" are there; otherwise message 18 and false.
bool PoolCollectionPresent(Database& d);

// A rank-1 cell of the pool folder becomes an attached cell of this collection.
int AttachCell(Database& d, tell::Talk& t, std::string_view name);
// An attached cell's geometry is copied into this folder as a rank-1 cell `target` (the source's own
// name makes the attached cell a local one).
int ImportCell(Database& d, tell::Talk& t, std::string_view source, std::string_view target);

// COPY/APPEND: `source` copied under the new name `target`, or appended to the existing cell
// `target` (its appended objects selected). `fromMake`: the source is the scratch row 0 that Make
// has filled, and no stage texts are shown.
int CopyOrAppendCell(Database& d, tell::Talk& t, std::string_view source,
                     std::string_view target, bool fromMake = false);

// SCALE: database units per physical unit = |value| and the unit name (up to kUnitNameLength
// characters), then CONSTS6.DBD. A magnitude that is no usable scale (UsableScale: 0, not a number,
// out of range) is refused and changes nothing.
// `maxSize` receives "Max. Size will be %g %s".
int SetCollectionScale(Database& d, std::string_view unitName, double value, std::string* maxSize);
std::string MaxSizeText(const Settings& s);

// Kill: the cell, every reference to it and its files go; the later rows move down one place and
// every reference follows its cell.
int KillCell(Database& d, tell::Talk& t, std::string_view name);
// ReName: the cell's files and its row take the new name.
int RenameCell(Database& d, tell::Talk& t, std::string_view oldName, std::string_view newName);
// ReSize: one cell, or every cell for "*", scaled by `multiplier` held within 0.1..10.
int ResizeCells(Database& d, tell::Talk& t, std::string_view name, double multiplier);
// ReRank: one cell to `rank` (held within 1..15), or every rank recomputed for "*"; every cell ends
// above each cell it places.
int RerankCells(Database& d, tell::Talk& t, std::string_view name, int rank);
// CellSort: the rows by rank, then by name; references follow their cells.
int SortCells(Database& d, tell::Talk& t);
// Clone ("Spawn"): a new drawing folder with copies of FORM.DBD and CONSTS6.DBD.
int CloneFolder(Database& d, tell::Talk& t, std::string_view folder);

}  // namespace db
