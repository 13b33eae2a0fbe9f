#include "utilib/tests/conversion_fixture.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace convtest {

ScratchFolder::ScratchFolder() {
  std::string templ = (std::filesystem::temp_directory_path() / "convtest-XXXXXX").string();
  path_ = mkdtemp(templ.data());
  previous_ = std::filesystem::current_path().string();
  std::filesystem::current_path(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ec;
  std::filesystem::current_path(previous_, ec);
  std::filesystem::remove_all(path_, ec);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary);
  f << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

std::vector<std::string> TlcRecords(const std::string& path) {
  std::vector<std::string> out;
  std::string text = ReadFile(path), line;
  std::stringstream in(text);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const bool keyword = line.size() == 2 && line[0] == '=' &&
                         std::string("HCBPT").find(line[1]) != std::string::npos;
    if (keyword || out.empty()) out.push_back(line);
    else out.back() += "|" + line;
  }
  return out;
}

}  // namespace convtest
