// What the window-less runners of the utilities' jobs share: settings from the command line, names
// the importers refuse, and the end of a run.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "utilib/cell_naming.h"
#include "utilib/job.h"

namespace utilib {

// "N=VALUE" puts VALUE in slot N; false for an argument of another form or a slot out of range.
bool SetSlotArgument(std::string_view arg, std::vector<std::string>& slots);

// Asks no one: each name refused becomes RENAMED1, RENAMED2, ...
NewNameAsker RenamingAsker();

// The run's last message (ReportJobEnd) and its report closed; the exit status, 0 when the job
// completed, else 1.
int FinishBatchJob(Job& job, int result, std::string_view completion);

}  // namespace utilib
