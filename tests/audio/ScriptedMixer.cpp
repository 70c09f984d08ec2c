#include "ScriptedMixer.h"

#include <algorithm>
#include <cstring>

TScriptedMixer::TScriptedMixer() : previous_(SetMixerApi(this)) {}

TScriptedMixer::~TScriptedMixer() { SetMixerApi(previous_); }

int TScriptedMixer::AddDestination(DWORD componentType, DWORD channels) {
  TDestination d;
  d.Line = TLine{componentType, channels, 0xFFFF0000u + static_cast<DWORD>(destinations_.size()), {}};
  destinations_.push_back(d);
  return static_cast<int>(destinations_.size()) - 1;
}

int TScriptedMixer::AddSource(int destination, DWORD componentType, DWORD channels) {
  auto& sources = destinations_.at(destination).Sources;
  DWORD id = (static_cast<DWORD>(destination) << 8) + static_cast<DWORD>(sources.size());
  sources.push_back(TLine{componentType, channels, id, {}});
  return static_cast<int>(sources.size()) - 1;
}

TScriptedMixer::TLine& TScriptedMixer::LineAt(int destination, int source) {
  TDestination& d = destinations_.at(destination);
  return source < 0 ? d.Line : d.Sources.at(source);
}

const TScriptedMixer::TLine* TScriptedMixer::LineByID(DWORD id) const {
  for (const TDestination& d : destinations_) {
    if (d.Line.LineID == id) return &d.Line;
    for (const TLine& s : d.Sources)
      if (s.LineID == id) return &s;
  }
  return nullptr;
}

DWORD TScriptedMixer::AddControl(int destination, int source, DWORD controlType, LONG value) {
  controls_.push_back(TControl{controlType, {value}, {}});
  DWORD id = static_cast<DWORD>(controls_.size()) - 1;
  LineAt(destination, source).Controls.push_back(id);
  return id;
}

DWORD TScriptedMixer::AddMux(int destination, const std::vector<TItem>& items, int selected) {
  std::vector<LONG> values(items.size(), 0);
  if (selected >= 0) values.at(selected) = 1;
  controls_.push_back(TControl{MIXERCONTROL_CONTROLTYPE_MUX, values, items});
  DWORD id = static_cast<DWORD>(controls_.size()) - 1;
  LineAt(destination, -1).Controls.push_back(id);
  return id;
}

LONG TScriptedMixer::Value(DWORD control, int item) const { return controls_.at(control).Values.at(item); }

void TScriptedMixer::Change(DWORD control, LONG value) {
  controls_.at(control).Values.at(0) = value;
  Notify(nullptr, control);
}

void TScriptedMixer::Notify(HMIXER, DWORD control) {
  for (const auto& [handle, window] : handles_)
    if (window)
      PostMessageA(window, MM_MIXM_CONTROL_CHANGE, reinterpret_cast<WPARAM>(handle), control);
}

MMRESULT TScriptedMixer::Refuse(MMRESULT code) {
  ++Refused;
  return code;
}

MMRESULT TScriptedMixer::Open(HMIXER* mixer, UINT device, DWORD_PTR callback, DWORD flags) {
  if (!Present || device != 0) return MMSYSERR_BADDEVICEID;
  HMIXER h = reinterpret_cast<HMIXER>(nextHandle_++);
  HWND window = (flags & CALLBACK_TYPEMASK) == CALLBACK_WINDOW ? reinterpret_cast<HWND>(callback)
                                                                : nullptr;
  handles_[h] = window;
  *mixer = h;
  return MMSYSERR_NOERROR;
}

MMRESULT TScriptedMixer::Close(HMIXER mixer) {
  if (!handles_.erase(mixer)) return Refuse(MMSYSERR_INVALHANDLE);
  return MMSYSERR_NOERROR;
}

MMRESULT TScriptedMixer::GetDevCaps(HMIXER mixer, MIXERCAPSA* caps) {
  if (!handles_.count(mixer)) return Refuse(MMSYSERR_INVALHANDLE);
  *caps = MIXERCAPSA{};
  strcpy(caps->szPname, "Scripted mixer");
  caps->cDestinations = static_cast<DWORD>(destinations_.size());
  return MMSYSERR_NOERROR;
}

MMRESULT TScriptedMixer::GetLineInfo(HMIXER mixer, MIXERLINEA* line, DWORD flags) {
  if (!handles_.count(mixer)) return Refuse(MMSYSERR_INVALHANDLE);
  if (line->cbStruct != sizeof(MIXERLINEA)) return Refuse(MMSYSERR_INVALPARAM);
  DWORD query = flags & MIXER_GETLINEINFOF_QUERYMASK;
  if (line->dwDestination >= destinations_.size()) return Refuse(MIXERR_INVALLINE);
  const TDestination& d = destinations_[line->dwDestination];
  const TLine* l = &d.Line;
  if (query == MIXER_GETLINEINFOF_SOURCE) {
    if (line->dwSource >= d.Sources.size()) return Refuse(MIXERR_INVALLINE);
    l = &d.Sources[line->dwSource];
  } else if (query != MIXER_GETLINEINFOF_DESTINATION) {
    return Refuse(MMSYSERR_NOTSUPPORTED);
  }
  line->dwLineID = l->LineID;
  line->dwComponentType = l->ComponentType;
  line->cChannels = l->Channels;
  line->cConnections = l == &d.Line ? static_cast<DWORD>(d.Sources.size()) : 0;
  line->cControls = static_cast<DWORD>(l->Controls.size());
  return MMSYSERR_NOERROR;
}

