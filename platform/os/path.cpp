#include "platform/os/path.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace os {

namespace {

std::array<std::string, 26> g_drives;  // native roots, without a trailing "/"
char g_suiteDrive = 0;
std::string g_suiteFolder;

int DriveIndex(char letter) {
  int c = std::toupper(static_cast<unsigned char>(letter));
  return (c >= 'A' && c <= 'Z') ? c - 'A' : -1;
}

std::string StripTrailingSlashes(std::string p) {
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

bool IsUnder(const std::string& path, const std::string& root) {
  if (root == "/") return !path.empty() && path[0] == '/';
  return path.size() >= root.size() && path.compare(0, root.size(), root) == 0 &&
         (path.size() == root.size() || path[root.size()] == '/');
}

// Drive letter whose root holds `native` (longest root wins), 0 when none.
char DriveOf(const std::string& native) {
  char best = 0;
  std::size_t bestLength = 0;
  for (int i = 0; i < 26; ++i) {
    const std::string& root = g_drives[i];
    if (root.empty() || !IsUnder(native, root)) continue;
    if (best == 0 || root.size() > bestLength) {
      best = static_cast<char>('A' + i);
      bestLength = root.size();
    }
  }
  return best;
}

bool LessNoCase(const std::string& a, const std::string& b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    int ca = std::tolower(static_cast<unsigned char>(a[i]));
    int cb = std::tolower(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;  // names differing only in case keep a fixed order
}

bool Exists(const std::string& native) {
  struct stat st;
  return lstat(native.c_str(), &st) == 0;
}

std::string Folded(std::string_view name) {
  std::string key(name);
  for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

// ---- Listings of the folders looked through case-blind ----
// A program writing a few hundred files into one folder would read the whole folder for each new
// name; a folder's listing is kept while the folder is unchanged (the same device, inode, change and
// modification time), and follows the files this process adds and removes there itself.

bool SameStamp(const FolderStamp& a, const FolderStamp& b) {
  return a.valid && b.valid && a.device == b.device && a.inode == b.inode && a.modified == b.modified &&
         a.changed == b.changed;
}

FolderStamp StampOf(const std::string& dir) {
  struct stat st;
  FolderStamp stamp;
  if (stat(dir.empty() ? "." : dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return stamp;
  stamp.valid = true;
  stamp.device = static_cast<std::uint64_t>(st.st_dev);
  stamp.inode = static_cast<std::uint64_t>(st.st_ino);
  stamp.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  stamp.changed = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
  return stamp;
}

struct Listing {
  FolderStamp stamp;
  std::unordered_map<std::string, std::vector<std::string>> byFolded;  // entries by lower-case name
};

std::mutex g_listingsLock;
std::unordered_map<std::string, Listing> g_listings;  // by the folder as the resolver spells it

// The folder part of a native path as the resolver spells folders ("" for the current folder).
std::string FolderPart(const std::string& native) {
  std::size_t cut = native.find_last_of('/');
  if (cut == std::string::npos) return "";
  return cut == 0 ? "/" : native.substr(0, cut);
}

// The entry of folder `dir` spelled like `name` apart from case; "" when there is none. Exact spelling
// wins; among several case-blind matches the first in case-blind order is taken.
std::string FindEntry(const std::string& dir, const std::string& name) {
  std::string candidate = dir.empty() ? name : (dir == "/" ? "/" + name : dir + "/" + name);
  if (Exists(candidate)) return name;
  const FolderStamp now = StampOf(dir);
  if (!now.valid) return "";
  std::lock_guard<std::mutex> hold(g_listingsLock);
  Listing& listing = g_listings[dir];
  if (!SameStamp(listing.stamp, now)) {
    listing.byFolded.clear();
    listing.stamp = {};
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d) {
      g_listings.erase(dir);
      return "";
    }
    while (dirent* e = readdir(d)) listing.byFolded[Folded(e->d_name)].emplace_back(e->d_name);
    closedir(d);
    // Taken before the reading: a change made while it read shows as a changed folder next time.
    listing.stamp = now;
  }
  auto it = listing.byFolded.find(Folded(name));
  if (it == listing.byFolded.end()) return "";
  std::string found;
  for (const std::string& entry : it->second)
    if (found.empty() || LessNoCase(entry, found)) found = entry;
  return found;
}

std::string Join(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (dir == "/") return "/" + name;
  return dir + "/" + name;
}

// Resolves the components of `rest` (separated by "/") below `base`, case-blind while they exist.
std::string ResolveBelow(std::string base, std::string_view rest) {
  bool existing = true;
  std::size_t i = 0;
  while (i <= rest.size()) {
    std::size_t j = rest.find('/', i);
    if (j == std::string_view::npos) j = rest.size();
    std::string comp(rest.substr(i, j - i));
    i = j + 1;
    if (comp.empty() || comp == ".") continue;
    if (comp == "..") {
      base = Join(base, comp);
      continue;
    }
    if (existing) {
      std::string match = FindEntry(base, comp);
      if (!match.empty()) {
        base = Join(base, match);
        continue;
      }
      existing = false;
    }
    base = Join(base, comp);
  }
  return base;
}

bool FastExactHit(const std::string& native) { return Exists(native); }

// Splits "folder\pattern" into its folder part (may be empty) and the pattern.
void SplitPattern(std::string_view pattern, std::string& folder, std::string& name) {
  std::size_t cut = pattern.find_last_of("\\/");
  if (cut == std::string_view::npos) {
    if (pattern.size() >= 2 && pattern[1] == ':') {
      folder = std::string(pattern.substr(0, 2));
      name = std::string(pattern.substr(2));
    } else {
      folder.clear();
      name = std::string(pattern);
    }
    return;
  }
  folder = std::string(pattern.substr(0, cut + 1));
  name = std::string(pattern.substr(cut + 1));
}

std::vector<std::string> List(std::string_view pattern, bool wantFolders) {
  std::string folder, name;
  SplitPattern(pattern, folder, name);
  std::string dir = folder.empty() ? std::string(".") : NativePath(folder);
  if (dir.empty()) return {};
  std::vector<std::string> names;
  DIR* d = opendir(dir.c_str());
  if (!d) return names;
  while (dirent* e = readdir(d)) {
    std::string entry = e->d_name;
    if (entry == "." || entry == "..") continue;
    if (!MatchWildcard(name, entry)) continue;
    struct stat st;
    if (stat(Join(dir, entry).c_str(), &st) != 0) continue;
    if (wantFolders ? !S_ISDIR(st.st_mode) : !S_ISREG(st.st_mode)) continue;
    names.push_back(entry);
  }
  closedir(d);
  std::sort(names.begin(), names.end(), LessNoCase);
  return names;
}

bool MatchFrom(std::string_view p, std::string_view n) {
  // Iterative glob with one back-track point: linear in practice, no recursion depth on long names.
  std::size_t pi = 0, ni = 0, star = std::string_view::npos, mark = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == '?' ||
                          std::tolower(static_cast<unsigned char>(p[pi])) ==
                              std::tolower(static_cast<unsigned char>(n[ni])))) {
      ++pi;
      ++ni;
    } else if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      mark = ni;
    } else if (star != std::string_view::npos) {
      pi = star + 1;
      ni = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

}  // namespace

FolderStamp StampBeforeOwnChange(const std::string& native) {
  const std::string dir = FolderPart(native);
  {
    std::lock_guard<std::mutex> hold(g_listingsLock);
    if (!g_listings.count(dir)) return {};
  }
  return StampOf(dir);
}

void NoteOwnChange(const std::string& native, const FolderStamp& before, std::string_view removed,
                   std::string_view added) {
  if (!before.valid) return;
  const std::string dir = FolderPart(native);
  std::lock_guard<std::mutex> hold(g_listingsLock);
  auto it = g_listings.find(dir);
  if (it == g_listings.end()) return;
  Listing& listing = it->second;
  // Changed by someone else since it was read: read it again when it is next needed.
  if (!SameStamp(listing.stamp, before)) {
    g_listings.erase(it);
    return;
  }
  if (!removed.empty()) {
    auto entries = listing.byFolded.find(Folded(removed));
    if (entries != listing.byFolded.end()) {
      auto& names = entries->second;
      names.erase(std::remove(names.begin(), names.end(), removed), names.end());
      if (names.empty()) listing.byFolded.erase(entries);
    }
  }
  if (!added.empty()) {
    auto& names = listing.byFolded[Folded(added)];
    if (std::find(names.begin(), names.end(), added) == names.end()) names.emplace_back(added);
  }
  listing.stamp = StampOf(dir);
  if (!listing.stamp.valid) g_listings.erase(dir);
}

void SetDriveTable(std::string_view table) {
  for (auto& d : g_drives) d.clear();
  std::size_t i = 0;
  while (i < table.size()) {
    std::size_t j = table.find(';', i);
    if (j == std::string_view::npos) j = table.size();
    std::string_view entry = table.substr(i, j - i);
    i = j + 1;
    std::size_t eq = entry.find('=');
    if (eq != 1) continue;
    int index = DriveIndex(entry[0]);
    std::string root(entry.substr(2));
    if (index < 0 || root.empty() || root[0] != '/') continue;
    g_drives[index] = StripTrailingSlashes(root);
  }
  g_suiteDrive = g_suiteFolder.empty() ? 0 : DriveOf(g_suiteFolder);
}

void InitDrives(const std::string& suiteFolder) {
  g_suiteFolder = suiteFolder.empty() ? std::string() : StripTrailingSlashes(suiteFolder);
  const char* env = std::getenv("MERO_DRIVES");
  SetDriveTable(env ? env : "");
  if (!g_suiteFolder.empty() && g_suiteDrive == 0) {
    // The folder above the suite folder is drive C unless the table gives C elsewhere.
    std::size_t cut = g_suiteFolder.find_last_of('/');
    std::string parent = cut == 0 ? "/" : g_suiteFolder.substr(0, cut);
    int letter = 'C' - 'A';
    while (letter < 26 && !g_drives[letter].empty()) ++letter;
    if (letter < 26) g_drives[letter] = parent;
    g_suiteDrive = DriveOf(g_suiteFolder);
  }
}

std::string DriveRoot(char letter) {
  int index = DriveIndex(letter);
  return index < 0 ? std::string() : g_drives[index];
}

char SuiteDriveLetter() { return g_suiteDrive; }
std::string SuiteFolder() { return g_suiteFolder; }

std::string NativePath(std::string_view path) {
  std::string p(path);
  std::replace(p.begin(), p.end(), '\\', '/');
  if (p.empty()) return p;

  std::string base;
  std::string_view rest;
  if (p.size() >= 2 && p[1] == ':' && DriveIndex(p[0]) >= 0 && p[0] != '/') {
    base = DriveRoot(p[0]);
    if (base.empty()) return "";
    rest = std::string_view(p).substr(2);
  } else if (p[0] == '/' && path[0] == '\\') {
    // "\x" is the root of the current drive; outside any drive the file system root.
    char drive = DriveOf(CurrentFolder());
    if (drive == 0) drive = g_suiteDrive;
    base = drive ? DriveRoot(drive) : "/";
    rest = std::string_view(p).substr(1);
  } else if (p[0] == '/') {
    if (FastExactHit(p)) return p;
    base = "/";
    rest = std::string_view(p).substr(1);
  } else {
    if (FastExactHit(p)) return p;
    base.clear();
    rest = p;
  }
  return ResolveBelow(base, rest);
}

bool FileExists(std::string_view path) {
  std::string n = NativePath(path);
  struct stat st;
  return !n.empty() && stat(n.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(std::string_view path) {
  std::string n = NativePath(path);
  struct stat st;
  return !n.empty() && stat(n.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::FILE* OpenFile(std::string_view path, const char* mode) {
  std::string n = NativePath(path);
  if (n.empty()) return nullptr;
  return std::fopen(n.c_str(), mode);
}

bool CanWriteFolder(std::string_view folder, std::string* reason) {
  std::string native = folder.empty() ? std::string(".") : NativePath(folder);
  if (native.empty()) {
    if (reason) *reason = "No Such Drive";
    return false;
  }
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  std::string probe = native + "/.mero-write-XXXXXX";
  const int fd = mkstemp(probe.data());
  if (fd < 0) {
    if (reason) *reason = std::strerror(errno);
    return false;
  }
  close(fd);
  unlink(probe.c_str());
  return true;
}

int RemoveFile(std::string_view path) {
  std::string n = NativePath(path);
  return !n.empty() && std::remove(n.c_str()) == 0 ? 1 : 0;
}

int RenameFile(std::string_view from, std::string_view to) {
  std::string source = NativePath(from);
  std::string target = NativePath(to);
  if (source.empty() || target.empty()) return 0;
  struct stat s, t;
  if (lstat(source.c_str(), &s) != 0) return 0;
  if (lstat(target.c_str(), &t) == 0) {
    // A change of case alone names the same file: give it the new spelling.
    if (s.st_ino != t.st_ino || s.st_dev != t.st_dev) return 0;
    std::string spelled = target;
    std::size_t cut = spelled.find_last_of('/');
    std::string given(to);
    std::replace(given.begin(), given.end(), '\\', '/');
    std::size_t gcut = given.find_last_of('/');
    spelled = (cut == std::string::npos ? std::string() : spelled.substr(0, cut + 1)) +
              (gcut == std::string::npos ? given : given.substr(gcut + 1));
    if (spelled == source) return 1;
    return renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, spelled.c_str(), 0) == 0 ? 1 : 0;
  }
  if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return 1;
  if (errno != EINVAL && errno != ENOSYS) return 0;
  // File systems without no-replace renames: a hard link refuses an existing name just the same.
  if (link(source.c_str(), target.c_str()) != 0) return 0;
  unlink(source.c_str());
  return 1;
}

int ReplaceFile(std::string_view from, std::string_view to) {
  const std::string source = NativePath(from);
  const std::string target = NativePath(to);
  if (source.empty() || target.empty()) return 0;
  const FolderStamp before = StampBeforeOwnChange(target);
  if (std::rename(source.c_str(), target.c_str()) != 0) return 0;
  const std::size_t cut = target.find_last_of('/');
  const std::string_view name = cut == std::string::npos ? std::string_view(target) : std::string_view(target).substr(cut + 1);
  NoteOwnChange(target, before, {}, name);
  return 1;
}

int RemoveFolder(std::string_view path) {
  std::string n = NativePath(path);
  while (n.size() > 1 && n.back() == '/') n.pop_back();
  return !n.empty() && rmdir(n.c_str()) == 0 ? 1 : 0;
}

MkdirResult MakeFolder(std::string_view path) {
  std::string n = NativePath(path);
  if (n.empty()) return MkdirResult::NoParent;
  while (n.size() > 1 && n.back() == '/') n.pop_back();
  if (mkdir(n.c_str(), 0777) == 0) return MkdirResult::Created;
  if (errno == EEXIST) return MkdirResult::Exists;
  if (errno == ENOENT || errno == ENOTDIR) return MkdirResult::NoParent;
  return MkdirResult::Failed;
}

bool MatchWildcard(std::string_view pattern, std::string_view name) {
  // "*.*" means every name, with or without a dot, as it always has on drive-letter systems.
  if (pattern == "*.*") return true;
  return MatchFrom(pattern, name);
}

std::vector<std::string> ListFiles(std::string_view pattern) { return List(pattern, false); }
std::vector<std::string> ListFolders(std::string_view pattern) { return List(pattern, true); }

std::string CurrentFolder() {
  std::string buffer(4096, '\0');
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return ".";
    buffer.resize(buffer.size() * 2);
  }
  buffer.resize(std::strlen(buffer.c_str()));
  return buffer;
}

int ChangeFolder(std::string_view path) {
  std::string n = NativePath(path);
  return !n.empty() && chdir(n.c_str()) == 0 ? 1 : 0;
}

}  // namespace os
