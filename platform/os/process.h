// The process as the suite's programs see it: a Windows-style command line, program starts without
// waiting, the single-instance lock, tick count and local time.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace os {

// Call first in main: sets up the drives (the suite folder is the folder of the executable) and the
// command line, and forces the "C" numeric locale.
void InitProcess(int argc, char** argv);
// Numbers in files are read and written in the "C" locale. A GUI toolkit that sets the user's locale
// at start-up must call this again after it.
void ForceCLocale();
// Native path of the running executable.
const std::string& ExecutablePath();

// The program's own path on its virtual drive, then the arguments joined with single blanks
// ("C:\MERO6\wmero NAND2"). A program outside any drive gets its native path.
const std::string& CommandLine();
// The arguments alone, joined with single blanks.
const std::string& CommandArgs();
void SetCommandLineForTests(std::string_view commandLine, std::string_view args);

// Starts a program without waiting. `program` is a suite path ("C:\MERO6\Whpv.EXE" finds
// MERO6/whpv), a native path, or a bare name searched on PATH; "Notepad" is the desktop's text
// viewer. argv[0] is `program` as given. Returns the process id, or -1 at once when it cannot start.
// Children are reaped.
int SpawnProgram(std::string_view program, const std::vector<std::string>& args);
// The executable a program text maps to ("" when there is none).
std::string FindProgram(std::string_view program);

// Holds a lock named `name` for the rest of the process. True when another process holds it.
bool AnotherInstanceRunning(const char* name);

// Milliseconds from a monotonic clock.
std::uint32_t TickCount();
// Local date and time. MERO_NOW="YYYY-MM-DD HH:MM:SS" fixes it (for tests and reproducible files).
std::tm LocalTime();
std::time_t Now();

}  // namespace os
