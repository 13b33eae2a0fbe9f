#include "convert/gds/record.h"

namespace gds {

int ExpectedDataType(int recordType) {
  switch (recordType) {
    case kHeader:
    case kBgnLib:
    case kBgnStr:
    case kLayer:
    case kDatatype:
    case kColRow:
    case kTextType:
    case kPathType:
    case kGenerations:
      return kInt2;
    case kLibName:
    case kStrName:
    case kSname:
    case kString:
      return kAscii;
    case kUnits:
    case kMag:
    case kAngle:
      return kReal8;
    case kEndLib:
    case kEndStr:
    case kBoundary:
    case kPath:
    case kSref:
    case kAref:
    case kText:
    case kEndEl:
    case kBox:
      return kNoData;
    case kWidth:
    case kXy:
    case kBgnExtn:
    case kEndExtn:
      return kInt4;
    case kPresentation:
    case kStrans:
      return kBitArray;
    default:
      return -1;
  }
}

int DataTypeSize(int dataType) {
  switch (dataType) {
    case kBitArray:
    case kInt2:
      return 2;
    case kInt4:
      return 4;
    case kReal8:
      return 8;
    default:
      return 0;
  }
}

}  // namespace gds
