// Both CIF conversions on a generated hierarchy of about 100 MB of TLC, against klayout reading and
// writing the CIF written. Each step runs as a child process, so its time and peak memory are its
// own: TLC -> CIF with the geometry checks on (the default) and off, CIF -> TLC, klayout read and
// write. Pauses take no time in the batch runner. Usage: cif_bench [MEGABYTES] [WORK_FOLDER]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/common/measure.h"
#include "bench/cif/bench_cells.h"
#include "editor/tlc/writer.h"

namespace {

constexpr int kLayers = 20;

cifbench::Random Random{12345u};
using cifbench::WriteCell;

// Leaf cells of boxes, flush and extended paths, polygons and texts on 20 layers; middle cells placing
// twenty leaves in every orientation; one top cell. About `bytes` of TLC in all. The cells stay few
// (klayout finds a CIF file's format only when its first symbol comes early, after the name comments).
std::int64_t Generate(const std::string& folder, std::int64_t bytes) {
  const std::int64_t perUnit = 90000;  // TLC bytes of one set of the elements below
  const std::int64_t units = std::max<std::int64_t>(1, bytes / perUnit);
  const int leaves = static_cast<int>(std::min<std::int64_t>(120, units));
  const int scale = static_cast<int>(std::max<std::int64_t>(1, units / leaves));
  char name[32];
  for (int c = 0; c < leaves; ++c) {
    std::snprintf(name, sizeof name, "L%04d", c);
    const bool ok = WriteCell(folder, name, 1, [scale](tlc::TlcWriter& w) {
      for (int i = 0; i < 1500 * scale; ++i) {
        const int x = Random(1000000), y = Random(1000000);
        w.PutBox({1 + i % kLayers, x, y, x + 100 + Random(5000), y + 100 + Random(5000)});
      }
      for (int i = 0; i < 200 * scale; ++i) {
        const int x = Random(1000000), y = Random(1000000), a = 1000 + Random(20000);
        const std::int32_t px[4] = {x, x + a, x + a, x + 2 * a}, py[4] = {y, y, y + a, y + a};
        w.PutPath(1 + i % kLayers, (i % 2 ? -1 : 1) * (200 + 2 * Random(200)), px, py);
      }
      for (int i = 0; i < 150 * scale; ++i) {
        const int x = Random(1000000), y = Random(1000000), a = 500 + Random(5000), b = 500 + Random(5000);
        const std::int32_t px[7] = {x, x + 2 * a, x + 2 * a, x + a, x + a, x, x};
        const std::int32_t py[7] = {y, y, y + b, y + b, y + 2 * b, y + 2 * b, y};
        w.PutPath(1 + i % kLayers, 0, px, py);
      }
      for (int i = 0; i < 20 * scale; ++i) {
        tlc::TlcText t;
        t.layer = 1 + i % kLayers;
        t.size = 300;
        t.x = Random(1000000);
        t.y = Random(1000000);
        t.text = "NET" + std::to_string(i);
        t.vertexCount = tlc::TextVertexCount(t.text.size());
        w.PutText(t);
      }
    });
    if (!ok) return -1;
  }
  const int mids = (leaves + 19) / 20;
  for (int m = 0; m < mids; ++m) {
    std::snprintf(name, sizeof name, "M%03d", m);
    const bool ok = WriteCell(folder, name, 2, [m, leaves](tlc::TlcWriter& w) {
      for (int i = 0; i < 20 && m * 20 + i < leaves; ++i) {
        char leaf[32];
        std::snprintf(leaf, sizeof leaf, "L%04d", m * 20 + i);
        w.PutCellRef({leaf, i % 8, (i % 5) * 1200000, (i / 5) * 1200000});
      }
    });
    if (!ok) return -1;
  }
  const bool ok = WriteCell(folder, "TOP", 3, [mids](tlc::TlcWriter& w) {
    for (int m = 0; m < mids; ++m) {
      char mid[32];
      std::snprintf(mid, sizeof mid, "M%03d", m);
      w.PutCellRef({mid, 0, (m % 8) * 7000000 - 28000000, (m / 8) * 9000000 - 28000000});
    }
  });
  if (!ok) return -1;
  std::FILE* layers = std::fopen((folder + "/LAYERS.LYR").c_str(), "wb");
  if (!layers) return -1;
  for (int l = 1; l <= kLayers; ++l) std::fprintf(layers, "(LAYER %d CIF=\"L%02d\");\r\n", l, l);
  std::fclose(layers);
  std::int64_t total = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder)) total += e.file_size();
  return total;
}

