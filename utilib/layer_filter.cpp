#include "utilib/layer_filter.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

#include "editor/tlc/run.h"

namespace utilib {

namespace {

// Leading digits as atoi reads them, saturated so that an absurd token cannot overflow.
int LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long v = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
    v = std::min(v * 10 + (text[i] - '0'), 1000000LL);
  return static_cast<int>(negative ? -v : v);
}

}  // namespace

void LayerFilter::SelectLayer(int n) {
  int bit = zeroBased ? n : n - 1;
  if (bit < 0 || bit > 63) return;
  if (bit < 32) low |= 1u << bit;
  else high |= 1u << (bit - 32);
}

bool LayerFilter::IsLayerSelected(int n) const {
  int bit = zeroBased ? n : n - 1;
  if (bit < 0 || bit > 63) return false;
  return bit < 32 ? (low >> bit) & 1u : (high >> (bit - 32)) & 1u;
}

void LayerFilter::ParseLayerList(std::string_view setting) {
  Clear();
  std::size_t i = 0;
  while (i < setting.size()) {
    while (i < setting.size() && setting[i] == ' ') ++i;
    std::size_t start = i;
    while (i < setting.size() && setting[i] != ' ') ++i;
    if (i > start) ParseLayerRange(setting.substr(start, i - start));
  }
}

// The whole token counts: cutting it to its first characters would turn "10-200" into 10-20 or
// "001-64" into 1-6. Every in-range token is 5 characters or fewer, so they read as before.
void LayerFilter::ParseLayerRange(std::string_view token) {
  std::size_t firstDash = token.find('-');
  if (firstDash == std::string_view::npos) {
    SelectLayer(LeadingNumber(token));
    return;
  }
  std::size_t lastDash = token.rfind('-');
  int lowest = zeroBased ? 0 : 1;
  int highest = zeroBased ? 63 : 64;
  int start = LeadingNumber(token.substr(0, firstDash));
  int end = LeadingNumber(token.substr(lastDash + 1));
  if (start == 0) start = lowest;
  if (end == 0) end = highest;
  if (end < start) std::swap(start, end);
  start = std::max(start, lowest);
  end = std::min(end, highest);
  for (int n = start; n <= end; ++n) SelectLayer(n);
}

int ClampLayerIndex(int n) { return std::clamp(n, 0, 63); }
int ClampLayerNumber(int n) { return std::clamp(n, 1, 64); }

int IsSettingYes(std::string& slot) {
  UpperCase(slot);
  if (!slot.empty() && slot[0] == 'Y') return 1;
  slot.assign(1, 'N');
  return 0;
}

void UpperCase(std::string& text) { text = tlc::UpperCase(text); }

std::string FormatG(double value) {
  char b[64];
  std::snprintf(b, sizeof b, "%g", value);
  return b;
}

std::string FormatD(long value) {
  char b[24];
  return std::string(b, std::to_chars(b, b + sizeof b, value).ptr);
}

}  // namespace utilib
