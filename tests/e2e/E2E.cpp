#include "E2E.h"
#include "support/DropTarget.h"
#include "support/UnixShell.h"

#include <commctrl.h>
#include <msacm.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <cstring>
#include <numeric>

#include "convert/TestWaves.h"  // and <algorithm>, <cmath>

namespace e2e {

namespace {
const char kKey[] = "Software\\Quindle\\Vocalet";
const Options kDefaults{{"HideTips", "0"},     {"AutoRecord", "1"}, {"AutoPlay", "1"},
                        {"BeepOnRecord", "0"}, {"AutoClose", "0"},  {"Mono", "1"},
                        {"GSM610", "1"},       {"PackOnSend", "0"}, {"Bits16", "1"},
                        {"Quality ", "0"},     {"PlainSize", "0"},  {"DurationSec", "0"},
                        {"MinWaveLevel", "50"}, {"MsgFileName", ""}};
const std::string kNumbers[] = {"Quality ", "PlainSize", "DurationSec", "MinWaveLevel"};

void SetInt(const char* key, const char* name, DWORD v) {
  SHSetValueA(HKEY_CURRENT_USER, key, name, REG_DWORD, &v, sizeof v);
}
std::string ClassOf(HWND h) {
  char c[64] = {};
  GetClassNameA(h, c, sizeof c);
  return c;
}
std::string TextOf(HWND h) {
  char t[1024] = {};
  GetWindowTextA(h, t, sizeof t);
  return t;
}

BOOL CALLBACK Add(HWND h, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(h);
  return TRUE;
}
// The first window below parent, at any level, that matches.
HWND FindIn(HWND parent, const std::function<bool(HWND)>& match) {
  std::vector<HWND> all;
  EnumChildWindows(parent, Add, reinterpret_cast<LPARAM>(&all));
  for (HWND h : all)
    if (match(h)) return h;
  return nullptr;
}
HWND RecorderPanel(HWND main) {
  return FindIn(main, [](HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    return r.right - r.left == 506 && r.bottom - r.top == 190;
  });
}

// A window of this process on top at a fixed place that takes copies of files.
struct MailStandIn : TDropTarget {
  static constexpr int kX = 800, kY = 500, kSize = 250;
  const std::string& message;
  e2e::Drop& seen;
  HWND window;
  MailStandIn(const std::string& messageFile, e2e::Drop& drop) : message(messageFile), seen(drop) {
    OleInitialize(nullptr);
    window = CreateWindowExA(WS_EX_TOPMOST, "Static", "Mail", WS_POPUP | WS_BORDER, kX, kY,
                             kSize, kSize, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    RegisterDragDrop(window, this);
  }
  ~MailStandIn() {
    RevokeDragDrop(window), DestroyWindow(window), OleUninitialize();
  }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    seen.hoverBlockSize = static_cast<int>(DroppedFiles(data, nullptr));
    seen.formatWhileHovering = ReadWave(message).formatTag;
    return DragOver(0, {}, effect);
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    seen.reached = true;
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    ++seen.drops;
    DroppedFiles(data, &seen.dropped);
    seen.formatAtDrop = seen.dropped.empty() ? 0 : ReadWave(seen.dropped[0]).formatTag;
    return DragOver(0, {}, effect);
  }
};
}  // namespace

void WriteOptions(const Options& options) {
  Options all = options;
  all.insert(kDefaults.begin(), kDefaults.end());
  for (const auto& [name, value] : all)
    if (std::count(std::begin(kNumbers), std::end(kNumbers), name))
      SetInt(kKey, name.c_str(), std::stoul(value));
    else
      SHSetValueA(HKEY_CURRENT_USER, kKey, name.c_str(), REG_SZ, value.c_str(),
                  static_cast<DWORD>(value.size() + 1));
}

int SavedOption(const char* name) {
  DWORD d = 0, size = sizeof d;
  SHGetValueA(HKEY_CURRENT_USER, kKey, name, nullptr, &d, &size);
  return static_cast<int>(d);
}

void ChooseLanguage(Language language) { SetInt("Software\\Quindle\\MLS", "Vocalet", language); }

void SetMicrophone(Mic mic) {
  const std::string source = mic == Mic::Speech ? "\"$E2E_SPEECH\"" : "/dev/zero";
  UnixShell(mic == Mic::None ? "cp -f ~/asoundrc.nomic ~/.asoundrc"
                             : "cp -f ~/asoundrc.mic ~/.asoundrc && ln -sfn " + source +
                                   " ~/mic.raw",
            true);
}

void Scenario::SetUp() {
  options["MsgFileName"] = message;
  ChooseLanguage(English);
  SetMicrophone(Mic::Speech);
  SetCursorPos(500, 300);
}

bool WaitUntil(const std::function<bool()>& done, DWORD ms) {
  for (DWORD end = GetTickCount() + ms;; Sleep(20)) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (done()) return true;
    if (GetTickCount() > end) return false;
  }
}

