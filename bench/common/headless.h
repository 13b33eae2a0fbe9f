// A suite program as a user runs it headless: from a script in a work folder, with its log, timed as
// a whole process (start-up, window and job).
#pragma once
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "bench/common/measure.h"

namespace bench {

inline bool WriteTextFile(const std::string& path, std::string_view text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && written;
}

// `program` in `work` from the script `script` (file fields relative to `work`), logging to
// NAME.log there; one row of a table of steps, the title in a column `width` wide.
inline ChildRun RunHeadless(const char* title, const std::string& program, const std::string& work,
                            const std::string& name, std::string_view script, int width) {
  const std::string scriptPath = work + "/" + name + ".script";
  if (!WriteTextFile(scriptPath, script)) return {};
  setenv("MERO_SCRIPT", scriptPath.c_str(), 1);
  setenv("MERO_LOG", (work + "/" + name + ".log").c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  std::filesystem::remove(work + "/" + name + ".log");
  const ChildRun run = RunStep(title, {program}, work, width);
  unsetenv("MERO_SCRIPT");
  unsetenv("MERO_LOG");
  return run;
}

// Whether the log NAME.log in `work` holds `text` (a run's completion box).
inline bool LogHolds(const std::string& work, const std::string& name, std::string_view text) {
  std::FILE* f = std::fopen((work + "/" + name + ".log").c_str(), "rb");
  if (!f) return false;
  std::string log;
  char buffer[65536];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) log.append(buffer, n);
  std::fclose(f);
  return log.find(text) != std::string::npos;
}

}  // namespace bench
