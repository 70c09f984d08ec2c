// Driving the real Vocalet.exe from another process under the same wineserver.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "TestFolder.h"

namespace e2e {

// Options by name, written with the defaults of those not given (a partial set is ignored).
using Options = std::map<std::string, std::string>;
void WriteOptions(const Options& options);
int SavedOption(const char* name);
enum Language { German = 3, English = 4 };  // places in the translations' table
void ChooseLanguage(Language language);
// What the microphone hears from the next start on (the HOME folder's .asoundrc): None is a
// sound system without a capture device.
enum class Mic { Speech, Silence, None };
void SetMicrophone(Mic mic);

bool WaitUntil(const std::function<bool()>& done, DWORD ms);
// The same while this thread's windows and COM calls keep running (a drop target's).
bool PumpUntil(const std::function<bool()>& done, DWORD ms);

class Vocalet {
 public:
  ~Vocalet();
  bool Start();
  bool Quit(DWORD ms = 20000);  // false when the process stays
  bool WaitExit(DWORD ms);
  HWND Main() const { return main_; }
  HANDLE Process() const { return pi_.hProcess; }
  void Key(WORD vk, bool ctrl = false, HWND to = nullptr);  // to the main window by default
  // The status line as a screen reader reads it: the status panel's window text.
  std::string StatusLine() const;
  bool WaitStatus(const std::string& prefix) const;
  bool RecorderPageShown() const;
  // The recorder's seconds counter as the screen shows it: its label has no window to ask.
  std::vector<DWORD> SecondsShown() const;
  enum ToolButton { btnRecord = 0, btnPlay = 1, btnSend = 3, btnAttach = 4 };
  bool ToolButtonEnabled(ToolButton button) const;
  HWND ToolBar() const;
  int WindowCount() const;
  // A top-level window of the process that shows, of the class (and title, when given).
  HWND Shown(const char* className, const char* title = nullptr) const;
  HWND ShownBox() const { return Shown("#32770"); }
  static std::string BoxText(HWND box);
  static HWND ChildWithText(HWND parent, const std::string& text);

  bool StartRecording();  // F2, until the recorder page shows
  bool Record(DWORD ms = 1500);  // and ms later F3, until the new message is shown
  HWND OpenDragNAttach();  // Ctrl+A
  // F12, the name typed into the platform's save dialog, Save; and the name it proposed.
  bool SaveAs(const std::string& path, std::string* proposed = nullptr);

 private:
  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
};

// A message file in a folder of its own, English, the speech, the pointer clear of a drop.
struct Scenario : ::testing::Test {
  TestFolder folder;
  std::string message = folder.Path() + "\\message.wav";
  Options options;
  Vocalet app;
  void SetUp() override;
  bool Start();  // with the options
};

std::string BinDir();
std::string HandOffFile();  // "eMail.dat", where the mail-sender finds the message
std::string ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::string& data);
bool Exists(const std::string& path);
bool ProcessRuns(const char* exe);
std::string UnixPath(const std::string& path);  // in UTF-8
// A 500 Hz triangle as the recorder makes it by default: PCM, 8 kHz, mono, 16 bits.
std::string PcmTone(int seconds);

struct WaveInfo {
  WORD formatTag = 0, bits = 0, blockAlign = 0;
  std::string data;
};
WaveInfo ReadWave(const std::string& path);
std::vector<short> DecodeGsm(const WaveInfo& w);  // by the platform's own codec
double Rms(const std::vector<short>& s);
double Rms(const WaveInfo& pcm16);

// What a mail message's stand-in in this process saw of a drag from Drag & Attach's icon.
struct Drop {
  bool reached = false;  // the drag came over it (never without xdotool)
  int hoverBlockSize = -1, drops = 0;
  WORD formatWhileHovering = 0, formatAtDrop = 0;  // of the message file, and of the drop
  std::vector<std::string> dropped;
};
// Drags (xdotool) from Drag & Attach's icon over the stand-in, presses Esc there if asked,
// and releases the button; returns once Drag & Attach has closed.
Drop DragToMail(Vocalet& app, HWND dragNAttach, const std::string& message, bool escape = false);

}  // namespace e2e
