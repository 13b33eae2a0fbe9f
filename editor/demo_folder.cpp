// Makes the demo drawing folder from its TLC files: FORM.DBD copied, every cell of CELLS.REF read in
// by the editor's own TLCIN. Used by the build; the editor then opens the folder like any other.
#include <cstdio>
#include <filesystem>
#include <string>

#include "editor/tlc/tlcin.h"
#include "platform/os/process.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s TLC-FOLDER DRAWING-FOLDER\n", argv[0]);
    return 2;
  }
  os::InitProcess(argc, argv);
  namespace fs = std::filesystem;
  const fs::path source = fs::absolute(argv[1]);
  const fs::path destination = fs::absolute(argv[2]);
  std::error_code ec;
  fs::remove_all(destination, ec);
  fs::create_directories(destination, ec);
  fs::copy_file(source / "FORM.DBD", destination / "FORM.DBD", ec);
  if (ec) {
    std::fprintf(stderr, "cannot copy FORM.DBD: %s\n", ec.message().c_str());
    return 1;
  }
  fs::current_path(destination);

  // A silent run: nothing to ask, no display; the failures come back in the summary.
  class Quiet : public tell::Talk {
   public:
    tell::Answer Box(std::string_view caption, std::string_view text, tell::Buttons buttons) override {
      std::fprintf(stderr, "%.*s: %.*s\n", int(caption.size()), caption.data(), int(text.size()), text.data());
      return tell::GoOnAnswer(buttons);
    }
  } talk;
  tlc::TlcSetup setup;
  setup.source = source.string() + "/";
  setup.destination = ".\\";
  setup.globalTlc = true;
  tlc::TlcRunSummary summary;
  tlc::ConvertTlcToCells(false, setup, talk, &summary);
  if (summary.result != 1 || summary.error || summary.stop) {
    std::fprintf(stderr, "TLCIN failed\n");
    return 1;
  }
  std::printf("%d cells in %s\n", summary.cells, destination.c_str());
  return 0;
}
