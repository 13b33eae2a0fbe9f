#include "uuencode/uue_job.h"

#include <strings.h>

#include <cstdio>
#include <memory>

#include "editor/db/helpers.h"
#include "platform/os/path.h"
#include "platform/os/process.h"
#include "platform/os/textfile.h"
#include "uuencode/uue_codec.h"

namespace uue {

namespace {

constexpr int kPagePauseMs = 500;
constexpr std::uint32_t kPageIntervalMs = 100;

std::size_t NameStart(std::string_view path) {
  const std::size_t cut = path.find_last_of("\\/:");
  return cut == std::string_view::npos ? 0 : cut + 1;
}

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

class Conversion {
 public:
  Conversion(utilib::Job& job, UueSettings& s, UueOutcome& out)
      : job_(job), s_(s), out_(out), display_(job, s.pagePause) {}

  int Run();

 private:
  int Encode(const std::string& source);
  int Decode(const std::string& source);
  int FindCheckSum(const std::string& path, const char* missing);
  int Fail(std::string_view text) {
    job_.ui->MessageBox(kProgram, text, utilib::BoxButtons::Ok);
    return kFailed;
  }
  // False when the user keeps an existing destination.
  bool MayWrite(const std::string& path) {
    if (!os::FileExists(path)) return true;
    return job_.ui->MessageBox(kProgram, "Destination File Already Exists ... OK?",
                               utilib::BoxButtons::OkCancel) == utilib::BoxAnswer::Ok;
  }
  bool Stopped() { return utilib::PollEscape(job_); }

  utilib::Job& job_;
  UueSettings& s_;
  UueOutcome& out_;
  UueDisplay display_;
};

int Conversion::Run() {
  const std::string source = s_.source();
  if (HasUueExtension(source)) {
    if (s_.destination() == "+") return FindCheckSum(source, "Source File is Missing");
    return Decode(source);
  }
  const int encoded = Encode(source);
  if (encoded != kEncoded) return encoded;
  return FindCheckSum(out_.output, "UUE File is Missing");
}

int Conversion::Encode(const std::string& source) {
  display_.AddDisplayLine("Encoding to UUE ...");
  File in(os::OpenFile(source, "rb"));
  if (!in) return Fail("Source File is Missing");
  const std::string name = source.substr(NameStart(source));
  const std::size_t dot = name.rfind('.');
  const std::string base = dot == std::string::npos ? name : name.substr(0, dot);
  out_.output = db::ProperCasePath(s_.destination() + base + ".UUE");
  if (!MayWrite(out_.output)) return kFailed;
  os::TextWriter uue;
  if (!uue.Open(out_.output)) return Fail("Can't Write Destination File");

  const std::string begin = "begin 644 " + name;
  uue.Line(begin);
  display_.AddDisplayLine(begin, true);
  unsigned char bytes[kLineBytes];
  bool readError = false;
  while (!Stopped()) {
    const std::size_t got = std::fread(bytes, 1, sizeof bytes, in.get());
    // A file that ends with a full line gets no empty data line: "`" alone marks the end.
    if (got == 0) {
      readError = std::ferror(in.get()) != 0;
      break;
    }
    const std::string line = EncodeUueLine(bytes, static_cast<int>(got));
    uue.Line(line);
    display_.AddDisplayLine(line);
    if (got < sizeof bytes) {
      readError = std::ferror(in.get()) != 0;
      break;
    }
  }
  if (!job_.abort && !readError) {
    uue.Line("`");
    display_.AddDisplayLine("`");
    uue.Line("end");
    display_.AddDisplayLine("end", true);
  }
  // What was written stays, even when the run was stopped.
  if (uue.Commit() != 1) return Fail("Can't Write Destination File");
  if (readError) return Fail("Source File Read Error");
  return job_.abort ? kFailed : kEncoded;
}

int Conversion::Decode(const std::string& source) {
  display_.AddDisplayLine("Decoding From UUE ...");
  os::TextReader in;
  if (!in.Open(source)) return Fail("Source File is Missing");
  std::string line;
  bool found = false;
  while (in.ReadLine(line)) {
    if (line.compare(0, 5, "begin") == 0) {
      found = true;
      break;
    }
  }
  const std::string name = found ? BeginLineName(line) : std::string();
  if (name.empty()) return Fail("Source File Header is Incorrect");
  display_.AddDisplayLine(line);
  out_.output = s_.destination() + name;
  if (!MayWrite(out_.output)) return kFailed;
  os::BinaryWriter file;
  if (!file.Open(out_.output)) return Fail("Can't Write Destination File");

  std::string bytes;
  bool ended = false;
  while (!Stopped() && in.ReadLine(line)) {
    std::string_view text = line;
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (text == "end") {
      display_.AddDisplayLine(line, true);
      ended = true;
      break;
    }
    display_.AddDisplayLine(line);
    bytes.clear();
    out_.fileLength += static_cast<std::uint64_t>(DecodeUueLine(line, bytes));
    file.Write(bytes.data(), bytes.size());
  }
  if (!ended) display_.Flush();
  if (file.Commit() != 1) return Fail("Can't Write Destination File");
  return job_.abort ? kFailed : kDecoded;
}

int Conversion::FindCheckSum(const std::string& path, const char* missing) {
  display_.AddDisplayLine("Finding CheckSum ...");
  File in(os::OpenFile(path, "rb"));
  if (!in) return Fail(missing);
  CheckSum sum;
  unsigned char buffer[65536];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, in.get())) > 0) sum.Add(buffer, got);
  out_.checkSum = sum.Sum();
  out_.byteCount = sum.Count();
  return kEncoded;
}

}  // namespace

