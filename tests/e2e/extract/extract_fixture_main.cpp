// Writes the extractor's sample drawing (an inverter, a NAND and a top cell placing them) into FOLDER,
// with the drawing's scale in database units per micron (1 unless given); with "checked", the cells
// whose files the end-to-end runs check line by line instead.
//   extract_fixture FOLDER [SCALE] [checked]
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "extract/tests/sample_circuits.h"

int main(int argc, char** argv) {
  const bool checked = argc == 4 && std::string(argv[3]) == "checked";
  if (argc < 2 || argc > 4 || (argc == 4 && !checked)) {
    std::fprintf(stderr, "usage: %s FOLDER [SCALE] [checked]\n", argv[0]);
    return 2;
  }
  const double scale = argc >= 3 ? std::atof(argv[2]) : 1.0;
  std::filesystem::create_directories(argv[1]);
  tlctest::WriteDrawingFolder(std::filesystem::absolute(argv[1]).string() + "/",
                              checked ? exttest::CheckedCells() : exttest::SampleCells(), scale > 0 ? scale : 1.0);
  return 0;
}
