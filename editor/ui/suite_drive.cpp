#include "editor/ui/suite_drive.h"

#include <cctype>

#include "editor/ui/message_table.h"
#include "platform/os/process.h"

namespace edui {

namespace {
std::string g_suiteDrive;
}

const std::string& SuiteDrive() { return g_suiteDrive; }

int FindSuiteDriveIn(const std::string& commandLine, std::string& drive) {
  drive.clear();
  std::size_t colon = commandLine.find(':');
  if (colon != std::string::npos && colon > 0) {
    drive += static_cast<char>(std::toupper(static_cast<unsigned char>(commandLine[colon - 1])));
    drive += ':';
  }
  if (drive.size() == 2 && drive[0] >= 'A' && drive[0] <= 'Z') return 1;
  drive.clear();
  return 0;
}

int FindSuiteDrive(const std::function<void(const char* text)>& tell) {
  if (FindSuiteDriveIn(os::CommandLine(), g_suiteDrive)) return 1;
  if (tell) tell(MessageText(28));
  return 0;
}

std::string SuitePath(const std::string& file) { return g_suiteDrive + "\\MERO6\\" + file; }

}  // namespace edui
