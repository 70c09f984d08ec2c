// The program's persistent options and the state of the current message. Loaded from the
// registry when created, saved when destroyed; in between every part reads and writes the
// fields directly.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class TVMProperties {
 public:
  TVMProperties();   // loads
  ~TVMProperties();  // saves
  TVMProperties(const TVMProperties&) = delete;
  TVMProperties& operator=(const TVMProperties&) = delete;

  void Load();
  // Raises the registry's error when a value cannot be written.
  void Save();

  bool HideTips = false;
  bool AutoRecord = false;
  bool AutoPlay = false;
  bool BeepOnRecord = false;
  bool AutoClose = false;
  std::uint8_t Quality = 0;  // 0 = 8000 Hz, 1 = 11025 Hz, 2 = 22050 Hz, 3 = 44100 Hz
  bool Mono = false;
  bool Bits16 = false;
  bool PackOnSend = false;
  bool GSM610 = false;
  std::int32_t PlainSize = 0;
  std::int32_t DurationSec = 0;
  std::int32_t MinWaveLevel = 0;
  std::string MsgFileName;

 private:
  void ApplyDefaults();
};

// The program-wide options, alive from module initialisation to finalisation.
extern std::unique_ptr<TVMProperties> VMProperties;

inline constexpr const char* VMOptionsKey = "Software\\Quindle\\Vocalet";

// The default message file: the temporary folder followed by "vocalet.wav".
std::string DefaultMsgFileName();
// A stored message path is kept when its file name has 1 to 12 characters.
bool IsUsableMsgFileName(const std::string& path);
