#include "editor/db/form_file.h"

#include <cctype>
#include <cstdio>

#include "editor/db/file_names.h"
#include "editor/db/message_table.h"
#include "editor/db/text_numbers.h"
#include "platform/os/path.h"
#include "platform/os/textfile.h"

namespace db {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Cut to what counts, at the comment, and without trailing white space.
std::string CleanLine(std::string line) {
  if (line.size() > kFormLineLength) line.resize(kFormLineLength);
  std::size_t semicolon = line.find(';');
  if (semicolon != std::string::npos) line.resize(semicolon);
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
  return line;
}

std::vector<std::string_view> Split(std::string_view text, std::string_view separators) {
  std::vector<std::string_view> parts;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && separators.find(text[i]) != std::string_view::npos) ++i;
    std::size_t start = i;
    while (i < text.size() && separators.find(text[i]) == std::string_view::npos) ++i;
    if (i > start) parts.push_back(text.substr(start, i - start));
  }
  return parts;
}

void TakeLayer(FormFile& form, std::string_view rest) {
  std::vector<std::string_view> words = Split(rest, " \t");
  if (words.empty()) return;
  int number = words.size() > 1 ? LeadingInt(words[1]) : 0;
  if (number < 1 || number > kMaxLayerRows) return;
  LayerRow row;
  row.name = std::string(words[0].substr(0, 4));
  row.number = number;
  form.layers.push_back(row);
}

void TakeResSet(FormFile& form, std::string_view rest) {
  std::vector<std::string_view> words = Split(rest, " \t,");
  double v[4] = {0, 0, 0, 0};
  for (std::size_t i = 0; i < 4 && i < words.size(); ++i) v[i] = LeadingDouble(words[i]);
  form.resSets.push_back({v[0], v[1], v[3], v[2]});
}

}  // namespace

int ReadFormFile(FormFile& form, int flags, std::string_view suiteDrive, std::string_view path) {
  if (flags & kReadPool) form.poolFolder.clear();
  if (flags & kReadLayers) form.layers.clear();
  if (flags & kReadMacros) form.macros.clear();
  form.noCellPopup = 0;
  form.resSets.clear();
  form.fonts.clear();
  for (const char* table : {"TFF.DBD", "TFF2.DBD", "TFF3.DBD"})
    form.fonts.push_back(std::string(suiteDrive) + "\\MERO6\\" + table);
  form.defaultFontPath = form.fonts[0];
  form.currentFontPath = form.fonts[0];

  os::TextReader reader;
  if (!reader.Open(path)) return 0;
  std::string raw;
  while (reader.ReadLine(raw)) {
    std::string line = CleanLine(std::move(raw));
    if ((flags & kReadMacros) && form.macros.size() < kMaxMacros && StartsWith(line, "FKEY=")) {
      form.macros.push_back(line.substr(5));
    }
    for (char& c : line) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::string_view l = line;
    if ((flags & kReadLayers) && form.layers.size() < kMaxLayerRows && StartsWith(l, "LAYER=")) {
      TakeLayer(form, l.substr(6));
    } else if (StartsWith(l, "FONT=") && l.size() > 5 && form.fonts.size() < kMaxFonts) {
      form.fonts.push_back(std::string(l.substr(5, kMaxFontPathLength)));
    } else if ((flags & kReadPool) && StartsWith(l, "POOL=")) {
      form.poolFolder = std::string(l.substr(5));
    } else if (StartsWith(l, "MISC=")) {
      if (l.substr(5) == "NOCELLPOPUP") form.noCellPopup = 1;
    } else if (StartsWith(l, "RES=") && form.resSets.size() < kMaxResSets) {
      TakeResSet(form, l.substr(4));
    }
  }
  if (!form.poolFolder.empty() && form.poolFolder.back() != '\\') form.poolFolder += '\\';
  return 1;
}

int WriteDefaultFormFile(std::string_view path) {
  os::TextWriter out;
  if (!out.Open(FileNameForWrite(path))) return 0;
  out.Write("pool=\nlayer=none 1\n");
  return out.Commit();
}

int LoadFontFile(FormFile& form, FontTable& font, tell::Talk* talk) {
  std::FILE* f = os::OpenFile(form.currentFontPath, "rb");
  if (!f) {
    TellMessage(talk, 23);
    form.currentFontPath = form.defaultFontPath;
    f = os::OpenFile(form.currentFontPath, "rb");
    if (!f) return 0;
  }
  // Read aside: a short file must not leave half of one font mixed into another.
  std::array<unsigned char, kFontTableBytes> bytes;
  std::size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  if (got < bytes.size()) {
    form.currentFontPath = form.defaultFontPath;
    return 0;
  }
  font.bytes = bytes;
  return 1;
}

}  // namespace db