void NormaliseUueSettings(UueSettings& s) {
  if (s.slots.size() < 2) s.slots.resize(2);
  std::string& d = s.destination();
  if (d.empty()) {
    d = ".\\";
  } else if (d == "+" && HasUueExtension(s.source())) {
    // check sum only
  } else if (d.back() != '\\' && d.back() != '/') {
    d += '\\';
  }
}

bool HasUueExtension(std::string_view path) {
  const std::string_view name = path.substr(NameStart(path));
  const std::size_t dot = name.rfind('.');
  return dot != std::string_view::npos && name.size() - dot == 4 &&
         strncasecmp(name.data() + dot, ".UUE", 4) == 0;
}

void UueDisplay::AddDisplayLine(std::string_view text, bool flush) {
  lines_[used_++] = std::string(text.substr(0, kDisplayWidth));
  if (used_ < kDisplayLines && !flush) return;
  const std::uint32_t now = os::TickCount();
  if (flush || pagePause_ || !shownOnce_ || now - lastShown_ >= kPageIntervalMs) {
    ShowPage();
    lastShown_ = now;
    shownOnce_ = true;
  }
  for (auto& line : lines_) line.clear();
  used_ = 0;
  if (pagePause_) utilib::ShowPause(job_, kPagePauseMs);
}

void UueDisplay::Flush() {
  if (used_ == 0) return;
  ShowPage();
  for (auto& line : lines_) line.clear();
  used_ = 0;
}

void UueDisplay::ShowPage() {
  for (int i = 0; i < kDisplayLines; ++i) job_.ui->SetItemText(kFirstDisplayLine + i, lines_[i]);
}

int ConvertUue(utilib::Job& job, UueSettings& s, UueOutcome& out) {
  out = {};
  job.abort = false;
  Conversion run(job, s, out);
  out.result = run.Run();
  return out.result;
}

std::string UueCompletionText(const UueOutcome& out) {
  if (out.result == kDecoded)
    return utilib::Format("Converted from UUE, FileLength= %lu", static_cast<unsigned long>(out.fileLength));
  return utilib::Format("Converted to UUE, CheckSum= %lu  ByteCount= %lu", static_cast<unsigned long>(out.checkSum),
                        static_cast<unsigned long>(out.byteCount));
}

}  // namespace uue
