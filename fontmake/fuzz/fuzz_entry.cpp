#include "fontmake/fuzz/fuzz_entry.h"

#include <memory>
#include <string>
#include <string_view>

#include "editor/db/database.h"
#include "editor/db/form_file.h"
#include "editor/ui/draw/engine.h"
#include "editor/ui/draw/primitives.h"
#include "editor/ui/draw/view.h"
#include "fontmake/glyph_maker.h"
#include "fontmake/glyph_table.h"
#include "platform/gfx/canvas.h"
#include "tests/fuzz_support.h"
#include "utilib/quiet_ui.h"

namespace fontmake {

namespace {

// Every character of the table drawn as the editor lays out a name. The engine and its surface are
// made once: only the table changes from one input to the next.
void DrawEveryCharacter(const db::FontTable& font) {
  struct Screen {
    db::Database d;
    draw::ViewState view;
    draw::LayerMasks masks;
    gfx::Surface surface{300, 200};
    gfx::Canvas canvas{surface};
    std::unique_ptr<draw::Engine> engine;
    Screen() {
      d.settings.scale = 1;
      d.settings.modeWord = draw::kModeNames;
      draw::SetDrawingArea(view, draw::LayoutDrawingArea(300, 200));
      view.width = 200;
      view.centreX = 100;
      view.centreY = 60;
      draw::NormalizeView(view, d.settings);
      engine = std::make_unique<draw::Engine>(d, view, masks);
      engine->canvas = &canvas;
    }
  };
  static Screen* screen = new Screen;
  screen->d.font = font;
  std::string all;
  for (int c = 32; c < 128; ++c) all += char(c);
  draw::LayoutTextString(*screen->engine, all, 0, 0, 4000, 120, 15);
}

}  // namespace

void FuzzOneFontTableInput(const std::uint8_t* data, std::size_t size) {
  fuzzsupport::ScratchDrive& drive = fuzzsupport::ScratchDrive::Get();
  const auto visit = drive.Enter();
  drive.Write("FONT.DBD", std::string_view(reinterpret_cast<const char*>(data), size));
  db::FontTable table;
  const int read = ReadFontFile("C:\\W\\FONT.DBD", table);
  if (read != (size >= std::size_t(db::kFontTableBytes) ? 1 : -1)) __builtin_trap();

  // The editor's load: a short table leaves what was loaded and goes back to the default path.
  db::FormFile form;
  form.defaultFontPath = "C:\\W\\NONE.DBD";
  form.currentFontPath = "C:\\W\\FONT.DBD";
  db::FontTable editors;
  tell::Talk talk;
  db::LoadFontFile(form, editors, &talk);
  DrawEveryCharacter(read == 1 ? table : editors);

  // The maker puts a character into this table and saves it; the rest of the table stays.
  drive.Write("CHAR.TLC", "=H\nCHAR065\n6.05\n6.05\n1\num\n01/01/24\n00:00:00\n1 0 3 8 15\n0 2 5 0\n"
                          "=P\n1 0 3\n0 3 4 15 8 3 \n=P\n1 0 2\n2 8 6 8 \n");
  utilib::QuietUi ui;
  GlyphRequest request;
  request.fontPath = "C:\\W\\FONT.DBD";
  request.tlcName = "C:\\W\\CHAR.TLC";
  request.code = data && size ? 32 + data[0] % 96 : 'A';
  if (InstallRound(request, ui) == RoundResult::Installed && read == 1) {
    db::FontTable after;
    if (ReadFontFile("C:\\W\\FONT.DBD", after) != 1) __builtin_trap();
    for (int i = 0; i < db::kFontTableBytes; ++i)
      if (i / db::kGlyphBytes != request.code - 32 && after.bytes[std::size_t(i)] != table.bytes[std::size_t(i)])
        __builtin_trap();
  }
}

// The input is the character's TLC file, put into an empty table as the character "A".
void FuzzOneGlyphInput(const std::uint8_t* data, std::size_t size) {
  fuzzsupport::ScratchDrive& drive = fuzzsupport::ScratchDrive::Get();
  const auto visit = drive.Enter();
  drive.Write("CHAR.TLC", std::string_view(reinterpret_cast<const char*>(data), size));
  db::FontTable empty;
  ClearFontTable(empty);
  if (!WriteFontFile("C:\\W\\FONT.DBD", empty)) return;
  utilib::QuietUi ui;
  GlyphRequest request;
  request.fontPath = "C:\\W\\FONT.DBD";
  request.tlcName = "C:\\W\\CHAR.TLC";
  request.code = 'A';
  if (InstallRound(request, ui) != RoundResult::Installed) return;
  db::FontTable after;
  if (ReadFontFile("C:\\W\\FONT.DBD", after) != 1) __builtin_trap();
  // Only the character's own slot changed.
  for (int i = 0; i < db::kFontTableBytes; ++i)
    if (i / db::kGlyphBytes != 'A' - 32 && after.bytes[std::size_t(i)] != 0xFF) __builtin_trap();
  DrawEveryCharacter(after);
}

}  // namespace fontmake
