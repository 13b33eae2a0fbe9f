// UnzipArchive: every member of a ZIP archive, walked by its local headers, written into a folder,
// inflated, checked by CRC-32 and length, and given back its date and time. Each member is one line
// of the progress list.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "install/progress_list.h"

namespace install {

enum Severity { kSeverityNone = 0, kSeverityMember = 1, kSeverityFatal = 2 };

constexpr const char* kCaption = "SETUP 6.0";

// `target` is a folder ending in "\" (or "/"), made beforehand. Returns the highest severity of all
// members: 0 every member written and checked, 1 a member damaged, refused or skipped, 2 the archive
// could not be opened, an output file could not be made or written, or memory ran out.
int UnzipArchive(std::string_view archive, std::string_view target, ProgressList& lines);

// A member name that stays inside the target folder: not empty, no drive, no leading separator, no
// ".." component, no control characters.
bool IsSafeMemberName(std::string_view name);

// The DOS date and time of a member as a local time; false for a date or time no calendar has.
bool DosTimeToUnix(std::uint16_t dosDate, std::uint16_t dosTime, std::int64_t& seconds);

}  // namespace install
