// The importers' side of TLC writing: one TLC file per imported cell in a destination folder, a
// CELLS.REF beside them, and the running counts in the progress display. The records themselves go
// through the suite's one TLC writer (editor/tlc/writer.h) with the importer's options.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "editor/tlc/writer.h"
#include "utilib/job.h"

namespace utilib {

enum class ImporterKind {
  Gds,         // as the format has it
  Cif,         // unit always "um"; vertex counts written "%u"
  Dxf,         // as the format has it: the entry written with the header at the block's end
  LayerLogic,  // unit "um", outline 0 0 scale 0, "%u" vertices, no CELLS.REF entry, no display updates
};

// DISPLAY item of the operation line.
constexpr int kItemOperation = 500;
// DISPLAY items of the counters: the current cell's, then the largest of the run.
constexpr int kItemCellPath = 519;
constexpr int kItemBoxes = 503, kItemPaths = 504, kItemTexts = 505, kItemVertices = 506, kItemRefs = 507;
constexpr int kItemMaxBoxes = 508, kItemMaxPaths = 510, kItemMaxTexts = 511, kItemMaxVertices = 512,
              kItemMaxRefs = 513;

// The size rounded to a multiple of 15 within 15 .. 61440.
std::int32_t RoundTextSize15(double size);

// An import's final message: "Completed ... N TLC Files Made", or, when it left things out or placed
// instances only roughly, "Some Error Occurred ... N <leftOutWords> ... M Instances Approximated
// ... Conversion may be Incorrect" (leftOutWords: "Entities not Converted" and the like), each count
// only when there is one.
std::string ImportEndText(int tlcFiles, int leftOut, std::string_view leftOutWords, int approximated);

class ImporterTlc {
 public:
  ImporterTlc(Job& job, ImporterKind kind, std::string_view destination);
  ~ImporterTlc();

  const std::string& Destination() const { return destination_; }

  // Starts "%sCELLS.REF" with the count of cells expected; 1, or 0 when it cannot be made there.
  int CreateCellsRef(int expectedCells);
  // Writes the CELLS.REF gathered so far; 1 or 0. With `actualCount` its count line is corrected
  // to the entries written.
  int SaveCellsRef(bool actualCount = false);

  // The construction of the TLC files: with `makeRef` a CELLS.REF for `expectedCells` cells is begun
  // (the operation line first saying `refStep`, when given); then, with "Constructing TLC Files ..."
  // on the operation line and the message lines first .. first + n emptied, `convert` writes the
  // cells, and the CELLS.REF is saved with the count of entries written. 1 when every cell was written
  // and CELLS.REF saved; 0 when `convert` failed or the job stopped, or when CELLS.REF could not be
  // made ("Unable to Open REF File ... Can't Continue").
  // The DXF importer's files go to a staging folder inside the destination first and are moved into
  // it only when the construction succeeded: a run that stops leaves the destination as it was.
  int ConstructTlcFiles(bool makeRef, int expectedCells, int n, int first, const std::function<bool()>& convert,
                        const char* refStep = nullptr);

  // Creates "%s%s.TLC" (destination, name) as the current TLC file; 1 or 0.
  int CreateCellTlc(std::string_view name);
  // Writes out and closes the current TLC file; 1 when every byte reached it, else 0.
  int CloseCellTlc();
  // The writer of the current TLC file (valid between CreateCellTlc and CloseCellTlc).
  tlc::TlcWriter& Writer() { return *writer_; }
  bool HasCell() const { return writer_ != nullptr; }

  // Raises the run's maxima and shows the counters that changed since they were last shown.
  void UpdateDisplayCounters(const tlc::TlcRecordCounts& counts);
  const tlc::TlcRecordCounts& Maxima() const { return maxima_; }

 private:
  // A staging folder for the construction; false when none could be made (the files then go to the
  // destination itself).
  bool BeginStaging();
  // Moves the staged files into the destination (`keep`) or removes them; the folder goes. 1 or 0.
  int EndStaging(bool keep);

  Job& job_;
  ImporterKind kind_;
  std::string destination_;
  std::string staging_;  // "" while the files go to the destination
  std::string WriteFolder() const { return staging_.empty() ? destination_ : staging_; }
  std::unique_ptr<tlc::CellsRefWriter> cellsRef_;
  std::unique_ptr<tlc::FileSink> sink_;
  std::unique_ptr<tlc::TlcWriter> writer_;
  tlc::TlcRecordCounts maxima_;
  // What the counter items show: the current cell's five counts, then the five maxima.
  long long shown_[10] = {};
  bool anyShown_ = false;
};

}  // namespace utilib
