#include "convert/dxf/group_reader.h"

#include <cctype>

#include "editor/tlc/run.h"
#include "editor/tlc/stream.h"

namespace dxf {

double DxfGroup::Real() const { return tlc::ToDouble(value); }

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

bool DxfGroupReader::Line(std::string_view& line) {
  if (pos_ >= text_.size()) return false;
  std::size_t end = text_.find('\n', pos_);
  if (end == std::string_view::npos) end = text_.size();
  line = text_.substr(pos_, end - pos_);
  pos_ = end < text_.size() ? end + 1 : end;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return true;
}

bool DxfGroupReader::ReadDxfGroup(DxfGroup& group) {
  std::string_view code, value;
  if (!Line(code) || !Line(value)) return false;
  group.code = tlc::ToInt(code);
  // A long value is cut, never read in pieces: the code and value lines stay paired.
  group.value.assign(value.substr(0, kValueLength));
  return true;
}

const DxfGroup* DxfItem::Find(int code) const {
  for (const DxfGroup& g : groups)
    if (g.code == code) return &g;
  return nullptr;
}

void DxfScanner::Rewind() {
  reader_.Rewind();
  havePending_ = ended_ = false;
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
    ended_ = true;
  }
  item.section = item.word == "ENDSEC" ? DxfSection::None : section_;
  item.inLayerTable = inLayerTable_;
  return true;
}

}  // namespace dxf
