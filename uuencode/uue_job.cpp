#include "uuencode/uue_job.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
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
  int Encode(const std::string& source, CheckSum& sum);
  int Decode(const std::string& source);
  int FindCheckSum(const std::string& path, const char* missing);
  int Fail(std::string_view text) {
    job_.ui->Box(kProgram, text, tell::Buttons::Ok);
    return kFailed;
  }
  // False when the user keeps an existing destination.
  bool MayWrite(const std::string& path) {
    if (!os::FileExists(path)) return true;
    return job_.ui->Box(kProgram, "Destination File Already Exists ... OK?",
                               tell::Buttons::OkCancel) == tell::Answer::Ok;
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
  CheckSum sum;
  const int encoded = Encode(source, sum);
  if (encoded != kEncoded) return encoded;
  // The sum was taken over the characters as they were written: the file need not be read again.
  display_.AddDisplayLine("Finding CheckSum ...");
  out_.checkSum = sum.Sum();
  out_.byteCount = sum.Count();
  return kEncoded;
}

// Text goes out in blocks of about this size.
constexpr std::size_t kOutputBlock = 1 << 20;
// Bytes read at a time: whole data lines.
constexpr std::size_t kInputBlock = kLineBytes * 8192;

int Conversion::Encode(const std::string& source, CheckSum& sum) {
  display_.AddDisplayLine("Encoding to UUE ...");
  File in(os::OpenFile(source, "rb"));
  if (!in) return Fail("Source File is Missing");
  const std::string name = source.substr(NameStart(source));
  const std::size_t dot = name.rfind('.');
  const std::string base = dot == std::string::npos ? name : name.substr(0, dot);
  out_.output = db::ProperCasePath(s_.destination() + base + ".UUE");
  if (!MayWrite(out_.output)) return kFailed;
  os::BinaryWriter uue;
  if (!uue.Open(out_.output)) return Fail("Can't Write Destination File");

  std::vector<char> text(kOutputBlock + 2 * kMaxLineChars);
  std::size_t used = 0;
  auto flush = [&] {
    uue.Write(text.data(), used);
    used = 0;
  };
  // A line of our own (not data): counted byte by byte, as a reader of the file would.
  auto put = [&](std::string_view line) {
    if (used + line.size() + 2 > text.size()) flush();
    const std::string whole = std::string(line) + "\r\n";
    sum.Add(reinterpret_cast<const unsigned char*>(whole.data()), whole.size());
    if (whole.size() > text.size()) {
      uue.Write(whole.data(), whole.size());
      return;
    }
    std::memcpy(text.data() + used, whole.data(), whole.size());
    used += whole.size();
  };

  const std::string begin = "begin 644 " + name;
  put(begin);
  display_.AddDisplayLine(begin, true);
  std::vector<unsigned char> bytes(kInputBlock);
  std::size_t have = 0, at = 0;
  bool readError = false;
  while (!Stopped()) {
    if (at == have) {
      at = 0;
      have = std::fread(bytes.data(), 1, bytes.size(), in.get());
      // A file that ends with a full line gets no empty data line: "`" alone marks the end.
      if (have == 0) {
        readError = std::ferror(in.get()) != 0;
        break;
      }
    }
    const int got = static_cast<int>(std::min<std::size_t>(kLineBytes, have - at));
    std::uint32_t characters = 0;
    char* line = text.data() + used;
    const int length = EncodeUueLine(bytes.data() + at, got, line, characters);
    line[length] = '\r';
    line[length + 1] = '\n';
    used += static_cast<std::size_t>(length) + 2;
    sum.AddLine(characters, static_cast<std::uint32_t>(length));
    display_.AddDisplayLine(std::string_view(line, static_cast<std::size_t>(length)));
    if (used >= kOutputBlock) flush();
    at += static_cast<std::size_t>(got);
    if (got < kLineBytes) {
      readError = std::ferror(in.get()) != 0;
      break;
    }
  }
  if (!job_.abort && !readError) {
    put("`");
    display_.AddDisplayLine("`");
    put("end");
    display_.AddDisplayLine("end", true);
  }
  flush();
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

  // Decoded bytes gather here and go to the file in large blocks.
  std::string bytes;
  bytes.reserve(kOutputBlock + 256);
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
    out_.fileLength += static_cast<std::uint64_t>(DecodeUueLine(line, bytes));
    if (bytes.size() >= kOutputBlock) {
      file.Write(bytes.data(), bytes.size());
      bytes.clear();
    }
  }
  file.Write(bytes.data(), bytes.size());
  if (!ended) display_.Flush();
  if (file.Commit() != 1) return Fail("Can't Write Destination File");
  return job_.abort ? kFailed : kDecoded;
}

int Conversion::FindCheckSum(const std::string& path, const char* missing) {
  display_.AddDisplayLine("Finding CheckSum ...");
  File in(os::OpenFile(path, "rb"));
  if (!in) return Fail(missing);
  CheckSum sum;
  std::vector<unsigned char> buffer(kOutputBlock);
  std::size_t got;
  while ((got = std::fread(buffer.data(), 1, buffer.size(), in.get())) > 0) sum.Add(buffer.data(), got);
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
  lines_[used_++].assign(text.substr(0, kDisplayWidth));
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
