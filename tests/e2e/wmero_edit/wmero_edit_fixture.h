// The editor program run whole, headless and scripted, on a fresh drawing folder, and the cell files
// it leaves decoded from their BP6 and CL6 words.
#pragma once
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace wmero_edit {


namespace fs = std::filesystem;

struct Box {
  std::int32_t flags, left, bottom, right, top;
  bool operator==(const Box&) const = default;
};
struct Path {
  std::int32_t flags, width, first;
};
struct Vertex {
  std::int32_t flags, x, y, next;
};
struct Ref {
  std::int32_t flags, x, y;
};

// One cell's files, decoded: each table of little-endian words ends with an all-zero record.
struct CellFiles {
  std::vector<Box> boxes;
  std::vector<Path> paths;
  std::vector<Vertex> vertices;
  std::vector<Ref> refs;

  std::vector<std::pair<std::int32_t, std::int32_t>> Points(std::size_t path) const {
    std::vector<std::pair<std::int32_t, std::int32_t>> pts;
    for (std::int32_t v = paths[path].first; v >= 1 && std::size_t(v) <= vertices.size() && pts.size() <= vertices.size();
         v = vertices[std::size_t(v - 1)].next)
      pts.push_back({vertices[std::size_t(v - 1)].x, vertices[std::size_t(v - 1)].y});
    return pts;
  }
};

inline std::vector<std::vector<std::int32_t>> Table(const std::string& bytes, std::size_t& at, int words) {
  std::vector<std::vector<std::int32_t>> rows;
  while (at + 4 * std::size_t(words) <= bytes.size()) {
    std::vector<std::int32_t> row(static_cast<std::size_t>(words), 0);
    bool zero = true;
    for (int i = 0; i < words; ++i) {
      std::uint32_t v = 0;
      for (int k = 3; k >= 0; --k) v = (v << 8) | static_cast<unsigned char>(bytes[at + 4 * std::size_t(i) + std::size_t(k)]);
      row[std::size_t(i)] = std::int32_t(v);
      zero = zero && v == 0;
    }
    at += 4 * std::size_t(words);
    if (zero) break;
    rows.push_back(row);
  }
  return rows;
}

class WmeroEdit : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/mero-edit-XXXXXX";
    dir = mkdtemp(pattern);
  }
  void TearDown() override {
    std::error_code ec;
    if (!HasFailure()) fs::remove_all(dir, ec);
  }
  int Run(const std::string& script, const std::string& cell = "") {
    std::ofstream(dir / "run.script") << script;
    const std::string command = "cd '" + dir.string() + "' && XDG_RUNTIME_DIR='" + dir.string() +
                                "' QT_QPA_PLATFORM=offscreen MERO_SCRIPT=run.script MERO_LOG=run.log '" MERO_WMERO
                                "' " + cell + " > run.out 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  bool Logged(const std::string& line) {
    std::ifstream in(dir / "run.log");
    for (std::string l; std::getline(in, l);) {
      if (!l.empty() && l.back() == '\r') l.pop_back();
      if (l == line) return true;
    }
    return false;
  }
  // The file of the folder whose name matches case-blind.
  std::string Read(const std::string& name) {
    std::string lower = name;
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    for (const auto& e : fs::directory_iterator(dir)) {
      std::string n = e.path().filename().string();
      for (char& c : n) c = char(std::tolower(static_cast<unsigned char>(c)));
      if (n == lower) {
        std::ifstream in(e.path(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
      }
    }
    ADD_FAILURE() << name << " is missing";
    return {};
  }
  CellFiles Cell(const std::string& name, bool refs) {
    CellFiles c;
    const std::string bp6 = Read(name + ".BP6");
    std::size_t at = 0;
    for (const auto& r : Table(bp6, at, 5)) c.boxes.push_back({r[0], r[1], r[2], r[3], r[4]});
    for (const auto& r : Table(bp6, at, 3)) c.paths.push_back({r[0], r[1], r[2]});
    for (const auto& r : Table(bp6, at, 4)) c.vertices.push_back({r[0], r[1], r[2], r[3]});
    if (refs) {
      const std::string cl6 = Read(name + ".CL6");
      at = 0;
      for (const auto& r : Table(cl6, at, 3)) c.refs.push_back({r[0], r[1], r[2]});
    }
    return c;
  }
  // A macro of typed lines run through CMD, with the dialogs' answers queued before it.
  // Layers picked by the rank's lists rather than by the layer table (Ctrl+J), all of them shown and
  // open; the settings keep it for the runs that follow.
  static constexpr const char* kLayerLists =
      "post 34 10 0\nwait\n"
      "answer LYRTABLE set 1344 \"1-64\" press ok\npost 1025 61 0\nwait\n"
      "answer LYRTABLE set 1344 \"1-64\" press ok\npost 1025 62 0\nwait\n";
  static std::string Macro(const std::string& lines, const std::string& answers = "") {
    std::string escaped;
    for (char c : lines) escaped += c == '\n' ? std::string("\\n") : std::string(1, c);
    return "answer CMD press 1172\nanswer MACRO set 1171 \"" + escaped + "\" press ok\n" + answers +
           "post 1025 77 0\nwait\n";
  }

  fs::path dir;
};

}  // namespace wmero_edit
