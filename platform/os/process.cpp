#include "platform/os/process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale>

#include "platform/os/path.h"

extern char** environ;

namespace os {

namespace {

std::string g_commandLine;
std::string g_commandArgs;
std::string g_executable;

// Children we started and have not reaped yet. The SIGCHLD handler reaps only these, so other code
// that waits for its own children (system(), a toolkit's process class) keeps working.
constexpr int kChildSlots = 256;
volatile sig_atomic_t g_children[kChildSlots];

void ReapChildren() {
  for (int i = 0; i < kChildSlots; ++i) {
    pid_t pid = g_children[i];
    if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == pid) g_children[i] = 0;
  }
}

void OnChildExit(int) {
  int saved = errno;
  ReapChildren();
  errno = saved;
}

void InstallReaper() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  struct sigaction sa;
  std::memset(&sa, 0, sizeof sa);
  sa.sa_handler = OnChildExit;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART | SA_NOCLDSTOP;
  sigaction(SIGCHLD, &sa, nullptr);
}

void RememberChild(pid_t pid) {
  ReapChildren();
  for (int i = 0; i < kChildSlots; ++i) {
    if (g_children[i] == 0) {
      g_children[i] = pid;
      return;
    }
  }
  // Table full of long-running children: this one is simply not reaped until they end.
}

bool IsExecutableFile(const std::string& native) {
  struct stat st;
  return !native.empty() && stat(native.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
         access(native.c_str(), X_OK) == 0;
}

bool EndsWithNoCase(std::string_view s, std::string_view tail) {
  if (s.size() < tail.size()) return false;
  for (std::size_t i = 0; i < tail.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(s[s.size() - tail.size() + i])) !=
        std::tolower(static_cast<unsigned char>(tail[i])))
      return false;
  }
  return true;
}

std::string SearchPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t i = 0;
  while (i <= dirs.size()) {
    std::size_t j = dirs.find(':', i);
    if (j == std::string::npos) j = dirs.size();
    std::string dir = dirs.substr(i, j - i);
    i = j + 1;
    if (dir.empty()) dir = ".";
    std::string candidate = dir + "/" + name;
    if (IsExecutableFile(candidate)) return candidate;
  }
  return "";
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The desktop's text viewer stands in for the reader program the files name "Notepad".
std::string TextViewer() {
  for (const char* var : {"MERO_READER", "VISUAL"}) {
    const char* v = std::getenv(var);
    if (v && *v) {
      std::string found = v[0] == '/' ? (IsExecutableFile(v) ? std::string(v) : std::string()) : SearchPath(v);
      if (!found.empty()) return found;
    }
  }
  return SearchPath("xdg-open");
}

std::string DrivePathOf(const std::string& native) {
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    std::string root = DriveRoot(letter);
    if (root.empty()) continue;
    std::string prefix = root == "/" ? "/" : root + "/";
    if (native.compare(0, prefix.size(), prefix) != 0) continue;
    // The suite drive's own root wins over others that also hold the path.
    if (SuiteDriveLetter() != 0 && letter != SuiteDriveLetter()) {
      std::string suiteRoot = DriveRoot(SuiteDriveLetter());
      std::string suitePrefix = suiteRoot == "/" ? "/" : suiteRoot + "/";
      if (native.compare(0, suitePrefix.size(), suitePrefix) == 0) continue;
    }
    std::string rest = native.substr(prefix.size());
    std::replace(rest.begin(), rest.end(), '/', '\\');
    return std::string(1, letter) + ":\\" + rest;
  }
  return native;
}

}  // namespace

void ForceCLocale() {
  std::setlocale(LC_NUMERIC, "C");
  std::locale::global(std::locale::classic());
}

const std::string& ExecutablePath() { return g_executable; }

void InitProcess(int argc, char** argv) {
  ForceCLocale();
  std::setlocale(LC_ALL, "C");
  char buffer[4096];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n > 0) {
    buffer[n] = '\0';
    g_executable = buffer;
  } else if (argc > 0 && argv[0]) {
    g_executable = argv[0];
  }
  std::string folder = g_executable.substr(0, g_executable.find_last_of('/'));
  std::string leaf = folder.substr(folder.find_last_of('/') + 1);
  std::string suite;
  if (Lower(leaf) == "mero6") {
    suite = folder;
  } else if (const char* env = std::getenv("MERO_SUITE_DIR")) {
    suite = env;
  }
  InitDrives(suite);
  InstallReaper();

  g_commandArgs.clear();
  for (int i = 1; i < argc; ++i) {
    if (i > 1) g_commandArgs += ' ';
    g_commandArgs += argv[i];
  }
  g_commandLine = DrivePathOf(g_executable);
  if (!g_commandArgs.empty()) g_commandLine += " " + g_commandArgs;
}

