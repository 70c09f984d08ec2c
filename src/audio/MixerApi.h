// The few mixer calls the program makes, behind one interface: the system's mixer by
// default; tests put a scripted device in its place (hardware mixers cannot be set up here).
#pragma once

#include <windows.h>
#include <mmsystem.h>

class TMixerApi {
 public:
  virtual ~TMixerApi() = default;
  virtual MMRESULT Open(HMIXER* mixer, UINT device, DWORD_PTR callback, DWORD flags) = 0;
  virtual MMRESULT Close(HMIXER mixer) = 0;
  virtual MMRESULT GetDevCaps(HMIXER mixer, MIXERCAPSA* caps) = 0;
  virtual MMRESULT GetLineInfo(HMIXER mixer, MIXERLINEA* line, DWORD flags) = 0;
  virtual MMRESULT GetLineControls(HMIXER mixer, MIXERLINECONTROLSA* controls, DWORD flags) = 0;
  virtual MMRESULT GetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details, DWORD flags) = 0;
  virtual MMRESULT SetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details, DWORD flags) = 0;
};

// The mixer every object of MixerUtils uses.
TMixerApi& MixerApi();
// Puts `api` in place of the system's mixer (null: back to the system's); returns the one
// that was in place.
TMixerApi* SetMixerApi(TMixerApi* api);
