#include "editor/db/message_table.h"

#include <string>
#include <vector>

#include "platform/os/textfile.h"

namespace db {

namespace {

// Shown exactly as users have always seen them, misspellings included.
const char* const kMessages[kMessageCount] = {
    "Unknown Messsage",
    "Not a Vaild Name",
    "Cell Unavailable",
    "Cell Present",
    "Cell Not Present",
    "Rank Error",
    "Unable to Read BP6 File",
    "Unable to Read CL6 File",
    "Utility Failed to Load",
    "Not Enough Space to Smash Cell",
    "Not Enough Memory",
    "File Error",
    "No Object ... Using BOX",
    "Unable to Free Memory",
    "Too Many Cells",
    "Smash Failed ... Use UNDO",
    "Too Few Arguments",
    "Unknown Command",
    "Pool Collection Missing",
    "New Cell Aborted",
    "Cell Not in Pool",
    "Cell is Attached",
    "No Printer Installed",
    "Font File is Missing ... Trying TFF.DBD",
    "Unable to Read or Create FORM.DBD ... Unknown Reason",
    "CONSTS6.DBD is Incorrect ... Delete it",
    "Font File is Incorrect or Missing ...",
    "Unable to Read or Create CELLS6.DBD ... Unknown Reason",
    "Unable to find \\MERO6 Drive ... Defaulting to Current Drive",
    "Can't Find Reader Program",
    "Single Path Vertex Limit",
    "Unable to Create Folder",
    "Menu Button Size may be Too Large ...\n\nSet Display to Small Fonts or Use a Different Appearance",
};

const char* const kProgress[kProgressTextCount] = {
    "Done !",
    "Attaching Cell ...",
    "Importing Cell ...",
    "Copying Cell ...",
    "Appending Cell ...",
    "Cleaning Cells ...",
    "Adjusting Ranks ...",
    "Resizing Cells ...",
    "Renaming Cells ...",
    "Sorting Cells ... DO NOT Interrupt",
    "Reversing ...",
    "Sorting (ESC=Abort) ...",
    "Unduping ...",
    "Stepping (ESC=Abort) ...",
    "Updating ...",
};

}  // namespace

const char* MessageText(int n) { return kMessages[(n >= 0 && n < kMessageCount) ? n : 0]; }

int MessageStyle(int) { return 0; }

const char* ProgressText(int n) { return (n >= 0 && n < kProgressTextCount) ? kProgress[n] : ""; }

void TellMessage(tell::Talk* talk, int n) {
  if (talk) talk->Box("", MessageText(n));
}

void TellWriteFailures(tell::Talk* talk) {
  const std::vector<os::WriteFailure> failures = os::TakeWriteFailures();
  if (!talk) return;
  if (failures.empty()) {
    TellMessage(talk, 11);
    return;
  }
  std::string text = MessageText(11);
  text += " ... Unable to Write";
  for (const os::WriteFailure& f : failures) text += (failures.size() > 1 ? "\n" : " ") + f.path + " (" + f.reason + ")";
  talk->Box("MERO", text);
}

}  // namespace db
