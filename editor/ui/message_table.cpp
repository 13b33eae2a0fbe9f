#include "editor/ui/message_table.h"

#include "platform/os/process.h"

namespace edui {

const char* const kInstanceCaption = "MERO";
const char* const kInstanceWarning =
    "You are running more than one instance of MERO.\nThey should not be run on the same drawing.";

int SingleInstanceTest() { return os::AnotherInstanceRunning("MERORUN") ? 1 : 0; }

}  // namespace edui
