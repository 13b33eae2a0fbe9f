// Lines of a text file as the programs write them (CR LF), for reading logs in tests.
#pragma once
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace uitest {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::vector<std::string> FileLines(const std::string& path) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : ReadFile(path)) {
    if (c == '\r') continue;
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  return lines;
}

}  // namespace uitest
