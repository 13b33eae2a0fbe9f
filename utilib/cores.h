// How many cores a run whose areas are independent may work on.
#pragma once

namespace utilib {

// MERO_CORES (1..8) when set, 1 being one area at a time; else the machine's cores, at most 8.
int RunCores();

}  // namespace utilib
