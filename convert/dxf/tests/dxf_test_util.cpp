#include "convert/dxf/tests/dxf_test_util.h"

#include <cstdio>
#include <sstream>

namespace dxftest {

std::vector<std::string> DxfItems(const std::string& text) {
  std::vector<std::string> out;
  std::stringstream in(text);
  std::string code, value;
  auto next = [&](std::string& line) {
    if (!std::getline(in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
  };
  while (next(code) && next(value)) {
    const std::size_t start = code.find_first_not_of(' ');
    code = start == std::string::npos ? "" : code.substr(start);
    if (code == "0") out.push_back(value);
    else if (!out.empty()) out.back() += " " + code + "=" + value;
  }
  return out;
}

std::vector<std::string> DxfSection(const std::string& text, const std::string& name) {
  std::vector<std::string> out;
  bool in = false;
  for (const std::string& item : DxfItems(text)) {
    if (!in) {
      in = item == "SECTION 2=" + name;
      continue;
    }
    if (item == "ENDSEC") break;
    out.push_back(item);
  }
  return out;
}

DxfBuilder& DxfBuilder::G(int code, const std::string& value) {
  char b[8];
  std::snprintf(b, sizeof b, "%3d\n", code);
  text += b;
  text += value;
  text += "\n";
  return *this;
}

DxfBuilder& DxfBuilder::G(int code, double value) {
  char b[64];
  std::snprintf(b, sizeof b, "%.10g", value);
  return G(code, std::string(b));
}

DxfBuilder& DxfBuilder::Layers(const std::vector<std::string>& names) {
  return Section("TABLES", [&](DxfBuilder& d) {
    d.G(0, "TABLE").G(2, "LAYER").G(70, static_cast<double>(names.size()));
    for (const std::string& n : names) d.G(0, "LAYER").G(2, n).G(70, 0.0).G(62, 7.0).G(6, "CONTINUOUS");
    d.G(0, "ENDTAB");
  });
}

std::string TlcHeader(const std::string& name, int rank, const std::string& scale, const std::string& unit) {
  return "=H\r\n" + name + "\r\n6.0\r\n6.0\r\n" + scale + "\r\n" + unit + "\r\n01/02/24\r\n03:04:05\r\n" +
         std::to_string(rank) + " 0 0 1 0\r\n0 0 0 0\r\n";
}

}  // namespace dxftest