const std::string& CommandLine() { return g_commandLine; }
const std::string& CommandArgs() { return g_commandArgs; }

void SetCommandLineForTests(std::string_view commandLine, std::string_view args) {
  g_commandLine = std::string(commandLine);
  g_commandArgs = std::string(args);
}

std::string FindProgram(std::string_view program) {
  std::string text(program);
  if (text.empty()) return "";
  std::string bare = text;
  if (EndsWithNoCase(bare, ".exe")) bare.resize(bare.size() - 4);
  if (Lower(bare) == "notepad") return TextViewer();

  bool hasPath = text.find_first_of("\\/:") != std::string::npos;
  if (hasPath) {
    std::string native = NativePath(text);
    if (IsExecutableFile(native)) return native;
    if (bare.size() != text.size()) {
      native = NativePath(bare);
      if (IsExecutableFile(native)) return native;
    }
    // Programs are built lower case: "C:\MERO6\Whpv" finds MERO6/whpv.
    std::string normal(bare);
    std::replace(normal.begin(), normal.end(), '\\', '/');
    std::size_t cut = normal.find_last_of('/');
    std::string lowered = bare.substr(0, cut + 1) + Lower(bare.substr(cut + 1));
    native = NativePath(lowered);
    return IsExecutableFile(native) ? native : std::string();
  }
  std::string found = SearchPath(text);
  if (found.empty() && bare.size() != text.size()) found = SearchPath(bare);
  if (found.empty()) found = SearchPath(Lower(bare));
  return found;
}

int SpawnProgram(std::string_view program, const std::vector<std::string>& args) {
  std::string executable = FindProgram(program);
  if (executable.empty()) return -1;
  std::vector<std::string> strings;
  strings.emplace_back(program);
  strings.insert(strings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& s : strings) argv.push_back(s.data());
  argv.push_back(nullptr);
  InstallReaper();
  // A quick child can end before its pid is on the list; holding SIGCHLD back until then means its
  // signal still finds it.
  sigset_t block, saved;
  sigemptyset(&block);
  sigaddset(&block, SIGCHLD);
  sigprocmask(SIG_BLOCK, &block, &saved);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setsigmask(&attr, &saved);  // the child starts with the mask we had before
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK);
  pid_t pid = 0;
  int failed = posix_spawn(&pid, executable.c_str(), nullptr, &attr, argv.data(), environ);
  posix_spawnattr_destroy(&attr);
  if (!failed) RememberChild(pid);
  sigprocmask(SIG_SETMASK, &saved, nullptr);
  return failed ? -1 : static_cast<int>(pid);
}

bool AnotherInstanceRunning(const char* name) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string dir = runtime && *runtime ? runtime : "/tmp";
  std::string path = dir + "/mero-" + std::to_string(getuid()) + "-" + name + ".lock";
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;  // no lock to be had: assume no other instance rather than refuse
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return true;
  }
  return false;  // fd stays open: the lock lasts as long as the process
}

std::uint32_t TickCount() {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                                    static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u);
}

namespace {
bool FixedNow(std::tm& out) {
  const char* env = std::getenv("MERO_NOW");
  if (!env || !*env) return false;
  std::tm t{};
  if (std::sscanf(env, "%d-%d-%d %d:%d:%d", &t.tm_year, &t.tm_mon, &t.tm_mday, &t.tm_hour, &t.tm_min,
                  &t.tm_sec) != 6)
    return false;
  t.tm_year -= 1900;
  t.tm_mon -= 1;
  t.tm_isdst = -1;
  std::tm copy = t;
  if (mktime(&copy) == static_cast<std::time_t>(-1)) return false;
  out = copy;
  return true;
}
}  // namespace

std::tm LocalTime() {
  std::tm t{};
  if (FixedNow(t)) return t;
  std::time_t now = std::time(nullptr);
  localtime_r(&now, &t);
  return t;
}

std::time_t Now() {
  std::tm t{};
  if (FixedNow(t)) return mktime(&t);
  return std::time(nullptr);
}

}  // namespace os
