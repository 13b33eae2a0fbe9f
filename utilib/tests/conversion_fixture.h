// Helpers of the converter tests: a scratch folder to work in, files in and out, and the records of
// a TLC file as lines of text.
#pragma once
#include <string>
#include <vector>

namespace convtest {

// A fresh folder under the temporary folder, made current for the test; removed at the end.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
  std::string previous_;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

// The records of a TLC file, each as its lines joined by "|" ("=C|LEAF|5 100 200 0"); "=P" records
// keep their pair lines too.
std::vector<std::string> TlcRecords(const std::string& path);

}  // namespace convtest
