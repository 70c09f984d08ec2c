#include "audio/WaveRecord.h"

#include "audio/MciSettle.h"
#include "toolkit/ExtCtrls.h"

namespace {

constexpr DWORD kOpenFlags = MCI_OPEN_TYPE | MCI_OPEN_TYPE_ID | MCI_OPEN_ELEMENT;  // 0x3200
constexpr DWORD kFormatFlags = MCI_WAVE_SET_FORMATTAG | MCI_WAVE_SET_CHANNELS |
                               MCI_WAVE_SET_SAMPLESPERSEC | MCI_WAVE_SET_AVGBYTESPERSEC |
                               MCI_WAVE_SET_BLOCKALIGN | MCI_WAVE_SET_BITSPERSAMPLE;
// Long enough for Wine's driver to close its wave device; it takes about 300 ms.
constexpr DWORD kDriverSettleMs = 3000;

}  // namespace

TWaveRecorder::TWaveRecorder(TMciSendCommand send) : send_(std::move(send)) {
  window_ = std::make_unique<TUtilityWindow>(
      [this](UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
        result = 0;
        // A hidden window that answered 0 here would veto the end of the Windows session.
        if (msg == WM_QUERYENDSESSION) {
          result = TRUE;
          return true;
        }
        if (msg == MM_MCINOTIFY) Notified(msg, wp);
        return true;
      });
}

TWaveRecorder::~TWaveRecorder() {
  Close();
  window_.reset();
}

HWND TWaveRecorder::Handle() const { return window_ ? window_->Handle() : nullptr; }

MCIERROR TWaveRecorder::Send(MCIDEVICEID device, UINT message, DWORD_PTR flags, void* params) {
  auto p = reinterpret_cast<DWORD_PTR>(params);
  if (send_) return send_(device, message, flags, p);
  return mciSendCommandA(device, message, flags, p);
}

bool TWaveRecorder::Notified(UINT, WPARAM code) {
  if (code != MCI_NOTIFY_SUCCESSFUL) return false;
  // A successful notification ends the command that asked for it; a stop has its own.
  running_ = false;
  if (!OnNotify) return false;
  // The handler may start the next command and so replace itself; keep it alive meanwhile.
  TRecorderEvent handler = OnNotify;
  handler(this);
  return true;
}

void TWaveRecorder::Close() {
  if (!open_) return;
  if (!running_) WaitForWaveDriverThreads(kDriverSettleMs);
  Send(Device(), MCI_CLOSE, 0, nullptr);
  open_ = false;
  running_ = false;
}

bool TWaveRecorder::Open(const char* element) {
  MCI_OPEN_PARMSA params{};
  params.lpstrDeviceType = reinterpret_cast<LPCSTR>(MCI_DEVTYPE_WAVEFORM_AUDIO);
  params.lpstrElementName = element;
  LastError = Send(0, MCI_OPEN, kOpenFlags, &params);
  // Some drivers fill in an identifier even when the open fails.
  DeviceID = LastError == 0 ? params.wDeviceID : 0;
  open_ = LastError == 0;
  return open_;
}

bool TWaveRecorder::Play(TRecorderEvent handler) {
  Close();
  OnNotify = handler;
  if (!Open(FileName.c_str())) return false;
  PlayFromCurrent(std::move(handler));
  return true;
}

bool TWaveRecorder::PlayFromCurrent(TRecorderEvent handler) {
  OnNotify = std::move(handler);
  MCI_PLAY_PARMS params{};
  params.dwCallback = reinterpret_cast<DWORD_PTR>(Handle());
  LastError = Send(Device(), MCI_PLAY, MCI_NOTIFY, &params);
  if (LastError == 0) running_ = true;
  return LastError == 0;
}

bool TWaveRecorder::Record(TRecorderEvent handler) {
  Close();
  OnNotify = std::move(handler);
  // An empty element name opens a new, untitled wave file.
  if (!Open("")) return false;
  SetFormat();  // a refused format leaves the device's own; the record command decides
  MCI_RECORD_PARMS params{};
  LastError = Send(DeviceID, MCI_RECORD, 0, &params);
  if (LastError == 0) running_ = true;
  return LastError == 0;
}

bool TWaveRecorder::Stop(TRecorderEvent handler) {
  OnNotify = std::move(handler);
  MCI_GENERIC_PARMS params{};
  params.dwCallback = reinterpret_cast<DWORD_PTR>(Handle());
  LastError = Send(Device(), MCI_STOP, MCI_NOTIFY, &params);
  if (LastError == 0 && open_) {
    running_ = false;
    WaitForWaveDriverThreads(kDriverSettleMs);
  }
  return LastError == 0;
}

bool TWaveRecorder::Pause(TRecorderEvent handler) {
  OnNotify = std::move(handler);
  MCI_GENERIC_PARMS params{};
  params.dwCallback = reinterpret_cast<DWORD_PTR>(Handle());
  LastError = Send(Device(), MCI_PAUSE, MCI_NOTIFY, &params);
  return LastError == 0;
}

bool TWaveRecorder::Resume() {
  MCI_GENERIC_PARMS params{};
  LastError = Send(Device(), MCI_RESUME, 0, &params);
  return LastError == 0;
}

bool TWaveRecorder::Save() {
  MCI_SAVE_PARMSA params{};
  params.lpfilename = FileName.c_str();
  LastError = Send(Device(), MCI_SAVE, MCI_SAVE_FILE, &params);
  return LastError == 0;
}

bool TWaveRecorder::SetFormat() {
  MCI_WAVE_SET_PARMS params{};
  params.wFormatTag = WAVE_FORMAT_PCM;
  params.nChannels = Channels;
  params.nSamplesPerSec = SamplesPerSec;
  params.wBitsPerSample = BitsPerSample;
  params.nBlockAlign = static_cast<WORD>((params.nChannels * params.wBitsPerSample) >> 3);
  params.nAvgBytesPerSec = params.nBlockAlign * params.nSamplesPerSec;
  LastError = Send(Device(), MCI_SET, kFormatFlags, &params);
  return LastError == 0;
}

std::string TWaveRecorder::ErrorText() const {
  char buffer[256] = {};
  mciGetErrorStringA(LastError, buffer, sizeof buffer);
  return buffer;
}
