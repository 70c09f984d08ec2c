// Driving the real Vocalet.exe from another process under the same wineserver.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "support/TestFolder.h"

namespace e2e {

// Options by name, the others written with their defaults (a partial set is ignored).
using Options = std::map<std::string, std::string>;
void WriteOptions(const Options& options);
int SavedOption(const char* name);
enum Language { German = 3, English = 4 };  // places in the translations' table
void ChooseLanguage(Language language);
// What the microphone hears from the next start on (None: no capture device).
enum class Mic { Speech, Silence, None };
void SetMicrophone(Mic mic);
// Polls, dispatching this thread's messages meanwhile (a drop target's COM calls).
bool WaitUntil(const std::function<bool()>& done, DWORD ms);

class Vocalet {
 public:
  ~Vocalet();
  bool Start();
  bool Quit(DWORD ms = 20000) { return PostMessageA(main_, WM_CLOSE, 0, 0) && WaitExit(ms); }
  bool WaitExit(DWORD ms) { return WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0; }
  HWND Main() const { return main_; }
  HANDLE Process() const { return pi_.hProcess; }
  void Key(WORD vk, bool ctrl = false, HWND to = nullptr);  // to the main window by default
  std::string StatusLine() const;  // the status panel's window text, as screen readers read it
  bool WaitStatus(const std::string& prefix) const {
    return WaitUntil([&] { return StatusLine().rfind(prefix, 0) == 0; }, 30000);
  }
  bool RecorderPageShown() const;
  std::vector<DWORD> SecondsShown() const;  // the counter's pixels: its label has no window
  enum ToolButton { btnRecord = 0, btnPlay = 1, btnSend = 3, btnAttach = 4 };
  bool ToolButtonEnabled(ToolButton button) const;
  HWND ToolBar() const;
  HWND Shown(const char* className, const char* title = nullptr) const;
  HWND ShownBox() const { return Shown("#32770"); }
  static std::string BoxText(HWND box);
  static HWND ChildWithText(HWND parent, const std::string& text);

  bool StartRecording() {  // F2, until the recorder page shows
    Key(VK_F2);
    return WaitUntil([&] { return RecorderPageShown(); }, 10000);
  }
  bool Record() {  // and F3 1.5 s later, until the new message is shown
    if (!StartRecording()) return false;
    Sleep(1500);
    Key(VK_F3);
    return WaitStatus("Last message recorded on ");
  }
  HWND OpenDragNAttach() {  // Ctrl+A
    HWND dna = nullptr;
    Key('A', true);
    WaitUntil([&] { return (dna = Shown("TDragNAttachForm")) != nullptr; }, 10000);
    return dna;
  }
  bool SaveAs(const std::string& path);  // F12, the name typed into the save dialog, Save

 private:
  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
};

// A message file of its own, English, the speech, the pointer clear of a drop.
struct Scenario : ::testing::Test {
  TestFolder folder;
  std::string message = folder.Path() + "\\message.wav";
  Options options;
  Vocalet app;
  void SetUp() override;
  bool Start() { WriteOptions(options); return app.Start(); }
};

inline std::string BinDir() { return getenv("VOCALET_BIN_DIR"); }
inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}
inline void WriteAll(const std::string& path, const std::string& data) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
}
inline bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
bool ProcessRuns(const char* exe);
std::string PcmTone(int seconds);  // a 500 Hz tone, PCM, 8 kHz, mono, 16 bits

struct WaveInfo { WORD formatTag = 0, bits = 0, blockAlign = 0; std::string data; };
WaveInfo ReadWave(const std::string& path);
std::vector<short> Samples(const WaveInfo& w);  // PCM, or GSM decoded by the platform's codec
double Rms(const WaveInfo& w);

// What a mail message's stand-in in this process saw of a drag from Drag & Attach's icon.
struct Drop {
  bool reached = false;
  int hoverBlockSize = -1, drops = 0;
  WORD formatWhileHovering = 0, formatAtDrop = 0;  // of the message file, and of the drop
  std::vector<std::string> dropped;
};
// Drags the icon over the stand-in, presses Esc there if asked, and releases the button.
Drop DragToMail(Vocalet& app, HWND dragNAttach, const std::string& message, bool escape = false);

}  // namespace e2e
