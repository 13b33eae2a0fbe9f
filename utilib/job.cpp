#include "utilib/job.h"

#include <cstdio>
#include <vector>

#include "editor/db/cell_files.h"
#include "editor/tlc/writer.h"

namespace utilib {

std::string FormatV(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  char small[512];
  int n = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (n < 0) return {};
  if (static_cast<std::size_t>(n) < sizeof small) return std::string(small, n);
  std::vector<char> big(static_cast<std::size_t>(n) + 1);
  std::vsnprintf(big.data(), big.size(), format, args);
  return std::string(big.data(), n);
}

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string s = FormatV(format, args);
  va_end(args);
  return s;
}

void SetItemText(Job& job, std::string_view text, int item) { job.ui->SetItemText(item, text); }
void SetItemNumber(Job& job, long long value, int item) { job.ui->SetItemNumber(item, value); }

void WriteReportBuffer(Job& job) {
  if (job.report && job.report->IsOpen()) job.report->Write(job.messageBuffer);
}

void RouteMessage(Job& job, std::string_view text, MessageKind kind, int item) {
  switch (kind) {
    case MessageKind::Item:
      job.ui->SetItemText(item, text);
      break;
    case MessageKind::ReportAndItem:
      job.messageBuffer = Format(job.reportLineFormat, std::string(text).c_str());
      WriteReportBuffer(job);
      job.ui->SetItemText(item, text);
      break;
    case MessageKind::ReportAndBox:
      job.messageBuffer = Format("\n%s\n\n", std::string(text).c_str());
      WriteReportBuffer(job);
      job.ui->Box(job.programName, text, tell::Buttons::Ok);
      break;
  }
}

void ClearMessageLines(Job& job, int n, int first) {
  for (int id = first; id <= first + n; ++id) job.ui->SetItemText(id, "");
  job.rotatingCounter = 0;
}

int NextMessageLine(Job& job, int n, int first) {
  if (n <= 0) return first;
  int index = job.rotatingCounter % n;
  if (index == n - 1) ShowPause(job, job.rotatingPauseMs);
  ++job.rotatingCounter;
  return first + index;
}

void ReportOnNextLine(Job& job, std::string_view text, int n, int first) {
  int item = NextMessageLine(job, n, first);
  RouteMessage(job, text, MessageKind::ReportAndItem, item);
}

bool OpenReport(Job& job, std::string_view path) {
  auto writer = std::make_unique<os::TextWriter>();
  if (!writer->Open(path)) return false;
  job.report = std::move(writer);
  return true;
}

bool OpenConversionReport(Job& job, std::string_view path, std::string_view title) {
  if (!OpenReport(job, path)) return false;
  tlc::TlcHeader now;
  tlc::StampNow(now);
  ReportPrintf(job, "*** %.*s  %s  %s ***\n\n", static_cast<int>(title.size()), title.data(), now.date.c_str(),
               now.time.c_str());
  return true;
}

void ReportPrintf(Job& job, const char* format, ...) {
  if (!job.report || !job.report->IsOpen()) return;
  va_list args;
  va_start(args, format);
  job.report->Write(FormatV(format, args));
  va_end(args);
}

int CloseReport(Job& job) {
  if (!job.report) return 1;
  int ok = job.report->IsOpen() ? job.report->Commit() : 1;
  job.report.reset();
  return ok;
}

void ShowPause(Job& job, int milliseconds) {
  if (job.ui->Pause(milliseconds)) job.abort = true;
}

bool PollEscape(Job& job) {
  if (job.ui->IsEscapePressed()) job.abort = true;
  return job.abort;
}

void StopJob(Job& job, std::string_view text) {
  RouteMessage(job, text, MessageKind::ReportAndBox, 0);
  job.abort = true;
}

void TellSetAside(Job& job, std::string_view cellName, const db::AsideRecords& records) {
  if (records.Count() == 0) return;
  const std::string text = std::string(cellName) + ": " + db::DescribeAsideRecords(records);
  if (!job.asideTold.insert(text).second) return;
  if (job.asideTold.size() == 1) {
    RouteMessage(job, text, MessageKind::ReportAndBox, 0);
  } else {
    job.messageBuffer = Format(job.reportLineFormat, text.c_str());
    WriteReportBuffer(job);
  }
  job.asideRecords += records.Count();
}

std::string CompletionText(const Job& job, std::string_view completion) {
  std::string text(completion);
  if (job.asideRecords > 0)
    text += Format(" ... %d %s Set Aside, not Used", job.asideRecords, job.asideRecords == 1 ? "Record" : "Records");
  return text;
}

void ReportJobEnd(Job& job, int result, std::string_view completion) {
  if (result == 0) RouteMessage(job, "Aborted ... Files may be Incomplete", MessageKind::ReportAndBox, 0);
  else if (result == 1) RouteMessage(job, CompletionText(job, completion), MessageKind::ReportAndBox, 0);
}

bool AskOkOrAbort(Job& job, std::string_view text) {
  if (job.ui->Box(job.programName, text, tell::Buttons::OkCancel) == tell::Answer::Ok) return true;
  job.abort = true;
  return false;
}

}  // namespace utilib
