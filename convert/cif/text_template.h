// Texts travel in CIF as user commands built from a template such as "94 <text> <x> <y> <lname>":
// the command number, then the fields in the template's order. The converters keep the five last
// templates used, and the exporter can add its own full form "99 <layer> <size> <orien> <x> <y>
// <text>".
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cif {

constexpr int kTemplateCount = 5;
constexpr std::size_t kTemplateLength = 63;
constexpr const char* kDefaultTemplate = "94 <text> <x> <y> <lname>";
constexpr const char* kMeroTemplate = "99 <layer> <size> <orien> <x> <y> <text>";

enum class TemplateField { Layer, LayerName, Size, Orientation, X, Y, Text, Other };

// The field a template token names, without regard to case; Other for any other token.
TemplateField FieldOf(std::string_view token);

// The history's defaults: the two templates above, then three empty ones.
std::vector<std::string> DefaultTemplates();
// A typed template goes to the top of the history (see utilib::MoveToFront).
void RememberTemplate(std::vector<std::string>& history, std::string_view typed);
// The first character brought into "0".."9": below "0" it becomes "0", above "9" it becomes "9".
void ForceLeadingDigit(std::string& slot);

// What a text puts into the fields.
struct LabelValues {
  int layer = 0;
  std::optional<std::string> layerName;  // none: the layer is not in the layer table
  std::int64_t size = 0;
  int orientation = 0;
  std::int64_t x = 0, y = 0;
  std::string text;
};

// A text as a template's text field holds it: a blank, tab, ";" and a backslash that would read as
// an escape become a backslash and two hex digits ("\20", "\09", "\3B", "\5C"), so that the field
// reads back whole; any other text goes out as it is. Unescape reads those four escapes, case-blind,
// and leaves every other backslash.
std::string EscapeCifText(std::string_view text);
std::string UnescapeCifText(std::string_view text);

// The user command for a text (without its ";"), or "" for a template of 7 characters or fewer.
std::string BuildCifLabel(std::string_view tmpl, const LabelValues& values);

// The pieces of a text command's fields: the command's text after the template's first two
// characters is split at blanks, tabs, commas and ";" (a text field at blanks, tabs and ";" only), and
// each piece fills the next field of the template (its part from the first "<"); a text field that
// comes last takes the rest of the command, blanks included. Text fields come unescaped.
std::vector<std::pair<TemplateField, std::string>> SplitLabelFields(std::string_view tmpl,
                                                                   std::string_view command);

}  // namespace cif
