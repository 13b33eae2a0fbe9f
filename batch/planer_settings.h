// Settings of the flattener: the set-up file's slots as text, and the values the job works with.
#pragma once
#include <string>
#include <vector>

#include "utilib/layer_filter.h"

namespace planer {

constexpr const char* kProgram = "PLANER";
constexpr const char* kSetupFile = "Planer.su6";
constexpr const char* kSetupVersion = "6.00";
constexpr const char* kReport = "PLANER.RPT";
constexpr int kSlots = 11;

enum Slot {
  kCellSlot, kPathSlot, kLayersSlot, kCircuitSlot, kKeepNodeSlot, kNodeLayerSlot, kConnectorLayerSlot,
  kDeviceNameLayerSlot, kDeviceParamLayerSlot, kOutlineLayerSlot, kReportSlot
};

struct PlanerSettings {
  std::vector<std::string> slots = std::vector<std::string>(kSlots);

  // Taken from the slots by NormaliseSettings.
  std::string cell;
  std::string outFolder;  // the output setting with a separator at its end (".\FLAT\")
  utilib::LayerFilter layers;
  bool circuitCompile = true;
  bool keepAllNodeText = false;
  int nodeLayer = 60;
  int connectorLayer = 61;
  int deviceNameLayer = 62;
  int deviceParamLayer = 63;
  int outlineLayer = 64;
  std::string reportFile;
};

void SetPlanerDefaults(PlanerSettings& s);
void NormaliseSettings(PlanerSettings& s);

}  // namespace planer
