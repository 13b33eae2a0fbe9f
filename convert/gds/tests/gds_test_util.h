// Helpers of the converter tests: a scratch folder to work in, files in and out, and a GDSII
// stream turned into one line of text per record.
#pragma once
#include <string>
#include <vector>

namespace gdstest {

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

// "HEADER 3", "LIBNAME LIB", "UNITS 0.001 1e-09", "BOUNDARY", "XY 0 0 10 0", "STRANS 32768",
// "ANGLE 90", "ENDEL" ... ; dates are left out of BGNLIB and BGNSTR. A damaged stream ends with
// "ERROR <message>".
std::vector<std::string> DumpGds(const std::string& bytes);
// The records of each element, joined by "; " ("BOUNDARY; LAYER 1; DATATYPE 0; XY ...; ENDEL").
std::vector<std::string> GdsElements(const std::string& bytes);
// Names of the structures in file order.
std::vector<std::string> GdsStructures(const std::string& bytes);

}  // namespace gdstest

namespace gdstest {
// The records of a TLC file, each as its lines joined by "|" ("=C|LEAF|5 100 200 0"); "=P" records
// keep their pair lines too.
std::vector<std::string> TlcRecords(const std::string& path);
}  // namespace gdstest
