#include "audio/MixerUtils.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "audio/MixerApi.h"
#include "toolkit/ExtCtrls.h"

// --- TMixer -------------------------------------------------------------------------------

TMixer::TMixer(HWND callbackWindow) {
  for (MIXERCONTROLA& c : Controls) c.cbStruct = sizeof c;
  DWORD_PTR callback = reinterpret_cast<DWORD_PTR>(callbackWindow);
  if (MixerApi().Open(&Handle, 0, callback, callbackWindow ? CALLBACK_WINDOW : 0) != 0)
    Handle = nullptr;
}

TMixer::~TMixer() {
  if (Handle) MixerApi().Close(Handle);
}

// Looks for the control type on `Line`. `failed` tells a refused query, which ends a search.
bool TMixer::FindOnLine(DWORD controlType, MIXERCONTROLA& found, bool& failed) {
  failed = false;
  // A line without controls has none of the type; the platform refuses to list zero.
  if (Line.cControls == 0) return false;
  // More than our array holds would be written past its end.
  if (Line.cControls > kMaxMixerItems) {
    failed = true;
    return false;
  }
  MIXERLINECONTROLSA query{};
  query.cbStruct = sizeof query;
  query.dwLineID = Line.dwLineID;
  query.cControls = Line.cControls;
  query.cbmxctrl = sizeof(MIXERCONTROLA);
  query.pamxctrl = Controls;
  if (MixerApi().GetLineControls(Handle, &query, MIXER_GETLINECONTROLSF_ALL) != 0) {
    failed = true;
    return false;
  }
  for (DWORD i = 0; i < Line.cControls; ++i) {
    if (Controls[i].dwControlType == controlType) {
      found = Controls[i];
      return true;
    }
  }
  return false;
}

bool TMixer::FindControl(DWORD destinationType, DWORD sourceType, DWORD controlType,
                         MIXERCONTROLA& found) {
  if (MixerApi().GetDevCaps(Handle, &Caps) != 0) return false;
  bool failed = false;
  for (DWORD d = 0; d < Caps.cDestinations; ++d) {
    Line = MIXERLINEA{};
    Line.cbStruct = sizeof Line;
    Line.dwDestination = d;
    if (sourceType == 0) {
      if (MixerApi().GetLineInfo(Handle, &Line, MIXER_GETLINEINFOF_DESTINATION) != 0)
        return false;
      if (FindOnLine(controlType, found, failed)) return true;
      if (failed) return false;
      continue;
    }
    if (MixerApi().GetLineInfo(Handle, &Line, MIXER_GETLINEINFOF_DESTINATION) != 0 ||
        Line.dwComponentType != destinationType)
      continue;
    const DWORD connections = Line.cConnections;
    for (DWORD s = 0; s < connections; ++s) {
      Line = MIXERLINEA{};
      Line.cbStruct = sizeof Line;
      Line.dwDestination = d;
      Line.dwSource = s;
      if (MixerApi().GetLineInfo(Handle, &Line, MIXER_GETLINEINFOF_SOURCE) != 0) return false;
      if (Line.dwComponentType != sourceType) continue;
      if (FindOnLine(controlType, found, failed)) return true;
      if (failed) return false;
    }
  }
  return false;
}

// --- TMixerLineControl --------------------------------------------------------------------

TMixerLineControl::TMixerLineControl(TChangeEvent onChange) : OnChange(std::move(onChange)) {
  if (OnChange) {
    Window = std::make_unique<TUtilityWindow>([this](UINT msg, WPARAM, LPARAM, LRESULT& result) {
      result = 0;
      // A hidden window that answered 0 here would veto the end of the Windows session.
      if (msg == WM_QUERYENDSESSION) result = TRUE;
      if (msg == MM_MIXM_CONTROL_CHANGE) Changed();
      return true;
    });
  }
  Mixer = std::make_unique<TMixer>(Window ? Window->Handle() : nullptr);
}

