// One fuzz input through the process's parsers of outside text: the command line a program is
// started with, and the drive table MERO_DRIVES with the paths it maps. The libFuzzer targets and
// the regression test over the saved findings both call these.
#pragma once
#include <cstddef>
#include <cstdint>

namespace os {
void FuzzOneCommandLineInput(const std::uint8_t* data, std::size_t size);
void FuzzOneDrivesInput(const std::uint8_t* data, std::size_t size);
}  // namespace os
