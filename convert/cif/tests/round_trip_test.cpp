// A cell hierarchy through the exporter and back through the importer comes back as it was, but for
// what CIF cannot say: a flush path returns as an extended one with its ends moved in.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "convert/cif/exporter.h"
#include "convert/cif/importer.h"
#include "convert/cif/text_template.h"
#include "platform/tell/recorder.h"
#include "utilib/tests/conversion_fixture.h"

namespace {

using convtest::TlcRecords;
using convtest::WriteFile;
using Records = std::vector<std::string>;

std::string Header(const std::string& name, int rank) {
  return "=H\r\n" + name + "\r\n6.0\r\n6.0\r\n100\r\num\r\n01/02/24\r\n03:04:05\r\n" + std::to_string(rank) +
         " 0 0 1 0\r\n0 0 0 0\r\n";
}

Records Body(const std::string& path) {
  Records out;
  for (const std::string& r : TlcRecords(path))
    if (r.rfind("=H", 0) != 0) out.push_back(r);
  return out;
}

TEST(CifRoundTrip, CellsComeBackAsTheyWere) {
  setenv("MERO_NOW", "2024-03-07 13:05:59", 1);
  convtest::ScratchFolder folder;
  WriteFile(folder / "LAYERS.LYR", "(LAYER 3 CIF=CPG)(LAYER 1 CIF=CM1)(LAYER 5 CIF=CNT)");
  WriteFile(folder / "LEAF.TLC", Header("LEAF", 1) +
                                     "=B\r\n1 -7 -3 13 9\r\n"
                                     "=P\r\n3 0 6\r\n0 0 40 0 40 10 10 10 10 30 0 30 \r\n"
                                     "=P\r\n3 0 1\r\n0 0 \r\n"  // a single point: dropped
                                     "=P\r\n5 -8 3\r\n0 0 0 100 50 100 \r\n"
                                     "=P\r\n1 6 2\r\n0 0 100 0 \r\n"
                                     "=T\r\n5 300 2 0\r\n4 5\r\nLEAF\r\n");
  std::string mid = Header("MID", 2);
  for (int code = 0; code < 8; ++code)
    mid += "=C\r\nLEAF\r\n" + std::to_string(code) + " " + std::to_string(200 * code) + " " +
           std::to_string(-100 * code) + " 0\r\n";
  WriteFile(folder / "MID.TLC", mid + "=B\r\n3 0 0 2000 10\r\n");
  WriteFile(folder / "TOP.TLC", Header("TOP", 3) + "=C\r\nMID\r\n3 -5000 7000 0\r\n=C\r\nLEAF\r\n6 1 1 0\r\n");

  tell::Recorder ui;
  cif::ExportSettings out;
  cif::SetExportDefaults(out);
  out.slots[cif::kExpMainTlc] = folder / "top.tlc";
  out.slots[cif::kExpLayerFile] = folder / "layers.lyr";
  out.slots[cif::kExpProtocol] = "N";
  cif::NormaliseExport(out);
  {
    utilib::Job job(cif::kExportProgram, ui);
    ASSERT_EQ(cif::ExportCif(job, out), 1) << ::testing::PrintToString(ui.events);
    utilib::CloseReport(job);
  }

  std::filesystem::create_directory(folder / "back");
  cif::ImportSettings in;
  cif::SetImportDefaults(in);
  in.slots[cif::kImpCifFile] = out.cifFile;
  in.slots[cif::kImpLayerFile] = "";
  in.slots[cif::kImpTlcFolder] = folder / "back";
  in.slots[cif::kImpScale] = "100";
  in.slots[cif::kImpTemplate] = cif::kMeroTemplate;  // the exporter's full form of every text
  cif::NormaliseImport(in);
  {
    utilib::Job job(cif::kImportProgram, ui);
    cif::ImportResult result;
    ASSERT_EQ(cif::ImportCif(job, in, {}, &result), 1) << ::testing::PrintToString(ui.events);
    utilib::CloseReport(job);
    EXPECT_EQ(result.tlcFiles, 3);
  }

  // Records come back grouped by layer in the layer file's order, then texts, then instances.
  EXPECT_EQ(Body(folder / "back/LEAF.TLC"),
            (Records{"=P|3 0 6|0 0 40 0 40 10 10 10 10 30 |0 30 ", "=B|1 -7 -3 13 9",
                     "=P|1 -6 2|3 0 97 0 ", "=P|5 -8 3|0 0 0 100 50 100 ", "=T|5 300 2 0|4 5|LEAF"}));
  Records mid8;
  for (int code = 0; code < 8; ++code)
    mid8.push_back("=C|LEAF|" + std::to_string(code) + " " + std::to_string(200 * code) + " " +
                   std::to_string(-100 * code) + " 0");
  mid8.insert(mid8.begin(), "=B|3 0 0 2000 10");
  EXPECT_EQ(Body(folder / "back/MID.TLC"), mid8);
  EXPECT_EQ(Body(folder / "back/TOP.TLC"), (Records{"=C|MID|3 -5000 7000 0", "=C|LEAF|6 1 1 0"}));
  // The ranks survive in the headers written.
  EXPECT_NE(convtest::ReadFile(folder / "back/TOP.TLC").find("\r\n3 0 0 1 0\r\n"), std::string::npos);
}

}  // namespace