TMixerLineControl::~TMixerLineControl() {
  OnChange = nullptr;
  Mixer.reset();
  Window.reset();
}

// Any control change on the device refreshes every listening object: the message's control
// identifier is not compared with ours.
void TMixerLineControl::Changed() {
  Update();
  if (TChangeEvent handler = OnChange) handler(this);
}

bool TMixerLineControl::OpenControl(DWORD destinationType, DWORD sourceType,
                                    DWORD controlType) {
  MIXERCONTROLA found{};
  if (!Mixer->FindControl(destinationType, sourceType, controlType, found)) return false;
  Control = found;
  return true;
}

void TMixerLineControl::SetDetails(DWORD channels, DWORD items, DWORD detailSize, void* values) {
  Details = MIXERCONTROLDETAILS{};
  Details.cbStruct = sizeof Details;
  Details.dwControlID = Control.dwControlID;
  Details.cChannels = channels;
  Details.cMultipleItems = items;
  Details.cbDetails = detailSize;
  Details.paDetails = values;
}

// An object that was not opened keeps empty details, which the platform refuses.
bool TMixerLineControl::Read(DWORD flags) {
  return MixerApi().GetControlDetails(Mixer->Handle, &Details, flags) == 0;
}

bool TMixerLineControl::Write() {
  return MixerApi().SetControlDetails(Mixer->Handle, &Details, MIXER_SETCONTROLDETAILSF_VALUE) ==
         0;
}

namespace {

struct TLineTypes {
  DWORD Destination;
  DWORD Source;
};

bool LineOfSelector(int line, TLineTypes& types) {
  switch (line) {
    case mlWaveOut:
      types = {MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT};
      return true;
    case mlMaster:
      types = {MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, 0};
      return true;
    case mlMicrophone:
      types = {MIXERLINE_COMPONENTTYPE_DST_WAVEIN, MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE};
      return true;
    default:
      return false;
  }
}

}  // namespace

// --- TPeakMeter ---------------------------------------------------------------------------

bool TPeakMeter::OpenPlayback() {
  return Open(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT);
}

bool TPeakMeter::OpenRecording() {
  return Open(MIXERLINE_COMPONENTTYPE_DST_WAVEIN, MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE);
}

bool TPeakMeter::Open(DWORD destinationType, DWORD sourceType) {
  if (!OpenControl(destinationType, sourceType, MIXERCONTROL_CONTROLTYPE_PEAKMETER)) return false;
  // At most two channels are read; the buffer holds every value the driver will write.
  DWORD channels = std::clamp<DWORD>(Mixer->Line.cChannels, 1, 2);
  DWORD items = Control.cMultipleItems;
  values_.assign(channels * std::max<DWORD>(items, 1), MIXERCONTROLDETAILS_SIGNED{});
  SetDetails(channels, items, sizeof(MIXERCONTROLDETAILS_SIGNED), values_.data());
  return true;
}

bool TPeakMeter::Update() {
  if (!Read()) return false;
  long v = values_.empty() ? 0 : values_[0].lValue;
  // The most negative value has no positive counterpart.
  Left = v == LONG_MIN ? LONG_MAX : static_cast<int>(v < 0 ? -v : v);
  return true;
}

// --- TFader and TMuteSwitch ---------------------------------------------------------------

bool TFader::Open(int line) {
  TLineTypes types{};
  if (!LineOfSelector(line, types)) return false;
  if (!OpenControl(types.Destination, types.Source, MIXERCONTROL_CONTROLTYPE_VOLUME))
    return false;
  SetDetails(1, 0, sizeof value_, &value_);
  Update();
  return true;
}

bool TFader::Update() {
  if (!Read()) return false;
  Position = value_.dwValue;
  return true;
}

bool TFader::SetPosition(DWORD value) {
  Position = value;
  value_.dwValue = value;
  return Write();
}

