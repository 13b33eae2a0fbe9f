// One fuzz input through the DXF reading code: the group reader and the item scanner over the whole
// text, the layer table, then the importer. The libFuzzer target and the regression test over the
// saved findings both call it.
#pragma once
#include <cstddef>
#include <cstdint>

namespace dxf {
void FuzzOneDxfInput(const std::uint8_t* data, std::size_t size);
}
