// The file encoder's job: a file into a UUE text file, a UUE file back into its file, or only the
// check sum of a UUE file; with its settings and the 16-line display it talks through.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "utilib/job.h"

namespace uue {

constexpr const char* kProgram = "MEROUUE";
constexpr const char* kSetupFile = "MEROUUE.SU6";
constexpr const char* kSetupVersion = "6.00";
constexpr std::size_t kFieldLength = 63;
constexpr int kFirstDisplayLine = 501;
constexpr int kDisplayLines = 16;
constexpr std::size_t kDisplayWidth = 80;

struct UueSettings {
  // As the set-up file holds them: source path or file, output destination.
  std::vector<std::string> slots = {"???", ""};
  bool pagePause = false;  // not kept in the set-up file

  std::string& source() { return slots[0]; }
  std::string& destination() { return slots[1]; }
};

// Empty destination: ".\"; "+" stays only beside a source with the extension ".UUE" (check sum
// only); any other destination ends in "\".
void NormaliseUueSettings(UueSettings& s);

// True when the path's file name has the extension ".UUE" (in any case).
bool HasUueExtension(std::string_view path);

// The 16 lines of DISPLAY. A full page (or a flush) is shown whole and then emptied; with Page
// Pause on, the user gets 500 ms to read it. Without Page Pause pages are not shown more than every
// 100 ms, since nobody can read them faster and each one repaints.
class UueDisplay {
 public:
  UueDisplay(utilib::Job& job, bool pagePause) : job_(job), pagePause_(pagePause) {}
  void AddDisplayLine(std::string_view text, bool flush = false);
  // Shows the lines held so far, if any.
  void Flush();

 private:
  void ShowPage();
  utilib::Job& job_;
  bool pagePause_;
  std::array<std::string, kDisplayLines> lines_;
  int used_ = 0;
  std::uint32_t lastShown_ = 0;
  bool shownOnce_ = false;
};

enum UueResult { kFailed = 0, kEncoded = 1, kDecoded = 2 };

struct UueOutcome {
  int result = kFailed;
  std::uint32_t checkSum = 0;
  std::uint32_t byteCount = 0;  // characters the check sum counted
  std::uint64_t fileLength = 0;  // bytes a decoding wrote
  std::string output;            // the file written
};

// The conversion. A failure shows its message box captioned "MEROUUE" and gives kFailed; what was
// written so far stays on disk.
int ConvertUue(utilib::Job& job, UueSettings& s, UueOutcome& out);

// What Go shows when the job is done: the encoding's check sum or the decoding's length.
std::string UueCompletionText(const UueOutcome& out);

}  // namespace uue
