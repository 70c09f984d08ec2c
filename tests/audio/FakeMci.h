// A stand-in for MCI that records every command a recorder sends and answers each with the
// result a test chose for its message.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "audio/WaveRecord.h"

struct TCall {
  MCIDEVICEID Device = 0;
  UINT Message = 0;
  DWORD_PTR Flags = 0, Callback = 0, DeviceType = 0;
  std::string Element;
  MCI_WAVE_SET_PARMS Format{};
};

struct FakeMci {
  std::vector<TCall> Calls;
  std::map<UINT, MCIERROR> Results;  // by message; success when absent
  std::string SavedFile;  // what a successful save writes to its file; nothing when empty

  TMciSendCommand Send() {
    return [this](MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params) {
      TCall c;
      c.Device = device, c.Message = message, c.Flags = flags;
      const MCIERROR result = Results.count(message) ? Results[message] : 0;
      if (message == MCI_OPEN) {
        auto* p = reinterpret_cast<MCI_OPEN_PARMSA*>(params);
        c.DeviceType = reinterpret_cast<DWORD_PTR>(p->lpstrDeviceType);
        c.Element = p->lpstrElementName ? p->lpstrElementName : "(null)";
        c.Callback = p->dwCallback;
        p->wDeviceID = 7;  // like Wine: an identifier is filled in even when the open fails
      } else if (message == MCI_SET) {
        c.Format = *reinterpret_cast<MCI_WAVE_SET_PARMS*>(params);
      } else if (message == MCI_SAVE) {
        c.Element = reinterpret_cast<MCI_SAVE_PARMSA*>(params)->lpfilename;
        c.Callback = reinterpret_cast<MCI_SAVE_PARMSA*>(params)->dwCallback;
        if (!result && !SavedFile.empty()) {
          HANDLE f = CreateFileA(c.Element.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 0, nullptr);
          DWORD put = 0;
          WriteFile(f, SavedFile.data(), static_cast<DWORD>(SavedFile.size()), &put, nullptr);
          CloseHandle(f);
        }
      } else if (params) {
        c.Callback = reinterpret_cast<MCI_GENERIC_PARMS*>(params)->dwCallback;
      }
      Calls.push_back(c);
      return result;
    };
  }
};

inline int CountOf(const FakeMci& mci, UINT message) {
  return std::count_if(mci.Calls.begin(), mci.Calls.end(),
                       [&](const TCall& c) { return c.Message == message; });
}
