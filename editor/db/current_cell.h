// The open cell: the start-up load of a drawing folder, opening or creating a cell, saving it with
// its index row and the settings, the two backup cells and Undo.
#pragma once
#include <string>
#include <string_view>

#include "editor/db/database.h"

namespace db {

constexpr std::string_view kCellBackup = "CELLBKUP";
constexpr std::string_view kUndoBackup = "MAINBKUP";
// The caption of the editor's own boxes.
constexpr std::string_view kEditorCaption = "MERO";

// Title notice kinds.
enum NoticeKind { kNoticeSaving = 1, kNoticeLoading = 2, kNoticeBackup = 3, kNoticeTlcOut = 4 };

// FORM.DBD, CELLS6.DBD, CONSTS6.DBD and the font table, each read or created; 1 ok, 0 after the
// message that ends the editor. Nothing is ever saved by SaveCellState before this succeeded.
int OpenCellCollection(Database& d);

// Opens the cell, creating it (NEWCELL question) when it does not exist; 1 opened, 0 refused with
// its message. A refusal before the old cell is closed leaves it open as it was.
int LoadCell(Database& d, std::string_view name);
// Adds a row for a new cell of the rank the user gives (held within 1..15) and rewrites CELLS6.DBD;
// 1 added, 0 cancelled, -1 no room or not written (the row is then taken back).
int NewCellDialog(Database& d, std::string_view name);

// Options of SaveCellState.
enum SaveOptions { kSaveCellFiles = 1, kSaveAllowTlc = 2, kSaveKeepMarks = 4 };
// 1 when every file was written; 0 when one was not (the user has been told) or before start-up.
int SaveCellState(Database& d, int options);
// SaveCellState and the cell back to the front of the recent list; 0 when no cell is open.
int SaveOpenCell(Database& d, int options);
// The cell's CL6 (rank above 1; a rank-1 cell without references loses a stale one) and BP6.
// 0 ok, 1 when either was not written; a file kept because it was not read whole is reported with
// message 7 (CL6) or 6 (BP6), a failed write with message 11.
int WriteCurrentCellFiles(Database& d, int row, int rank);

// The row's outline and counts from the open cell (when a row and a name are given), then the whole
// CELLS6.DBD. Counts of a file not read whole stay as the row had them. 1, or 0 when not written.
int WriteCellIndex(Database& d, std::string_view name, int row, int rank);
// No cell open: the store freed, every count and load flag cleared.
void ClearCurrentCell(Database& d);

void ClearSelectionMarks(Database& d);
void MarkAppendedObjects(Database& d);
// The current view into the open rank's stored view, then CONSTS6.DBD; 1, or 0 when not written.
int StoreRankView(Database& d);
// Defaults of every setting, and an empty recent-cell list.
void SetDefaultSettings(Database& d);

// Both give 1 when the backup was written whole; otherwise its flag is cleared, so Undo can never
// bring back an older or partial backup.
int SaveCellBackup(Database& d);
int SaveUndoBackup(Database& d);
// Undo: 1 cell backup, 2 undo backup. A backup that does not load whole is not used: the message is
// shown, the cell's own files are loaded again and nothing is saved. 1 restored, 0 otherwise.
int RestoreBackup(Database& d, int kind);

void ShowTitleNotice(Database& d, int kind, std::string_view cellName);

// Layer number in decimal, or its FORM.DBD name while layers are chosen by table.
std::string GetLayerName(const Database& d, int layer);

}  // namespace db
