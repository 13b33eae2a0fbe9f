// Fuzz inputs through the checker's readers of outside files: check files (read, and their
// operator lines run over empty maps) and PCX map files. The libFuzzer targets and the regression
// test over the saved findings both call these.
#pragma once
#include <cstddef>
#include <cstdint>

namespace drc {
void FuzzOneCheckFile(const std::uint8_t* data, std::size_t size);
void FuzzOnePcxMap(const std::uint8_t* data, std::size_t size);
}  // namespace drc
