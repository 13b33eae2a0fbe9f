// Helpers of the GDSII converter tests: a GDSII stream turned into one line of text per record. The
// scratch folder and file helpers are the converters' shared ones.
#pragma once
#include <string>
#include <vector>

#include "utilib/tests/conversion_fixture.h"

namespace gdstest {

// "HEADER 3", "LIBNAME LIB", "UNITS 0.001 1e-09", "BOUNDARY", "XY 0 0 10 0", "STRANS 32768",
// "ANGLE 90", "ENDEL" ... ; dates are left out of BGNLIB and BGNSTR. A damaged stream ends with
// "ERROR <message>".
std::vector<std::string> DumpGds(const std::string& bytes);
// The records of each element, joined by "; " ("BOUNDARY; LAYER 1; DATATYPE 0; XY ...; ENDEL").
std::vector<std::string> GdsElements(const std::string& bytes);
// Names of the structures in file order.
std::vector<std::string> GdsStructures(const std::string& bytes);

}  // namespace gdstest
