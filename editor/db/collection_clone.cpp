// Clone: a new drawing folder that starts with this folder's layers and settings.
#include <string>

#include "editor/db/collection.h"
#include "editor/db/collection_internal.h"
#include "editor/db/file_names.h"
#include "editor/db/message_table.h"
#include "platform/os/path.h"
#include "platform/os/textfile.h"

namespace db {

namespace {

// Line by line, so the copy is a text file of this system whatever line ends the original had.
bool CopyTextFile(std::string_view from, const std::string& to) {
  os::TextReader in;
  if (!in.Open(from)) return false;
  os::TextWriter out;
  if (!out.Open(to)) return false;
  std::string line;
  while (in.ReadLine(line)) out.Line(line);
  if (in.Failed()) return false;
  return out.Commit() == 1;
}

}  // namespace

int CloneFolder(Database& d, tell::Talk& t, std::string_view typed) {
  std::string folder(typed);
  while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  if (folder.empty()) {
    TellMessage(d.talk, 31);
    return 0;
  }
  folder = FileNameForWrite(folder);
  switch (os::MakeFolder(folder)) {
    case os::MkdirResult::Created:
      break;
    case os::MkdirResult::Exists:
      if (t.Box("MERO", "Folder Exists", tell::Buttons::OkCancel) != tell::Answer::Ok) return 0;
      break;
    default:
      TellMessage(d.talk, 31);
      return 0;
  }
  bool copied = true;
  for (std::string_view file : {std::string_view("FORM.DBD"), kSettingsFile})
    copied = CopyTextFile(file, FileNameForWrite(folder + "\\" + std::string(file))) && copied;
  if (!copied) {
    TellMessage(d.talk, 11);
    return 0;
  }
  collection::ShowStage(t, kStageDone);
  return 1;
}

}  // namespace db
