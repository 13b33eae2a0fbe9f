// TLCOUT and TLCIN of a generated drawing folder: 300 cells over three ranks, about a million
// vertices, pauses off. Prints the time and the rate in MB of TLC text per second.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/common/measure.h"
#include "drawing_fixture.h"
#include "editor/tlc/readers.h"
#include "editor/tlc/tlcin.h"
#include "editor/tlc/tlcout.h"
#include "editor/tlc/writer.h"
#include "platform/os/textfile.h"
#include "platform/os/path.h"

namespace {

using bench::Clock;

using bench::Seconds;

std::vector<tlctest::CellSpec> Generate(long& vertices) {
  std::vector<tlctest::CellSpec> cells;
  vertices = 0;
  unsigned seed = 12345;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, static_cast<std::int32_t>((seed >> 8) % 2000000) - 1000000; };
  for (int i = 0; i < 300; ++i) {
    const int rank = i < 240 ? 1 : i < 290 ? 2 : 3;
    tlctest::CellSpec c = tlctest::Cell("CELL" + std::to_string(i), rank);
    for (int b = 0; b < 100; ++b) {
      const std::int32_t x = next(), y = next();
      c.boxes.push_back({1 + b % 64, x, y, x + 500, y + 300});
    }
    for (int p = 0; p < 7; ++p) {
      std::vector<std::pair<std::int32_t, std::int32_t>> points;
      for (int v = 0; v < 480; ++v) points.push_back({next(), next()});
      c.paths.push_back(tlctest::Path(1 + p, p % 2 ? 0 : 120, points));
      vertices += 480;
    }
    tlctest::PathSpec label = tlctest::Path(64, 75, {{next(), next()}});
    label.text = true;
    label.chars = "LABEL OF " + c.name;
    c.paths.push_back(label);
    if (rank > 1)
      for (int r = 0; r < 50; ++r)
        c.refs.push_back({"CELL" + std::to_string((i * 7 + r) % 240), r % 8, next(), next()});
    cells.push_back(c);
  }
  return cells;
}

long FolderBytes(const std::string& folder, const char* pattern) {
  long total = 0;
  for (const std::string& name : os::ListFiles(folder + pattern))
    total += static_cast<long>(std::filesystem::file_size(folder + name));
  return total;
}

}  // namespace

int main() {
  char pattern[] = "/tmp/mero-tlc-bench-XXXXXX";
  const std::string root = mkdtemp(pattern);
  const std::string src = root + "/src/", tlc = root + "/tlc/", dst = root + "/dst/";

  long vertices = 0;
  auto t = Clock::now();
  tlctest::WriteDrawingFolder(src, Generate(vertices));
  std::printf("generated 300 cells, %ld path vertices, in %.2f s\n", vertices, Seconds(t));

  tell::Talk silent;
  tlc::TlcSetup out{src, tlc, "", true, true};
  tlc::TlcRunSummary summary;
  t = Clock::now();
  tlc::ConvertCellsToTlc(false, out, silent, &summary);
  const double outSeconds = Seconds(t);
  const double mb = FolderBytes(tlc, "*.TLC") / 1e6;
  std::printf("TLCOUT: %d cells, %.1f MB of TLC in %.3f s: %.1f MB/s (result %d)\n", summary.cells, mb,
              outSeconds, mb / outSeconds, summary.result);

  // The format layer without the file system: every record read, then read and written to memory.
  struct Copy : tlc::RecordConsumer {
    tlc::TlcWriter* w = nullptr;
    long n = 0;
    void CellRef(const tlc::TlcCellRef& r) override { ++n, w && w->PutCellRef(r); }
    void Box(const tlc::TlcBox& b) override { ++n, w && w->PutBox(b); }
    void Path(const tlc::TlcPath& p) override { ++n, w && w->PutPath(p); }
    void Text(const tlc::TlcText& x) override { ++n, w && w->PutText(x); }
    void ReadError(tlc::Keyword, std::string_view) override {}
  };
  std::vector<std::string> texts;
  for (const std::string& name : os::ListFiles(tlc + "*.TLC")) {
    texts.emplace_back();
    os::ReadWholeFile(tlc + name, texts.back());
  }
  auto pass = [&](Copy& copy, tlc::StringSink* memory) {
    auto start = Clock::now();
    for (const std::string& text : texts) {
      tlc::StringLineSource lines(text);
      tlc::TlcStream stream(lines);
      tlc::ReadTlcRecords(stream, copy);
      if (copy.w) copy.w->Flush();
      if (memory) memory->text.clear();
    }
    return Seconds(start);
  };
  Copy count;
  const double readSeconds = pass(count, nullptr);
  std::printf("record readers alone: %ld records in %.3f s: %.1f MB/s\n", count.n, readSeconds,
              mb / readSeconds);
  tlc::StringSink memory;
  tlc::TlcWriter writer(memory);
  Copy copy;
  copy.w = &writer;
  const double copySeconds = pass(copy, &memory) - readSeconds;
  std::printf("writer alone: %.1f MB/s\n", mb / copySeconds);

  tlctest::WriteEmptyDrawingFolder(dst);
  tlc::TlcSetup in{tlc, dst, "", true, true};
  t = Clock::now();
  tlc::ConvertTlcToCells(false, in, silent, &summary);
  const double inSeconds = Seconds(t);
  std::printf("TLCIN: %d cells, %.1f MB of TLC in %.3f s: %.1f MB/s (BP6 and CL6: %.1f MB, result %d)\n",
              summary.cells, mb, inSeconds, mb / inSeconds,
              (FolderBytes(dst, "*.bp6") + FolderBytes(dst, "*.cl6")) / 1e6, summary.result);

  std::printf("peak memory: %.0f MB\n", bench::PeakMegabytes());
  std::error_code ec;
  std::filesystem::remove_all(root, ec);
  return 0;
}
