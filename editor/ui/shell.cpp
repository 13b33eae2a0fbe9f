#include "editor/ui/shell.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "editor/db/helpers.h"
#include "editor/db/text_numbers.h"
#include "editor/ui/message_table.h"
#include "platform/ui/talk_box.h"
#include "platform/ui/window.h"

namespace edui {

ui::Result SendToMain(Editor& ed, ui::Message m, ui::WParam w, ui::LParam l) {
  return ui::Send(ed.main, m, w, l);
}

void PostToMain(Editor& ed, ui::Message m, ui::WParam w, ui::LParam l) { ui::Post(ed.main, m, w, l); }

void ShowMessage(Editor&, int n) { ui::TalkBox(0, "", MessageText(n), tell::Buttons::Ok); }

void ShowTextBox(Editor&, std::string_view caption, std::string_view text) {
  ui::TalkBox(0, caption, text, tell::Buttons::Ok);
}

}  // namespace edui

namespace edui {

int TextToInt(std::string_view text) { return db::LeadingInt(text); }

double TextToDouble(std::string_view text) { return db::LeadingDouble(text); }

std::int32_t TruncatedCoordinate(double units) {
  const double v = std::trunc(units);
  if (!(v > -db::kCoordinateLimit)) return v < 0 ? -db::kCoordinateLimit : 0;  // NaN gives 0
  if (!(v < db::kCoordinateLimit)) return db::kCoordinateLimit;
  return std::int32_t(v);
}

std::string FormatG(double value, int digits) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
  return buffer;
}

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

}  // namespace edui
