#include "convert/cif/text_template.h"

#include <strings.h>

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

}  // namespace

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
      case TemplateField::Text: out += " " + v.text; break;
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
      out.emplace_back(field, std::string(text));
      break;
    }
    std::size_t end = 0;
    while (end < rest.size() && kSeparators.find(rest[end]) == std::string_view::npos) ++end;
    out.emplace_back(field, std::string(rest.substr(0, end)));
    rest.remove_prefix(end);
  }
  return out;
}

}  // namespace cif
