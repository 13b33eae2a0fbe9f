// Help files written for a test into a folder of their own.
#pragma once
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace hpvtest {

inline const std::string kSignature = "\xF0\xF0";

// Lines joined with CR LF after the signature line.
inline std::string HelpText(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
  std::string text = kSignature + end;
  for (const std::string& line : lines) text += line + end;
  return text;
}

class TempFolder {
 public:
  TempFolder() {
    char pattern[] = "/tmp/mero-hpv-XXXXXX";
    path_ = mkdtemp(pattern);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string Write(const std::string& name, const std::string& bytes) const {
    const std::string p = path_ + "/" + name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace hpvtest
