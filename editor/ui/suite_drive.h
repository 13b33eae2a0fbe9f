// The drive of the suite folder, taken from the program's own command line ("C:\MERO6\wmero ...").
#pragma once
#include <functional>
#include <string>

namespace edui {

// "C:" and the like, or "" when no drive was found (paths then start with "\MERO6\").
const std::string& SuiteDrive();
// Fills SuiteDrive from os::CommandLine(); 1 when a drive was found, else 0 after `tell` has shown
// the user message 28.
int FindSuiteDrive(const std::function<void(const char* text)>& tell);
// The same from a given command line (the lookup proper).
int FindSuiteDriveIn(const std::string& commandLine, std::string& drive);
// "%s\MERO6\%s" of the suite drive and a file name.
std::string SuitePath(const std::string& file);

}  // namespace edui
