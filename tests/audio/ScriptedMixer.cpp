#include "ScriptedMixer.h"

#include <algorithm>
#include <cstring>

TScriptedMixer::TScriptedMixer() : previous_(SetMixerApi(this)) {}

TScriptedMixer::~TScriptedMixer() { SetMixerApi(previous_); }

int TScriptedMixer::AddDestination(DWORD componentType, DWORD channels) {
  destinations_.push_back(static_cast<DWORD>(lines_.size()));
  lines_.push_back(TLine{componentType, channels, {}, {}});
  return static_cast<int>(destinations_.size()) - 1;
}

int TScriptedMixer::AddSource(int destination, DWORD componentType, DWORD channels) {
  auto& sources = lines_[destinations_.at(destination)].Sources;
  sources.push_back(static_cast<DWORD>(lines_.size()));
  lines_.push_back(TLine{componentType, channels, {}, {}});
  return static_cast<int>(sources.size()) - 1;
}

DWORD TScriptedMixer::LineAt(int destination, int source) const {
  const DWORD d = destinations_.at(destination);
  return source < 0 ? d : lines_[d].Sources.at(source);
}

DWORD TScriptedMixer::AddControl(int destination, int source, DWORD controlType, LONG value) {
  controls_.push_back(TControl{controlType, {value}, {}});
  const DWORD id = static_cast<DWORD>(controls_.size()) - 1;
  lines_[LineAt(destination, source)].Controls.push_back(id);
  return id;
}

DWORD TScriptedMixer::AddMux(int destination, const std::vector<TItem>& items, int selected) {
  const DWORD id = AddControl(destination, -1, MIXERCONTROL_CONTROLTYPE_MUX);
  controls_[id].Items = items;
  controls_[id].Values.assign(items.size(), 0);
  controls_[id].Values.at(selected) = 1;
  return id;
}

LONG TScriptedMixer::Value(DWORD control, int item) const {
  return controls_.at(control).Values.at(item);
}

void TScriptedMixer::Change(DWORD control, LONG value) {
  controls_.at(control).Values.at(0) = value;
  Notify(control);
}

void TScriptedMixer::Notify(DWORD control) {
  for (const auto& [handle, window] : handles_)
    if (window)
      PostMessageA(window, MM_MIXM_CONTROL_CHANGE, reinterpret_cast<WPARAM>(handle), control);
}

MMRESULT TScriptedMixer::Open(HMIXER* mixer, UINT device, DWORD_PTR callback, DWORD flags) {
  if (!Present || device != 0) return MMSYSERR_BADDEVICEID;
  *mixer = reinterpret_cast<HMIXER>(nextHandle_++);
  const bool window = (flags & CALLBACK_TYPEMASK) == CALLBACK_WINDOW;
  handles_[*mixer] = window ? reinterpret_cast<HWND>(callback) : nullptr;
  return MMSYSERR_NOERROR;
}

MMRESULT TScriptedMixer::Close(HMIXER mixer) {
  return handles_.erase(mixer) ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}

MMRESULT TScriptedMixer::GetDevCaps(HMIXER mixer, MIXERCAPSA* caps) {
  if (!handles_.count(mixer)) return MMSYSERR_INVALHANDLE;
  *caps = MIXERCAPSA{};
  caps->cDestinations = static_cast<DWORD>(destinations_.size());
  return MMSYSERR_NOERROR;
}

MMRESULT TScriptedMixer::GetLineInfo(HMIXER mixer, MIXERLINEA* line, DWORD flags) {
  const DWORD query = flags & MIXER_GETLINEINFOF_QUERYMASK;
  if (!handles_.count(mixer) || line->cbStruct != sizeof(MIXERLINEA) ||
      (query != MIXER_GETLINEINFOF_DESTINATION && query != MIXER_GETLINEINFOF_SOURCE))
    return MMSYSERR_INVALPARAM;
  if (line->dwDestination >= destinations_.size()) return MIXERR_INVALLINE;
  DWORD id = destinations_[line->dwDestination];
  if (query == MIXER_GETLINEINFOF_SOURCE) {
    if (line->dwSource >= lines_[id].Sources.size()) return MIXERR_INVALLINE;
    id = lines_[id].Sources[line->dwSource];
  }
  line->dwLineID = id;
  line->dwComponentType = lines_[id].ComponentType;
  line->cChannels = lines_[id].Channels;
  line->cConnections = static_cast<DWORD>(lines_[id].Sources.size());
  line->cControls = static_cast<DWORD>(lines_[id].Controls.size());
  return MMSYSERR_NOERROR;
}

