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

// A TLC header record as the utilities write it.
std::string TlcHeader(const std::string& name, int rank, const std::string& scale = "1000",
                      const std::string& unit = "um");

}  // namespace dxftest
