// One fuzz input through the extractor's readers of outside files: two node lists compared, or a
// file read as the alias file and copied as a header and footer into the circuit file. The
// libFuzzer targets and the regression test over the saved findings both call these.
#pragma once
#include <cstddef>
#include <cstdint>

namespace ext {
void FuzzOneNodeListInput(const std::uint8_t* data, std::size_t size);
void FuzzOneAliasIncludeInput(const std::uint8_t* data, std::size_t size);
}  // namespace ext
