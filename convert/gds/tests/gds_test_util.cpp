#include "convert/gds/tests/gds_test_util.h"

#include <cstdio>

#include "convert/gds/record.h"
#include "convert/gds/record_reader.h"

namespace gdstest {

namespace {

const char* Name(int type) {
  switch (type) {
    case gds::kHeader: return "HEADER";
    case gds::kBgnLib: return "BGNLIB";
    case gds::kLibName: return "LIBNAME";
    case gds::kUnits: return "UNITS";
    case gds::kEndLib: return "ENDLIB";
    case gds::kBgnStr: return "BGNSTR";
    case gds::kStrName: return "STRNAME";
    case gds::kEndStr: return "ENDSTR";
    case gds::kBoundary: return "BOUNDARY";
    case gds::kPath: return "PATH";
    case gds::kSref: return "SREF";
    case gds::kAref: return "AREF";
    case gds::kText: return "TEXT";
    case gds::kLayer: return "LAYER";
    case gds::kDatatype: return "DATATYPE";
    case gds::kWidth: return "WIDTH";
    case gds::kXy: return "XY";
    case gds::kEndEl: return "ENDEL";
    case gds::kSname: return "SNAME";
    case gds::kColRow: return "COLROW";
    case gds::kTextType: return "TEXTTYPE";
    case gds::kPresentation: return "PRESENTATION";
    case gds::kString: return "STRING";
    case gds::kStrans: return "STRANS";
    case gds::kMag: return "MAG";
    case gds::kAngle: return "ANGLE";
    case gds::kPathType: return "PATHTYPE";
    case gds::kGenerations: return "GENERATIONS";
    case gds::kBox: return "BOX";
    default: return "RECORD";
  }
}

}  // namespace

std::vector<std::string> DumpGds(const std::string& bytes) {
  std::vector<std::string> out;
  gds::GdsReader reader(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  gds::GdsRecord r;
  char b[64];
  while (reader.Next(r)) {
    std::string line = Name(r.type);
    if (r.type == gds::kBgnLib || r.type == gds::kBgnStr) {
      // dates left out
    } else if (r.dataType == gds::kAscii) {
      line += " " + gds::ReadGdsString(r, 512);
    } else if (r.dataType == gds::kInt2 || r.dataType == gds::kBitArray) {
      for (std::size_t i = 0; i < r.size / 2; ++i) line += " " + std::to_string(r.Int2(i));
    } else if (r.dataType == gds::kInt4) {
      for (std::size_t i = 0; i < r.Int4Count(); ++i) line += " " + std::to_string(r.Int4(i));
    } else if (r.dataType == gds::kReal8) {
      for (std::size_t i = 0; i < r.size / 8; ++i) {
        std::snprintf(b, sizeof b, " %.12g", r.Real8(i));
        line += b;
      }
    }
    if (r.type > 60 || std::string(Name(r.type)) == "RECORD") line += " type " + std::to_string(r.type);
    out.push_back(line);
    if (r.type == gds::kEndLib) return out;
  }
  out.push_back(std::string("ERROR ") + gds::ReadStatusMessage(reader.Status()));
  return out;
}

std::vector<std::string> GdsElements(const std::string& bytes) {
  std::vector<std::string> out;
  std::string current;
  for (const std::string& line : DumpGds(bytes)) {
    const bool starts = line == "BOUNDARY" || line == "PATH" || line == "SREF" || line == "AREF" ||
                        line == "TEXT" || line == "BOX";
    if (starts) current = line;
    else if (!current.empty()) current += "; " + line;
    if (line == "ENDEL" && !current.empty()) {
      out.push_back(current);
      current.clear();
    }
  }
  return out;
}

std::vector<std::string> GdsStructures(const std::string& bytes) {
  std::vector<std::string> out;
  for (const std::string& line : DumpGds(bytes))
    if (line.rfind("STRNAME ", 0) == 0) out.push_back(line.substr(8));
  return out;
}

}  // namespace gdstest
