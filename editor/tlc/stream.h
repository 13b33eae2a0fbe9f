// Line access for the record readers: whole lines from a file or from memory, one line of push-back,
// and the number conversions of the format (atoi/atol/atof: leading blanks, sign, digits, stop at junk).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "editor/db/text_numbers.h"
#include "platform/os/textfile.h"

namespace tlc {

class LineSource {
 public:
  virtual ~LineSource() = default;
  // Next whole line without its CR LF or LF; false at the end.
  virtual bool ReadLine(std::string& line) = 0;
  virtual bool Rewind() = 0;
  virtual bool Failed() const { return false; }
  // Passes over lines that cannot be one of the keyword lines "=K" for K in `keys`; the next
  // ReadLine may give one. False at the end. A source that cannot skip quickly passes over nothing.
  virtual bool SkipToKeyword(std::string_view keys) {
    (void)keys;
    return true;
  }
};

class FileLineSource final : public LineSource {
 public:
  bool Open(std::string_view path);
  bool ReadLine(std::string& line) override { return reader_.ReadLine(line); }
  bool Rewind() override { return reader_.Seek(0); }
  bool Failed() const override { return reader_.Failed(); }
  bool SkipToKeyword(std::string_view keys) override { return reader_.SkipToLineStarting('=', keys); }
  void Close() { reader_.Close(); }

 private:
  os::TextReader reader_;
};

// Text held in memory (CR LF or LF); a 0x1A byte ends it, as in a file.
class StringLineSource final : public LineSource {
 public:
  explicit StringLineSource(std::string text) : text_(std::move(text)) {}
  bool ReadLine(std::string& line) override;
  bool Rewind() override {
    pos_ = 0;
    return true;
  }

 private:
  std::string text_;
  std::size_t pos_ = 0;
};

// The one open TLC stream the readers work on.
class TlcStream {
 public:
  explicit TlcStream(LineSource& source) : source_(source) {}
  // Next line; false at the end of the stream.
  bool Next();
  const std::string& Line() const { return line_; }
  // The line just read comes again at the next Next().
  void Unread() { unread_ = true; }
  // Passes over lines up to one that may be a keyword line of `keys` ("CH": "=C" or "=H"), for a
  // reader that wants no other records; false at the end of the stream.
  bool SkipToKeyword(std::string_view keys) { return unread_ || source_.SkipToKeyword(keys); }
  bool Rewind();
  bool Failed() const { return source_.Failed(); }

 private:
  LineSource& source_;
  std::string line_;
  bool unread_ = false;
};

// Blank-separated tokens of a number line. Tabs separate too: no valid file has them inside a number.
class Tokens {
 public:
  explicit Tokens(std::string_view line) : rest_(line) {}
  bool Next(std::string_view& token);
  // The next token as ToInt reads it; false when no token is left.
  bool NextInt(std::int32_t& value);
  bool Empty() const;

 private:
  std::string_view rest_;
};

// The number conversions of the format are the database's own (editor/db/text_numbers.h): atoi/atol
// with 32-bit saturation, and atof in the "C" locale that never gives a hex value, an infinity or NaN.
inline std::int32_t ToInt(std::string_view text) { return db::LeadingInt(text); }
inline double ToDouble(std::string_view text) { return db::LeadingDouble(text); }

}  // namespace tlc