MMRESULT TScriptedMixer::GetLineControls(HMIXER mixer, MIXERLINECONTROLSA* query, DWORD flags) {
  if (!handles_.count(mixer) || query->cbStruct != sizeof(MIXERLINECONTROLSA) ||
      query->cbmxctrl != sizeof(MIXERCONTROLA) ||
      (flags & MIXER_GETLINECONTROLSF_QUERYMASK) != MIXER_GETLINECONTROLSF_ALL)
    return MMSYSERR_INVALPARAM;
  if (query->dwLineID >= lines_.size()) return MIXERR_INVALLINE;
  const std::vector<DWORD>& ids = lines_[query->dwLineID].Controls;
  // As the platform: the count must be the line's, and zero is refused.
  if (query->cControls == 0 || query->cControls != ids.size()) return MMSYSERR_INVALPARAM;
  for (DWORD i = 0; i < ids.size(); ++i) {
    MIXERCONTROLA& out = query->pamxctrl[i];
    out = MIXERCONTROLA{};
    out.cbStruct = sizeof out;
    out.dwControlID = ids[i];
    out.dwControlType = controls_[ids[i]].Type;
    out.cMultipleItems = static_cast<DWORD>(controls_[ids[i]].Items.size());
  }
  return MMSYSERR_NOERROR;
}

MMRESULT TScriptedMixer::CheckDetails(HMIXER mixer, const MIXERCONTROLDETAILS* details,
                                      DWORD size) const {
  if (!handles_.count(mixer) || details->cbStruct != sizeof(MIXERCONTROLDETAILS) ||
      !details->paDetails || details->cChannels == 0 || details->cbDetails != size)
    return MMSYSERR_INVALPARAM;
  if (details->dwControlID >= controls_.size()) return MIXERR_INVALCONTROL;
  if (details->cMultipleItems != controls_[details->dwControlID].Items.size())
    return MMSYSERR_INVALPARAM;
  return MMSYSERR_NOERROR;
}

MMRESULT TScriptedMixer::GetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details,
                                           DWORD flags) {
  const DWORD query = flags & MIXER_GETCONTROLDETAILSF_QUERYMASK;
  const bool text = query == MIXER_GETCONTROLDETAILSF_LISTTEXT;
  if (!text && query != MIXER_GETCONTROLDETAILSF_VALUE) return MMSYSERR_NOTSUPPORTED;
  const DWORD size = text ? sizeof(MIXERCONTROLDETAILS_LISTTEXTA) : sizeof(LONG);
  if (MMRESULT refused = CheckDetails(mixer, details, size)) return refused;
  const TControl& c = controls_[details->dwControlID];
  if (text) {
    if (c.Items.empty()) return MMSYSERR_INVALPARAM;
    auto* out = static_cast<MIXERCONTROLDETAILS_LISTTEXTA*>(details->paDetails);
    for (size_t i = 0; i < c.Items.size(); ++i) {
      out[i] = MIXERCONTROLDETAILS_LISTTEXTA{c.Items[i].LineID, c.Items[i].ComponentType, {}};
      strncpy(out[i].szName, c.Items[i].Name.c_str(), sizeof out[i].szName);
    }
  } else {
    auto* out = static_cast<LONG*>(details->paDetails);
    for (DWORD ch = 0; ch < details->cChannels; ++ch)
      std::copy(c.Values.begin(), c.Values.end(), out + ch * c.Values.size());
  }
  Reads.push_back(details->dwControlID);
  return MMSYSERR_NOERROR;
}

MMRESULT TScriptedMixer::SetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details,
                                           DWORD flags) {
  if ((flags & MIXER_SETCONTROLDETAILSF_QUERYMASK) != MIXER_SETCONTROLDETAILSF_VALUE)
    return MMSYSERR_INVALPARAM;
  if (MMRESULT refused = CheckDetails(mixer, details, sizeof(LONG))) return refused;
  std::vector<LONG>& values = controls_[details->dwControlID].Values;
  std::copy_n(static_cast<const LONG*>(details->paDetails), values.size(), values.begin());
  Writes.push_back(details->dwControlID);
  Notify(details->dwControlID);
  return MMSYSERR_NOERROR;
}
