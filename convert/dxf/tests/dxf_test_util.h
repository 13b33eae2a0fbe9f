// Helpers of the DXF converter tests: a DXF text as one line per item, and TLC fixtures.
#pragma once
#include <string>
#include <vector>

namespace dxftest {

// Each code-0 item of a DXF text as "WORD code=value code=value ...", in file order; the code is
// written without its blanks. Lines may end in CR LF or LF.
std::vector<std::string> DxfItems(const std::string& text);
// The items between "SECTION 2=NAME" and its "ENDSEC", both left out.
std::vector<std::string> DxfSection(const std::string& text, const std::string& name);

// DXF text for fixtures: each group as its code right-aligned in three characters and its value.
struct DxfBuilder {
  std::string text;
  DxfBuilder& G(int code, const std::string& value);
  DxfBuilder& G(int code, double value);
  // "0 SECTION 2 name" ... "0 ENDSEC" around what `body` adds.
  template <class F>
  DxfBuilder& Section(const std::string& name, F body) {
    G(0, "SECTION").G(2, name);
    body(*this);
    return G(0, "ENDSEC");
  }
  // A LAYER table of these names.
  DxfBuilder& Layers(const std::vector<std::string>& names);
  DxfBuilder& Eof() { return G(0, "EOF"); }
};

// A TLC header record as the utilities write it.
std::string TlcHeader(const std::string& name, int rank, const std::string& scale = "1000",
                      const std::string& unit = "um");

}  // namespace dxftest
