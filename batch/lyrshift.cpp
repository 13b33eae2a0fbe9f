// lyrshift m|c OLDLAYER NEWLAYER drive:\path\ : moves or copies a layer in the TLC files of a CELLS.REF.
#include <string>
#include <vector>

#include "batch/console.h"
#include "batch/layer_shift.h"
#include "platform/os/process.h"

int main(int argc, char** argv) {
  os::InitProcess(argc, argv);
  std::vector<std::string> args(argv + 1, argv + argc);
  batch::TerminalConsole console;
  return batch::RunLayerShift(args, console);
}
