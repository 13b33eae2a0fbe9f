// Adding boxes, paths, vertices and instances (Add) and texts (Text).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "editor/ui/editor.h"

namespace edcmd {

constexpr int kPathVertexLimit = 512;  // most vertices one path may hold

void AddCommand(edui::Editor& ed);
void TextCommand(edui::Editor& ed);

// Options of InsertVertexAfter.
enum InsertOptions { kInsertErase = 1, kInsertDraw = 2 };
// A vertex at (x, y) after `vertex` in its chain, taking its flag word (so the selection moves on to
// it); false after the limit's message (or message 30 for a path of 512 vertices).
bool InsertVertexAfter(edui::Editor& ed, int vertex, std::int32_t x, std::int32_t y, int options);

// The character words of a text: 8 characters a vertex, 1-4 in x and 5-8 in y, the first in the
// high byte; the last group padded with zero bytes. And back.
std::vector<std::pair<std::int32_t, std::int32_t>> PackText(const std::string& text);
std::string UnpackText(db::ObjectStore& s, int path);

}  // namespace edcmd
