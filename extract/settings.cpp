#include "extract/settings.h"

#include <algorithm>
#include <strings.h>

#include "editor/db/text_numbers.h"
#include "utilib/layer_filter.h"

namespace ext {

namespace {

bool IsNo(const std::string& slot) { return strcasecmp(slot.c_str(), "N") == 0; }

// Layer numbers of one row: tokens split at blanks and commas, the first eight kept.
void ParseRow(const std::string& text, std::array<int, kRowPlaces>& row) {
  row.fill(0);
  int place = 0;
  std::size_t i = 0;
  while (i < text.size() && place < kRowPlaces) {
    while (i < text.size() && (text[i] == ' ' || text[i] == ',' || text[i] == '\t')) ++i;
    std::size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != ',' && text[i] != '\t') ++i;
    if (i > start) row[place++] = db::LeadingInt(std::string_view(text).substr(start, i - start));
  }
}

}  // namespace

ExtractorSettings::ExtractorSettings()
    : setup1{"???", "", "", "", "60", "61", "62", "63", "Y", "Y", "Y", "Y", "N", "N", "VN", kReportDefault},
      setup2{"???", "???", "???", "???", kCompareReportDefault},
      trace(kTraceSlots),
      smash(kSmashFileSlots) {
  for (int r = 0; r < kTraceRows; ++r) trace[kCapacitanceSlot + r] = "0.";
  trace[kInsulator5Slot].assign(1, 'Y');
  ParseTraceTable(*this);
}

int ClampLayer(int n) { return utilib::ClampLayerNumber(n); }

TraceTable ParseTraceRows(const std::vector<std::string>& trace) {
  TraceTable t;
  for (int r = 0; r < kTraceRows && kInsulatorSlot + r < static_cast<int>(trace.size()); ++r) {
    ParseRow(trace[kConductorSlot + r], t.conductors[r]);
    ParseRow(trace[kInsulatorSlot + r], t.insulators[r]);
    t.capacitance[r] = db::LeadingDouble(trace[kCapacitanceSlot + r]);
  }
  return t;
}

void ParseTraceTable(ExtractorSettings& s) { s.traceTable = ParseTraceRows(s.trace); }

void NormaliseSettings(ExtractorSettings& s, int group) {
  switch (group) {
    case 0: {
      auto& g = s.setup1;
      for (int slot : {kCellName, kAliasFile, kHeaderFile, kFooterFile}) utilib::UpperCase(g[slot]);
      for (int slot : {kNamedLayer, kConnectorLayer, kDeviceLayer, kParameterLayer})
        g[slot] = std::to_string(ClampLayer(db::LeadingInt(g[slot])));
      for (int slot : {kFloats, kOpens, kShorts, kDevice, kVirtual, kCounts}) utilib::IsSettingYes(g[slot]);
      ParseTraceTable(s);
      utilib::UpperCase(g[kReportName]);
      if (g[kReportName].empty()) g[kReportName] = kReportDefault;
      break;
    }
    case 1: {
      auto& g = s.setup2;
      for (int slot : {kFirstList, kSecondList, kBaseName, kCompareReport}) utilib::UpperCase(g[slot]);
      if (g[kCompareReport].empty()) g[kCompareReport] = kCompareReportEmpty;
      break;
    }
    case 2:
      utilib::IsSettingYes(s.trace[kCapacitanceSwitch]);
      ParseTraceTable(s);
      break;
    case 3:
      for (auto& slot : s.smash) utilib::UpperCase(slot);
      for (auto& slot : s.smashExtra) utilib::UpperCase(slot);
      break;
    default:
      break;
  }
}

RunSwitches MakeRunSwitches(const ExtractorSettings& s) {
  RunSwitches r;
  const auto& g = s.setup1;
  r.cellName = g[kCellName];
  r.aliasFile = g[kAliasFile];
  r.headerFile = g[kHeaderFile];
  r.footerFile = g[kFooterFile];
  r.namedLayer = ClampLayer(db::LeadingInt(g[kNamedLayer]));
  r.connectorLayer = ClampLayer(db::LeadingInt(g[kConnectorLayer]));
  r.deviceLayer = ClampLayer(db::LeadingInt(g[kDeviceLayer]));
  r.parameterLayer = ClampLayer(db::LeadingInt(g[kParameterLayer]));
  r.opens = !IsNo(g[kOpens]);
  r.shorts = !IsNo(g[kShorts]);
  r.floats = !IsNo(g[kFloats]);
  r.device = !IsNo(g[kDevice]);
  r.virtuals = !IsNo(g[kVirtual]);
  r.counts = !IsNo(g[kCounts]);
  r.capacitance = !IsNo(s.trace[kCapacitanceSwitch]);
  r.fastRun = s.fastRun;
  r.virtualPrefix = g[kVirtualPrefix];
  r.reportName = g[kReportName].empty() ? std::string(kReportDefault) : g[kReportName];
  for (int i = 0; i < kSmashFileSlots; ++i) r.smash[i] = s.smash[i];
  for (int i = kSmashFileSlots; i < kSmashSlots; ++i) r.smash[i] = s.smashExtra[i - kSmashFileSlots];
  for (auto& name : r.smash) {
    utilib::UpperCase(name);
    if (name.size() > kSmashNameLength) name.resize(kSmashNameLength);
  }
  r.trace = ParseTraceRows(s.trace);
  return r;
}

}  // namespace ext
