#include "convert/cif/text_template.h"

#include <strings.h>

#include <cctype>
#include <cstring>

#include "utilib/job.h"
#include "utilib/setup_file.h"

namespace cif {

TemplateField FieldOf(std::string_view token) {
  static const std::pair<const char*, TemplateField> kFields[] = {
      {"<layer>", TemplateField::Layer}, {"<lname>", TemplateField::LayerName},
      {"<size>", TemplateField::Size},   {"<orien>", TemplateField::Orientation},
      {"<x>", TemplateField::X},         {"<y>", TemplateField::Y},
      {"<text>", TemplateField::Text},
  };
  for (const auto& [name, field] : kFields)
    if (token.size() == std::strlen(name) && strncasecmp(token.data(), name, token.size()) == 0)
      return field;
  return TemplateField::Other;
}

std::vector<std::string> DefaultTemplates() {
  return {kDefaultTemplate, kMeroTemplate, "", "", ""};
}

void RememberTemplate(std::vector<std::string>& history, std::string_view typed) {
  utilib::MoveToFront(history, typed.substr(0, kTemplateLength));
}

void ForceLeadingDigit(std::string& slot) {
  if (slot.empty()) return;
  if (slot[0] < '0') slot[0] = '0';
  if (slot[0] > '9') slot[0] = '9';
}

namespace {

std::vector<std::string_view> Tokens(std::string_view text, std::string_view separators) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && separators.find(text[i]) != std::string_view::npos) ++i;
    const std::size_t start = i;
    while (i < text.size() && separators.find(text[i]) == std::string_view::npos) ++i;
    if (i > start) out.push_back(text.substr(start, i - start));
  }
  return out;
}

// The characters a text field cannot hold as they are: blanks would split it, a ";" would end the
// command. Each goes out as a backslash and its two hex digits.
constexpr struct {
  char ch;
  const char* code;
} kEscapes[] = {{' ', "20"}, {'\t', "09"}, {';', "3B"}, {'\\', "5C"}};

// The character an escape at `at` (a backslash) stands for, or 0 when it is no escape.
char EscapedAt(std::string_view text, std::size_t at) {
  if (at + 3 > text.size()) return 0;
  for (const auto& e : kEscapes)
    if (std::toupper(static_cast<unsigned char>(text[at + 1])) == e.code[0] &&
        std::toupper(static_cast<unsigned char>(text[at + 2])) == e.code[1])
      return e.ch;
  return 0;
}

}  // namespace

std::string EscapeCifText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    // A backslash stays as it is unless what follows would read as an escape.
    const bool escape = c == ' ' || c == '\t' || c == ';' || (c == '\\' && EscapedAt(text, i) != 0);
    if (!escape) {
      out += c;
      continue;
    }
    for (const auto& e : kEscapes)
      if (e.ch == c) out += std::string("\\") + e.code;
  }
  return out;
}

std::string UnescapeCifText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char e = text[i] == '\\' ? EscapedAt(text, i) : 0;
    if (e) {
      out += e;
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string BuildCifLabel(std::string_view tmpl, const LabelValues& v) {
  if (tmpl.size() <= 7) return {};
  const std::vector<std::string_view> tokens = Tokens(tmpl, " ");
  if (tokens.empty()) return {};
  std::string out(tokens[0]);
  for (std::size_t i = 1; i < tokens.size() && i <= 9; ++i) {
    switch (FieldOf(tokens[i])) {
      case TemplateField::Layer: out += utilib::Format(" %d", v.layer); break;
      case TemplateField::LayerName:
        if (v.layerName) out += " " + *v.layerName;
        break;
      case TemplateField::Size: out += utilib::Format(" %lld", static_cast<long long>(v.size)); break;
      case TemplateField::Orientation: out += utilib::Format(" %d", v.orientation); break;
      case TemplateField::X: out += utilib::Format(" %lld", static_cast<long long>(v.x)); break;
      case TemplateField::Y: out += utilib::Format(" %lld", static_cast<long long>(v.y)); break;
      case TemplateField::Text: out += " " + EscapeCifText(v.text); break;
      case TemplateField::Other: out += " " + std::string(tokens[i]); break;
    }
  }
  return out;
}

std::vector<std::pair<TemplateField, std::string>> SplitLabelFields(std::string_view tmpl,
                                                                   std::string_view command) {
  std::vector<std::pair<TemplateField, std::string>> out;
  const std::size_t first = tmpl.find('<');
  if (first == std::string_view::npos || command.size() < 2) return out;
  const std::vector<std::string_view> fields = Tokens(tmpl.substr(first), " ");
  constexpr std::string_view kSeparators = " \t\r\n,;";
  constexpr std::string_view kTextSeparators = " \t\r\n;";
  std::string_view rest = command.substr(2);
  for (std::size_t f = 0; f < fields.size(); ++f) {
    std::size_t i = 0;
    while (i < rest.size() && kSeparators.find(rest[i]) != std::string_view::npos) ++i;
    rest.remove_prefix(i);
    if (rest.empty()) break;
    const TemplateField field = FieldOf(fields[f]);
    if (field == TemplateField::Text && f + 1 == fields.size()) {
      const std::size_t semicolon = rest.find(';');
      std::string_view text = rest.substr(0, semicolon);
      while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
      out.emplace_back(field, UnescapeCifText(text));
      break;
    }
    // A text keeps its commas: only blanks and the command's end close it.
    const std::string_view separators = field == TemplateField::Text ? kTextSeparators : kSeparators;
    std::size_t end = 0;
    while (end < rest.size() && separators.find(rest[end]) == std::string_view::npos) ++end;
    const std::string_view piece = rest.substr(0, end);
    out.emplace_back(field, field == TemplateField::Text ? UnescapeCifText(piece) : std::string(piece));
    rest.remove_prefix(end);
  }
  return out;
}

}  // namespace cif
