// One fuzz input through a reader of the drawing folder. Each libFuzzer target of this folder and
// the regression test over the saved findings call these. Beyond not crashing, each checks what its
// reader promises and aborts when it does not hold.
#pragma once
#include <cstddef>
#include <cstdint>

namespace db {
// A CL6 loaded into level 0, into a lower level and appended; a load that succeeds keeps every
// record read (in the level or set aside) and saves back to itself.
void FuzzOneCl6Input(const std::uint8_t* data, std::size_t size);
// A BP6 loaded, walked and appended; a load that succeeds keeps every box and path read and saves
// back to itself.
void FuzzOneBp6Input(const std::uint8_t* data, std::size_t size);
// A CELLS6.DBD; a table read whole writes out and reads back the same.
void FuzzOneCellIndexInput(const std::uint8_t* data, std::size_t size);
// A FORM.DBD, through the editor's reader and the utilities' pool-folder reader.
void FuzzOneFormFileInput(const std::uint8_t* data, std::size_t size);
// A CONSTS6.DBD, through the editor's settings reader and the head reader every program uses: both
// read the same usable scale and unit, and what is read writes out and reads back the same.
void FuzzOneSettingsFileInput(const std::uint8_t* data, std::size_t size);
// A typed or stored number text, read by the shared number readers and held against the C library's
// reading in the "C" locale.
void FuzzOneNumberText(const std::uint8_t* data, std::size_t size);
}  // namespace db
