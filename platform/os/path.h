// Paths as the suite's programs write them ("C:\MERO6\TFF.DBD", "\MERO6\x", "Cells6.dbd", "/home/me/x")
// mapped onto the Linux file system. Every open, create, remove, rename and mkdir goes through here.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace os {

// Virtual drives. The folder above the suite folder (MERO6) is the root of the suite's drive, "C:"
// unless MERO_DRIVES ("C=/opt/mero;D=/home/me/chips") names it otherwise.
void InitDrives(const std::string& suiteFolder);  // reads MERO_DRIVES; suiteFolder is a native path
void SetDriveTable(std::string_view table);        // replaces the table; for tests
std::string DriveRoot(char letter);               // native root of a drive, "" when there is none
char SuiteDriveLetter();                          // drive of the suite folder, 0 when none
std::string SuiteFolder();                        // native path of the suite folder ("" before Init)

// Native path for a suite path. Accepts "\" and "/"; "X:" maps through the drive table; a leading "\"
// means the root of the current drive; a leading "/" is a POSIX path as it stands; other paths are
// relative to the current folder. Existing components are matched case-blind (exact spelling first);
// components that do not exist keep the given spelling. Returns "" for an unknown drive.
std::string NativePath(std::string_view path);

bool FileExists(std::string_view path);    // a regular file
bool FolderExists(std::string_view path);  // a directory
// Whether a new file can be made in the folder (a read-only folder or file system cannot take the
// temporary files every save writes first); else false with the system's reason.
bool CanWriteFolder(std::string_view folder, std::string* reason = nullptr);

// fopen through the resolver. Binary by nature on Linux; text files use textfile.h.
std::FILE* OpenFile(std::string_view path, const char* mode);

int RemoveFile(std::string_view path);  // 1 removed, 0 failed
// 1 renamed; 0 when the target exists (never replaced) or the rename failed.
int RenameFile(std::string_view from, std::string_view to);

// 1 renamed, replacing a file of the target's name (matched case-blind, as every path); else 0.
int ReplaceFile(std::string_view from, std::string_view to);

enum class MkdirResult { Created, Exists, NoParent, Failed };
MkdirResult MakeFolder(std::string_view path);
int RemoveFolder(std::string_view path);  // an empty folder: 1 removed, 0 failed

// Case-blind wildcard match of a whole name: "*" any run, "?" one character.
bool MatchWildcard(std::string_view pattern, std::string_view name);
// Names (not paths) of the regular files matching "folder\pattern" (pattern with "*" and "?"),
// sorted case-blind by name. A pattern without a folder lists the current folder.
std::vector<std::string> ListFiles(std::string_view pattern);
// The same for sub-folders ("." and ".." left out).
std::vector<std::string> ListFolders(std::string_view pattern);

// The resolver keeps the listing of a folder it looked through case-blind while the folder is
// unchanged. A writer that adds or removes a file itself takes the folder's stamp just before and
// tells the change after it, so the listing follows; a folder that changed otherwise is read again.
struct FolderStamp {
  bool valid = false;
  std::uint64_t device = 0, inode = 0;
  std::int64_t modified = 0, changed = 0;  // nanoseconds
};
// The stamp of the folder holding `native` when the resolver keeps its listing; none otherwise.
FolderStamp StampBeforeOwnChange(const std::string& native);
// The entry `removed` went away from and `added` came into the folder holding `native` (names only,
// either may be empty).
void NoteOwnChange(const std::string& native, const FolderStamp& before, std::string_view removed,
                   std::string_view added);

std::string CurrentFolder();                // native
int ChangeFolder(std::string_view path);    // 1 or 0

}  // namespace os
