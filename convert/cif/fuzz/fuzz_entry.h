// One fuzz input through the CIF reading code: the lexer over every command, the layer comments and
// the text fields, then the importer. The libFuzzer target and the regression test over the saved
// findings both call it.
#pragma once
#include <cstddef>
#include <cstdint>

namespace cif {
void FuzzOneCifInput(const std::uint8_t* data, std::size_t size);
}
