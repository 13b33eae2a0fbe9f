// A cell collection written and read back by hand: CELLS6.DBD as text, CL6 and BP6 as little-endian
// words, and a flattener that places every box of a cell's hierarchy in the top cell's axes. The
// collection tests and the scripted runs of System Mode check the folder with these, not with the
// library's own readers.
#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "editor/db/orientation.h"
#include "editor/db/tests/drawing_folder.h"

namespace dbtest {

struct IndexRow {
  std::string name;
  std::array<std::int64_t, 9> v{};  // flags, left, bottom, right, top, boxes, paths, vertices, refs
  std::int64_t Rank() const { return v[0] & 15; }
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The folder's file of that name in any case ("" when there is none).
inline std::string FileIn(const std::string& folder, const std::string& name) {
  std::string lower = name;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    std::string n = e.path().filename().string();
    for (char& c : n) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (n == lower) return e.path().string();
  }
  return "";
}

inline std::vector<IndexRow> ParseIndex(const std::string& text) {
  std::istringstream in(text);
  std::vector<IndexRow> rows;
  int count = 0;
  in >> count;
  for (int i = 0; i < count && in; ++i) {
    IndexRow r;
    in >> r.name;
    for (auto& x : r.v) in >> x;
    rows.push_back(r);
  }
  return rows;
}

inline std::vector<IndexRow> ReadIndex(const std::string& folder) {
  return ParseIndex(ReadBytes(FileIn(folder, "CELLS6.DBD")));
}

inline std::vector<std::int32_t> LeWords(const std::string& bytes, std::size_t& at, int n) {
  std::vector<std::int32_t> w;
  for (int i = 0; i < n; ++i, at += 4) {
    if (at + 4 > bytes.size()) return {};
    std::uint32_t u = 0;
    for (int k = 0; k < 4; ++k) u |= std::uint32_t(static_cast<unsigned char>(bytes[at + k])) << (8 * k);
    w.push_back(static_cast<std::int32_t>(u));
  }
  return w;
}

// Records of `words` words each up to the all-zero one (or the end of the bytes).
inline std::vector<std::vector<std::int32_t>> Table(const std::string& bytes, std::size_t& at, int words) {
  std::vector<std::vector<std::int32_t>> out;
  for (;;) {
    auto r = LeWords(bytes, at, words);
    if (r.empty() || r[0] == 0) return out;
    out.push_back(r);
  }
}

struct Bp6 {
  std::vector<std::vector<std::int32_t>> boxes, paths, vertices;
};
inline Bp6 DecodeBp6(const std::string& bytes) {
  std::size_t at = 0;
  Bp6 b;
  b.boxes = Table(bytes, at, 5);
  b.paths = Table(bytes, at, 3);
  b.vertices = Table(bytes, at, 4);
  return b;
}
inline std::vector<std::vector<std::int32_t>> DecodeCl6(const std::string& bytes) {
  std::size_t at = 0;
  return Table(bytes, at, 3);
}

// A cell of a test collection: boxes {layer, l, b, r, t}, references {row, x, y, orientation}.
struct CellSpec {
  std::string name;
  int flags = 1;  // rank, plus 16 when attached
  std::vector<std::array<int, 5>> boxes;
  std::vector<std::array<int, 4>> refs;
};

inline std::string SpecBp6(const CellSpec& c) {
  std::string out;
  for (const auto& b : c.boxes) out += Words({b[0], b[1], b[2], b[3], b[4]});
  return out + std::string(20 + 12 + 16, '\0');
}
inline std::string SpecCl6(const CellSpec& c) {
  std::string out;
  for (const auto& r : c.refs) out += Words({r[0] | (r[3] << 11), r[1], r[2]});
  return out + std::string(12, '\0');
}

// Writes CELLS6.DBD and the cells' files (attached cells have none here; the outline is a token).
inline void WriteCollection(const std::string& folder, const std::vector<CellSpec>& cells) {
  std::string index = std::to_string(cells.size()) + "\r\n";
  for (const CellSpec& c : cells) {
    char line[160];
    std::snprintf(line, sizeof line, "%s\r\n%d -100 -100 100 100 %zu 0 0 %zu\r\n", c.name.c_str(),
                  c.flags, c.boxes.size(), c.refs.size());
    index += line;
    if (c.flags & 16) continue;
    std::ofstream(folder + "/" + c.name + ".BP6", std::ios::binary) << SpecBp6(c);
    if ((c.flags & 15) > 1) std::ofstream(folder + "/" + c.name + ".CL6", std::ios::binary) << SpecCl6(c);
  }
  std::ofstream(folder + "/CELLS6.DBD", std::ios::binary) << index << "\r\n";
}

// Every box of the cell's hierarchy placed in its axes, as sorted "layer l b r t" lines. Cells are
// found by their row in the folder's index; a hierarchy deeper than 15 levels is cut.
inline std::vector<std::string> Flatten(const std::string& folder, const std::string& cell) {
  const std::vector<IndexRow> index = ReadIndex(folder);
  std::vector<std::string> out;
  struct Place {
    std::int64_t x, y;
    int o;
  };
  auto compose = [](int outer, int inner) {
    int turns = (outer & 3) + (inner & 3);
    if ((outer & 4) && (inner & 1)) turns += 2;
    return (turns & 3) | (((outer ^ inner) & 4));
  };
  std::function<void(const std::string&, Place, int)> walk = [&](const std::string& name, Place p, int depth) {
    if (depth > 15) return;
    Bp6 b = DecodeBp6(ReadBytes(FileIn(folder, name + ".BP6")));
    for (const auto& box : b.boxes) {
      std::int64_t x1 = box[1], y1 = box[2], x2 = box[3], y2 = box[4];
      db::OrientPoint(p.o, x1, y1);
      db::OrientPoint(p.o, x2, y2);
      char line[120];
      std::snprintf(line, sizeof line, "%d %lld %lld %lld %lld", box[0] & 127,
                    static_cast<long long>(std::min(x1, x2) + p.x), static_cast<long long>(std::min(y1, y2) + p.y),
                    static_cast<long long>(std::max(x1, x2) + p.x), static_cast<long long>(std::max(y1, y2) + p.y));
      out.push_back(line);
    }
    const std::string cl6 = FileIn(folder, name + ".CL6");
    if (cl6.empty()) return;
    for (const auto& r : DecodeCl6(ReadBytes(cl6))) {
      const int row = r[0] & 0x7FF;
      if (row < 1 || row > static_cast<int>(index.size())) continue;
      std::int64_t x = r[1], y = r[2];
      db::OrientPoint(p.o, x, y);
      walk(index[static_cast<std::size_t>(row - 1)].name, {p.x + x, p.y + y, compose(p.o, (r[0] >> 11) & 7)}, depth + 1);
    }
  };
  walk(cell, {0, 0, 0}, 0);
  std::sort(out.begin(), out.end());
  return out;
}

// Every file of the folder with its bytes, to see that a refused command changed nothing.
inline std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    if (e.is_regular_file()) files[e.path().filename().string()] = ReadBytes(e.path().string());
  return files;
}

}  // namespace dbtest
