#include "batch/planer_settings.h"

#include "editor/tlc/stream.h"

namespace planer {

namespace {

using utilib::UpperCase;

const char* const kDefaults[kSlots] = {"???", ".\\Flat", "-", "Y", "N", "60", "61", "62", "63", "64", kReport};

int LayerSlot(std::string& slot) {
  const int n = utilib::ClampLayerNumber(tlc::ToInt(slot));
  slot = std::to_string(n);
  return n;
}

}  // namespace

void SetPlanerDefaults(PlanerSettings& s) {
  s.slots.assign(kDefaults, kDefaults + kSlots);
  NormaliseSettings(s);
}

void NormaliseSettings(PlanerSettings& s) {
  s.slots.resize(kSlots);
  UpperCase(s.slots[kCellSlot]);
  s.cell = s.slots[kCellSlot];

  std::string& path = s.slots[kPathSlot];
  UpperCase(path);
  if (path.empty() || path == "." || path == ".\\" || path == "./") path = ".\\FLAT";
  // The whole setting is the folder: ".\FLAT" must not read as a file FLAT in ".\".
  s.outFolder = path;
  if (s.outFolder.back() != '\\' && s.outFolder.back() != '/') s.outFolder += '\\';

  if (s.slots[kLayersSlot].empty()) s.slots[kLayersSlot] = "-";
  s.layers.zeroBased = false;
  s.layers.ParseLayerList(s.slots[kLayersSlot]);

  s.circuitCompile = utilib::IsSettingYes(s.slots[kCircuitSlot]);
  s.keepAllNodeText = utilib::IsSettingYes(s.slots[kKeepNodeSlot]);
  s.nodeLayer = LayerSlot(s.slots[kNodeLayerSlot]);
  s.connectorLayer = LayerSlot(s.slots[kConnectorLayerSlot]);
  s.deviceNameLayer = LayerSlot(s.slots[kDeviceNameLayerSlot]);
  s.deviceParamLayer = LayerSlot(s.slots[kDeviceParamLayerSlot]);
  s.outlineLayer = LayerSlot(s.slots[kOutlineLayerSlot]);

  std::string& report = s.slots[kReportSlot];
  UpperCase(report);
  if (report.empty()) report = kReport;
  s.reportFile = report;
}

}  // namespace planer
