// Both GDSII conversions of a generated layout of about 100 MB as a user runs them: wstrmimp (GDSII to
// TLC) and wstrmexp (TLC back to GDSII) headless from a script, each timed as a whole process, start-up
// and window included. Beside them, in the same run, klayout reads and writes the same file and times
// its own reading and writing (its start-up left out); the ratios are taken to that.
// Usage: gds_bench [MEGABYTES] [WORK_FOLDER]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/common/headless.h"
#include "bench/common/measure.h"
#include "convert/gds/record_writer.h"

namespace {

std::uint32_t rng = 12345;
int Random(int n) {
  rng = rng * 1664525u + 1013904223u;
  return static_cast<int>((rng >> 8) % static_cast<std::uint32_t>(n));
}

// Leaf cells full of boxes, paths, polygons and texts; middle cells placing them in every
// orientation and in small arrays; one top cell. About `bytes` of GDSII in all.
std::int64_t Generate(const std::string& path, std::int64_t bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return -1;
  gds::GdsWriter w([f](const std::uint8_t* d, std::size_t n) { return std::fwrite(d, 1, n, f) == n; });
  std::tm t{};
  t.tm_year = 124;
  t.tm_mon = 0;
  t.tm_mday = 1;
  w.WriteHeaderRecord();
  w.WriteBgnLib(t, t);
  w.WriteLibName("BENCH.DB");
  w.WriteUnits(0.001L, 1e-9L);
  const std::int64_t perLeaf = 123000;
  const int leaves = static_cast<int>(std::max<std::int64_t>(1, std::min<std::int64_t>(1400, bytes / perLeaf)));
  char name[32];
  for (int c = 0; c < leaves; ++c) {
    std::snprintf(name, sizeof name, "L%04d", c);
    w.WriteBgnStr(t, t);
    w.WriteStrName(name);
    for (int i = 0; i < 1500; ++i) {
      const int x = Random(1000000), y = Random(1000000), dx = 100 + Random(5000), dy = 100 + Random(5000);
      const gds::GdsPoint box[5] = {{x, y}, {x + dx, y}, {x + dx, y + dy}, {x, y + dy}, {x, y}};
      w.WriteBoundary();
      w.WriteLayer(1 + i % 10);
      w.WriteDatatype(0);
      w.WriteXy(box, 5);
      w.WriteEndEl();
    }
    for (int i = 0; i < 200; ++i) {
      const int x = Random(1000000), y = Random(1000000), a = 1000 + Random(20000);
      const gds::GdsPoint p[4] = {{x, y}, {x + a, y}, {x + a, y + a}, {x + 2 * a, y + a}};
      w.WritePath();
      w.WriteLayer(11 + i % 5);
      w.WriteDatatype(0);
      w.WritePathType(i % 2 ? 2 : 0);
      w.WriteWidth(200 + 2 * Random(200));
      w.WriteXy(p, 4);
      w.WriteEndEl();
    }
    for (int i = 0; i < 150; ++i) {
      const int x = Random(1000000), y = Random(1000000), a = 500 + Random(5000), b = 500 + Random(5000);
      const gds::GdsPoint p[7] = {{x, y},         {x + 2 * a, y}, {x + 2 * a, y + b}, {x + a, y + b},
                                  {x + a, y + 2 * b}, {x, y + 2 * b}, {x, y}};
      w.WriteBoundary();
      w.WriteLayer(16 + i % 5);
      w.WriteDatatype(0);
      w.WriteXy(p, 7);
      w.WriteEndEl();
    }
    for (int i = 0; i < 20; ++i) {
      const gds::GdsPoint at{Random(1000000), Random(1000000)};
      w.WriteText();
      w.WriteLayer(30);
      w.WriteTextType(0);
      w.WritePresentation(8);
      w.WriteXy(&at, 1);
      w.WriteString("NET" + std::to_string(i));
      w.WriteEndEl();
    }
    w.WriteEndStr();
  }
  const int mids = (leaves + 19) / 20;
  for (int m = 0; m < mids; ++m) {
    std::snprintf(name, sizeof name, "M%03d", m);
    w.WriteBgnStr(t, t);
    w.WriteStrName(name);
    for (int i = 0; i < 20 && m * 20 + i < leaves; ++i) {
      char leaf[32];
      std::snprintf(leaf, sizeof leaf, "L%04d", m * 20 + i);
      const gds::GdsPoint at{(i % 5) * 1200000, (i / 5) * 1200000};
      w.WriteSref();
      w.WriteSname(leaf);
      w.WriteStrans(i % 8 >= 4 ? 0x8000 : 0);
      w.WriteAngle(90.0L * (i % 4));
      w.WriteXy(&at, 1);
      w.WriteEndEl();
    }
    char leaf[32];
    std::snprintf(leaf, sizeof leaf, "L%04d", m * 20);
    const gds::GdsPoint lattice[3] = {{0, -4000000}, {4 * 1100000, -4000000}, {0, -4000000 + 3 * 1100000}};
    w.WriteAref();
    w.WriteSname(leaf);
    w.WriteColRow(4, 3);
    w.WriteXy(lattice, 3);
    w.WriteEndEl();
    w.WriteEndStr();
  }
  w.WriteBgnStr(t, t);
  w.WriteStrName("TOP");
  for (int m = 0; m < mids; ++m) {
    std::snprintf(name, sizeof name, "M%03d", m);
    const gds::GdsPoint at{(m % 8) * 7000000 - 28000000, (m / 8) * 9000000 - 28000000};
    w.WriteSref();
    w.WriteSname(name);
    w.WriteXy(&at, 1);
    w.WriteEndEl();
  }
  w.WriteEndStr();
  w.WriteEndLib();
  const bool ok = w.Flush();
  std::fclose(f);
  return ok ? w.BytesWritten() : -1;
}

constexpr int kColumn = 30;

}  // namespace

