#include "shell/vmOptions.h"

#include <stdexcept>

#include "util/Registry.h"
#include "util/ovUtils.h"

std::unique_ptr<TVMProperties> VMProperties;

std::string DefaultMsgFileName() { return GetTempDir() + "vocalet.wav"; }

bool IsUsableMsgFileName(const std::string& path) {
  const auto separator = path.find_last_of("\\/:");
  const std::size_t nameLength =
      separator == std::string::npos ? path.size() : path.size() - separator - 1;
  // Over 12 characters is the old rule for names the mail programs could not take; an empty
  // name (no value stored, or a bare folder) would leave the program without a message file.
  return nameLength > 0 && nameLength <= 12;
}

TVMProperties::TVMProperties() { Load(); }

TVMProperties::~TVMProperties() {
  // The end of the program has no one left to report to; a failed save loses the options of
  // this run, as it would if the program were killed.
  try {
    Save();
  } catch (...) {
  }
}

void TVMProperties::Load() {
  TRegistry registry;
  if (!registry.OpenKey(VMOptionsKey, false)) {
    // Nothing can be read: every Boolean would read as false and the first integer fail.
    HideTips = false;
    ApplyDefaults();
    return;
  }
  try {
    auto readBool = [&](const char* name) { return registry.ReadString(name) == "1"; };
    AutoRecord = readBool("AutoRecord");
    HideTips = readBool("HideTips");
    AutoPlay = readBool("AutoPlay");
    BeepOnRecord = readBool("BeepOnRecord");
    AutoClose = readBool("AutoClose");
    Mono = readBool("Mono");
    GSM610 = readBool("GSM610");
    PackOnSend = readBool("PackOnSend");
    Bits16 = readBool("Bits16");
    Quality = static_cast<std::uint8_t>(registry.ReadInteger("Quality "));
    PlainSize = registry.ReadInteger("PlainSize");
    DurationSec = registry.ReadInteger("DurationSec");
    MinWaveLevel = registry.ReadInteger("MinWaveLevel");
    MsgFileName = registry.ReadString("MsgFileName");
    if (!IsUsableMsgFileName(MsgFileName)) {
      MsgFileName = DefaultMsgFileName();
      registry.WriteString("MsgFileName", MsgFileName);
    }
  } catch (const std::exception&) {
    ApplyDefaults();
  }
  registry.CloseKey();
}

void TVMProperties::ApplyDefaults() {
  // HideTips, PlainSize and DurationSec keep what was read before the failure.
  AutoRecord = true;
  AutoPlay = true;
  BeepOnRecord = true;
  GSM610 = true;
  PackOnSend = false;
  AutoClose = false;
  Mono = true;
  Bits16 = true;
  MinWaveLevel = 50;
  Quality = 0;
  MsgFileName = DefaultMsgFileName();
}

void TVMProperties::Save() {
  TRegistry registry;
  if (!registry.OpenKey(VMOptionsKey, true))
    throw std::runtime_error(std::string("Cannot create the registry key ") + VMOptionsKey);
  auto writeBool = [&](const char* name, bool value) {
    registry.WriteString(name, value ? "1" : "0");
  };
  writeBool("HideTips", HideTips);
  writeBool("AutoRecord", AutoRecord);
  writeBool("AutoPlay", AutoPlay);
  writeBool("BeepOnRecord", BeepOnRecord);
  writeBool("AutoClose", AutoClose);
  writeBool("Mono", Mono);
  writeBool("GSM610", GSM610);
  writeBool("PackOnSend", PackOnSend);
  writeBool("Bits16", Bits16);
  registry.WriteInteger("Quality ", Quality);
  registry.WriteInteger("PlainSize", PlainSize);
  registry.WriteString("MsgFileName", MsgFileName);
  registry.WriteInteger("DurationSec", DurationSec);
  registry.WriteInteger("MinWaveLevel", MinWaveLevel);
  registry.CloseKey();
}
