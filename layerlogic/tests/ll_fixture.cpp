#include "layerlogic/tests/ll_fixture.h"

#include <filesystem>
#include <fstream>

#include "editor/db/settings.h"
#include "editor/tlc/tlcin.h"
#include "editor/tlc/writer.h"
#include "utilib/job.h"

namespace lltest {

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::vector<long> Numbers(const std::string& line) {
  std::vector<long> out;
  std::size_t pos = 0;
  while (pos < line.size()) {
    while (pos < line.size() && line[pos] == ' ') ++pos;
    if (pos >= line.size()) break;
    std::size_t used = 0;
    out.push_back(std::stol(line.substr(pos), &used));
    pos += used;
  }
  return out;
}

}  // namespace

Output ReadOutput(const std::string& text) {
  Output out;
  const std::vector<std::string> lines = Lines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == "=B") {
      const std::vector<long> v = Numbers(lines.at(i + 1));
      out.boxes.push_back({static_cast<int>(v.at(0)), static_cast<std::int32_t>(v.at(1)),
                           static_cast<std::int32_t>(v.at(2)), static_cast<std::int32_t>(v.at(3)),
                           static_cast<std::int32_t>(v.at(4))});
      ++i;
    } else if (lines[i] == "=P") {
      const std::vector<long> head = Numbers(lines.at(++i));
      tlc::TlcPath p;
      p.layer = static_cast<int>(head.at(0));
      p.width = static_cast<std::int32_t>(head.at(1));
      const long n = head.at(2);
      while (static_cast<long>(p.x.size()) < n) {
        const std::vector<long> v = Numbers(lines.at(++i));
        for (std::size_t k = 0; k + 1 < v.size(); k += 2) {
          p.x.push_back(static_cast<std::int32_t>(v[k]));
          p.y.push_back(static_cast<std::int32_t>(v[k + 1]));
        }
      }
      out.polygons.push_back(p);
    } else if (lines[i] == "=H") {
      out.header.assign(lines.begin() + static_cast<long>(i), lines.begin() + static_cast<long>(std::min(i + 10, lines.size())));
      out.headerLast = i + 10 == lines.size();
      i += 9;
    }
  }
  return out;
}

void RecordingView::ShowMap(const drc::BitMap& map, std::string_view area) {
  int set = 0;
  for (int s = 0; s < drc::kMapStrips; ++s)
    for (int r = 0; r < 1024; ++r) set += __builtin_popcount(map.Word(s, r));
  events.push_back("show map " + std::string(area) + " " + std::to_string(set));
}

layerlogic::RoundingAnswer RecordingView::AskRounding(std::string_view text) {
  events.push_back("rounding " + std::string(text));
  if (answers.empty()) return layerlogic::RoundingAnswer::Ignore;
  const layerlogic::RoundingAnswer a = answers.front();
  answers.erase(answers.begin());
  return a;
}

void Folder::Make(const std::vector<Cell>& cells, double scale, const std::string& unit) {
  const std::string source = root + "/src/";
  std::filesystem::create_directories(source);
  tlc::CellsRefWriter ref(static_cast<int>(cells.size()));
  for (const Cell& c : cells) {
    tlc::StringSink sink;
    tlc::TlcWriter w(sink, tlc::UtilityWriterOptions());
    tlc::TlcHeader h;
    h.name = c.name;
    h.scale = scale;
    h.unit = unit;
    h.date = "01/01/24";
    h.time = "00:00:00";
    h.rank = c.rank;
    h.right = 1;
    w.PutHeader(h);
    for (const auto& r : c.refs) w.PutCellRef(r);
    for (const auto& b : c.boxes) w.PutBox(b);
    for (const auto& p : c.paths) w.PutPath(p);
    w.Flush();
    std::ofstream(source + c.name + ".TLC", std::ios::binary) << sink.text;
    ref.Entry(c.name, c.rank, 0, 0, 1, 0, 0, 0, 0, 0);
  }
  ref.Save(source + "CELLS.REF", false);
  Write("FORM.DBD", "pool=\r\nlayer=a 1\r\nlayer=b 2\r\n");

  tell::Talk quiet;
  tlc::TlcSetup setup;
  setup.source = source;
  setup.destination = ".\\";
  setup.globalTlc = true;
  tlc::TlcRunSummary summary;
  tlc::ConvertTlcToCells(false, setup, quiet, &summary);

  db::Settings s;
  db::SetDefaultSettings(s);
  s.scale = scale;
  s.unitName = unit;
  db::WriteSettingsFile(s);

  const std::string missing = layerlogic::LoadDrawing(database, drawing, "C:");
  if (!missing.empty()) throw std::runtime_error(missing);
  layerlogic::SetDefaults(settings);
}

int Folder::Go(const std::vector<std::pair<int, std::string>>& typed) {
  for (const auto& [slot, text] : typed) settings.slots[slot] = text;
  layerlogic::Normalise(settings, drawing);
  const int result = layerlogic::GoLayerLogic(job, database, settings, drawing, view, outcome);
  utilib::CloseReport(job);
  return result;
}

}  // namespace lltest