bool ProcessRuns(const char* exe) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 pe{};
  pe.dwSize = sizeof pe;
  bool found = false;
  for (BOOL more = Process32First(snap, &pe); more && !found; more = Process32Next(snap, &pe))
    found = lstrcmpiA(pe.szExeFile, exe) == 0;
  CloseHandle(snap);
  return found;
}

std::string PcmTone(int seconds) {
  using namespace vocalet::test;
  const Bytes wave = MakeWave({}, Pcm16Bytes(Tone(8000 * seconds, 500, 500, 8000, 8000)));
  return std::string(wave.begin(), wave.end());
}

Vocalet::~Vocalet() {
  if (!pi_.hProcess) return;
  TerminateProcess(pi_.hProcess, 9);  // no harm done once it has ended
  WaitExit(5000);
  CloseHandle(pi_.hProcess);
  CloseHandle(pi_.hThread);
}

bool Vocalet::Start() {
  std::string exe = BinDir() + "\\Vocalet.exe", cmd = "\"" + exe + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  if (!CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi_))
    return false;
  // Shown, and settled under the mouse pointer where it moves at the end of its first show.
  RECT last{}, r{};
  int still = 0;
  return WaitUntil([&] {
    if (!(main_ = Shown("VocaletForm", "Quindle Vocalet")) || StatusLine().empty()) return false;
    last = r;
    GetWindowRect(main_, &r);
    return (still = EqualRect(&r, &last) ? still + 1 : 0) >= 5;
  }, 25000);
}

void Vocalet::Key(WORD vk, bool ctrl, HWND to) {
  if (!to) to = main_;
  SetForegroundWindow(to);
  WaitUntil([&] { return GetForegroundWindow() == to; }, 2000);
  if (ctrl) keybd_event(VK_CONTROL, 0, 0, 0);
  keybd_event(vk, 0, 0, 0);
  keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
  if (ctrl) keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
}

std::string Vocalet::StatusLine() const {
  return TextOf(FindIn(main_, [](HWND h) {
    return ClassOf(h) == "VocaletWindow" && !TextOf(h).empty();
  }));
}

bool Vocalet::RecorderPageShown() const { return IsWindowVisible(RecorderPanel(main_)); }

std::vector<DWORD> Vocalet::SecondsShown() const {
  POINT at{228, 2};  // the counter's label: 76 x 21 pixels there in the panel
  ClientToScreen(RecorderPanel(main_), &at);
  std::vector<DWORD> pixels;
  HDC screen = GetDC(nullptr);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 76; ++x) pixels.push_back(GetPixel(screen, at.x + x, at.y + y));
  ReleaseDC(nullptr, screen);
  return pixels;
}

HWND Vocalet::ToolBar() const {
  return FindIn(main_, [](HWND h) { return ClassOf(h) == "ToolbarWindow32"; });
}

bool Vocalet::ToolButtonEnabled(ToolButton button) const {
  // The command identifiers run from 40000 along the one toolbar.
  return SendMessageA(ToolBar(), TB_ISBUTTONENABLED, 40000 + static_cast<int>(button), 0) != 0;
}

HWND Vocalet::Shown(const char* className, const char* title) const {
  DWORD pid = 0;
  for (HWND h = nullptr; (h = FindWindowExA(nullptr, h, className, title)) != nullptr;)
    if (GetWindowThreadProcessId(h, &pid) && pid == pi_.dwProcessId && IsWindowVisible(h))
      return h;
  return nullptr;
}

HWND Vocalet::ChildWithText(HWND parent, const std::string& text) {
  return FindIn(parent, [&](HWND h) { return TextOf(h) == text; });
}

std::string Vocalet::BoxText(HWND box) {
  for (HWND c = nullptr; box && (c = FindWindowExA(box, c, "Static", nullptr));)
    if (!TextOf(c).empty()) return TextOf(c);  // not the icon
  return "";
}

bool Vocalet::SaveAs(const std::string& path) {
  Key(VK_F12);
  HWND dialog = nullptr, edit = nullptr;
  // The file name box: edt1, or inside cmb13 in the Explorer-style dialog.
  WaitUntil([&] {
    dialog = Shown("#32770", "Save Voice Message As");
    return dialog && (edit = FindIn(dialog, [](HWND h) {
      const int id = GetDlgCtrlID(h);
      return ClassOf(h) == "Edit" && (id == 0x480 || id == 0x47c) && IsWindowVisible(h);
    }));
  }, 10000);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  return edit && WaitUntil([&] { return !IsWindow(dialog); }, 10000);
}

