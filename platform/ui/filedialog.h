// The file-open dialog. In a scripted run it is the dialog "OPENFILE": its file-name field is item
// kOpenFileName, Ok and Cancel are kIdOk and kIdCancel.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/types.h"

namespace ui {

constexpr int kOpenFileName = 100;

struct OpenFileOptions {
  Wnd owner = 0;
  std::string title;
  // Pairs of a description and patterns ("PCX Files", "*.pcx"); patterns match case-blind.
  std::vector<std::pair<std::string, std::string>> filters;
  std::string defaultExtension;  // added to a typed name without one ("pcx")
  std::string folder;            // where the dialog starts ("" = the current folder)
  bool mustExist = true;
};

// True and the chosen file's path; false when cancelled.
bool ChooseFileToOpen(const OpenFileOptions& options, std::string& path);

}  // namespace ui
