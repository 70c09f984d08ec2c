// Driving the real Vocalet.exe from another process under the same wineserver: start it with
// chosen options, press keys, read what it shows, drag with the X pointer.
#pragma once

#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <ole2.h>

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
// All fourteen values: a partial set would make every default apply.
void WriteOptions(const Options& o);
Options ReadOptions();  // PlainSize and DurationSec
// The language the program starts in, by its place in the translations' table.
enum Language : DWORD { German = 3, English = 4 };
void ChooseLanguage(Language language);

bool WaitUntil(const std::function<bool()>& done, DWORD ms);
// The same while this thread's windows and COM calls keep running (a drop target's).
bool PumpUntil(const std::function<bool()>& done, DWORD ms);

class Vocalet {
 public:
  ~Vocalet();
  bool Start();
  bool Quit(DWORD ms = 20000);  // closes the main window; false when the process stays
  bool WaitExit(DWORD ms);
  DWORD ExitCode() const;
  HWND Main() const { return main_; }
  HANDLE Process() const { return pi_.hProcess; }
  // A key to the main window, or to another window of the program.
  void Key(WORD vk, bool ctrl = false, HWND to = nullptr);
  // The status line as a screen reader reads it: the status panel's window text.
  std::string StatusLine() const;
  bool WaitStatus(const std::string& prefix, DWORD ms = 30000) const;
  bool RecorderPageShown() const;
  // The recorder's seconds counter as the screen shows it: its label has no window to ask.
  std::vector<DWORD> SecondsShown() const;
  enum ToolButton { btnRecord = 0, btnPlay = 1, btnSend = 3, btnAttach = 4 };
  bool ToolButtonEnabled(ToolButton button) const;
  HWND ToolBar() const;
  int WindowCount() const;  // top-level and child
  // A top-level window of the process that shows, of the class (and title, when given).
  HWND Shown(const std::string& className, const std::string& title = "") const;
  HWND ShownBox() const { return Shown("#32770"); }
  static std::string BoxText(HWND box);

  bool StartRecording();  // F2, until the recorder page shows
  // F2, ms of the scripted microphone's speech, F3, until the new message is shown.
  bool Record(DWORD ms = 1500);
  HWND OpenDragNAttach();  // Ctrl+A
  // F12, the name typed into the platform's save dialog, Save; and the name it proposed.
  bool SaveAs(const std::string& path, std::string* proposed = nullptr);

 private:
  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
};

std::string BinDir();
std::string HandOffFile();  // "eMail.dat", where the mail-sender finds the message
std::string ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::string& data);
bool Exists(const std::string& path);
bool ProcessRuns(const char* exe);
// The Unix path, in UTF-8, of a Windows path in the ANSI code page.
std::string UnixPath(const std::string& path);

struct WaveInfo {
  bool ok = false;
  WORD formatTag = 0, bits = 0, blockAlign = 0;
  std::string data;
};
WaveInfo ReadWave(const std::string& path);
// PCM of a GSM 6.10 wave file, decoded by the platform's own codec.
std::vector<short> DecodeGsm(const WaveInfo& w);
double Rms(const std::vector<short>& s);
double Rms(const WaveInfo& pcm16);

// A mail message's stand-in in this process, on top at a fixed place: a drop target that
// notes what it was given, and what the message file was while the drag hovered.
struct MailStandIn : IDropTarget {
  static constexpr int kX = 800, kY = 500, kSize = 250;
  explicit MailStandIn(std::string messageFile);
  ~MailStandIn();
  std::string message;
  HWND window = nullptr;
  bool hovered = false;
  int hoverBlockSize = -1, drops = 0;
  WORD formatWhileHovering = 0, formatAtDrop = 0;
  std::vector<std::string> dropped;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override;
};

// The X pointer's way from Drag & Attach's icon to the stand-in, run by xdotool on the Unix
// side in three legs, each when this process says so: it presses on the icon at once, moves
// over the target once the drag shows (OverTarget) and releases the button (Release).
class PointerDrag {
 public:
  PointerDrag(HWND dragNAttach, const std::string& folder);
  ~PointerDrag() { Release(); }
  bool OverTarget(MailStandIn& target);  // false without xdotool too
  bool Release();

 private:
  std::string go1_, go2_, done_;
  bool started_ = false;
};

}  // namespace e2e
