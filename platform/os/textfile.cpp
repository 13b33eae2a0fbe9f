#include "platform/os/textfile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/os/path.h"

namespace os {

namespace {

constexpr std::size_t kKeptFailures = 16;
thread_local std::vector<WriteFailure> failures;
thread_local std::uint64_t failureCount = 0;

void NoteWriteFailure(const std::string& target, std::string reason) {
  ++failureCount;
  if (failures.size() >= kKeptFailures) failures.erase(failures.begin());
  // Named in full: the user is told where it is.
  const bool relative = !target.empty() && target[0] != '/';
  failures.push_back({relative ? CurrentFolder() + "/" + target : target, std::move(reason)});
}

// A write to `target` failed for the system's reason `error`.
void NoteWriteFailure(const std::string& target, int error) {
  NoteWriteFailure(target, error ? std::strerror(error) : "Unknown Reason");
}

// New files get the permissions a plain fopen would give them, not mkstemp's 0600.
mode_t CreationMode() {
  static const mode_t mode = [] {
    mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
  }();
  return mode;
}

// The name of a path's last component.
std::string_view NameOf(const std::string& native) {
  std::size_t cut = native.find_last_of('/');
  return cut == std::string::npos ? std::string_view(native) : std::string_view(native).substr(cut + 1);
}

// Removes a temporary file this process made, and clears its name.
void RemoveTemp(std::string& temp) {
  const FolderStamp before = StampBeforeOwnChange(temp);
  if (unlink(temp.c_str()) == 0) NoteOwnChange(temp, before, NameOf(temp), {});
  temp.clear();
}

// Opens a temporary file beside `target` (native path). Returns the stream, fills `temp`.
std::FILE* OpenTempBeside(const std::string& target, std::string& temp) {
  temp = target + ".XXXXXX";
  const FolderStamp before = StampBeforeOwnChange(target);
  int fd = mkstemp(temp.data());
  if (fd < 0) {
    temp.clear();
    return nullptr;
  }
  NoteOwnChange(temp, before, {}, NameOf(temp));
  struct stat st;
  fchmod(fd, stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : CreationMode());
  std::FILE* f = fdopen(fd, "wb");
  if (!f) {
    close(fd);
    RemoveTemp(temp);
  }
  return f;
}

// Shared open/commit/abandon of the replacing writers.
bool OpenForWrite(std::string_view path, bool replace, bool append, std::FILE*& file,
                  std::string& target, std::string& temp) {
  target = NativePath(path);
  temp.clear();
  if (target.empty()) {
    NoteWriteFailure(std::string(path), "No Such Drive");
    return false;
  }
  if (append || !replace) {
    file = std::fopen(target.c_str(), append ? "ab" : "wb");
  } else {
    file = OpenTempBeside(target, temp);
  }
  if (!file) NoteWriteFailure(target, errno);
  return file != nullptr;
}

int Finish(std::FILE*& file, std::string& temp, const std::string& target, bool failed) {
  if (!file) return 0;
  bool ok = !failed && std::fflush(file) == 0 && !std::ferror(file);
  if (std::fclose(file) != 0) ok = false;
  file = nullptr;
  // A failed write has been noted already.
  if (!ok && !failed) NoteWriteFailure(target, errno);
  if (temp.empty()) return ok ? 1 : 0;
  if (ok) {
    const FolderStamp before = StampBeforeOwnChange(target);
    if (std::rename(temp.c_str(), target.c_str()) == 0) {
      NoteOwnChange(target, before, NameOf(temp), NameOf(target));
      temp.clear();
      return 1;
    }
    NoteWriteFailure(target, errno);
  }
  RemoveTemp(temp);
  return 0;
}

void Drop(std::FILE*& file, std::string& temp) {
  if (file) std::fclose(file);
  file = nullptr;
  if (!temp.empty()) RemoveTemp(temp);
  temp.clear();
}

}  // namespace

// ---- TextReader ----

namespace {
constexpr std::size_t kReadBlock = 1 << 16;
}  // namespace

TextReader::~TextReader() {
  Close();
  std::free(buffer_);
}

bool TextReader::Open(std::string_view path) {
  Close();
  file_ = OpenFile(path, "rb");
  failed_ = false;
  atEnd_ = false;
  fileEnded_ = false;
  begin_ = scan_ = end_ = 0;
  offset_ = 0;
  endMark_ = -1;
  if (file_) std::setvbuf(file_, nullptr, _IONBF, 0);
  return file_ != nullptr;
}

void TextReader::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

bool TextReader::Fill() {
  if (fileEnded_) return false;
  if (begin_ > 0) {
    std::memmove(buffer_, buffer_ + begin_, end_ - begin_);
    offset_ += static_cast<std::int64_t>(begin_);
    end_ -= begin_;
    scan_ -= begin_;
    begin_ = 0;
  }
  if (capacity_ - end_ < kReadBlock) {
    const std::size_t wanted = capacity_ < kReadBlock ? 2 * kReadBlock : 2 * capacity_;
    char* grown = static_cast<char*>(std::realloc(buffer_, wanted));
    if (!grown) {
      failed_ = true;
      fileEnded_ = true;
      return false;
    }
    buffer_ = grown;
    capacity_ = wanted;
  }
  const std::size_t n = std::fread(buffer_ + end_, 1, capacity_ - end_, file_);
  if (n == 0) {
    if (std::ferror(file_)) failed_ = true;
    fileEnded_ = true;
    return false;
  }
  if (endMark_ < 0) {
    if (const void* mark = std::memchr(buffer_ + end_, 0x1A, n))
      endMark_ = offset_ + (static_cast<const char*>(mark) - buffer_);
  }
  end_ += n;
  return true;
}

bool TextReader::ReadLine(std::string& line) {
  line.clear();
  if (!file_ || atEnd_) return false;
  std::size_t next;  // where the line after this one starts
  for (;;) {
    const void* nl = end_ > scan_ ? std::memchr(buffer_ + scan_, '\n', end_ - scan_) : nullptr;
    if (nl) {
      next = static_cast<std::size_t>(static_cast<const char*>(nl) - buffer_) + 1;
      break;
    }
    scan_ = end_;
    if (!Fill()) {
      if (begin_ == end_) {
        atEnd_ = true;
        return false;
      }
      next = end_;
      break;
    }
  }
  const char* start = buffer_ + begin_;
  std::size_t length = next - begin_;
  if (HoldsEndMark(next)) {
    length = static_cast<std::size_t>(endMark_ - (offset_ + static_cast<std::int64_t>(begin_)));
    begin_ = scan_ = next;
    atEnd_ = true;
    if (length == 0) return false;
  } else {
    begin_ = scan_ = next;
  }
  if (length > 0 && start[length - 1] == '\n') --length;
  if (length > 0 && start[length - 1] == '\r') --length;
  line.assign(start, length);
  return true;
}

bool TextReader::SkipToLineStarting(char first, std::string_view seconds) {
  if (!file_ || atEnd_) return false;
  for (;;) {
    // The line at begin_ needs its first two bytes held to be judged.
    while (end_ - begin_ < 2 && Fill()) {
    }
    if (end_ - begin_ < 2) return begin_ < end_;  // a last line of one byte, or the end
    const char* line = buffer_ + begin_;
    if (line[0] == first && seconds.find(line[1]) != std::string_view::npos) return true;
    const std::size_t from = std::max(begin_, scan_);
    const void* nl = std::memchr(buffer_ + from, '\n', end_ - from);
    if (!nl) {
      // The line goes on past what is held: a 0x1A in it must still end the file.
      if (HoldsEndMark(end_)) return true;
      scan_ = end_;
      if (!Fill()) return begin_ < end_;
      continue;
    }
    const std::size_t next = static_cast<std::size_t>(static_cast<const char*>(nl) - buffer_) + 1;
    if (HoldsEndMark(next)) return true;
    begin_ = scan_ = next;
  }
}

bool TextReader::ReadLine(std::string& line, std::size_t maxLength) {
  if (!ReadLine(line)) return false;
  if (line.size() > maxLength) line.resize(maxLength);
  return true;
}

std::int64_t TextReader::Tell() const { return file_ ? offset_ + static_cast<std::int64_t>(begin_) : -1; }

bool TextReader::Seek(std::int64_t position) {
  if (!file_ || position < 0 || fseeko(file_, static_cast<off_t>(position), SEEK_SET) != 0) return false;
  begin_ = scan_ = end_ = 0;
  offset_ = position;
  endMark_ = -1;
  fileEnded_ = false;
  atEnd_ = false;
  return true;
}

// ---- TextWriter ----

TextWriter::~TextWriter() { Abandon(); }

bool TextWriter::Open(std::string_view path, bool replace, bool append) {
  Abandon();
  failed_ = false;
  return OpenForWrite(path, replace, append, file_, target_, temp_);
}

void TextWriter::Write(std::string_view text) {
  if (!file_) {
    failed_ = true;
    return;
  }
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t nl = text.find('\n', start);
    std::size_t end = nl == std::string_view::npos ? text.size() : nl;
    if (end > start && std::fwrite(text.data() + start, 1, end - start, file_) != end - start) WriteFailed();
    if (nl == std::string_view::npos) break;
    if (std::fwrite("\r\n", 1, 2, file_) != 2) WriteFailed();
    start = nl + 1;
  }
}

