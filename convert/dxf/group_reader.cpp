#include "convert/dxf/group_reader.h"

#include <cctype>
#include <charconv>
#include <clocale>
#include <cstdlib>
#include <locale.h>
#include <system_error>

#include "editor/tlc/run.h"
#include "editor/tlc/stream.h"

namespace dxf {

double DxfGroup::Real() const {
  const std::string_view v = Word();
  std::size_t i = 0;
  bool negative = false;
  if (i < v.size() && (v[i] == '-' || v[i] == '+')) negative = v[i++] == '-';
  if (i < v.size() && (v[i] == '-' || v[i] == '+')) return 0;  // "--1" is no number
  double value = 0;
  const auto [end, ec] = std::from_chars(v.data() + i, v.data() + v.size(), value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: the value is clamped later, so overflow goes to infinity
    // and underflow to zero, never to the 0 a failed conversion leaves.
    static const locale_t c = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
    const std::string digits(v.substr(i, static_cast<std::size_t>(end - (v.data() + i))));
    value = c ? strtod_l(digits.c_str(), nullptr, c) : 0;
  }
  return negative ? -value : value;
}

int DxfGroup::Integer() const { return tlc::ToInt(value); }

std::string_view DxfGroup::Word() const {
  std::string_view v = value;
  while (!v.empty() && std::isspace(static_cast<unsigned char>(v.front()))) v.remove_prefix(1);
  while (!v.empty() && std::isspace(static_cast<unsigned char>(v.back()))) v.remove_suffix(1);
  return v;
}

bool SameWord(std::string_view word, std::string_view upper) {
  if (word.size() != upper.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(word[i])) != upper[i]) return false;
  return true;
}

namespace {

constexpr std::string_view kBinarySentinel = "AutoCAD Binary DXF";

// A group code line: blanks, an optional sign and at least one digit, blanks.
bool IsCodeLine(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  if (i < line.size() && (line[i] == '-' || line[i] == '+')) ++i;
  const std::size_t digits = i;
  while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i;
  if (i == digits) return false;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  return i == line.size();
}

}  // namespace

DxfGroupReader::DxfGroupReader(std::string_view text) : text_(text) {
  binary_ = text.substr(0, kBinarySentinel.size()) == kBinarySentinel;
  if (binary_) status_ = DxfReadStatus::Binary;
}

bool DxfGroupReader::Line(std::string_view& line) {
  if (pos_ >= text_.size()) return false;
  ++line_;
  std::size_t end = text_.find('\n', pos_);
  if (end == std::string_view::npos) end = text_.size();
  line = text_.substr(pos_, end - pos_);
  pos_ = end < text_.size() ? end + 1 : end;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return true;
}

bool DxfGroupReader::ReadDxfGroup(DxfGroup& group) {
  if (status_ != DxfReadStatus::Reading) return false;
  for (;;) {
    std::string_view code, value;
    if (!Line(code)) {
      status_ = DxfReadStatus::Ended;
      return false;
    }
    if (!IsCodeLine(code)) {
      status_ = DxfReadStatus::BadCode;
      return false;
    }
    if (!Line(value)) {
      status_ = DxfReadStatus::Ended;
      return false;
    }
    group.code = tlc::ToInt(code);
    if (group.code == 999) continue;  // a comment, wherever it stands
    // A long value is cut, never read in pieces: the code and value lines stay paired.
    group.value.assign(value.substr(0, kValueLength));
    return true;
  }
}

const DxfGroup* DxfItem::Find(int code) const {
  for (const DxfGroup& g : groups)
    if (g.code == code) return &g;
  return nullptr;
}

void DxfScanner::Rewind() {
  reader_.Rewind();
  havePending_ = ended_ = sawEof_ = false;
  section_ = DxfSection::None;
  inLayerTable_ = false;
}

bool DxfScanner::NextDxfItem(DxfItem& item) {
  if (ended_) return false;
  DxfGroup g;
  // Groups before the first code 0 belong to no item.
  if (!havePending_) {
    do {
      if (!reader_.ReadDxfGroup(g)) return ended_ = true, false;
    } while (g.code != 0);
    pending_ = std::move(g);
    havePending_ = true;
  }
  item.word = tlc::UpperCase(pending_.Word());
  item.groups.clear();
  havePending_ = false;
  while (reader_.ReadDxfGroup(g)) {
    if (g.code == 0) {
      pending_ = std::move(g);
      havePending_ = true;
      break;
    }
    item.groups.push_back(std::move(g));
  }
  const DxfGroup* name = !item.groups.empty() && item.groups[0].code == 2 ? &item.groups[0] : nullptr;
  if (item.word == "SECTION") {
    const std::string_view n = name ? name->Word() : std::string_view();
    section_ = SameWord(n, "HEADER")     ? DxfSection::Header
               : SameWord(n, "TABLES")   ? DxfSection::Tables
               : SameWord(n, "BLOCKS")   ? DxfSection::Blocks
               : SameWord(n, "ENTITIES") ? DxfSection::Entities
                                         : DxfSection::Other;
    inLayerTable_ = false;
  } else if (item.word == "ENDSEC") {
    section_ = DxfSection::None;
    inLayerTable_ = false;
  } else if (item.word == "TABLE") {
    inLayerTable_ = section_ == DxfSection::Tables && name && SameWord(name->Word(), "LAYER");
  } else if (item.word == "ENDTAB") {
    inLayerTable_ = false;
  } else if (item.word == "EOF") {
    ended_ = sawEof_ = true;
  }
  item.section = item.word == "ENDSEC" ? DxfSection::None : section_;
  item.inLayerTable = inLayerTable_;
  return true;
}

}  // namespace dxf
