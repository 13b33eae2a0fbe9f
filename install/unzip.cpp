#include "install/unzip.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <map>
#include <optional>

#include "editor/db/helpers.h"
#include "install/folders.h"
#include "install/inflate.h"
#include "platform/os/path.h"
#include "platform/os/textfile.h"

namespace install {

namespace {

using utilib::Format;

constexpr std::uint32_t kLocalSignature = 0x04034B50, kCentralSignature = 0x02014B50,
                        kEndSignature = 0x06054B50, kDescriptorSignature = 0x08074B50;
constexpr std::uint16_t kFlagEncrypted = 1, kFlagDescriptor = 8;
constexpr std::uint16_t kStored = 0, kDeflated = 8;
constexpr std::uint32_t kSizeInExtra = 0xFFFFFFFF;
// No DEFLATE stream makes more than 1032 bytes of one: the bound of a member whose size is unknown.
constexpr std::uint64_t kMaxRatio = 1032;

std::uint16_t Get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t Get32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint64_t Get64(const std::uint8_t* p) { return Get32(p) | static_cast<std::uint64_t>(Get32(p + 4)) << 32; }

struct Member {
  std::uint16_t flags = 0, method = 0, time = 0, date = 0;
  std::uint32_t crc = 0;
  std::uint64_t csize = 0, usize = 0;
  bool zip64 = false;
  std::string name;
  std::string shown;  // the name as a progress line shows it
  std::uint64_t headerAt = 0, dataStart = 0;
};

// The bytes of a member on their way to its file; the first ones tell a program from data.
class FileOutput final : public MemberOutput {
 public:
  os::BinaryWriter writer;
  std::uint8_t head[4] = {};
  std::size_t headCount = 0;
  void Write(const std::uint8_t* bytes, std::size_t count) override {
    for (std::size_t i = 0; headCount < sizeof head && i < count; ++i) head[headCount++] = bytes[i];
    writer.Write(bytes, count);
  }
  bool LooksExecutable() const {
    return (headCount >= 4 && std::memcmp(head, "\x7f" "ELF", 4) == 0) ||
           (headCount >= 2 && head[0] == '#' && head[1] == '!');
  }
};

std::string Printable(std::string_view name) {
  std::string s(name);
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 32 || c == 127) c = '?';
  return s;
}

bool IsFolderName(std::string_view name) { return !name.empty() && (name.back() == '/' || name.back() == '\\'); }

bool SetMemberTime(const std::string& path, std::uint16_t date, std::uint16_t time) {
  std::int64_t seconds = 0;
  if (!DosTimeToUnix(date, time, seconds)) return false;
  const std::string native = os::NativePath(path);
  struct timespec times[2];
  times[0].tv_sec = static_cast<time_t>(seconds);
  times[0].tv_nsec = 0;
  times[1] = times[0];
  return !native.empty() && utimensat(AT_FDCWD, native.c_str(), times, 0) == 0;
}

// A program keeps the read bits it was given, now with the matching execute bits.
void MarkExecutable(const std::string& path) {
  const std::string native = os::NativePath(path);
  struct stat st;
  if (native.empty() || stat(native.c_str(), &st) != 0) return;
  chmod(native.c_str(), (st.st_mode & 07777) | ((st.st_mode & 0444) >> 2));
}

class Unzipper {
 public:
  Unzipper(std::string_view archive, std::string_view target, ProgressList& lines)
      : archive_(archive), target_(target), lines_(lines) {}
  int Run();

 private:
  // Where the walk goes after a member; none when the member's end cannot be found.
  using Next = std::optional<std::uint64_t>;

  void Line(const std::string& text, int severity) {
    severity_ = std::max(severity_, severity);
    lines_.Add(text);
  }
  bool ReadHeader(Member& m);
  bool ReadZip64Sizes(Member& m, std::string_view extra);
  Next UnzipMember(Member& m);
  Next Skip(const Member& m);
  std::optional<std::uint64_t> DataSize(const Member& m);
  bool CentralSizes(std::uint64_t headerAt, std::uint64_t& csize, std::uint64_t& usize);
  // The data descriptor after a member's data: its CRC and size, and where it ends.
  std::uint64_t ReadDescriptor(const Member& m, std::uint64_t at, std::uint32_t& crc, std::uint64_t& usize);
  Next Stop(const Member& m) {
    Line(Format("%s ... size unknown, rest of archive skipped", m.shown.c_str()), kSeverityMember);
    return std::nullopt;
  }

