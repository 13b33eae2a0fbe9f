// The peer checks' window on the checker's library: rasterises one layer of a cell of a drawing folder
// into a PBM file, and writes a PCX map file of a known pattern.
//   drc_peer_tool raster FOLDER CELL LAYER X0 Y0 PIXEL OUT.pbm
//   drc_peer_tool pcx OUT.PCX
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "drc/pcx.h"
#include "drc/pictures.h"
#include "drc/rasteriser.h"
#include "editor/db/cell_index.h"
#include "editor/db/database.h"
#include "editor/db/form_file.h"
#include "platform/os/path.h"
#include "platform/os/process.h"

namespace {

int Raster(char** argv) {
  if (!os::ChangeFolder(argv[2])) return 2;
  auto d = std::make_unique<db::Database>();
  if (db::ReadCellIndex(d->index) != 1 || !db::ReadFormFile(d->form, db::kReadPool, "")) return 3;
  if (!db::FindCell(d->index, argv[3])) return 4;
  drc::Rasteriser r(*d);
  r.SetTopCell(d->index.foundRow);
  drc::AreaFrame f;
  f.x0 = std::atoll(argv[5]);
  f.y0 = std::atoll(argv[6]);
  f.pixel = std::atof(argv[7]);
  f.x1 = f.x0 + static_cast<long long>(1024 * f.pixel);
  f.y1 = f.y0 + static_cast<long long>(640 * f.pixel);
  drc::BitMap m;
  if (!m.Allocate()) return 5;
  if (r.MapLayer(m, std::atoi(argv[4]), f) != drc::kRunOk) return 6;
  std::ofstream out(argv[8]);
  out << "P1\n" << drc::kMapWidth << " " << drc::kCheckRows << "\n";
  for (int y = drc::kCheckRows - 1; y >= 0; --y) {
    for (int x = 0; x < drc::kMapWidth; ++x) out << (drc::TestMapPixel(m, x, y) ? '1' : '0');
    out << "\n";
  }
  return out ? 0 : 7;
}

// Sixteen bands of the palette's colours across, a diagonal of white down.
int Pattern(char** argv) {
  gfx::Surface s(drc::kMapperWidth, drc::kMapperHeight);
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) s.Row(y)[x] = x == y ? 0xFFFFFF : drc::kPcxPalette[std::size_t(x * 16 / s.width)];
  return drc::WritePcxMap(argv[2], s, 0, 0, s.width, s.height) ? 0 : 7;
}

}  // namespace

int main(int argc, char** argv) {
  os::InitProcess(argc, argv);
  if (argc == 9 && std::string(argv[1]) == "raster") return Raster(argv);
  if (argc == 3 && std::string(argv[1]) == "pcx") return Pattern(argv);
  std::fprintf(stderr, "usage: %s raster FOLDER CELL LAYER X0 Y0 PIXEL OUT.pbm | pcx OUT.PCX\n", argv[0]);
  return 2;
}
