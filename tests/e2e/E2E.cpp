#include "E2E.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>
#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace e2e {

namespace {
const char kKey[] = "Software\\Quindle\\Vocalet";
const char kProgramID[] = "{4ECBDA43-943C-4B02-8204-55CB561170F5}";

void SetString(HKEY k, const char* name, const std::string& v) {
  RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                 static_cast<DWORD>(v.size() + 1));
}
void SetBool(HKEY k, const char* name, bool v) { SetString(k, name, v ? "1" : "0"); }
void SetInt(HKEY k, const char* name, int v) {
  DWORD d = static_cast<DWORD>(v);
  RegSetValueExA(k, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&d), sizeof d);
}
std::string GetString(HKEY k, const char* name) {
  char buf[1024] = {};
  DWORD size = sizeof buf - 1, type = 0;
  if (RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) != 0) return "";
  return buf;
}
int GetInt(HKEY k, const char* name) {
  DWORD d = 0, size = sizeof d, type = 0;
  RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(&d), &size);
  return static_cast<int>(d);
}

struct Found {
  DWORD pid;
  HWND hwnd = nullptr;
};
BOOL CALLBACK FindMain(HWND h, LPARAM lp) {
  auto* f = reinterpret_cast<Found*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  char title[64] = {};
  GetWindowTextA(h, title, sizeof title);
  if (pid == f->pid && std::string(title) == "Quindle Vocalet" && IsWindowVisible(h)) {
    f->hwnd = h;
    return FALSE;
  }
  return TRUE;
}

struct ChildSearch {
  std::function<bool(HWND)> match;
  HWND found = nullptr;
};
BOOL CALLBACK SearchChild(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<ChildSearch*>(lp);
  if (s->match(h)) {
    s->found = h;
    return FALSE;
  }
  return TRUE;
}
HWND FindChild(HWND parent, std::function<bool(HWND)> match) {
  ChildSearch s{std::move(match)};
  EnumChildWindows(parent, SearchChild, reinterpret_cast<LPARAM>(&s));
  return s.found;
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
}  // namespace

void WriteOptions(const Options& o) {
  HKEY k;
  RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
  SetBool(k, "HideTips", o.HideTips);
  SetBool(k, "AutoRecord", o.AutoRecord);
  SetBool(k, "AutoPlay", o.AutoPlay);
  SetBool(k, "BeepOnRecord", o.BeepOnRecord);
  SetBool(k, "AutoClose", o.AutoClose);
  SetBool(k, "Mono", o.Mono);
  SetBool(k, "GSM610", o.GSM610);
  SetBool(k, "PackOnSend", o.PackOnSend);
  SetBool(k, "Bits16", o.Bits16);
  SetInt(k, "Quality ", o.Quality);
  SetInt(k, "PlainSize", o.PlainSize);
  SetString(k, "MsgFileName", o.MsgFileName);
  SetInt(k, "DurationSec", o.DurationSec);
  SetInt(k, "MinWaveLevel", o.MinWaveLevel);
  RegCloseKey(k);
}

Options ReadOptions() {
  Options o;
  HKEY k;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &k) != 0) return o;
  o.GSM610 = GetString(k, "GSM610") == "1";
  o.PackOnSend = GetString(k, "PackOnSend") == "1";
  o.PlainSize = GetInt(k, "PlainSize");
  o.DurationSec = GetInt(k, "DurationSec");
  o.MsgFileName = GetString(k, "MsgFileName");
  RegCloseKey(k);
  return o;
}

bool WaitUntil(const std::function<bool()>& done, DWORD ms) {
  DWORD end = GetTickCount() + ms;
  while (!done()) {
    if (GetTickCount() > end) return false;
    Sleep(20);
  }
  return true;
}

bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
  DWORD end = GetTickCount() + ms;
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) return true;
    if (GetTickCount() > end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

std::string UnixPath(const std::string& path) {
  using TGetUnixName = char*(CDECL*)(const WCHAR*);
  auto f = reinterpret_cast<TGetUnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!f) return "";
  wchar_t wide[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
  char* u = f(wide);
  std::string s = u ? u : "";
  HeapFree(GetProcessHeap(), 0, u);
  return s;
}

std::string BinDir() {
  std::string dir = getenv("VOCALET_BIN_DIR");
  for (char& c : dir)
    if (c == '/') c = '\\';
  return dir;
}

std::string TempDir() {
  char buf[MAX_PATH];
  GetTempPathA(MAX_PATH, buf);
  return buf;
}

Vocalet::~Vocalet() {
  if (pi_.hProcess) {
    if (WaitForSingleObject(pi_.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(pi_.hProcess, 9);
    WaitForSingleObject(pi_.hProcess, 5000);
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
  }
}

bool Vocalet::Start(const std::string& args) {
  std::string exe = BinDir() + "\\Vocalet.exe";
  std::string cmd = "\"" + exe + "\" " + args;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  if (!CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi_))
    return false;
  WaitUntil([&] { return FindWindowA("SingleInstanceManagerWindow", kProgramID) != nullptr; },
            20000);
  Found f{pi_.dwProcessId};
  WaitUntil([&] {
    EnumWindows(FindMain, reinterpret_cast<LPARAM>(&f));
    main_ = f.hwnd;
    return main_ != nullptr && !StatusLine().empty();
  }, 20000);
  // The window places itself under the mouse pointer at the end of its first show: wait
  // until it stands still.
  RECT last{};
  int still = 0;
  WaitUntil([&] {
    RECT r{};
    GetWindowRect(main_, &r);
    still = EqualRect(&r, &last) ? still + 1 : 0;
    last = r;
    return still >= 5;
  }, 5000);
  main_ = f.hwnd;
  return main_ != nullptr;
}

bool Vocalet::WaitExit(DWORD ms) { return WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0; }

bool Vocalet::Quit(DWORD ms) {
  if (main_) PostMessageA(main_, WM_CLOSE, 0, 0);
  return WaitExit(ms);
}

void Vocalet::Key(WORD vk, bool ctrl) {
  SetForegroundWindow(main_);
  WaitUntil([&] { return GetForegroundWindow() == main_; }, 2000);
  std::vector<INPUT> in;
  auto add = [&](WORD k, bool up) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = k;
    i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    in.push_back(i);
  };
  if (ctrl) add(VK_CONTROL, false);
  add(vk, false);
  add(vk, true);
  if (ctrl) add(VK_CONTROL, true);
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

std::string Vocalet::StatusLine() const {
  HWND status = FindChild(main_, [](HWND h) {
    return ClassOf(h) == "VocaletWindow" && !TextOf(h).empty();
  });
  return status ? TextOf(status) : std::string();
}

bool Vocalet::RecorderPageShown() const {
  HWND frame = FindChild(main_, [](HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    return r.right - r.left == 506 && r.bottom - r.top == 190;
  });
  return frame && IsWindowVisible(frame);
}

HWND Vocalet::ToolBar() const {
  return FindChild(main_, [](HWND h) { return ClassOf(h) == "ToolbarWindow32"; });
}

bool Vocalet::ToolButtonEnabled(ToolButton button) const {
  // Only numbers cross between processes: the buttons are asked by their command
  // identifiers, which the program hands out in order from 40000 to its one toolbar.
  return SendMessageA(ToolBar(), TB_ISBUTTONENABLED, 40000 + static_cast<int>(button), 0) != 0;
}

namespace {
struct WindowCounter {
  DWORD pid;
  int count = 0;
};
BOOL CALLBACK CountChild(HWND, LPARAM lp) {
  ++reinterpret_cast<WindowCounter*>(lp)->count;
  return TRUE;
}
BOOL CALLBACK CountTop(HWND h, LPARAM lp) {
  auto* c = reinterpret_cast<WindowCounter*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid == c->pid) {
    ++c->count;
    EnumChildWindows(h, CountChild, lp);
  }
  return TRUE;
}
}  // namespace

int Vocalet::WindowCount() const {
  WindowCounter c{pi_.dwProcessId};
  EnumWindows(CountTop, reinterpret_cast<LPARAM>(&c));
  return c.count;
}

namespace {
struct BoxSearch {
  DWORD pid;
  HWND found = nullptr;
};
BOOL CALLBACK FindBox(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<BoxSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid == s->pid && ClassOf(h) == "#32770" && IsWindowVisible(h)) {
    s->found = h;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND Vocalet::ShownBox() const {
  BoxSearch s{pi_.dwProcessId};
  EnumWindows(FindBox, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

std::string Vocalet::BoxText(HWND box) {
  // The text is the static control that is not the icon.
  HWND text = FindChild(box, [](HWND h) {
    return ClassOf(h) == "Static" && !TextOf(h).empty();
  });
  return text ? TextOf(text) : std::string();
}

DWORD Vocalet::GdiObjects() const { return GetGuiResources(pi_.hProcess, GR_GDIOBJECTS); }
DWORD Vocalet::UserObjects() const { return GetGuiResources(pi_.hProcess, GR_USEROBJECTS); }

WaveInfo ReadWave(const std::string& path) {
  WaveInfo w;
  std::ifstream in(path, std::ios::binary);
  std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), {});
  if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF") return w;
  size_t pos = 12;
  auto u16 = [&](size_t p) { return static_cast<WORD>(b[p] | b[p + 1] << 8); };
  auto u32 = [&](size_t p) {
    return static_cast<DWORD>(b[p] | b[p + 1] << 8 | b[p + 2] << 16 | b[p + 3] << 24);
  };
  while (pos + 8 <= b.size()) {
    std::string id(b.begin() + static_cast<long>(pos), b.begin() + static_cast<long>(pos) + 4);
    DWORD len = u32(pos + 4);
    if (id == "fmt " && pos + 24 <= b.size()) {
      w.formatTag = u16(pos + 8);
      w.channels = u16(pos + 10);
      w.rate = u32(pos + 12);
      w.blockAlign = u16(pos + 20);
      w.bits = u16(pos + 22);
    } else if (id == "data") {
      w.dataLength = len;
      size_t end = std::min<size_t>(b.size(), pos + 8 + len);
      w.data.assign(b.begin() + static_cast<long>(pos) + 8, b.begin() + static_cast<long>(end));
      w.ok = true;
      break;
    }
    pos += 8 + len;
  }
  return w;
}

std::vector<short> DecodeGsm(const WaveInfo& w) {
  std::vector<short> out;
  GSM610WAVEFORMAT src{};
  src.wfx.wFormatTag = WAVE_FORMAT_GSM610;
  src.wfx.nChannels = 1;
  src.wfx.nSamplesPerSec = 8000;
  src.wfx.nAvgBytesPerSec = 1625;
  src.wfx.nBlockAlign = 65;
  src.wfx.wBitsPerSample = 0;
  src.wfx.cbSize = 2;
  src.wSamplesPerBlock = 320;
  WAVEFORMATEX dst{WAVE_FORMAT_PCM, 1, 8000, 16000, 2, 16, 0};
  HACMSTREAM s = nullptr;
  if (acmStreamOpen(&s, nullptr, &src.wfx, &dst, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) != 0)
    return out;
  size_t blocks = w.data.size() / 65;
  std::vector<BYTE> in(w.data.begin(), w.data.begin() + static_cast<long>(blocks * 65));
  std::vector<BYTE> pcm(blocks * 640 + 1280);
  ACMSTREAMHEADER h{};
  h.cbStruct = sizeof h;
  h.pbSrc = in.data();
  h.cbSrcLength = static_cast<DWORD>(in.size());
  h.pbDst = pcm.data();
  h.cbDstLength = static_cast<DWORD>(pcm.size());
  if (acmStreamPrepareHeader(s, &h, 0) == 0) {
    if (acmStreamConvert(s, &h, ACM_STREAMCONVERTF_BLOCKALIGN) == 0) {
      out.resize(h.cbDstLengthUsed / 2);
      memcpy(out.data(), pcm.data(), out.size() * 2);
    }
    acmStreamUnprepareHeader(s, &h, 0);
  }
  acmStreamClose(s, 0);
  return out;
}

double Rms(const std::vector<short>& s) {
  if (s.empty()) return 0;
  double sum = 0;
  for (short v : s) sum += static_cast<double>(v) * v;
  return std::sqrt(sum / static_cast<double>(s.size()));
}

}  // namespace e2e
