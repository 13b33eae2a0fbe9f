#include "editor/tlc/help_text.h"

#include <algorithm>
#include <array>

namespace tlc {

namespace {

constexpr std::array<std::string_view, 67> kTlcIn = {
    "",
    "               TLC to Internal Quick Help",
    "               --------------------------",
    "",
    "TLCIN converts TLC files (one cell a file, named after",
    "the cell with the extension TLC) from a Source folder",
    "into cells of a Destination drawing folder: for every",
    "cell it writes the BP6 file, the CL6 file when the cell",
    "holds instances, and its line in CELLS6.DBD.",
    "",
    "The Destination is always the current drawing folder,",
    "unless Global TLC is enabled with the SET command; then",
    "any folder holding FORM.DBD may be given.",
    "",
    "There are two ways of converting:",
    "",
    "  All Cells: leave the cell name blank. Every cell",
    "  listed in CELLS.REF of the Source folder is converted,",
    "  and old cells of the same names are replaced after a",
    "  confirmation.",
    "",
    "  Named Cells: give one cell name, or a name holding",
    "  wildcards. The named cells are converted, and the",
    "  lesser cells they contain after a confirmation: Yes",
    "  replaces lesser cells that exist already, No only adds",
    "  the missing ones.",
    "",
    "The setup dialog holds three items:",
    "",
    "  Source Path       folder of the TLC files",
    "  Destination Path  the drawing folder to write into",
    "  Source TLC File   cell name, blank for all cells;",
    "                    List picks one of the TLC files",
    "",
    "Fast Run leaves out the pauses between cells.",
    "",
    "Notes:",
    "",
    "1. Paths have the form drive:\\path\\ and may be \".\"",
    "   or blank for the current folder.",
    "",
    "2. The Destination folder must exist and hold FORM.DBD;",
    "   a missing CELLS6.DBD is created.",
    "",
    "3. A blank cell name converts all cells of CELLS.REF.",
    "",
    "4. Only one cell name is accepted.",
    "",
    "5. The name may hold \"*\" and \"?\", matched against",
    "   the TLC file names as the file system matches them.",
    "",
    "6. Nothing is ever removed at the Destination; cells",
    "   are only added or replaced.",
    "",
    "7. CELLS.REF is a copy of a drawing folder's CELLS6.DBD",
    "   file, which can be used in its place.",
    "",
    "8. A lesser cell whose TLC file is missing is made as a",
    "   placeholder cell holding its name as a text.",
    "",
    "9. Esc or Cancel stops the conversion at the next cell;",
    "   the cells written so far stay.",
    "",
    "10. Scale and unit of every TLC file are compared with",
    "    those of the Destination's CONSTS6.DBD.",
    "",
    "See the main help for more on TLC files.",
};

constexpr std::array<std::string_view, 69> kTlcOut = {
    "",
    "               Internal to TLC Quick Help",
    "               --------------------------",
    "",
    "TLCOUT converts cells of a Source drawing folder into",
    "TLC files (one cell a file, named after the cell with",
    "the extension TLC) in a Destination folder. When all",
    "cells are converted it also writes CELLS.REF, the list",
    "of the cells, and LAYERS.REF, the layer definitions of",
    "FORM.DBD.",
    "",
    "The Source is always the current drawing folder, unless",
    "Global TLC is enabled with the SET command; then any",
    "drawing folder may be given.",
    "",
    "There are two ways of converting:",
    "",
    "  All Cells: leave the cell name blank. Every cell of",
    "  the collection is written, and old TLC files of the",
    "  same names are replaced after a confirmation.",
    "",
    "  Named Cells: give one cell name, or a name holding",
    "  wildcards. The named cells are written, and the",
    "  lesser cells they contain after a confirmation: Yes",
    "  adds or replaces their TLC files, No writes only the",
    "  named cells.",
    "",
    "The setup dialog holds three items:",
    "",
    "  Source Path       the drawing folder to read",
    "  Destination Path  folder for the TLC files",
    "  Source Cellname   cell name, blank for all cells;",
    "                    List picks one of the collection",
    "",
    "Fast Run leaves out the pauses between cells.",
    "",
    "Notes:",
    "",
    "1. Paths have the form drive:\\path\\ and may be \".\"",
    "   or blank for the current folder.",
    "",
    "2. A missing Destination folder is made; when it exists",
    "   already you are asked before going on.",
    "",
    "3. A blank cell name writes all cells of the collection",
    "   with CELLS.REF and LAYERS.REF.",
    "",
    "4. Only one cell name is accepted.",
    "",
    "5. The name may hold \"*\" and \"?\", matched against",
    "   the cell names as the file system matches them.",
    "",
    "6. Nothing is ever removed at the Destination; TLC files",
    "   are only added or replaced.",
    "",
    "7. A named cell missing from the collection is written",
    "   as a token cell holding its name as a text.",
    "",
    "8. Esc or Cancel stops the conversion at the next cell;",
    "   the TLC files written so far stay.",
    "",
    "9. With the SET option TLCout when Saving Cell, every",
    "   save writes the cell's TLC file in the drawing",
    "   folder as well.",
    "",
    "10. Texts that read exactly like a record keyword are",
    "    written with a blank in front.",
    "",
    "See the main help for more on TLC files.",
};

}  // namespace

std::span<const std::string_view> TlcInHelpLines() { return kTlcIn; }
std::span<const std::string_view> TlcOutHelpLines() { return kTlcOut; }

void HelpScroll::Apply(ScrollAction action, int thumbPosition) {
  const int last = Range();
  switch (action) {
    case ScrollAction::LineUp: top = top - 1; break;
    case ScrollAction::LineDown: top = top + 1; break;
    case ScrollAction::PageUp: top = top - visible - 1; break;
    case ScrollAction::PageDown: top = top + visible + 1; break;
    case ScrollAction::Thumb: top = thumbPosition; break;
    case ScrollAction::Top: top = 0; break;
    case ScrollAction::Bottom: top = last; break;
  }
  top = std::clamp(top, 0, last);
}

}  // namespace tlc