  std::string archive_;
  std::string target_;
  ProgressList& lines_;
  ArchiveStream in_;
  Decoder decoder_;
  int severity_ = kSeverityNone;
  bool centralRead_ = false;
  std::map<std::uint64_t, std::pair<std::uint64_t, std::uint64_t>> central_;  // header -> sizes
};

int Unzipper::Run() {
  if (!in_.Open(archive_)) {
    Line(Format("%s file is missing", archive_.c_str()), kSeverityFatal);
    return severity_;
  }
  std::uint64_t next = 0;
  utilib::Job& job = lines_.job();
  while (!job.abort) {
    in_.SetLimit(ArchiveStream::kNoLimit);
    in_.Seek(next);
    Member m;
    m.headerAt = next;
    if (!ReadHeader(m)) break;
    const Next after = UnzipMember(m);
    if (!after || *after <= m.headerAt) break;
    next = *after;
  }
  return severity_;
}

bool Unzipper::ReadHeader(Member& m) {
  std::uint8_t h[30];
  if (in_.Read(h, sizeof h) != sizeof h || Get32(h) != kLocalSignature) return false;
  m.flags = Get16(h + 6);
  m.method = Get16(h + 8);
  m.time = Get16(h + 10);
  m.date = Get16(h + 12);
  m.crc = Get32(h + 14);
  m.csize = Get32(h + 18);
  m.usize = Get32(h + 22);
  const std::size_t nameLength = Get16(h + 26), extraLength = Get16(h + 28);
  m.name.resize(nameLength);
  std::string extra(extraLength, '\0');
  if (in_.Read(m.name.data(), nameLength) != nameLength) return false;
  if (in_.Read(extra.data(), extraLength) != extraLength) return false;
  m.dataStart = in_.Position();
  m.shown = Printable(m.name);
  if (m.csize == kSizeInExtra || m.usize == kSizeInExtra) {
    m.zip64 = true;
    if (!ReadZip64Sizes(m, extra)) m.csize = m.usize = kSizeInExtra;
  }
  return true;
}

bool Unzipper::ReadZip64Sizes(Member& m, std::string_view extra) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(extra.data());
  std::size_t at = 0;
  while (at + 4 <= extra.size()) {
    const std::uint16_t id = Get16(p + at), size = Get16(p + at + 2);
    if (at + 4 + size > extra.size()) return false;
    if (id == 1) {
      const std::uint8_t* d = p + at + 4;
      std::size_t used = 0;
      if (m.usize == kSizeInExtra) {
        if (used + 8 > size) return false;
        m.usize = Get64(d + used);
        used += 8;
      }
      if (m.csize == kSizeInExtra) {
        if (used + 8 > size) return false;
        m.csize = Get64(d + used);
      }
      return true;
    }
    at += 4 + size;
  }
  return false;
}

bool Unzipper::CentralSizes(std::uint64_t headerAt, std::uint64_t& csize, std::uint64_t& usize) {
  if (!centralRead_) {
    centralRead_ = true;
    // The end record lies in the last 65557 bytes; its comment may hold anything, so look back
    // from the end for a signature whose directory lies inside the file.
    const std::uint64_t size = in_.Size();
    const std::uint64_t tail = std::min<std::uint64_t>(size, 65557);
    std::string bytes(static_cast<std::size_t>(tail), '\0');
    in_.SetLimit(ArchiveStream::kNoLimit);
    in_.Seek(size - tail);
    bytes.resize(in_.Read(bytes.data(), bytes.size()));
    const auto* b = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (std::size_t i = bytes.size() >= 22 ? bytes.size() - 22 + 1 : 0; i-- > 0;) {
      if (Get32(b + i) != kEndSignature) continue;
      const std::uint64_t dirSize = Get32(b + i + 12), dirAt = Get32(b + i + 16);
      if (dirAt + dirSize > size) continue;
      std::string dir(static_cast<std::size_t>(dirSize), '\0');
      in_.Seek(dirAt);
      if (in_.Read(dir.data(), dir.size()) != dir.size()) break;
      const auto* d = reinterpret_cast<const std::uint8_t*>(dir.data());
      for (std::size_t at = 0; at + 46 <= dir.size() && Get32(d + at) == kCentralSignature;) {
        central_[Get32(d + at + 42)] = {Get32(d + at + 20), Get32(d + at + 24)};
        at += 46 + static_cast<std::size_t>(Get16(d + at + 28)) + Get16(d + at + 30) + Get16(d + at + 32);
      }
      break;
    }
  }
  auto it = central_.find(headerAt);
  if (it == central_.end() || it->second.first == kSizeInExtra) return false;
  csize = it->second.first;
  usize = it->second.second;
  return true;
}

