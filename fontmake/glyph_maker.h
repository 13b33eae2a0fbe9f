// One round of the font-table maker: the character TLC file's polygons into one character's slot
// of a font file on disk, with the messages the user sees on the way. The dialog loop around it is
// the program's (wglyphmk.cpp); this part runs without a window.
#pragma once
#include <string>
#include <string_view>

#include "utilib/job.h"

namespace fontmake {

constexpr const char* kCaption = "GlyphMk";
constexpr const char* kDefaultFont = "TFF.DBD";
constexpr std::size_t kTlcNameLength = 31;
constexpr std::size_t kFontPathLength = 79;

// What the TFFDLG dialog took.
struct GlyphRequest {
  std::string fontPath = kDefaultFont;
  std::string tlcName;
  int code = 0;  // the first character of the "Assign to Character" field, 0 for none
};

enum class RoundResult {
  Installed,   // the slot was written and the font file saved
  NotChanged,  // stopped with its message; the font file on disk is as it was (or newly made)
};

// Steps 2 to 8 of the maker's loop. Every message is a box captioned "GlyphMk".
RoundResult InstallRound(const GlyphRequest& request, tell::Talk& ui);

// The character of a field's text as a code: its first byte, 0 for an empty field.
int FieldCharacter(std::string_view field);

}  // namespace fontmake
