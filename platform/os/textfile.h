// Text-mode files as the suite writes them: every line ends in CR LF; readers take CR LF or LF.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace os {

// Reads a text file line by line. Lines come back whole, whatever their length, without CR/LF;
// a 0x1A byte ends the file. A caller with a fixed line length cuts the line itself, so the rest of a
// long line never turns into a record of its own.
class TextReader {
 public:
  TextReader() = default;
  ~TextReader();
  TextReader(const TextReader&) = delete;
  TextReader& operator=(const TextReader&) = delete;

  bool Open(std::string_view path);  // through the path resolver
  bool IsOpen() const { return file_ != nullptr; }
  void Close();

  // Next line into `line`; false at end of file (or on a read error: see Failed()).
  bool ReadLine(std::string& line);
  // Same, keeping at most maxLength characters of a longer line (the rest is dropped, not returned).
  bool ReadLine(std::string& line, std::size_t maxLength);
  // Passes over whole lines, without handing them out, up to the next line that begins with `first`
  // followed by one of `seconds`: the next ReadLine gives that line. It also stops at a line holding
  // the 0x1A that ends the file, which ReadLine then handles. False at the end of the file.
  bool SkipToLineStarting(char first, std::string_view seconds);
  bool Failed() const { return failed_; }
  bool AtEnd() const { return atEnd_; }

  // Byte position of the next line, and a return to a position Tell gave.
  std::int64_t Tell() const;
  bool Seek(std::int64_t position);

 private:
  // Reads more of the file behind what the buffer holds; false at the end of the file.
  bool Fill();

  std::FILE* file_ = nullptr;  // unbuffered: the reader keeps its own buffer of large blocks
  char* buffer_ = nullptr;
  std::size_t capacity_ = 0;
  std::size_t begin_ = 0;  // the next line starts here
  std::size_t scan_ = 0;   // no line end lies between begin_ and here
  std::size_t end_ = 0;    // bytes held
  std::int64_t offset_ = 0;  // file position of buffer_[0]
  // File position of the first 0x1A read since the file was opened or sought, -1 for none yet:
  // found once per block, not once per line.
  std::int64_t endMark_ = -1;
  // Whether the bytes from begin_ up to `next` hold the 0x1A that ends the file.
  bool HoldsEndMark(std::size_t next) const {
    return endMark_ >= 0 && endMark_ < offset_ + static_cast<std::int64_t>(next);
  }
  bool fileEnded_ = false;
  bool failed_ = false;
  bool atEnd_ = false;
};

// Writes a text file. '\n' in what is written becomes CR LF. When `replace` is set the text goes to
// a temporary file beside the target and Commit renames it over the target, so a failure leaves the
// old file intact; without it the target is written in place.
class TextWriter {
 public:
  TextWriter() = default;
  ~TextWriter();  // an uncommitted replacement is abandoned (temporary file removed)
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  bool Open(std::string_view path, bool replace = true, bool append = false);
  bool IsOpen() const { return file_ != nullptr; }
  void Write(std::string_view text);
  void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void Line(std::string_view text);  // text then CR LF
  bool Failed() const { return failed_; }
  // Hands what was written to the file now, for a file read while it is being written (a log).
  bool Flush();
  // Flushes and closes; for a replacement renames the temporary file over the target.
  // 1 when every byte reached the file, else 0 (and the old file stays as it was).
  int Commit();
  void Abandon();

 private:
  void WriteFailed();

  std::FILE* file_ = nullptr;
  std::string target_;
  std::string temp_;
  bool failed_ = false;
};

// Binary counterpart of TextWriter's replacement: bytes to a temporary file, renamed on Commit.
class BinaryWriter {
 public:
  BinaryWriter() = default;
  ~BinaryWriter();
  BinaryWriter(const BinaryWriter&) = delete;
  BinaryWriter& operator=(const BinaryWriter&) = delete;

  bool Open(std::string_view path, bool replace = true);
  bool IsOpen() const { return file_ != nullptr; }
  void Write(const void* data, std::size_t size);
  bool Failed() const { return failed_; }
  int Commit();
  void Abandon();

 private:
  std::FILE* file_ = nullptr;
  std::string target_;
  std::string temp_;
  bool failed_ = false;
};

// The writes of this thread that failed, for telling the user which file and why: the file (native
// path) and the system's reason. TextWriter and BinaryWriter note each file once, at its first
// failure (opening, writing, flushing, the rename over the old file); the last 16 are kept until
// taken, and the count goes on.
struct WriteFailure {
  std::string path;
  std::string reason;
};
std::vector<WriteFailure> TakeWriteFailures();
std::uint64_t WriteFailureCount();

// Whole file into memory; false when it cannot be read whole.
bool ReadWholeFile(std::string_view path, std::string& bytes);

}  // namespace os
