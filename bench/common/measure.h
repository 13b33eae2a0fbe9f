// What the benchmarks measure: wall time, this process's peak memory, and the time and peak memory
// of a child process, so that a step run as a program of its own is measured apart from the rest.
#pragma once
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// Peak resident memory of this process so far.
inline double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

struct ChildRun {
  double seconds = 0;
  double cpuSeconds = 0;  // user and system time of the child, which a busy machine does not inflate
  double peakMb = 0;
  int status = -1;  // the exit status; -1 when it did not exit (a signal)
};

// Runs argv[0] (searched on PATH) in `folder`, its output thrown away and its errors written to
// `errorFile`, and waits for it.
inline ChildRun RunChild(const std::vector<std::string>& argv, const std::string& folder,
                         const std::string& errorFile) {
  ChildRun run;
  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(folder.c_str()) != 0) _exit(127);
    if (!std::freopen("/dev/null", "w", stdout) || !std::freopen(errorFile.c_str(), "w", stderr)) _exit(127);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  if (pid < 0) return run;
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  run.seconds = Seconds(start);
  run.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
  run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// RunChild as one row of a table of steps: the name in a column `width` wide, then the child's time
// and peak memory, and FAILED when it did not exit 0. Its errors go to NAME.err in `folder`.
inline ChildRun RunStep(const char* name, const std::vector<std::string>& argv, const std::string& folder,
                        int width) {
  std::printf("  %-*s", width, name);
  std::fflush(stdout);
  const ChildRun step = RunChild(argv, folder, folder + "/" + name + ".err");
  std::printf("%8.2f s %9.1f MB%s\n", step.seconds, step.peakMb, step.status ? "  FAILED" : "");
  return step;
}

// Size of a file in bytes; -1 when there is none.
inline std::int64_t FileSize(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

// Runs a shell command and gives its time; a command that fails says so on its own line.
inline double TimeShell(const std::string& command) {
  const auto start = Clock::now();
  const int status = std::system(command.c_str());
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::printf("  (%s failed)\n", command.c_str());
  return Seconds(start);
}

}  // namespace bench
