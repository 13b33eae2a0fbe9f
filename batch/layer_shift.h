// lyrshift: one layer of every TLC file a CELLS.REF lists moved (or copied) to another layer. Boxes,
// paths, polygons and texts on the old layer change; cell references pass through unchanged.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "batch/console.h"
#include "editor/tlc/stream.h"
#include "editor/tlc/writer.h"

namespace batch {

constexpr int kMaxListedCells = 512;

enum class ShiftMode { Move, Copy };

enum class CellListResult { Ok, Missing, TooMany };
// The names of a CELLS.REF (each cut at 32 characters); at most 512, and a count line above 512 is
// refused. An editor's CELLS.REF ends with an empty line, which gives one more, empty name.
CellListResult ReadCellList(std::string_view path, std::vector<std::string>& names);

// Every record of the stream into the writer, the old layer's moved or doubled; other lines (the
// old header among them) are dropped. A record that cannot be read is reported on the console and
// lost alone.
void ShiftLayerRecords(tlc::TlcStream& in, tlc::TlcWriter& out, ShiftMode mode, int oldLayer, int newLayer,
                       Console& console);

// The program: arguments without the program's own name ("m", "5", "7", "D:\CHIP\"). Returns the exit
// status: 1 when a layer is out of range or CELLS.REF is missing or too long, else 0.
int RunLayerShift(const std::vector<std::string>& args, Console& console);

}  // namespace batch