bench::ChildRun Run(const char* name, const std::vector<std::string>& argv, const std::string& folder) {
  return bench::RunStep(name, argv, folder, 30);
}

}  // namespace

int main(int argc, char** argv) {
  const std::int64_t megabytes = argc > 1 ? std::atoll(argv[1]) : 100;
  std::string work = argc > 2 ? argv[2] : (std::filesystem::temp_directory_path() / "cif_bench").string();
  std::filesystem::remove_all(work);
  std::filesystem::create_directories(work + "/tlc");
  std::filesystem::create_directories(work + "/back");

  std::printf("CIF conversions on a generated hierarchy (pauses off)\n");
  const auto t0 = bench::Clock::now();
  const std::int64_t size = Generate(work + "/tlc", megabytes << 20);
  if (size < 0) {
    std::fprintf(stderr, "cannot write the TLC files in %s/tlc\n", work.c_str());
    return 1;
  }
  std::printf("  %-30s%8.2f s   %.1f MB of TLC\n", "generate", bench::Seconds(t0), size / 1048576.0);

  const std::string top = work + "/tlc/TOP.TLC", layers = work + "/tlc/LAYERS.LYR";
  // Texts in the form klayout reads: no layer name after the point.
  const std::string upright = "9=94 <text> <x> <y>";
  const auto checked =
      Run("TLC to CIF, checks on (ours)", {CIF_BATCH, "export", top, layers, work + "/out.cif", upright}, work);
  const auto plain = Run("TLC to CIF, checks off (ours)",
                         {CIF_BATCH, "export", top, layers, work + "/plain.cif", upright, "6=N", "8=N"}, work);
  const auto in = Run("CIF to TLC (ours)", {CIF_BATCH, "import", work + "/OUT.CIF", work + "/back", "4="}, work);
  const auto kl = Run("klayout read and write CIF",
                      {"klayout", "-b", "-r", KLAYOUT_COPY, "-rd", "src=" + work + "/OUT.CIF", "-rd",
                       "dst=" + work + "/klayout.cif"},
                      work);

  std::int64_t back = 0;
  for (const auto& e : std::filesystem::directory_iterator(work + "/back")) back += e.file_size();
  std::printf("  CIF written %.1f MB, TLC written back %.1f MB, CIF by klayout %.1f MB\n",
              bench::FileSize(work + "/OUT.CIF") / 1048576.0, back / 1048576.0, bench::FileSize(work + "/klayout.cif") / 1048576.0);
  if (kl.status == 0 && kl.seconds > 0) {
    std::printf("  ratios to klayout: export %.2fx (checks off %.2fx), import %.2fx, both ways %.2fx time; "
                "peak memory export %.2fx, import %.2fx\n",
                checked.seconds / kl.seconds, plain.seconds / kl.seconds, in.seconds / kl.seconds,
                (plain.seconds + in.seconds) / kl.seconds, checked.peakMb / kl.peakMb, in.peakMb / kl.peakMb);
  } else {
    std::printf("  klayout did not run: no ratios\n");
  }
  const bool ok = checked.status == 0 && plain.status == 0 && in.status == 0;
  if (ok && std::getenv("CIF_BENCH_KEEP") == nullptr) std::filesystem::remove_all(work);
  return ok ? 0 : 1;
}
