// A scratch drive for one test: the suite folder with a font table, and a drawing folder that is the
// current folder while the test runs. Plus an encoder of cell-file bytes written independently of
// the library's, so the files the tests compare against are not the library's own say-so.
#pragma once
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "editor/db/database.h"
#include "editor/db/tests/fake_hooks.h"
#include "platform/os/path.h"

namespace dbtest {

struct DrawingFolder {
  std::string root;   // the drive
  std::string folder; // the drawing folder (current folder)
  std::string saved;

  DrawingFolder() {
    char pattern[] = "/tmp/mero-db-XXXXXX";
    root = mkdtemp(pattern);
    saved = std::filesystem::current_path().string();
    folder = root + "/Work";
    std::filesystem::create_directories(folder);
    std::filesystem::create_directories(root + "/MERO6");
    std::ofstream(root + "/MERO6/TFF.DBD", std::ios::binary) << std::string(12288, '\xFF');
    os::SetDriveTable("C=" + root);
    std::filesystem::current_path(folder);
  }
  ~DrawingFolder() {
    std::filesystem::current_path(saved);
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }

  std::string Path(const std::string& name) const { return folder + "/" + name; }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool Has(const std::string& name) const { return std::filesystem::exists(Path(name)); }
  // Names in the folder, sorted, so a test can see that no second spelling of a file appeared.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string Listing() const {
    std::string out;
    for (const auto& n : Names()) out += n + " ";
    return out;
  }
};

// Little-endian words, written out by hand.
inline std::string Words(std::initializer_list<std::int64_t> words) {
  std::string out;
  for (std::int64_t w : words) {
    auto v = static_cast<std::uint32_t>(w);
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
  }
  return out;
}
inline std::string Zeros(std::size_t n) { return std::string(n, '\0'); }

// A database wired to a recorder and hooks that note into it, with the test drive as its suite drive.
struct Db {
  std::unique_ptr<db::Database> d = std::make_unique<db::Database>();
  tell::Recorder talk;
  FakeHooks hooks{talk};
  Db() {
    d->SetTalk(&talk);
    d->SetHooks(&hooks);
    d->suiteDrive = "C:";
  }
  db::Database* operator->() { return d.get(); }
  db::Database& operator*() { return *d; }
};

}  // namespace dbtest