MMRESULT TScriptedMixer::GetLineControls(HMIXER mixer, MIXERLINECONTROLSA* query, DWORD flags) {
  if (!handles_.count(mixer)) return Refuse(MMSYSERR_INVALHANDLE);
  if (query->cbStruct != sizeof(MIXERLINECONTROLSA) || query->cbmxctrl != sizeof(MIXERCONTROLA) ||
      (flags & MIXER_GETLINECONTROLSF_QUERYMASK) != MIXER_GETLINECONTROLSF_ALL)
    return Refuse(MMSYSERR_INVALPARAM);
  const TLine* line = LineByID(query->dwLineID);
  if (!line) return Refuse(MIXERR_INVALLINE);
  // As the platform: the count must be the line's, and zero is refused.
  if (query->cControls == 0 || query->cControls != line->Controls.size())
    return Refuse(MMSYSERR_INVALPARAM);
  for (DWORD i = 0; i < query->cControls; ++i) {
    const TControl& c = controls_[line->Controls[i]];
    MIXERCONTROLA& out = query->pamxctrl[i];
    out = MIXERCONTROLA{};
    out.cbStruct = sizeof out;
    out.dwControlID = line->Controls[i];
    out.dwControlType = c.Type;
    out.fdwControl = MIXERCONTROL_CONTROLF_UNIFORM;
    if (!c.Items.empty()) {
      out.fdwControl |= MIXERCONTROL_CONTROLF_MULTIPLE;
      out.cMultipleItems = static_cast<DWORD>(c.Items.size());
    }
    strcpy(out.szName, "Control");
    out.Bounds.dwMaximum = 65535;
  }
  return MMSYSERR_NOERROR;
}

MMRESULT TScriptedMixer::CheckDetails(HMIXER mixer, const MIXERCONTROLDETAILS* details) {
  if (!handles_.count(mixer)) return Refuse(MMSYSERR_INVALHANDLE);
  if (details->cbStruct != sizeof(MIXERCONTROLDETAILS) || !details->paDetails)
    return Refuse(MMSYSERR_INVALPARAM);
  if (details->dwControlID >= controls_.size()) return Refuse(MIXERR_INVALCONTROL);
  const TControl& c = controls_[details->dwControlID];
  if (details->cMultipleItems != c.Items.size() || details->cChannels == 0)
    return Refuse(MMSYSERR_INVALPARAM);
  return MMSYSERR_NOERROR;
}

MMRESULT TScriptedMixer::GetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details,
                                           DWORD flags) {
  if (MMRESULT refused = CheckDetails(mixer, details)) return refused;
  const TControl& c = controls_[details->dwControlID];
  const DWORD items = c.Items.empty() ? 1 : static_cast<DWORD>(c.Items.size());
  switch (flags & MIXER_GETCONTROLDETAILSF_QUERYMASK) {
    case MIXER_GETCONTROLDETAILSF_VALUE: {
      if (details->cbDetails != sizeof(LONG)) return Refuse(MMSYSERR_INVALPARAM);
      auto* out = static_cast<LONG*>(details->paDetails);
      for (DWORD ch = 0; ch < details->cChannels; ++ch)
        for (DWORD i = 0; i < items; ++i) out[ch * items + i] = c.Values[i];
      break;
    }
    case MIXER_GETCONTROLDETAILSF_LISTTEXT: {
      if (c.Items.empty() || details->cbDetails != sizeof(MIXERCONTROLDETAILS_LISTTEXTA))
        return Refuse(MMSYSERR_INVALPARAM);
      auto* out = static_cast<MIXERCONTROLDETAILS_LISTTEXTA*>(details->paDetails);
      for (DWORD i = 0; i < items; ++i) {
        out[i] = MIXERCONTROLDETAILS_LISTTEXTA{};
        out[i].dwParam1 = c.Items[i].LineID;
        out[i].dwParam2 = c.Items[i].ComponentType;
        strncpy(out[i].szName, c.Items[i].Name.c_str(), sizeof out[i].szName);
      }
      break;
    }
    default:
      return Refuse(MMSYSERR_NOTSUPPORTED);
  }
  Reads.push_back(details->dwControlID);
  return MMSYSERR_NOERROR;
}

MMRESULT TScriptedMixer::SetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details,
                                           DWORD flags) {
  if (MMRESULT refused = CheckDetails(mixer, details)) return refused;
  if (details->cbDetails != sizeof(LONG) ||
      (flags & MIXER_SETCONTROLDETAILSF_QUERYMASK) != MIXER_SETCONTROLDETAILSF_VALUE)
    return Refuse(MMSYSERR_INVALPARAM);
  TControl& c = controls_[details->dwControlID];
  const DWORD items = c.Items.empty() ? 1 : static_cast<DWORD>(c.Items.size());
  const auto* in = static_cast<const LONG*>(details->paDetails);
  for (DWORD i = 0; i < items; ++i) c.Values[i] = in[i];
  Writes.push_back(details->dwControlID);
  Notify(mixer, details->dwControlID);
  return MMSYSERR_NOERROR;
}
