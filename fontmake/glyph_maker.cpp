#include "fontmake/glyph_maker.h"

#include "editor/tlc/run.h"
#include "fontmake/glyph_table.h"
#include "platform/os/path.h"

namespace fontmake {

namespace {

using tlc::UpperCase;

tell::Answer Box(tell::Talk& ui, std::string_view text,
                      tell::Buttons buttons = tell::Buttons::Ok) {
  return ui.Box(kCaption, text, buttons);
}

// The TLC file as named; a name without an extension also finds NAME.TLC, which is what the
// file list offers.
std::string FindTlcFile(const std::string& name) {
  if (os::FileExists(name)) return name;
  const std::size_t slash = name.find_last_of("\\/:");
  const std::size_t dot = name.rfind('.');
  if ((dot == std::string::npos || (slash != std::string::npos && dot < slash)) && os::FileExists(name + ".TLC"))
    return name + ".TLC";
  return {};
}

}  // namespace

int FieldCharacter(std::string_view field) {
  return field.empty() ? 0 : static_cast<unsigned char>(field[0]);
}

RoundResult InstallRound(const GlyphRequest& request, tell::Talk& ui) {
  db::FontTable table;
  switch (ReadFontFile(request.fontPath, table)) {
    case -1:
      Box(ui, "Font File is the Wrong Length ... Erase it");
      return RoundResult::NotChanged;
    case 0:
      // Cancel makes no file and installs nothing: back to the dialog.
      if (Box(ui, "Font File is Missing ... New File will be Created", tell::Buttons::OkCancel) !=
          tell::Answer::Ok)
        return RoundResult::NotChanged;
      ClearFontTable(table);
      if (WriteFontFile(request.fontPath, table) != 1) {
        Box(ui, "Font File can't be Written");
        return RoundResult::NotChanged;
      }
      break;
    default:
      break;
  }

  const std::string tlc = FindTlcFile(UpperCase(request.tlcName));
  if (tlc.empty()) {
    Box(ui, "Character TLC File is Missing");
    return RoundResult::NotChanged;
  }
  if (request.code < kFirstCode) return RoundResult::NotChanged;
  // Codes above 127 have no slot in the table.
  if (request.code > kLastCode) {
    Box(ui, utilib::Format("Character Code %d has no Place in the Font File", request.code));
    return RoundResult::NotChanged;
  }

  std::string trouble;
  const InstallReport r = InstallGlyph(table, request.code, tlc, [&](std::string_view line) {
    if (trouble.find(line) == std::string::npos) trouble += std::string(trouble.empty() ? "" : "\n") + std::string(line);
  });
  if (!r.opened) {
    Box(ui, "Character TLC File is Missing");
    return RoundResult::NotChanged;
  }
  Box(ui, utilib::Format("%d Polygons with %d Vertices\nAssigned to Character %c (%d)", r.headerPaths,
                         static_cast<int>(r.headerVertices), request.code, request.code));
  if (!trouble.empty()) Box(ui, trouble);
  if (WriteFontFile(request.fontPath, table) != 1) {
    Box(ui, "Font File can't be Written");
    return RoundResult::NotChanged;
  }
  return RoundResult::Installed;
}

}  // namespace fontmake
