// The layout both the checker's and the layer-logic program's benchmarks run beside klayout: a leaf
// cell of metal (layer 1) wires, some too narrow or too close, and cuts (layer 2), some not inside
// their metal by the rule, placed 160 by 80 times (12,800 instances) over 6.4 by 4.4 mm, 20 database
// units a micrometre. Written also as JSON for the klayout script, which builds the same layout with
// its own database.
#pragma once
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/common/measure.h"

namespace bench {

struct RuleBox {
  int layer, left, bottom, right, top;
};
struct RuleRef {
  int x, y;
};

constexpr int kRuleScale = 20;
constexpr int kColumns = 160, kRows = 80, kPitchX = 800, kPitchY = 1100;

inline std::vector<RuleBox> RuleLeaf() {
  return {
      {1, 0, 0, 600, 80},      // 4 um wide
      {1, 0, 160, 600, 220},   // 3 um, 4 um above the first
      {1, 0, 300, 600, 350},   // 2.5 um: too narrow
      {1, 0, 400, 600, 500},   // wide, 2.5 um above the narrow one: too close
      {1, 0, 600, 600, 700},
      {1, 650, 0, 730, 1000},  // a vertical wire 2.5 um right of the others
      {2, 100, 420, 120, 440}, // cuts inside their metal by 1 um
      {2, 300, 430, 320, 450},
      {2, 570, 430, 590, 450}, // 0.5 um from the metal's end: not enclosed by the rule
      {2, 660, 500, 680, 520}, // 0.5 um inside a 4 um wire
      {2, 100, 20, 120, 40},
  };
}

inline std::vector<RuleRef> RuleRefs() {
  std::vector<RuleRef> refs;
  for (int i = 0; i < kColumns; ++i)
    for (int j = 0; j < kRows; ++j) refs.push_back({i * kPitchX, j * kPitchY});
  return refs;
}

// The layout in micrometres: 6400 by 4400.
constexpr double kRuleWidth = kColumns * kPitchX / double(kRuleScale), kRuleHeight = kRows * kPitchY / double(kRuleScale);

inline bool WriteRuleJson(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (!f) return false;
  std::fprintf(f, "{\"dbu\": %g, \"boxes\": [", 1.0 / kRuleScale);
  const auto boxes = RuleLeaf();
  for (std::size_t i = 0; i < boxes.size(); ++i)
    std::fprintf(f, "%s[%d, %d, %d, %d, %d]", i ? ", " : "", boxes[i].layer, boxes[i].left, boxes[i].bottom,
                 boxes[i].right, boxes[i].top);
  std::fprintf(f, "], \"columns\": %d, \"rows\": %d, \"pitch\": [%d, %d]}\n", kColumns, kRows, kPitchX, kPitchY);
  return std::fclose(f) == 0;
}

// klayout's own times of the work, from the file its script writes: "name seconds" lines.
inline std::vector<std::pair<std::string, double>> ReadKlayoutTimes(const std::string& path) {
  std::vector<std::pair<std::string, double>> out;
  std::FILE* f = std::fopen(path.c_str(), "r");
  if (!f) return out;
  char name[64];
  double s = 0;
  while (std::fscanf(f, "%63s %lf", name, &s) == 2) out.emplace_back(name, s);
  std::fclose(f);
  return out;
}

// klayout in batch mode on the rule layout (`script` is klayout_rules.py), doing `work` ("checks" or
// "xor") in `folder`: its own time of the work and what it found, or ran false with its exit status.
struct KlayoutRun {
  bool ran = false;
  int status = -1;
  double seconds = 0;  // its own work, start-up and layout left out
  double found = 0;
  double wholeSeconds = 0;
};

inline KlayoutRun RunKlayoutRules(const std::string& script, const std::string& work, const std::string& folder) {
  KlayoutRun k;
  const std::string json = folder + "/rules.json", times = folder + "/klayout.txt";
  if (!WriteRuleJson(json)) return k;
  std::fflush(stdout);
  const ChildRun run = RunChild({"klayout", "-b", "-r", script, "-rd", "layout=" + json, "-rd", "out=" + times, "-rd",
                                 "work=" + work},
                                folder, folder + "/klayout.err");
  for (const auto& [name, value] : ReadKlayoutTimes(times)) {
    if (name == "total") k.seconds = value;
    if (name == "found") k.found = value;
  }
  k.status = run.status;
  k.wholeSeconds = run.seconds;
  k.ran = run.status == 0 && k.seconds > 0;
  return k;
}

}  // namespace bench
