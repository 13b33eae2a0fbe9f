#include "utilib/batch_run.h"

#include <charconv>

namespace utilib {

bool SetSlotArgument(std::string_view arg, std::vector<std::string>& slots) {
  const std::size_t eq = arg.find('=');
  if (eq == std::string_view::npos || eq == 0) return false;
  int slot = 0;
  const auto [end, error] = std::from_chars(arg.data(), arg.data() + eq, slot);
  if (error != std::errc() || end != arg.data() + eq) return false;
  if (slot < 0 || slot >= static_cast<int>(slots.size())) return false;
  slots[static_cast<std::size_t>(slot)] = std::string(arg.substr(eq + 1));
  return true;
}

NewNameAsker RenamingAsker() {
  return [renamed = 0](std::string_view) mutable -> std::optional<std::string> {
    return "RENAMED" + std::to_string(++renamed);
  };
}

int FinishBatchJob(Job& job, int result, std::string_view completion) {
  ReportJobEnd(job, result, completion);
  CloseReport(job);
  return result == 1 ? 0 : 1;
}

}  // namespace utilib
