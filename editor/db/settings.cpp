#include "editor/db/settings.h"

#include <cinttypes>
#include <cmath>
#include <optional>

#include "editor/db/file_names.h"
#include "editor/db/text_numbers.h"
#include "platform/os/textfile.h"

namespace db {

namespace {

constexpr std::string_view kDefaultLetters = "royegtcabpmvw";

struct LetterIndex {
  char letter;
  int palette;
};
constexpr LetterIndex kLetters[] = {{'r', 12}, {'b', 9},  {'g', 10}, {'m', 13}, {'y', 14},
                                    {'c', 11}, {'w', 7},  {'o', 16}, {'l', 17}, {'t', 18},
                                    {'a', 19}, {'v', 20}, {'p', 21}};

constexpr std::uint32_t kDefaultPrintRgb[kPrintColors] = {
    0x000000, 0x0000c0, 0x00c000, 0x00c0c0, 0xc00000, 0xc000c0, 0xc08000, 0xc0c0c0,
    0x808080, 0x0000ff, 0x00ff00, 0x00ffff, 0xff0000, 0xff00ff, 0xffff00, 0xffffff,
    0xff8000, 0x80ff00, 0x00ff80, 0x0080ff, 0xff0080, 0x8000ff};

std::string Cut(const std::string& text, std::size_t width) { return text.substr(0, width); }

// A text value is one line of the file; a line break inside it would shift every later value.
std::string OneLine(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (c == '\n' || c == '\r') c = ' ';
  return out;
}

// The lines of CONSTS6.DBD in file order. Section lines are skipped where the file has them, so a
// value that happens to begin with "*" (a reader pattern such as "*.RPT") stays a value. Once the
// file has ended, every further value keeps what it was and the last line stands for the next read.
class SettingsLines {
 public:
  bool Open(std::string_view path) { return reader_.Open(path); }

  void Section() {
    std::string line;
    if (!Fetch(line)) return;
    if (line.empty() || line[0] != '*') pending_ = std::move(line);
  }

  std::optional<std::string> Value() {
    std::string line;
    if (!Fetch(line)) return std::nullopt;
    return line;
  }

  // The line after the last value: the file's own line, or the last one again at the end.
  std::string Closing() {
    std::string line;
    return Fetch(line) ? line : last_;
  }

 private:
  bool Fetch(std::string& line) {
    if (pending_) {
      line = std::move(*pending_);
      pending_.reset();
      return true;
    }
    if (ended_ || !reader_.ReadLine(line)) {
      ended_ = true;
      return false;
    }
    last_ = line;
    return true;
  }

