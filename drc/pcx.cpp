#include "drc/pcx.h"

#include <algorithm>
#include <string>

#include "platform/os/textfile.h"

namespace drc {

const std::array<std::uint32_t, 16> kPcxPalette = {
    0x000000, 0x0000BF, 0x00BF00, 0x00BFBF, 0xBF0000, 0xBF00BF, 0xBFBF00, 0xBFBFBF,
    0xBFBFBF, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};

namespace {

void Put16(std::uint8_t* at, int value) {
  at[0] = static_cast<std::uint8_t>(value & 0xFF);
  at[1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

int Get16(const std::uint8_t* at) { return at[0] | (at[1] << 8); }

bool PlaneBit(std::uint32_t rgb, int plane) {
  const std::uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  switch (plane) {
    case 0: return b > 0;
    case 1: return g > 0;
    case 2: return r > 0;
    default: return r >= 225 || g >= 225 || b >= 225;
  }
}

}  // namespace

void EncodePcxLine(const std::uint8_t* line, int length, std::vector<std::uint8_t>& out) {
  for (int i = 0; i < length;) {
    int run = 1;
    while (i + run < length && run < 63 && line[i + run] == line[i]) ++run;
    if (run > 1 || line[i] >= 0xC0) out.push_back(static_cast<std::uint8_t>(0xC0 + run));
    out.push_back(line[i]);
    i += run;
  }
}

std::vector<std::uint8_t> EncodePcxMap(const gfx::Surface& picture, int left, int top, int width, int height) {
  width = std::clamp(width, 0, kPcxMaxLineBytes * 8);
  height = std::clamp(height, 0, kPcxMaxHeight);
  const int lineBytes = width / 8;
  std::vector<std::uint8_t> out(kPcxHeaderBytes, 0);
  out[0] = 10;
  out[1] = 3;
  out[2] = 1;
  out[3] = 1;
  Put16(&out[8], lineBytes * 8 - 1);
  Put16(&out[10], height - 1);
  Put16(&out[12], 200);
  Put16(&out[14], 200);
  for (int i = 0; i < 16; ++i) {
    out[std::size_t(16 + 3 * i)] = static_cast<std::uint8_t>(kPcxPalette[std::size_t(i)] >> 16);
    out[std::size_t(17 + 3 * i)] = static_cast<std::uint8_t>(kPcxPalette[std::size_t(i)] >> 8);
    out[std::size_t(18 + 3 * i)] = static_cast<std::uint8_t>(kPcxPalette[std::size_t(i)]);
  }
  out[65] = 4;
  Put16(&out[66], lineBytes);
  std::vector<std::uint8_t> line(static_cast<std::size_t>(lineBytes));
  for (int r = 0; r < height; ++r)
    for (int plane = 0; plane < 4; ++plane) {
      std::fill(line.begin(), line.end(), 0);
      for (int x = 0; x < lineBytes * 8; ++x) {
        const int px = left + x, py = top + r;
        const std::uint32_t rgb = picture.Contains(px, py) ? picture.Row(py)[px] : 0;
        if (PlaneBit(rgb, plane)) line[std::size_t(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
      EncodePcxLine(line.data(), lineBytes, out);
    }
  return out;
}

int WritePcxMap(std::string_view path, const gfx::Surface& picture, int left, int top, int width, int height) {
  const std::vector<std::uint8_t> bytes = EncodePcxMap(picture, left, top, width, height);
  os::BinaryWriter out;
  if (!out.Open(path)) return 0;
  out.Write(bytes.data(), bytes.size());
  return out.Commit() == 1 ? 1 : 0;
}

PcxRead DecodePcxMap(const std::vector<std::uint8_t>& bytes, bool headerOnly, PcxMap& out) {
  if (bytes.size() < kPcxHeaderBytes) return PcxRead::NotMapFile;
  const std::uint8_t* h = bytes.data();
  const int xmin = Get16(h + 4), ymin = Get16(h + 6), xmax = Get16(h + 8), ymax = Get16(h + 10);
  const int lineBytes = Get16(h + 66);
  if (h[2] != 1 || h[65] != 4 || Get16(h + 12) != 200 || Get16(h + 14) != 200 || h[3] != 1) return PcxRead::NotMapFile;
  // Sizes the lines can hold, and no more than a map window's picture could ever be.
  if (xmin != 0 || ymin != 0 || lineBytes < 1 || lineBytes > kPcxMaxLineBytes || xmax + 1 > lineBytes * 8 ||
      ymax + 1 > kPcxMaxHeight)
    return PcxRead::NotMapFile;
  out.width = xmax + 1;
  out.height = ymax + 1;
  out.lineBytes = lineBytes;
  for (int i = 0; i < 16; ++i)
    out.palette[std::size_t(i)] = (std::uint32_t(h[16 + 3 * i]) << 16) | (std::uint32_t(h[17 + 3 * i]) << 8) |
                                  std::uint32_t(h[18 + 3 * i]);
  if (headerOnly) return PcxRead::Ok;

  out.picture = gfx::Surface(out.width, out.height, out.palette[0]);
  std::size_t at = kPcxHeaderBytes;
  std::array<std::array<std::uint8_t, kPcxMaxLineBytes>, 4> planes{};
  for (int r = 0; r < out.height && at < bytes.size(); ++r) {
    for (auto& plane : planes) {
      plane.fill(0);
      // A run that would cross the end of its line is cut there.
      for (int n = 0; n < lineBytes && at < bytes.size();) {
        std::uint8_t b = bytes[at++];
        int count = 1;
        if (b >= 0xC0) {
          if (at >= bytes.size()) break;
          count = b == 0xC1 ? 1 : (b & 63);
          b = bytes[at++];
        }
        for (; count > 0 && n < lineBytes; --count) plane[std::size_t(n++)] = b;
      }
    }
    std::uint32_t* row = out.picture.Row(r);
    for (int x = 0; x < out.width; ++x) {
      const std::uint8_t mask = static_cast<std::uint8_t>(0x80 >> (x % 8));
      int index = 0;
      for (int k = 0; k < 4; ++k)
        if (planes[std::size_t(k)][std::size_t(x / 8)] & mask) index |= 1 << k;
      row[x] = out.palette[std::size_t(index)];
    }
  }
  return PcxRead::Ok;
}

PcxRead ReadPcxMap(std::string_view path, bool headerOnly, PcxMap& out) {
  std::string bytes;
  if (!os::ReadWholeFile(path, bytes)) return PcxRead::CannotOpen;
  return DecodePcxMap(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), headerOnly, out);
}

}  // namespace drc
