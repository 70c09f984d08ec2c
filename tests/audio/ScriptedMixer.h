// A mixer device made of a table, in place of the system's mixer, that records the reads and
// writes reaching its controls. A write tells every handle opened with a callback window.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <map>
#include <string>
#include <vector>

#include "audio/MixerApi.h"

// Handles the window messages that come in within `ms` milliseconds (the change messages).
inline void Pump(DWORD ms = 50) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(5)) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
}

class TScriptedMixer : public TMixerApi {
 public:
  struct TItem {
    std::string Name;
    DWORD LineID, ComponentType;
  };

  TScriptedMixer();  // puts itself in place of the system's mixer
  ~TScriptedMixer() override;

  // Lines and controls; a source index of -1 names the destination line itself.
  int AddDestination(DWORD componentType, DWORD channels = 2);
  int AddSource(int destination, DWORD componentType, DWORD channels = 2);
  DWORD AddControl(int destination, int source, DWORD controlType, LONG value = 0);
  DWORD AddMux(int destination, const std::vector<TItem>& items, int selected);

  LONG Value(DWORD control, int item = 0) const;
  // Changes a value as the user would in the system's mixer, with change messages.
  void Change(DWORD control, LONG value);

  bool Present = true;  // false: there is no mixer device at all
  std::vector<DWORD> Reads, Writes;  // controls that a read or a write reached
  size_t OpenHandles() const { return handles_.size(); }

  MMRESULT Open(HMIXER* mixer, UINT device, DWORD_PTR callback, DWORD flags) override;
  MMRESULT Close(HMIXER mixer) override;
  MMRESULT GetDevCaps(HMIXER mixer, MIXERCAPSA* caps) override;
  MMRESULT GetLineInfo(HMIXER mixer, MIXERLINEA* line, DWORD flags) override;
  MMRESULT GetLineControls(HMIXER mixer, MIXERLINECONTROLSA* controls, DWORD flags) override;
  MMRESULT GetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details, DWORD flags) override;
  MMRESULT SetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details, DWORD flags) override;

 private:
  struct TControl {
    DWORD Type;
    std::vector<LONG> Values;  // one per item (one for a simple control)
    std::vector<TItem> Items;
  };
  struct TLine {
    DWORD ComponentType, Channels;
    std::vector<DWORD> Controls;
    std::vector<DWORD> Sources;  // of a destination
  };
  DWORD LineAt(int destination, int source) const;
  MMRESULT CheckDetails(HMIXER mixer, const MIXERCONTROLDETAILS* details, DWORD size) const;
  void Notify(DWORD control);

  TMixerApi* previous_;
  std::vector<TLine> lines_;         // the line identifier is the index
  std::vector<DWORD> destinations_;  // their lines
  std::vector<TControl> controls_;   // the identifier is the index, from 0 as in Wine
  std::map<HMIXER, HWND> handles_;   // open handles and their callback windows
  UINT_PTR nextHandle_ = 0x4D00;
};
