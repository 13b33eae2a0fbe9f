#include "extract/devices.h"

#include <strings.h>

#include <algorithm>
#include <cctype>

#include "extract/netlist.h"
#include "platform/os/textfile.h"

namespace ext {

namespace {

constexpr std::size_t kMaxTextsTaken = 32;
constexpr std::size_t kJoinLimit = 1983;
constexpr std::size_t kAliasLimit = 2080;

bool OnSide(const Bounds& o, std::int32_t x, std::int32_t y) {
  return ((x == o.left || x == o.right) && o.bottom <= y && y <= o.top) ||
         ((y == o.bottom || y == o.top) && o.left <= x && x <= o.right);
}

bool StrictlyWithin(const Bounds& inner, const Bounds& outer) {
  return outer.left < inner.left && inner.right < outer.right && outer.bottom < inner.bottom && inner.top < outer.top;
}

}  // namespace

void FindSymbolCells(Extraction& x) {
  x.ShowOperationLine("Finding Global Symbol Cells ...", true);
  x.symbols.clear();
  db::CellIndex& index = x.drawing.index;
  for (int row = 1; row <= index.count; ++row) {
    if (static_cast<int>(x.symbols.size()) >= kMaxSymbolCells || x.Stopped()) return;
    if ((index.rows[row].flags & 15) != 1) continue;
    const Extraction::CellSummary& cell = x.SummaryOf(row);
    if (cell.named.empty()) continue;
    x.symbols.push_back({row, cell.named.front().chars});
    index.rows[row].flags |= kSymbolCellBit;
    if (!cell.connectors.empty()) {
      x.Box(utilib::Format("Symbol/Device Conflict in %s", index.rows[row].name.c_str()));
      x.job.abort = true;
      return;
    }
  }
}

void InstanceTexts::Clear() {
  built_ = false;
  instances_.clear();
  outlines_.clear();
  origins_.clear();
  joined_.clear();
  texts_.clear();
}

void InstanceTexts::Build(Extraction& x) {
  Clear();
  const int n = x.t.instanceCount();
  std::vector<int> ids;
  for (int k = 1; k <= n; ++k) {
    instances_.push_back(x.t.FetchInstance(x.drawing, k));
    const PlacedInstance& p = instances_.back();
    outlines_.push_back({p.left, p.bottom, p.right, p.top});
    ++origins_[{p.x, p.y}];
    ids.push_back(k - 1);
  }
  grid_.Build(ids, outlines_);
  built_ = true;
}

const InstanceTexts::LayerTexts& InstanceTexts::Texts(Extraction& x, int layer) {
  auto it = texts_.find(layer);
  if (it != texts_.end()) return it->second;
  LayerTexts& l = texts_[layer];
  l.texts = x.TextsOnLayer(layer);
  std::vector<int> ids;
  for (std::size_t i = 0; i < l.texts.size(); ++i) {
    const CellText& t = l.texts[i];
    l.points.push_back({t.x, t.y, t.x, t.y});
    l.at[{t.x, t.y}].push_back(static_cast<int>(i));
    ids.push_back(static_cast<int>(i));
  }
  l.grid.Build(ids, l.points);
  return l;
}

// A text over nested instances belongs to the innermost one holding its point; a point on the border
// of another instance, or on another instance's origin, belongs to no one else.
bool InstanceTexts::Belongs(const CellText& text, int k, std::vector<int>& near) const {
  const Bounds& own = outlines_[k - 1];
  const PlacedInstance& inst = instances_[k - 1];
  grid_.Query({text.x, text.y, text.x, text.y}, outlines_, near);
  bool inside = own.Holds(text.x, text.y);
  for (int j : near)
    if (j != k - 1 && !StrictlyWithin(own, outlines_[j])) inside = false;
  bool counted = inside || OnSide(own, text.x, text.y);
  for (int j : near)
    if (j != k - 1 && OnSide(outlines_[j], text.x, text.y)) counted = false;
  const bool atOrigin = text.x == inst.x && text.y == inst.y;
  if (!counted && !atOrigin) return false;
  auto others = origins_.find({text.x, text.y});
  return others == origins_.end() || others->second - (atOrigin ? 1 : 0) == 0;
}

std::string JoinTexts(Extraction& x, std::vector<const CellText*> taken) {
  std::stable_sort(taken.begin(), taken.end(), [](const CellText* a, const CellText* b) { return a->y > b->y; });
  std::string joined;
  for (std::size_t i = 0; i < taken.size(); ++i) {
    if (joined.size() > kJoinLimit) break;
    const std::string chars = x.NodeName(taken[i]->record);
    if (i > 0 && !chars.empty() && (chars[0] == '+' || chars[0] == '*')) joined += '\n';
    joined += chars;
  }
  return joined;
}

std::string InstanceTexts::Collect(Extraction& x, int layer, int k, bool own, bool check) {
  if (!built_) Build(x);
  const auto key = std::make_pair(layer, own ? 0 : k);
  auto it = joined_.find(key);
  std::string joined;
  bool found;
  if (it != joined_.end()) {
    joined = it->second;
    found = !joined.empty();
  } else {
    std::vector<const CellText*> taken;
    std::vector<int> near;
    const LayerTexts& l = Texts(x, layer);
    if (own) {
      for (const CellText& text : l.texts) {
        if (taken.size() >= kMaxTextsTaken) break;
        grid_.Query({text.x, text.y, text.x, text.y}, outlines_, near);
        if (near.empty()) taken.push_back(&text);
      }
    } else if (k >= 1 && k <= static_cast<int>(instances_.size())) {
      // Only texts over the instance's outline or on its origin can be its own; in path order.
      std::vector<int> candidates;
      l.grid.Query(outlines_[k - 1], l.points, candidates);
      auto origin = l.at.find({instances_[k - 1].x, instances_[k - 1].y});
      if (origin != l.at.end()) {
        candidates.insert(candidates.end(), origin->second.begin(), origin->second.end());
        std::sort(candidates.begin(), candidates.end());
        candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
      }
      for (int i : candidates) {
        if (taken.size() >= kMaxTextsTaken) break;
        if (Belongs(l.texts[i], k, near)) taken.push_back(&l.texts[i]);
      }
    }
    found = !taken.empty();
    joined = found ? JoinTexts(x, taken) : std::string();
    joined_.emplace(key, joined);
  }
  if (!found && !own) {
    if (check && k >= 1 && k <= static_cast<int>(instances_.size())) {
      const PlacedInstance& inst = instances_[k - 1];
      x.ShowOperationLine("Checking for Incorrect Devices ...", true);
      x.Error(utilib::Format("Missing %s on %s at X=%g Y=%g", layer == x.sw.deviceLayer ? "Device Name" : "Parameters",
                             inst.name.c_str(), x.User(inst.x), x.User(inst.y)));
    }
    joined.assign(1, '?');
  }
  if (layer == x.sw.deviceLayer) joined += ' ';
  return joined;
}

std::string LookUpAlias(std::string_view name, std::string_view file) {
  std::string bytes;
  if (file.empty() || !os::ReadWholeFile(file, bytes) || bytes.empty()) return "?";
  bytes.erase(std::remove(bytes.begin(), bytes.end(), '\r'), bytes.end());
  std::string current;
  std::size_t i = 0;
  auto skipText = [&] {
    // An entry's text is never read for names: "=" inside it starts nothing.
    std::size_t open = bytes.find('<', i);
    if (open == std::string::npos) {
      i = bytes.size();
      return;
    }
    std::size_t close = bytes.find('>', open + 1);
    i = close == std::string::npos ? bytes.size() : close + 1;
  };
  while (i < bytes.size()) {
    const char c = bytes[i++];
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') {
      current += c;
    } else if (c == '\n') {
      current.clear();
    } else if (c == '=') {
      const bool match = current.size() == name.size() && strncasecmp(current.data(), name.data(), name.size()) == 0;
      current.clear();
      if (!match) {
        skipText();
        continue;
      }
      std::size_t open = bytes.find('<', i);
      if (open == std::string::npos) return "?";
      std::size_t close = bytes.find('>', open + 1);
      std::string text = bytes.substr(open + 1, (close == std::string::npos ? bytes.size() : close) - open - 1);
      if (text.size() > kAliasLimit) text.resize(kAliasLimit);
      return text.empty() ? "?" : text;
    }
  }
  return "?";
}

