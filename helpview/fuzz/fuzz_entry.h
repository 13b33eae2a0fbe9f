// One fuzz input through the help viewer's readers: as a help file (indexed, every topic's text
// loaded, the manual composed), or as the viewer's command line. The libFuzzer targets and the
// regression test over the saved findings both call these.
#pragma once
#include <cstddef>
#include <cstdint>

namespace hpv {
void FuzzOneHelpFileInput(const std::uint8_t* data, std::size_t size);
void FuzzOneHelpCommandInput(const std::uint8_t* data, std::size_t size);
}  // namespace hpv
