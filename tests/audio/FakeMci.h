// A stand-in for MCI that records every command a recorder sends and answers each with the
// result a test chose for its message.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <map>
#include <string>
#include <vector>

#include "audio/WaveRecord.h"

struct TCall {
  MCIDEVICEID Device = 0;
  UINT Message = 0;
  DWORD_PTR Flags = 0;
  DWORD_PTR Callback = 0;
  DWORD_PTR DeviceType = 0;
  std::string Element;
  MCI_WAVE_SET_PARMS Format{};
  bool HasParams = false;
};

struct FakeMci {
  std::vector<TCall> Calls;
  std::map<UINT, MCIERROR> Results;  // by message; success when absent
  MCIDEVICEID NextId = 7;
  std::string SavedFile;  // what a successful save writes to its file; nothing when empty

  TMciSendCommand Send() {
    return [this](MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params) {
      TCall c;
      c.Device = device;
      c.Message = message;
      c.Flags = flags;
      c.HasParams = params != 0;
      MCIERROR result = Results.count(message) ? Results[message] : 0;
      switch (message) {
        case MCI_OPEN: {
          auto* p = reinterpret_cast<MCI_OPEN_PARMSA*>(params);
          c.DeviceType = reinterpret_cast<DWORD_PTR>(p->lpstrDeviceType);
          c.Element = p->lpstrElementName ? p->lpstrElementName : "(null)";
          c.Callback = p->dwCallback;
          // Like Wine: an identifier is filled in even when the open fails.
          p->wDeviceID = NextId;
          break;
        }
        case MCI_SET:
          c.Format = *reinterpret_cast<MCI_WAVE_SET_PARMS*>(params);
          break;
        case MCI_SAVE:
          c.Element = reinterpret_cast<MCI_SAVE_PARMSA*>(params)->lpfilename;
          c.Callback = reinterpret_cast<MCI_SAVE_PARMSA*>(params)->dwCallback;
          if (!result && !SavedFile.empty()) {
            HANDLE f = CreateFileA(c.Element.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   0, nullptr);
            DWORD put = 0;
            WriteFile(f, SavedFile.data(), static_cast<DWORD>(SavedFile.size()), &put, nullptr);
            CloseHandle(f);
          }
          break;
        case MCI_CLOSE:
          break;
        default:
          if (params) c.Callback = reinterpret_cast<MCI_GENERIC_PARMS*>(params)->dwCallback;
          break;
      }
      Calls.push_back(c);
      return result;
    };
  }
};

inline int CountOf(const FakeMci& mci, UINT message) {
  int n = 0;
  for (const TCall& c : mci.Calls) n += c.Message == message;
  return n;
}
