#include "audio/MixerApi.h"

namespace {

class TSystemMixer final : public TMixerApi {
 public:
  MMRESULT Open(HMIXER* mixer, UINT device, DWORD_PTR callback, DWORD flags) override {
    return mixerOpen(mixer, device, callback, 0, flags);
  }
  MMRESULT Close(HMIXER mixer) override { return mixerClose(mixer); }
  MMRESULT GetDevCaps(HMIXER mixer, MIXERCAPSA* caps) override {
    return mixerGetDevCapsA(reinterpret_cast<UINT_PTR>(mixer), caps, sizeof *caps);
  }
  MMRESULT GetLineInfo(HMIXER mixer, MIXERLINEA* line, DWORD flags) override {
    return mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(mixer), line,
                             flags | MIXER_OBJECTF_HMIXER);
  }
  MMRESULT GetLineControls(HMIXER mixer, MIXERLINECONTROLSA* controls, DWORD flags) override {
    return mixerGetLineControlsA(reinterpret_cast<HMIXEROBJ>(mixer), controls,
                                 flags | MIXER_OBJECTF_HMIXER);
  }
  MMRESULT GetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details, DWORD flags) override {
    return mixerGetControlDetailsA(reinterpret_cast<HMIXEROBJ>(mixer), details,
                                   flags | MIXER_OBJECTF_HMIXER);
  }
  MMRESULT SetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details, DWORD flags) override {
    return mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(mixer), details,
                                  flags | MIXER_OBJECTF_HMIXER);
  }
};

TSystemMixer systemMixer;
TMixerApi* current = &systemMixer;

}  // namespace

TMixerApi& MixerApi() { return *current; }

TMixerApi* SetMixerApi(TMixerApi* api) {
  TMixerApi* old = current;
  current = api ? api : &systemMixer;
  return old;
}