WaveInfo ReadWave(const std::string& path) {
  WaveInfo w;
  const std::string b = ReadAll(path);
  auto u16 = [&](size_t p) { return static_cast<WORD>((b[p] & 0xFF) | (b[p + 1] & 0xFF) << 8); };
  auto u32 = [&](size_t p) { return u16(p) | static_cast<DWORD>(u16(p + 2)) << 16; };
  for (size_t pos = 12; b.compare(0, 4, "RIFF") == 0 && pos + 8 <= b.size();
       pos += 8 + u32(pos + 4)) {
    if (b.compare(pos, 4, "fmt ") == 0 && pos + 24 <= b.size()) {
      w.formatTag = u16(pos + 8);
      w.blockAlign = u16(pos + 20);
      w.bits = u16(pos + 22);
    } else if (b.compare(pos, 4, "data") == 0) {
      w.data = b.substr(pos + 8, u32(pos + 4));
    }
  }
  return w;
}

std::vector<short> Samples(const WaveInfo& w) {
  if (w.formatTag == WAVE_FORMAT_PCM) {
    std::vector<short> pcm(w.data.size() / 2);
    std::memcpy(pcm.data(), w.data.data(), pcm.size() * 2);
    return pcm;
  }
  GSM610WAVEFORMAT src{{WAVE_FORMAT_GSM610, 1, 8000, 1625, 65, 0, 2}, 320};
  WAVEFORMATEX dst{WAVE_FORMAT_PCM, 1, 8000, 16000, 2, 16, 0};
  std::string in = w.data.substr(0, w.data.size() / 65 * 65);
  std::vector<short> out(in.size() / 65 * 320);
  HACMSTREAM s = nullptr;
  ACMSTREAMHEADER h{};
  h.cbStruct = sizeof h;
  h.pbSrc = reinterpret_cast<BYTE*>(in.data());
  h.cbSrcLength = static_cast<DWORD>(in.size());
  h.pbDst = reinterpret_cast<BYTE*>(out.data());
  h.cbDstLength = static_cast<DWORD>(out.size() * 2);
  if (acmStreamOpen(&s, nullptr, &src.wfx, &dst, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) ||
      acmStreamPrepareHeader(s, &h, 0))
    return {};
  out.resize(acmStreamConvert(s, &h, ACM_STREAMCONVERTF_BLOCKALIGN) ? 0 : h.cbDstLengthUsed / 2);
  acmStreamUnprepareHeader(s, &h, 0);
  acmStreamClose(s, 0);
  return out;
}

double Rms(const WaveInfo& w) {
  const std::vector<short> s = Samples(w);
  const double sum = std::inner_product(s.begin(), s.end(), s.begin(), 0.0);
  return s.empty() ? 0 : std::sqrt(sum / static_cast<double>(s.size()));
}

Drop DragToMail(Vocalet& app, HWND dna, const std::string& message, bool escape) {
  Drop seen;
  MailStandIn target(message, seen);
  const int x = MailStandIn::kX + MailStandIn::kSize / 2, y = MailStandIn::kY + MailStandIn::kSize / 2;
  POINT from{7 + 39 / 2, 5 + 41 / 2}, at{};  // the icon
  ClientToScreen(dna, &from);
  auto move = [](int x, int y) { return " mousemove " + std::to_string(x) + " " +
                                        std::to_string(y); };
  // Three legs, each once the one before has shown: the press, the way, the release.
  UnixShell("xdotool" + move(from.x, from.y) + " mousedown 1", false);
  WaitUntil([] { return IsWindowVisible(FindWindowA("TDragForm", "DragForm")); }, 10000);
  std::string way = "xdotool";
  for (int i = 1; i <= 6; ++i)
    way += move(from.x + (x - from.x) * i / 6, from.y + (y - from.y) * i / 6) + " sleep 0.1";
  UnixShell(way, false);
  WaitUntil([&] { return seen.reached && GetCursorPos(&at) && at.x == x && at.y == y; }, 15000);
  if (escape) app.Key(VK_ESCAPE, false, dna);
  UnixShell("xdotool" + move(x + 3, y + 2) + " mouseup 1", false);
  WaitUntil([&] { return !IsWindow(dna); }, 20000);
  return seen;
}

}  // namespace e2e