  os::TextReader reader_;
  std::optional<std::string> pending_;
  std::string last_;
  bool ended_ = false;
};

// Readers of one value each; `accept` keeps out values the program cannot work with.
void ReadInt(SettingsLines& in, int& target, bool (*accept)(int) = nullptr) {
  if (auto line = in.Value()) {
    int v = LeadingInt(*line);
    if (!accept || accept(v)) target = v;
  }
}
void ReadDouble(SettingsLines& in, double& target) {
  if (auto line = in.Value()) target = LeadingDouble(*line);
}
void ReadText(SettingsLines& in, std::string& target, std::size_t width) {
  if (auto line = in.Value()) target = Cut(*line, width);
}
void Skip(SettingsLines& in, int lines) {
  for (int i = 0; i < lines; ++i) in.Value();
}

// Lines 1 to 3, for ReadDatabaseScale and ReadSettingsFile alike.
void ReadHead(SettingsLines& in, DatabaseScale& head) {
  head = DatabaseScale();
  ReadText(in, head.version, kVersionLength);
  if (auto line = in.Value()) head.scale = LeadingDouble(*line);
  else head.scale = 0;
  head.damaged = !UsableScale(head.scale);
  if (head.damaged) head.scale = kDefaultScale;
  ReadText(in, head.unit, kUnitNameLength);
}

bool Positive(int v) { return v >= 1; }
bool GridIndex(int v) { return v >= 0 && v <= kGridSlots; }
bool DashStyle(int v) { return v >= 0 && v <= 4; }
bool LayerNumber(int v) { return v >= 1 && v <= 64; }
bool ResSetNumber(int v) { return v >= 1 && v <= 9; }

}  // namespace

std::string Settings::DefaultColorLetters() {
  std::string letters = "x";
  for (int layer = 0; layer < 64; ++layer) letters += kDefaultLetters[layer % kDefaultLetters.size()];
  return letters;
}

std::array<std::int32_t, kGridSlots + 1> Settings::DefaultGrids(double scale) {
  std::array<std::int32_t, kGridSlots + 1> grids{};
  for (int k = 1; k <= kGridSlots; ++k) grids[k] = static_cast<std::int32_t>(k * scale);
  grids[0] = grids[1];
  return grids;
}

std::array<ReaderEntry, kReaderPairs> Settings::DefaultReaders() {
  std::array<ReaderEntry, kReaderPairs> readers;
  readers[0].program = "Notepad";
  return readers;
}

std::array<std::uint32_t, kPrintColors> Settings::DefaultPrintColors() {
  std::array<std::uint32_t, kPrintColors> colors{};
  for (int i = 0; i < kPrintColors; ++i) {
    std::uint32_t rgb = kDefaultPrintRgb[i];
    colors[i] = ((rgb >> 16) & 0xFF) + 256 * ((rgb >> 8) & 0xFF) + 65536 * (rgb & 0xFF);
  }
  return colors;
}

void SetDefaultSettings(Settings& s) {
  auto palette = s.layerPalette;
  s = Settings();
  s.layerPalette = palette;
}

int PaletteOfLetter(char letter) {
  for (const LetterIndex& l : kLetters)
    if (l.letter == letter) return l.palette;
  return -1;
}

char GetLayerColorLetter(const Settings& s, int layer) {
  if (layer < 1 || layer > 64) return 'w';
  for (const LetterIndex& l : kLetters)
    if (l.palette == s.layerPalette[layer - 1]) return l.letter;
  return 'w';
}

void SetLayerColorByLetter(Settings& s, char letter, int layer) {
  if (layer < 1 || layer > 64) return;
  int palette = PaletteOfLetter(letter);
  if (palette >= 0) s.layerPalette[layer - 1] = palette;
}

void ApplyColorLetters(Settings& s) {
  for (int layer = 1; layer <= 64; ++layer) {
    char letter = static_cast<std::size_t>(layer) < s.colorLetters.size() ? s.colorLetters[layer] : 0;
    SetLayerColorByLetter(s, letter, layer);
  }
}

void StoreColorLetters(Settings& s) {
  std::string letters = "x";
  for (int layer = 1; layer <= 64; ++layer) letters += GetLayerColorLetter(s, layer);
  s.colorLetters = letters;
}

bool UsableScale(double scale) { return scale >= kMinScale && scale <= kMaxScale; }

int ReadDatabaseScale(DatabaseScale& out, std::string_view path) {
  SettingsLines in;
  if (!in.Open(path)) return 0;
  ReadHead(in, out);
  return 1;
}

int ReadSettingsFile(Settings& s, std::string_view path, bool* scaleDamaged) {
  SettingsLines in;
  if (!in.Open(path)) return 0;

  DatabaseScale head;
  ReadHead(in, head);
  s.version = head.version;
  s.scale = head.scale;
  s.unitName = head.unit;
  if (scaleDamaged) *scaleDamaged = head.damaged;
  ReadText(in, s.colorLetters, kColorLettersLength);

  in.Section();
  for (int& f : s.layerFills) ReadInt(in, f);
  in.Section();
  for (int& d : s.layerDashes) ReadInt(in, d, DashStyle);
  in.Section();
  for (int k = 1; k <= kGridSlots; ++k) ReadInt(in, s.workGrids[k]);
  in.Section();
  for (int k = 1; k <= kGridSlots; ++k) ReadInt(in, s.dotGrids[k]);

  in.Section();
  for (int rank = 1; rank <= kRanks; ++rank) {
    RankView& v = s.rankViews[rank];
    ReadInt(in, v.workGrid, GridIndex);
    ReadInt(in, v.dotGrid, GridIndex);
    ReadInt(in, v.dotShown);
    ReadInt(in, v.width, Positive);
    ReadInt(in, v.centreX);
    ReadInt(in, v.centreY);
  }

  in.Section();
  ReadInt(in, s.pathWidth);
  ReadInt(in, s.textSize);
  ReadInt(in, s.cWidth);
  ReadInt(in, s.cSize);
  ReadInt(in, s.layer, LayerNumber);
  ReadInt(in, s.textLayer, LayerNumber);
  ReadInt(in, s.resolution, Positive);
  ReadInt(in, s.arcSegments, Positive);
  ReadInt(in, s.tlcOnSave);
  ReadInt(in, s.modeWord);
  ReadInt(in, s.depth);
  ReadInt(in, s.layerSelectionByTable);
  ReadInt(in, s.resSet, ResSetNumber);
  Skip(in, 3);

  in.Section();
  for (SavedWindow& w : s.savedWindows) {
    ReadDouble(in, w.width);
    ReadDouble(in, w.centreX);
    ReadDouble(in, w.centreY);
  }

  in.Section();
  for (double* d : {&s.resizeFactor, &s.rotAngle, &s.oversize, &s.resOhms, &s.capPf, &s.printScale,
                    &s.printShiftX, &s.printShiftY})
    ReadDouble(in, *d);
  Skip(in, 8);

  in.Section();
  for (int rank = 1; rank <= kRanks; ++rank) {
    ReadText(in, s.rankViews[rank].viewList, kLayerListLength);
    ReadText(in, s.rankViews[rank].openList, kLayerListLength);
  }
  in.Section();
  for (int rank = 1; rank <= kRanks; ++rank) {
    if (auto line = in.Value()) s.rankViews[rank].viewMask = LeadingUint64(*line);
    if (auto line = in.Value()) s.rankViews[rank].openMask = LeadingUint64(*line);
  }

  in.Section();
  ReadText(in, s.addKind, kObjectKindLength);
  ReadText(in, s.arcDirection, kArcDirectionLength);
  ReadText(in, s.thirdText, kThirdTextLength);
  Skip(in, 5);

  in.Section();
  for (ReaderEntry& r : s.readers) {
    ReadText(in, r.program, kReaderEntryLength);
    ReadText(in, r.file, kReaderEntryLength);
  }
  in.Section();
  for (std::string& c : s.commands) ReadText(in, c, kCommandLineLength);

  in.Section();
  for (std::uint32_t& color : s.printColors) {
    auto line = in.Value();
    if (line && *line != "end") color = static_cast<std::uint32_t>(LeadingInt(*line)) & 0xFFFFFF;
  }
  return in.Closing() == "end" ? 1 : -1;
}

int WriteSettingsFile(Settings& s, std::string_view path) {
  StoreColorLetters(s);
  os::TextWriter out;
  if (!out.Open(FileNameForWrite(path))) return 0;
  out.Printf("6.05\n%g\n%s\n%s\n", s.scale, OneLine(s.unitName).c_str(), OneLine(s.colorLetters).c_str());
  out.Write("*64 fills\n");
  for (int f : s.layerFills) out.Printf("%d\n", f);
  out.Write("*64 dashes\n");
  for (int d : s.layerDashes) out.Printf("%d\n", d);
  out.Write("*10 wgrds\n");
  for (int k = 1; k <= kGridSlots; ++k) out.Printf("%d\n", s.workGrids[k]);
  out.Write("*10 dgrds\n");
  for (int k = 1; k <= kGridSlots; ++k) out.Printf("%d\n", s.dotGrids[k]);
  out.Write("*15 windows\n");
  for (int rank = 1; rank <= kRanks; ++rank) {
    const RankView& v = s.rankViews[rank];
    out.Printf("%d\n%d\n%d\n%d\n%d\n%d\n", v.workGrid, v.dotGrid, v.dotShown, v.width, v.centreX,
               v.centreY);
  }
  out.Write("*16 ints\n");
  for (int v : {s.pathWidth, s.textSize, s.cWidth, s.cSize, s.layer, s.textLayer, s.resolution,
                s.arcSegments, s.tlcOnSave, s.modeWord, s.depth, s.layerSelectionByTable, s.resSet,
                0, 0, 0})
    out.Printf("%d\n", v);
  out.Write("*10 saved windows\n");
  for (const SavedWindow& w : s.savedWindows)
    out.Printf("%g\n%g\n%g\n", w.width, w.centreX, w.centreY);
  out.Write("*16 doubles\n");
  for (double v : {s.resizeFactor, s.rotAngle, s.oversize, s.resOhms, s.capPf, s.printScale,
                   s.printShiftX, s.printShiftY, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0})
    out.Printf("%g\n", v);
  out.Write("*15 view/open strings\n");
  for (int rank = 1; rank <= kRanks; ++rank)
    out.Printf("%s\n%s\n", OneLine(s.rankViews[rank].viewList).c_str(),
               OneLine(s.rankViews[rank].openList).c_str());
  out.Write("*15 v/o bitmaps\n");
  for (int rank = 1; rank <= kRanks; ++rank)
    out.Printf("%" PRIu64 "\n%" PRIu64 "\n", s.rankViews[rank].viewMask, s.rankViews[rank].openMask);
  out.Write("*8 strings\n");
  for (const std::string* t : {&s.addKind, &s.arcDirection, &s.thirdText})
    out.Printf("%s\n", OneLine(*t).c_str());
  for (int i = 0; i < 5; ++i) out.Write("mt\n");
  out.Write("*readers\n");
  for (const ReaderEntry& r : s.readers)
    out.Printf("%s\n%s\n", OneLine(r.program).c_str(), OneLine(r.file).c_str());
  out.Write("*macros\n");
  for (const std::string& c : s.commands) out.Printf("%s\n", OneLine(c).c_str());
  out.Write("*print colors\n");
  for (std::uint32_t c : s.printColors) out.Printf("%d\n", static_cast<int>(c));
  out.Write("end\n");
  return out.Commit();
}

}  // namespace db