std::optional<std::uint64_t> Unzipper::DataSize(const Member& m) {
  if (m.csize == kSizeInExtra) return std::nullopt;
  // With a descriptor the header's sizes may be left 0; a stored size is written there all the same.
  if (!(m.flags & kFlagDescriptor) || m.csize != 0) return m.csize;
  std::uint64_t csize = 0, usize = 0;
  if (CentralSizes(m.headerAt, csize, usize)) return csize;
  return std::nullopt;
}

std::uint64_t Unzipper::ReadDescriptor(const Member& m, std::uint64_t at, std::uint32_t& crc, std::uint64_t& usize) {
  std::uint8_t d[24] = {};
  in_.SetLimit(ArchiveStream::kNoLimit);
  in_.Seek(at);
  const std::size_t got = in_.Read(d, sizeof d);
  std::size_t start = got >= 4 && Get32(d) == kDescriptorSignature ? 4 : 0;
  const std::size_t length = start + (m.zip64 ? 20 : 12);
  if (got < length) return at + got;
  crc = Get32(d + start);
  usize = m.zip64 ? Get64(d + start + 12) : Get32(d + start + 8);
  return at + length;
}

Unzipper::Next Unzipper::Skip(const Member& m) {
  const auto size = DataSize(m);
  if (!size) return Stop(m);
  const std::uint64_t end = m.dataStart + *size;
  if (!(m.flags & kFlagDescriptor)) return end;
  std::uint32_t crc = 0;
  std::uint64_t usize = 0;
  return ReadDescriptor(m, end, crc, usize);
}

