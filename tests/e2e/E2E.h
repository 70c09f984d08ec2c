// Driving the real Vocalet.exe from another process under the same wineserver: start it with
// chosen options, find its windows, press keys, read what it shows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

struct Options {
  bool HideTips = false, AutoRecord = true, AutoPlay = true, BeepOnRecord = false,
       AutoClose = false, Mono = true, GSM610 = true, PackOnSend = false, Bits16 = true;
  int Quality = 0, PlainSize = 0, DurationSec = 0, MinWaveLevel = 50;
  std::string MsgFileName;
};

// Writes all fourteen values (a partial set would make every default apply).
void WriteOptions(const Options& o);
Options ReadOptions();

class Vocalet {
 public:
  Vocalet() = default;
  ~Vocalet();
  bool Start(const std::string& args = "");
  // Closes the main window and waits for the process; false when it did not end.
  bool Quit(DWORD ms = 20000);
  bool WaitExit(DWORD ms);
  HWND Main() const { return main_; }
  HANDLE Process() const { return pi_.hProcess; }
  DWORD ProcessId() const { return pi_.dwProcessId; }

  void Key(WORD vk, bool ctrl = false);
  // The status line as a screen reader reads it: the status panel's window text (the label
  // that shows it has no window another process could read).
  std::string StatusLine() const;
  // True while the recorder page (with its 506-pixel panel) is showing.
  bool RecorderPageShown() const;
  enum ToolButton { btnRecord = 0, btnPlay = 1, btnSend = 3, btnAttach = 4, btnExit = 9 };
  bool ToolButtonEnabled(ToolButton button) const;
  HWND ToolBar() const;
  // GetGuiResources: real counts on Windows, always 0 under Wine (a stub there).
  DWORD GdiObjects() const;
  DWORD UserObjects() const;
  // Windows of the process, top-level and child: the USER objects that Wine lets us count.
  int WindowCount() const;
  // A message box of the process that shows, or null; and the text it says.
  HWND ShownBox() const;
  static std::string BoxText(HWND box);

 private:
  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
};

bool WaitUntil(const std::function<bool()>& done, DWORD ms);
// The same while this thread's windows and COM calls keep running (a drop target of the test).
bool PumpUntil(const std::function<bool()>& done, DWORD ms);
// The Unix path, in UTF-8, of a Windows path in the ANSI code page (kernel32's
// wine_get_unix_file_name), for the scripts that run on the Unix side.
std::string UnixPath(const std::string& path);
std::string BinDir();
std::string TempDir();

struct WaveInfo {
  bool ok = false;
  WORD formatTag = 0, channels = 0, bits = 0, blockAlign = 0;
  DWORD rate = 0, dataLength = 0;
  std::vector<unsigned char> data;
};
WaveInfo ReadWave(const std::string& path);
// PCM 16-bit mono of a GSM 6.10 wave file, decoded by the platform's own codec.
std::vector<short> DecodeGsm(const WaveInfo& w);
// Root mean square of 16-bit samples.
double Rms(const std::vector<short>& s);

}  // namespace e2e
