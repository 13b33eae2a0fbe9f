#include "utilib/importer_tlc.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "editor/tlc/run.h"
#include "platform/os/path.h"
#include "platform/os/textfile.h"

namespace utilib {

std::int32_t RoundTextSize15(double size) {
  double r = std::trunc(size / 15 + 0.5) * 15;
  if (!(r <= 61440)) return 61440;  // also NaN
  if (r < 15) return 15;
  return static_cast<std::int32_t>(r);
}

std::string ImportEndText(int tlcFiles, int leftOut, std::string_view leftOutWords, int approximated) {
  if (leftOut <= 0 && approximated <= 0) return Format("Completed ... %d TLC Files Made", tlcFiles);
  std::string text = "Some Error Occurred";
  if (leftOut > 0)
    text += Format(" ... %d %.*s", leftOut, static_cast<int>(leftOutWords.size()), leftOutWords.data());
  if (approximated > 0) text += Format(" ... %d Instances Approximated", approximated);
  return text + " ... Conversion may be Incorrect";
}

ImporterTlc::ImporterTlc(Job& job, ImporterKind kind, std::string_view destination)
    : job_(job), kind_(kind), destination_(tlc::NormaliseFolder(destination)) {}

ImporterTlc::~ImporterTlc() {
  // An unfinished cell stays as far as it was written, as after an abort.
  if (writer_) CloseCellTlc();
  EndStaging(false);
}

int ImporterTlc::CreateCellsRef(int expectedCells) {
  // Try the file now, so a destination that cannot take it stops the import before any cell.
  os::TextWriter probe;
  if (!probe.Open(WriteFolder() + "CELLS.REF")) return 0;
  probe.Abandon();
  cellsRef_ = std::make_unique<tlc::CellsRefWriter>(expectedCells);
  return 1;
}

int ImporterTlc::SaveCellsRef(bool actualCount) {
  if (!cellsRef_) return 0;
  return cellsRef_->Save(WriteFolder() + "CELLS.REF", false, actualCount);
}

int ImporterTlc::ConstructTlcFiles(bool makeRef, int expectedCells, int n, int first,
                                   const std::function<bool()>& convert, const char* refStep) {
  static constexpr const char* kRefError = "Unable to Open REF File ... Can't Continue";
  // A DXF file is found unusable only while it is converted (a layer not in the map), too late for
  // what is written by then to be its own run's.
  if (kind_ == ImporterKind::Dxf) BeginStaging();
  if (makeRef) {
    if (refStep) SetItemText(job_, refStep, kItemOperation);
    if (!CreateCellsRef(expectedCells)) {
      EndStaging(false);
      StopJob(job_, kRefError);
      return 0;
    }
  }
  SetItemText(job_, "Constructing TLC Files ...", kItemOperation);
  ClearMessageLines(job_, n, first);
  const bool converted = convert();
  // A failed conversion has told its own reason; the list of what it wrote is saved all the same.
  if (makeRef && !SaveCellsRef(true) && converted) {
    EndStaging(false);
    StopJob(job_, kRefError);
    return 0;
  }
  const bool built = converted && !job_.abort;
  if (!EndStaging(built)) {
    StopJob(job_, Format("Unable to Write TLC Files in %s ... Can't Continue", destination_.c_str()));
    return 0;
  }
  return built ? 1 : 0;
}

bool ImporterTlc::BeginStaging() {
  const std::string folder = destination_ + Format(".mero-import-%d", static_cast<int>(getpid()));
  if (os::MakeFolder(folder) != os::MkdirResult::Created) return false;
  staging_ = folder + "\\";
  return true;
}

int ImporterTlc::EndStaging(bool keep) {
  if (staging_.empty()) return 1;
  if (writer_) CloseCellTlc();
  int ok = 1;
  for (const std::string& name : os::ListFiles(staging_ + "*")) {
    if (keep && ok && os::ReplaceFile(staging_ + name, destination_ + name)) continue;
    if (keep) ok = 0;
    os::RemoveFile(staging_ + name);
  }
  os::RemoveFolder(staging_);
  staging_.clear();
  return ok;
}

int ImporterTlc::CreateCellTlc(std::string_view name) {
  if (writer_) CloseCellTlc();
  const std::string path = destination_ + std::string(name) + ".TLC";
  auto sink = std::make_unique<tlc::FileSink>();
  if (!sink->Open(WriteFolder() + std::string(name) + ".TLC")) return 0;
  tlc::TlcWriterOptions options = tlc::UtilityWriterOptions();
  switch (kind_) {
    case ImporterKind::Gds:
      options.outline = tlc::HeaderOutline::Importer;
      options.cellsRef = cellsRef_.get();
      break;
    case ImporterKind::Cif:
      options.outline = tlc::HeaderOutline::Importer;
      options.fixedUnit = "um";
      options.unsignedVertexCount = true;
      options.cellsRef = cellsRef_.get();
      break;
    case ImporterKind::Dxf:
      // The DXF importer's own entry at a block's end holds the same numbers the header writer's does.
      options.outline = tlc::HeaderOutline::Importer;
      options.cellsRef = cellsRef_.get();
      break;
    case ImporterKind::LayerLogic:
      options.outline = tlc::HeaderOutline::ScaleWide;
      options.fixedUnit = "um";
      options.unsignedVertexCount = true;
      break;
  }
  if (kind_ != ImporterKind::LayerLogic)
    options.onRecord = [this](const tlc::TlcRecordCounts& counts) { UpdateDisplayCounters(counts); };
  sink_ = std::move(sink);
  writer_ = std::make_unique<tlc::TlcWriter>(*sink_, std::move(options));
  SetItemText(job_, path, kItemCellPath);
  return 1;
}

int ImporterTlc::CloseCellTlc() {
  if (!writer_) return 0;
  bool ok = writer_->Flush();
  writer_.reset();
  int committed = sink_->Commit();
  sink_.reset();
  return ok && committed ? 1 : 0;
}

void ImporterTlc::UpdateDisplayCounters(const tlc::TlcRecordCounts& c) {
  maxima_.boxes = std::max(maxima_.boxes, c.boxes);
  maxima_.paths = std::max(maxima_.paths, c.paths);
  maxima_.texts = std::max(maxima_.texts, c.texts);
  maxima_.vertices = std::max(maxima_.vertices, c.vertices);
  maxima_.cellRefs = std::max(maxima_.cellRefs, c.cellRefs);
  // This runs for every record: only a count that changed goes to the display, in item order.
  auto show = [this](int i, long long now, int item) {
    if (anyShown_ && now == shown_[i]) return;
    SetItemNumber(job_, now, item);
    shown_[i] = now;
  };
  show(0, c.boxes, kItemBoxes);
  show(1, c.paths, kItemPaths);
  show(2, c.texts, kItemTexts);
  show(3, c.vertices, kItemVertices);
  show(4, c.cellRefs, kItemRefs);
  show(5, maxima_.boxes, kItemMaxBoxes);
  show(6, maxima_.paths, kItemMaxPaths);
  show(7, maxima_.texts, kItemMaxTexts);
  show(8, maxima_.vertices, kItemMaxVertices);
  show(9, maxima_.cellRefs, kItemMaxRefs);
  anyShown_ = true;
}

}  // namespace utilib
