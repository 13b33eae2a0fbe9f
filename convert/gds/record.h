// GDSII stream records: the record and data type numbers the converters use, and the data type each
// record must carry.
#pragma once
#include <cstdint>

namespace gds {

enum RecordType : int {
  kHeader = 0,
  kBgnLib = 1,
  kLibName = 2,
  kUnits = 3,
  kEndLib = 4,
  kBgnStr = 5,
  kStrName = 6,
  kEndStr = 7,
  kBoundary = 8,
  kPath = 9,
  kSref = 10,
  kAref = 11,
  kText = 12,
  kLayer = 13,
  kDatatype = 14,
  kWidth = 15,
  kXy = 16,
  kEndEl = 17,
  kSname = 18,
  kColRow = 19,
  kTextType = 22,
  kPresentation = 23,
  kString = 25,
  kStrans = 26,
  kMag = 27,
  kAngle = 28,
  kPathType = 33,
  kGenerations = 34,
  kBox = 45,
  kBgnExtn = 48,
  kEndExtn = 49,
};

enum DataType : int {
  kNoData = 0,
  kBitArray = 1,
  kInt2 = 2,
  kInt4 = 3,
  kReal8 = 5,
  kAscii = 6,
};

constexpr int kMaxRecordType = 60;
constexpr int kMaxDataType = 6;
// A record length is 16 bits, so one XY record holds at most this many points.
constexpr int kMaxXyPoints = (65535 - 4) / 8;

// The data type a record understood by the importer must have; -1 for records that are only skipped.
int ExpectedDataType(int recordType);

// Bytes one value of a data type takes (0 for no data and strings).
int DataTypeSize(int dataType);

}  // namespace gds
