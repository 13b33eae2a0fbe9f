// A scratch folder per test, removed afterwards; the current folder is restored.
#pragma once
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace ostest {

struct Scratch {
  std::string root;
  std::string saved;
  Scratch() {
    char pattern[] = "/tmp/mero-os-XXXXXX";
    root = mkdtemp(pattern);
    saved = std::filesystem::current_path().string();
  }
  ~Scratch() {
    std::filesystem::current_path(saved);
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
  std::string Path(const std::string& rel) const { return root + "/" + rel; }
  void Write(const std::string& rel, const std::string& bytes) const {
    std::filesystem::create_directories(std::filesystem::path(Path(rel)).parent_path());
    std::ofstream(Path(rel), std::ios::binary) << bytes;
  }
  std::string Read(const std::string& rel) const {
    std::ifstream in(Path(rel), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool Has(const std::string& rel) const { return std::filesystem::exists(Path(rel)); }
};

}  // namespace ostest