int main(int argc, char** argv) {
  const std::int64_t megabytes = argc > 1 ? std::atoll(argv[1]) : 100;
  std::string work = argc > 2 ? argv[2] : (std::filesystem::temp_directory_path() / "gds_bench").string();
  std::filesystem::remove_all(work);
  std::filesystem::create_directories(work + "/tlc");

  std::printf("GDSII conversions by the programs headless, beside klayout's own read and write\n");
  const auto t0 = bench::Clock::now();
  const std::int64_t size = Generate(work + "/in.gds", megabytes << 20);
  if (size < 0) {
    std::fprintf(stderr, "cannot write %s/in.gds\n", work.c_str());
    return 1;
  }
  std::printf("  %-*s%8.2f s   %.1f MB of GDSII\n", kColumn, "generate", bench::Seconds(t0), size / 1048576.0);

  const std::string suite = MERO_SUITE_DIR;
  const auto in = bench::RunHeadless("wstrmimp GDSII to TLC", suite + "/wstrmimp", work, "imp",
                                     R"(answer SETUP set 100 "in.gds" set 101 "tlc" set 103 "1000" press ok
command 12
wait
box ok
command 15
wait
quit
)",
                                     kColumn);
  const auto out = bench::RunHeadless("wstrmexp TLC to GDSII", suite + "/wstrmexp", work, "exp",
                                      R"(answer SETUP set 100 "tlc/TOP.TLC" set 101 "back.gds" check 113 0 press ok
command 12
wait
box ok
command 14
wait
quit
)",
                                      kColumn);
  const auto kl = bench::RunStep("klayout read and write",
                                 {"klayout", "-b", "-r", KLAYOUT_COPY, "-rd", "src=" + work + "/in.gds", "-rd",
                                  "dst=" + work + "/klayout.gds", "-rd", "times=" + work + "/klayout.times"},
                                 work, kColumn);
  double klRead = 0, klWrite = 0, klReadCpu = 0, klWriteCpu = 0;
  if (std::FILE* t = std::fopen((work + "/klayout.times").c_str(), "r")) {
    if (std::fscanf(t, "%lf %lf %lf %lf", &klRead, &klWrite, &klReadCpu, &klWriteCpu) != 4)
      klRead = klWrite = klReadCpu = klWriteCpu = 0;
    std::fclose(t);
  }
  const double klOwn = klRead + klWrite, klOwnCpu = klReadCpu + klWriteCpu;
  const bool inOk = in.status == 0 && bench::LogHolds(work, "imp", "\"Completed ...");
  const bool outOk = out.status == 0 && bench::LogHolds(work, "exp", "\"Completed ...");

  std::int64_t tlcBytes = 0;
  int tlcFiles = 0;
  for (const auto& e : std::filesystem::directory_iterator(work + "/tlc")) {
    tlcBytes += static_cast<std::int64_t>(e.file_size());
    ++tlcFiles;
  }
  std::printf("  TLC written %.1f MB in %d files, GDSII written back %.1f MB, by klayout %.1f MB%s%s\n",
              tlcBytes / 1048576.0, tlcFiles, bench::FileSize(work + "/BACK.GDS") / 1048576.0,
              bench::FileSize(work + "/klayout.gds") / 1048576.0, inOk ? "" : "; wstrmimp did not complete",
              outOk ? "" : "; wstrmexp did not complete");
  std::printf("  processor time: wstrmimp %.2f s, wstrmexp %.2f s, klayout's own read and write %.2f s\n",
              in.cpuSeconds, out.cpuSeconds, klOwnCpu);
  if (kl.status == 0 && klOwn > 0) {
    std::printf("  klayout's own work %.2f s (read %.2f s, write %.2f s; its start-up left out)\n", klOwn, klRead,
                klWrite);
    std::printf("  import: ours %.2f s, klayout %.2f s, ratio %.2fx\n", in.seconds, klOwn, in.seconds / klOwn);
    std::printf("  export: ours %.2f s, klayout %.2f s, ratio %.2fx\n", out.seconds, klOwn, out.seconds / klOwn);
    if (klOwnCpu > 0)
      std::printf("  the same in processor time: import %.2fx, export %.2fx\n", in.cpuSeconds / klOwnCpu,
                  out.cpuSeconds / klOwnCpu);
  } else {
    std::printf("  klayout did not run: no ratios\n");
  }
  const bool ok = inOk && outOk;
  if (ok && std::getenv("GDS_BENCH_KEEP") == nullptr) std::filesystem::remove_all(work);
  return ok ? 0 : 1;
}
