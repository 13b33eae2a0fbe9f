// The installer's reader on one archive, for the peer checks: every progress line on its own line of
// standard output, then "severity N"; the exit status is the severity.
#include <cstdio>
#include <string>

#include "install/unzip.h"

namespace {

class PrintingUi final : public tell::Talk {
 public:
  void SetItemText(int item, std::string_view text) override {
    if (item >= install::kFirstProgressLine && item < install::kFirstProgressLine + install::kProgressLines &&
        !text.empty())
      std::printf("%.*s\n", static_cast<int>(text.size()), text.data());
  }
  tell::Answer Box(std::string_view, std::string_view text, tell::Buttons = tell::Buttons::Ok) override {
    std::printf("box %.*s\n", static_cast<int>(text.size()), text.data());
    return tell::Answer::Ok;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: unzip_probe ARCHIVE TARGET_FOLDER\n");
    return 3;
  }
  PrintingUi ui;
  utilib::Job job("SETUP", ui);
  install::ProgressList lines(job);
  std::string target = argv[2];
  if (target.empty() || target.back() != '/') target += '/';
  const int severity = install::UnzipArchive(argv[1], target, lines);
  std::printf("severity %d\n", severity);
  return severity;
}
