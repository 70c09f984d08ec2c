// TWaveRecorder: records a new message from the default wave input and plays a wave file,
// one MCI wave-audio command per operation, with the MCI completion message turned into an
// event for the owner.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <functional>
#include <memory>
#include <string>

class TUtilityWindow;
class TWaveRecorder;

using TRecorderEvent = std::function<void(TWaveRecorder* sender)>;
// The way commands reach MCI; tests hand in a recorder of their own.
using TMciSendCommand = std::function<MCIERROR(MCIDEVICEID device, UINT message,
                                               DWORD_PTR flags, DWORD_PTR params)>;

class TWaveRecorder {
 public:
  explicit TWaveRecorder(TMciSendCommand send = {});
  ~TWaveRecorder();
  TWaveRecorder(const TWaveRecorder&) = delete;
  TWaveRecorder& operator=(const TWaveRecorder&) = delete;

  // The hidden window given to MCI as the callback window of every notifying command.
  HWND Handle() const;
  DWORD LastError = 0;
  MCIDEVICEID DeviceID = 0;  // 0 after a failed open; kept by Close
  TRecorderEvent OnNotify;   // called when a notifying command completes successfully

  BYTE Channels = 0;
  DWORD SamplesPerSec = 0;
  WORD BitsPerSample = 0;
  std::string FileName;

  void Close();
  bool Play(TRecorderEvent handler);
  bool PlayFromCurrent(TRecorderEvent handler);
  bool Record(TRecorderEvent handler);
  bool Stop(TRecorderEvent handler);
  bool Pause(TRecorderEvent handler);
  bool Resume();
  bool Save();
  bool SetFormat();
  std::string ErrorText() const;

 private:
  bool Open(const char* element);
  // Commands go to the device we hold open; a closed identifier may already name another
  // device of this process, so without one they go to 0, which no device has.
  MCIDEVICEID Device() const { return open_ ? DeviceID : 0; }
  MCIERROR Send(MCIDEVICEID device, UINT message, DWORD_PTR flags, void* params);
  bool Notified(UINT msg, WPARAM wp);

  TMciSendCommand send_;
  std::unique_ptr<TUtilityWindow> window_;
  // Whether DeviceID names a device we opened and have not closed.
  bool open_ = false;
  // Whether the driver may still be running a play or record command of ours.
  bool running_ = false;
};
