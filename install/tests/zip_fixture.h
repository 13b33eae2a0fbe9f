// Fixtures of the installer's tests: a scratch drive, a DEFLATE stream made by zlib or bit by bit,
// and ZIP archives written here field by field, so that damaged and hostile archives can be made
// at will and the archives the tests read are not the reader's own say-so.
#pragma once
#include <zlib.h>

#include <algorithm>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/os/path.h"
#include "platform/os/tests/scratch.h"
#include "platform/tell/recorder.h"

namespace insttest {

// A scratch folder that is drive C and the current folder while the test runs.
struct Scratch : ostest::Scratch {
  Scratch() {
    os::SetDriveTable("C=" + root);
    std::filesystem::current_path(root);
  }
  // Every file and folder under the scratch root, relative, sorted.
  std::vector<std::string> Tree() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root))
      names.push_back(std::filesystem::relative(e.path(), root).string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

// Raw DEFLATE (no zlib header) of `data`.
inline std::string Deflate(const std::string& data, int level = 6, int strategy = Z_DEFAULT_STRATEGY) {
  z_stream z{};
  deflateInit2(&z, level, Z_DEFLATED, -15, 8, strategy);
  std::string out(deflateBound(&z, data.size()) + 16, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

inline std::uint32_t ZlibCrc(const std::string& data) {
  return static_cast<std::uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

// A DEFLATE stream written bit by bit, least significant bit first.
struct BitWriter {
  std::string bytes;
  int used = 0;  // bits of the last byte in use
  void Bits(std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
      if (used == 0) bytes.push_back('\0');
      if ((value >> i) & 1) bytes.back() = static_cast<char>(bytes.back() | (1 << used));
      used = (used + 1) & 7;
    }
  }
  // A Huffman code goes most significant bit first.
  void Code(std::uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i) Bits((code >> i) & 1, 1);
  }
  void Align() { used = 0; }
  // Codes of the fixed block.
  void FixedLiteral(int symbol) {
    if (symbol < 144) Code(0x30 + symbol, 8);
    else if (symbol < 256) Code(0x190 + symbol - 144, 9);
    else if (symbol < 280) Code(symbol - 256, 7);
    else Code(0xC0 + symbol - 280, 8);
  }
  void FixedDistance(int code) { Code(code, 5); }
};

// One final stored block of "abc" whose NLEN is not the complement of its LEN.
inline std::string BadStoredBlock() {
  BitWriter b;
  b.Bits(1, 1);
  b.Bits(0, 2);
  b.Align();
  b.Bits(3, 16);
  b.Bits(3, 16);
  b.bytes += "abc";
  return b.bytes;
}

struct ZipMember {
  std::string name;
  std::string data;          // what the member holds
  std::uint16_t method = 8;  // 0 stored, 8 deflated, others as they are
  std::uint16_t flags = 0;
  std::uint16_t date = (44 << 9) | (3 << 5) | 15;  // 15 March 2024
  std::uint16_t time = (13 << 11) | (45 << 5) | 10;
  std::string compressed;    // when set, written instead of what `method` makes of `data`
  bool setCompressed = false;
  // Header values when they are to differ from the true ones.
  bool badCrc = false;
  long long csizeOverride = -1, usizeOverride = -1;
  bool descriptor = false;        // sizes and CRC after the data (flag bit 3)
  bool descriptorSignature = true;
  bool sizesInHeader = false;     // with a descriptor: the header still holds the sizes
  bool zip64 = false;             // sizes 0xFFFFFFFF, the real ones in the extra field
};

inline ZipMember Stored(const std::string& name, const std::string& data) {
  ZipMember m;
  m.name = name;
  m.data = data;
  m.method = 0;
  return m;
}
inline ZipMember Deflated(const std::string& name, const std::string& data) {
  ZipMember m;
  m.name = name;
  m.data = data;
  return m;
}

inline void Put16(std::string& s, std::uint32_t v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
inline void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}
inline void Put64(std::string& s, std::uint64_t v) {
  Put32(s, static_cast<std::uint32_t>(v));
  Put32(s, static_cast<std::uint32_t>(v >> 32));
}

// The archive: local headers with their data, then a central directory and its end record.
inline std::string MakeZip(const std::vector<ZipMember>& members, bool central = true) {
  std::string zip, dir;
  int count = 0;
  for (const ZipMember& m : members) {
    const std::string packed =
        m.setCompressed ? m.compressed : (m.method == 8 ? Deflate(m.data) : m.data);
    const std::uint32_t crc = ZlibCrc(m.data) ^ (m.badCrc ? 1u : 0u);
    const std::uint64_t csize = m.csizeOverride >= 0 ? static_cast<std::uint64_t>(m.csizeOverride) : packed.size();
    const std::uint64_t usize = m.usizeOverride >= 0 ? static_cast<std::uint64_t>(m.usizeOverride) : m.data.size();
    const std::uint32_t offset = static_cast<std::uint32_t>(zip.size());
    const std::uint16_t flags = static_cast<std::uint16_t>(m.flags | (m.descriptor ? 8 : 0));
    const bool blank = m.descriptor && !m.sizesInHeader;
    std::string extra;
    if (m.zip64) {
      Put16(extra, 1);
      Put16(extra, 16);
      Put64(extra, usize);
      Put64(extra, csize);
    }
    Put32(zip, 0x04034B50);
    Put16(zip, m.zip64 ? 45 : 20);
    Put16(zip, flags);
    Put16(zip, m.method);
    Put16(zip, m.time);
    Put16(zip, m.date);
    Put32(zip, blank ? 0 : crc);
    Put32(zip, m.zip64 ? 0xFFFFFFFF : blank ? 0 : static_cast<std::uint32_t>(csize));
    Put32(zip, m.zip64 ? 0xFFFFFFFF : blank ? 0 : static_cast<std::uint32_t>(usize));
    Put16(zip, static_cast<std::uint32_t>(m.name.size()));
    Put16(zip, static_cast<std::uint32_t>(extra.size()));
    zip += m.name;
    zip += extra;
    zip += packed;
    if (m.descriptor) {
      if (m.descriptorSignature) Put32(zip, 0x08074B50);
      Put32(zip, crc);
      Put32(zip, static_cast<std::uint32_t>(csize));
      Put32(zip, static_cast<std::uint32_t>(usize));
    }
    Put32(dir, 0x02014B50);
    Put16(dir, 20);
    Put16(dir, 20);
    Put16(dir, flags);
    Put16(dir, m.method);
    Put16(dir, m.time);
    Put16(dir, m.date);
    Put32(dir, crc);
    Put32(dir, static_cast<std::uint32_t>(csize));
    Put32(dir, static_cast<std::uint32_t>(usize));
    Put16(dir, static_cast<std::uint32_t>(m.name.size()));
    Put16(dir, 0);
    Put16(dir, 0);
    Put16(dir, 0);
    Put16(dir, 0);
    Put32(dir, 0);
    Put32(dir, offset);
    dir += m.name;
    ++count;
  }
  if (!central) return zip;
  const std::uint32_t dirAt = static_cast<std::uint32_t>(zip.size());
  zip += dir;
  Put32(zip, 0x06054B50);
  Put16(zip, 0);
  Put16(zip, 0);
  Put16(zip, static_cast<std::uint32_t>(count));
  Put16(zip, static_cast<std::uint32_t>(count));
  Put32(zip, static_cast<std::uint32_t>(dir.size()));
  Put32(zip, dirAt);
  Put16(zip, 0);
  return zip;
}

// Progress lines a recorded run showed, in order (the emptying of a full list left out).
inline std::vector<std::string> ProgressLines(const tell::Recorder& ui) {
  std::vector<std::string> lines;
  for (const std::string& e : ui.events) {
    if (e.rfind("item 5", 0) != 0 || e.size() < 10) continue;
    const int id = std::stoi(e.substr(5, 3));
    const std::string text = e.substr(9);
    if (id >= 501 && id <= 512 && text != "\"\"") lines.push_back(text.substr(1, text.size() - 2));
  }
  return lines;
}

// Deterministic bytes of several kinds.
inline std::string RandomBytes(std::size_t n, std::uint32_t seed) {
  std::string s(n, '\0');
  std::uint32_t x = seed * 2654435761u + 1;
  for (char& c : s) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = static_cast<char>(x >> 24);
  }
  return s;
}
inline std::string TextBytes(std::size_t n, std::uint32_t seed) {
  static const char* words[] = {"box ", "path ", "cell ", "layer ", "TOP ", "NAND2 ", "=B 1 0 0 10 10\r\n",
                                "metal ", "via ", "poly ", "\r\n"};
  std::string s;
  std::uint32_t x = seed + 7;
  while (s.size() < n) {
    x = x * 1103515245u + 12345u;
    s += words[(x >> 16) % 11];
  }
  s.resize(n);
  return s;
}

}  // namespace insttest