Unzipper::Next Unzipper::UnzipMember(Member& m) {
  const std::string& shown = m.shown;
  if (m.csize == kSizeInExtra) {
    Line(Format("%s ... sizes not readable, can't unzip", shown.c_str()), kSeverityMember);
    return std::nullopt;
  }
  if (!IsSafeMemberName(m.name)) {
    Line(Format("%s ... name leaves the folder, can't unzip", shown.c_str()), kSeverityMember);
    return Skip(m);
  }
  if (m.flags & kFlagEncrypted) {
    Line(Format("%s ... encrypted, can't unzip", shown.c_str()), kSeverityMember);
    return Skip(m);
  }
  const std::string name = db::ProperCasePath(m.name);
  if (IsFolderName(m.name)) {
    if (MakeFolders(target_, name)) Line(Format("%s ... OK", shown.c_str()), kSeverityNone);
    else Line(Format("Unable to open %s file ... can't continue", shown.c_str()), kSeverityFatal);
    return Skip(m);
  }
  if (m.method != kStored && m.method != kDeflated) {
    Line(Format("%s ... not stored or deflated, can't unzip", shown.c_str()), kSeverityMember);
    return Skip(m);
  }
  const std::optional<std::uint64_t> size = DataSize(m);
  if (!size && m.method == kStored) return Stop(m);

  const std::string path = target_ + name;
  FileOutput out;
  if (!MakeFolders(target_, name) || !out.writer.Open(path)) {
    Line(Format("Unable to open %s file ... can't continue", shown.c_str()), kSeverityFatal);
    return size ? Skip(m) : Stop(m);
  }
  decoder_.StartMember(&out);
  in_.Seek(m.dataStart);  // a look into the central directory moved it
  std::uint64_t dataEnd = 0;
  int result = kInflateOk;
  if (m.method == kStored) {
    in_.SetLimit(m.dataStart + *size);
    // Data that ends before its stated size is cut short, whatever the other sizes say.
    if (decoder_.CopyStored(in_, *size) != *size) result = kInflateWrongLength;
    dataEnd = m.dataStart + *size;
  } else {
    const std::uint64_t inputEnd = size ? m.dataStart + *size : in_.Size();
    const bool usizeKnown = !(m.flags & kFlagDescriptor) || m.usize != 0;
    const std::uint64_t outputLimit =
        usizeKnown ? m.usize : (inputEnd > m.dataStart ? inputEnd - m.dataStart : 0) * kMaxRatio;
    in_.SetLimit(inputEnd);
    result = decoder_.Inflate(in_, outputLimit);
    if (size) dataEnd = m.dataStart + *size;
    else if (result == kInflateOk) dataEnd = in_.Position();
  }
  decoder_.FinishMember();
  in_.SetLimit(ArchiveStream::kNoLimit);

  Next next;
  std::uint32_t crc = m.crc;
  std::uint64_t usize = m.usize;
  if (size || result == kInflateOk) {
    next = (m.flags & kFlagDescriptor) ? ReadDescriptor(m, dataEnd, crc, usize) : dataEnd;
  } else {
    std::uint64_t csize = 0, ignored = 0;
    if (CentralSizes(m.headerAt, csize, ignored)) {
      next = ReadDescriptor(m, m.dataStart + csize, crc, usize);
    }
  }

  if (result == kInflateNoMemory) {
    out.writer.Abandon();
    lines_.job().ui->Box(kCaption, "Out of memory .. can't continue", tell::Buttons::Ok);
    severity_ = kSeverityFatal;
  } else if (result == kInflateWrongLength) {
    out.writer.Abandon();
    Line(Format("%s ... compressed data length error", shown.c_str()), kSeverityMember);
  } else if (result != kInflateOk) {
    out.writer.Abandon();
    Line(Format("%s ... compressed data format wrong", shown.c_str()), kSeverityMember);
  } else if (out.writer.Failed()) {
    out.writer.Abandon();
    Line(Format("Unable to write %s file ... can't continue", shown.c_str()), kSeverityFatal);
  } else if (crc != decoder_.Crc()) {
    // A damaged member never takes the place of a file that was there.
    out.writer.Abandon();
    Line(Format("%s ... compressed data CRC error", shown.c_str()), kSeverityMember);
  } else if (usize != decoder_.BytesWritten()) {
    out.writer.Abandon();
    Line(Format("%s ... compressed data length error", shown.c_str()), kSeverityMember);
  } else if (out.writer.Commit() != 1) {
    Line(Format("Unable to write %s file ... can't continue", shown.c_str()), kSeverityFatal);
  } else {
    Line(Format("%s ... OK", shown.c_str()), kSeverityNone);
    if (out.LooksExecutable()) MarkExecutable(path);
    if (!SetMemberTime(path, m.date, m.time))
      Line(Format("Unable to reset %s file date and time", shown.c_str()), kSeverityMember);
  }
  if (!next) return Stop(m);
  return next;
}

}  // namespace

bool IsSafeMemberName(std::string_view name) {
  if (name.empty() || name[0] == '/' || name[0] == '\\') return false;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    if (i < name.size()) {
      const unsigned char c = static_cast<unsigned char>(name[i]);
      if (c < 32 || c == 127 || c == ':') return false;
      if (c != '/' && c != '\\') continue;
    }
    if (name.substr(start, i - start) == "..") return false;
    start = i + 1;
  }
  return true;
}

bool DosTimeToUnix(std::uint16_t dosDate, std::uint16_t dosTime, std::int64_t& seconds) {
  std::tm t{};
  t.tm_year = 80 + (dosDate >> 9);
  t.tm_mon = ((dosDate >> 5) & 15) - 1;
  t.tm_mday = dosDate & 31;
  t.tm_hour = dosTime >> 11;
  t.tm_min = (dosTime >> 5) & 63;
  t.tm_sec = (dosTime & 31) * 2;
  t.tm_isdst = -1;
  if (t.tm_mon < 0 || t.tm_mon > 11 || t.tm_mday < 1 || t.tm_hour > 23 || t.tm_min > 59 || t.tm_sec > 59) return false;
  const std::tm asked = t;
  const std::time_t made = std::mktime(&t);
  if (made == static_cast<std::time_t>(-1)) return false;
  // A day the month does not have comes back as a day of the next month.
  if (t.tm_mday != asked.tm_mday || t.tm_mon != asked.tm_mon) return false;
  seconds = static_cast<std::int64_t>(made);
  return true;
}

int UnzipArchive(std::string_view archive, std::string_view target, ProgressList& lines) {
  Unzipper unzipper(archive, target, lines);
  return unzipper.Run();
}

}  // namespace install