bool TMuteSwitch::Open(int line) {
  TLineTypes types{};
  if (!LineOfSelector(line, types)) return false;
  if (!OpenControl(types.Destination, types.Source, MIXERCONTROL_CONTROLTYPE_MUTE))
    return false;
  SetDetails(1, 0, sizeof value_, &value_);
  Update();
  return true;
}

bool TMuteSwitch::Update() {
  if (!Read()) return false;
  Muted = (value_.fValue & 0xFF) != 0;
  return true;
}

bool TMuteSwitch::SetMuted(bool muted) {
  value_.fValue = muted ? 1 : 0;
  if (!Write()) return false;
  Muted = muted;
  return true;
}

// --- TRecordingSourceList -----------------------------------------------------------------

bool TRecordingSourceList::Open() {
  // On a destination line itself: the first destination with a MUX, whatever its type.
  if (!OpenControl(MIXERLINE_COMPONENTTYPE_DST_WAVEIN, 0, MIXERCONTROL_CONTROLTYPE_MUX))
    return false;
  SetDetails(1, Control.cMultipleItems, sizeof(MIXERCONTROLDETAILS_BOOLEAN), selected_);
  Update();
  return true;
}

bool TRecordingSourceList::Update() {
  Sources.clear();
  const DWORD items = Control.cMultipleItems;
  if (items > kMaxMixerItems) return false;
  Details.cbDetails = sizeof(MIXERCONTROLDETAILS_LISTTEXTA);
  Details.paDetails = texts_;
  if (!Read(MIXER_GETCONTROLDETAILSF_LISTTEXT)) return false;
  Details.cbDetails = sizeof(MIXERCONTROLDETAILS_BOOLEAN);
  Details.paDetails = selected_;
  if (!Read(MIXER_GETCONTROLDETAILSF_VALUE)) return false;
  for (DWORD i = 0; i < items; ++i) {
    const MIXERCONTROLDETAILS_LISTTEXTA& t = texts_[i];
    TEntry entry;
    entry.Name.assign(t.szName, strnlen(t.szName, sizeof t.szName));
    entry.Source = TRecordingSource{t.dwParam1, t.dwParam2, selected_[i].fValue != 0};
    Sources.push_back(std::move(entry));
  }
  return true;
}

bool TRecordingSourceList::Select(int index) {
  const DWORD items = Control.cMultipleItems;
  if (items > kMaxMixerItems) return false;
  // An index outside the list would write a selection with nothing selected.
  if (index < 0 || static_cast<DWORD>(index) >= items) return false;
  for (DWORD i = 0; i < items; ++i) selected_[i].fValue = i == static_cast<DWORD>(index);
  Details.cbDetails = sizeof(MIXERCONTROLDETAILS_BOOLEAN);
  Details.paDetails = selected_;
  return Write();
}

bool TRecordingSourceList::SelectByType(DWORD componentType) {
  for (size_t i = 0; i < Sources.size(); ++i)
    if (Sources[i].Source.ComponentType == componentType) return Select(static_cast<int>(i));
  return false;
}

// --- Free functions -----------------------------------------------------------------------

int VolumeToPercent(DWORD raw) {
  if (raw == 0) return 0;
  return static_cast<int>(static_cast<unsigned long long>(raw) * 100 / 65535);
}

DWORD PercentToVolume(int percent) {
  percent = std::clamp(percent, 0, 100);
  return static_cast<DWORD>(percent * 65535 / 100);
}

int GetVolumePercent(int line) {
  TFader fader;
  fader.Open(line);
  return VolumeToPercent(fader.Position);
}

bool SetVolumePercent(int line, int percent) {
  TFader fader;
  fader.Open(line);
  return fader.SetPosition(PercentToVolume(percent));
}

bool SetMute(int line, bool muted) {
  TMuteSwitch mute;
  mute.Open(line);
  return mute.SetMuted(muted);
}

bool SelectMicrophone() {
  TRecordingSourceList list;
  list.Open();
  return list.SelectByType(MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE);
}
