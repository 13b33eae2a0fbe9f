// The 64-layer filter built from a layer-list setting ("1-64", "3 5 10-20", "-"), and the small
// helpers the set-up normalisers share.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace utilib {

struct LayerFilter {
  std::uint32_t low = 0;   // layers 1..32 (bit n-1); in the GDSII variant layers 0..31 (bit k)
  std::uint32_t high = 0;  // layers 33..64 (bit n-33); in the GDSII variant 32..63 (bit k-32)
  // The GDSII importer numbers layers 0..63; empty ends of a range then mean 0 and 63.
  bool zeroBased = false;

  void Clear() { low = high = 0; }
  // Adds layer n; a number outside the filter's range is ignored.
  void SelectLayer(int n);
  bool IsLayerSelected(int n) const;
  // Clears the filter and applies every blank-separated token.
  void ParseLayerList(std::string_view setting);
  // One token: "a", "a-b", "a-", "-b" or "-".
  void ParseLayerRange(std::string_view token);
};

// n limited to 0..63.
int ClampLayerIndex(int n);
// The GDSII importer's version: n limited to 1..64.
int ClampLayerNumber(int n);

// Upper-cases the setting in place; a value that does not begin with "Y" becomes "N". 1 for yes.
int IsSettingYes(std::string& slot);

// Upper-cases the text in place.
void UpperCase(std::string& text);
// A setting's number as its slot shows it: "%g" in the "C" locale, and a whole number.
std::string FormatG(double value);
std::string FormatD(long value);

}  // namespace utilib