std::string ResolveParameters(Extraction& x, const std::string& text) {
  if (text.empty() || text[0] != '@') return text;
  const std::string name = text.substr(1);
  std::string alias = LookUpAlias(name, x.sw.aliasFile);
  if (alias == "?") x.Error(utilib::Format("Alias %s not Defined", name.c_str()));
  return alias;
}

void WriteDeviceStatement(Extraction& x, InstanceTexts& texts, int k) {
  const PlacedInstance inst = x.t.FetchInstance(x.drawing, k);
  if (inst.symbol) return;
  auto begin = std::lower_bound(x.passBack.begin(), x.passBack.end(), k,
                                [](const PassBackEntry& e, int instance) { return e.instance < instance; });
  if (begin == x.passBack.end() || begin->instance != k) return;
  const std::string name = texts.Collect(x, x.sw.deviceLayer, k, false, x.sw.device);
  x.cir.Write(name);
  int column = static_cast<int>(name.size());
  bool first = true;
  int previous = 0;
  for (auto it = begin; it != x.passBack.end() && it->instance == k; ++it) {
    if (!first && it->number == previous) continue;
    first = false;
    previous = it->number;
    const std::string item = x.NodeName(it->node) + " ";
    column = WrapSpiceLine(x, column, static_cast<int>(item.size()));
    x.cir.Write(item);
  }
  const std::string parameters = ResolveParameters(x, texts.Collect(x, x.sw.parameterLayer, k, false, x.sw.device));
  x.cir.Write(parameters + "\n");
}

}  // namespace ext