void TextWriter::WriteFailed() {
  if (!failed_) NoteWriteFailure(target_, errno);
  failed_ = true;
}

void TextWriter::Printf(const char* format, ...) {
  char small[512];
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (n < 0) {
    va_end(copy);
    failed_ = true;
    return;
  }
  if (static_cast<std::size_t>(n) < sizeof small) {
    va_end(copy);
    Write(std::string_view(small, static_cast<std::size_t>(n)));
    return;
  }
  std::string big(static_cast<std::size_t>(n) + 1, '\0');
  std::vsnprintf(big.data(), big.size(), format, copy);
  va_end(copy);
  big.resize(static_cast<std::size_t>(n));
  Write(big);
}

void TextWriter::Line(std::string_view text) {
  Write(text);
  if (file_ && std::fwrite("\r\n", 1, 2, file_) != 2) WriteFailed();
}

bool TextWriter::Flush() {
  if (file_ && std::fflush(file_) != 0) WriteFailed();
  return file_ && !failed_;
}

int TextWriter::Commit() { return Finish(file_, temp_, target_, failed_); }

void TextWriter::Abandon() { Drop(file_, temp_); }

// ---- BinaryWriter ----

BinaryWriter::~BinaryWriter() { Abandon(); }

bool BinaryWriter::Open(std::string_view path, bool replace) {
  Abandon();
  failed_ = false;
  return OpenForWrite(path, replace, false, file_, target_, temp_);
}

void BinaryWriter::Write(const void* data, std::size_t size) {
  if (!file_) {
    failed_ = true;
  } else if (size > 0 && std::fwrite(data, 1, size, file_) != size) {
    if (!failed_) NoteWriteFailure(target_, errno);
    failed_ = true;
  }
}

int BinaryWriter::Commit() { return Finish(file_, temp_, target_, failed_); }

void BinaryWriter::Abandon() { Drop(file_, temp_); }

std::vector<WriteFailure> TakeWriteFailures() {
  std::vector<WriteFailure> taken;
  taken.swap(failures);
  return taken;
}

std::uint64_t WriteFailureCount() { return failureCount; }

bool ReadWholeFile(std::string_view path, std::string& bytes) {
  bytes.clear();
  std::FILE* f = OpenFile(path, "rb");
  if (!f) return false;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

}  // namespace os
