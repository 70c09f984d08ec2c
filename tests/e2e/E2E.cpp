#include "E2E.h"

#include <commctrl.h>
#include <msacm.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

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
DWORD ProcessOf(HWND h) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  return pid;
}

BOOL CALLBACK Add(HWND h, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(h);
  return TRUE;
}
// The windows below parent (every level), or the top-level ones.
std::vector<HWND> Windows(HWND parent = nullptr) {
  std::vector<HWND> all;
  if (parent)
    EnumChildWindows(parent, Add, reinterpret_cast<LPARAM>(&all));
  else
    EnumWindows(Add, reinterpret_cast<LPARAM>(&all));
  return all;
}
HWND FindIn(HWND parent, const std::function<bool(HWND)>& match) {
  for (HWND h : Windows(parent))
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

// A shell command on the Unix side, waited for or not.
bool UnixShell(std::string command, bool wait) {
  using TSpawn = int(WINAPI*)(char* const argv[], int wait);
  auto spawn = reinterpret_cast<TSpawn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "__wine_unix_spawnvp")));
  char sh[] = "sh", c[] = "-c";
  char* argv[] = {sh, c, command.data(), nullptr};
  return spawn && spawn(argv, wait) == 0;
}
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
  // E2E_SPEECH: the scripted microphone's speech, made by the build.
  const char* source = mic == Mic::Speech ? "\"$E2E_SPEECH\"" : "/dev/zero";
  UnixShell(mic == Mic::None ? std::string("cp -f ~/asoundrc.nomic ~/.asoundrc")
                             : std::string("cp -f ~/asoundrc.mic ~/.asoundrc && ln -sfn ") + source +
                                   " ~/mic.raw",
            true);
}

void Scenario::SetUp() {
  options["MsgFileName"] = message;
  ChooseLanguage(English);
  SetMicrophone(Mic::Speech);
  SetCursorPos(500, 300);
}

bool Scenario::Start() {
  WriteOptions(options);
  return app.Start();
}

bool WaitUntil(const std::function<bool()>& done, DWORD ms) {
  for (DWORD end = GetTickCount() + ms; !done(); Sleep(20))
    if (GetTickCount() > end) return false;
  return true;
}

bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
  return WaitUntil([&] {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    return done();
  }, ms);
}

std::string UnixPath(const std::string& path) {
  using TGetUnixName = char*(CDECL*)(const WCHAR*);
  auto f = reinterpret_cast<TGetUnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  wchar_t wide[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
  char* u = f ? f(wide) : nullptr;
  std::string s = u ? u : "";
  HeapFree(GetProcessHeap(), 0, u);
  return s;
}

std::string BinDir() {
  std::string dir = getenv("VOCALET_BIN_DIR");
  std::replace(dir.begin(), dir.end(), '/', '\\');
  return dir;
}

std::string HandOffFile() {
  char dir[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, dir);
  return std::string(dir) + "\\Quindle\\Vocalet\\eMail.dat";
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}
void WriteAll(const std::string& path, const std::string& data) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
}
bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ProcessRuns(const char* exe) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 pe{};
  pe.dwSize = sizeof pe;
  bool found = false;
  for (BOOL more = Process32First(snap, &pe); more; more = Process32Next(snap, &pe))
    found = found || lstrcmpiA(pe.szExeFile, exe) == 0;
  CloseHandle(snap);
  return found;
}

std::string PcmTone(int seconds) {
  std::string data;
  for (int i = 0; i < 8000 * seconds; ++i) {
    const int v = i % 16 < 8 ? -8000 + i % 16 * 2000 : 8000 - (i % 16 - 8) * 2000;
    data += {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
  }
  std::string w = "RIFF";
  auto u32 = [&](DWORD v) { w.append(reinterpret_cast<const char*>(&v), 4); };
  u32(static_cast<DWORD>(36 + data.size()));
  w += "WAVEfmt ";
  for (DWORD v : {16u, 0x10001u, 8000u, 16000u, 0x100002u}) u32(v);  // PCM, mono, 2, 16
  w += "data";
  u32(static_cast<DWORD>(data.size()));
  return w + data;
}

Vocalet::~Vocalet() {
  if (!pi_.hProcess) return;
  if (!WaitExit(0)) TerminateProcess(pi_.hProcess, 9);
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
  WaitUntil([&] { return (main_ = Shown("VocaletForm", "Quindle Vocalet")) && !StatusLine().empty(); },
            20000);
  // The window places itself under the mouse pointer at the end of its first show.
  RECT last{}, r{};
  for (int still = 0, i = 0; main_ && still < 5 && i < 250;
       ++i, still = EqualRect(&r, &last) ? still + 1 : 0) {
    last = r;
    Sleep(20);
    GetWindowRect(main_, &r);
  }
  return main_ != nullptr;
}

bool Vocalet::WaitExit(DWORD ms) { return WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0; }

bool Vocalet::Quit(DWORD ms) {
  PostMessageA(main_, WM_CLOSE, 0, 0);
  return WaitExit(ms);
}

void Vocalet::Key(WORD vk, bool ctrl, HWND to) {
  if (!to) to = main_;
  SetForegroundWindow(to);
  WaitUntil([&] { return GetForegroundWindow() == to; }, 2000);
  const std::vector<WORD> keys = ctrl ? std::vector<WORD>{VK_CONTROL, vk} : std::vector<WORD>{vk};
  std::vector<INPUT> in(2 * keys.size(), INPUT{INPUT_KEYBOARD, {}});
  for (size_t i = 0; i < keys.size(); ++i) {  // down in order, up in reverse
    in[i].ki.wVk = in[in.size() - 1 - i].ki.wVk = keys[i];
    in[in.size() - 1 - i].ki.dwFlags = KEYEVENTF_KEYUP;
  }
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

std::string Vocalet::StatusLine() const {
  return TextOf(FindIn(main_, [](HWND h) {
    return ClassOf(h) == "VocaletWindow" && !TextOf(h).empty();
  }));
}

bool Vocalet::WaitStatus(const std::string& prefix) const {
  return WaitUntil([&] { return StatusLine().rfind(prefix, 0) == 0; }, 30000);
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
  // The buttons' command identifiers: handed out in order from 40000 to the one toolbar.
  return SendMessageA(ToolBar(), TB_ISBUTTONENABLED, 40000 + static_cast<int>(button), 0) != 0;
}

int Vocalet::WindowCount() const {
  int count = 0;
  for (HWND top : Windows())
    if (ProcessOf(top) == pi_.dwProcessId) count += 1 + static_cast<int>(Windows(top).size());
  return count;
}

HWND Vocalet::Shown(const char* className, const char* title) const {
  for (HWND h = nullptr; (h = FindWindowExA(nullptr, h, className, title)) != nullptr;)
    if (ProcessOf(h) == pi_.dwProcessId && IsWindowVisible(h)) return h;
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

bool Vocalet::StartRecording() {
  Key(VK_F2);
  return WaitUntil([&] { return RecorderPageShown(); }, 10000);
}

bool Vocalet::Record(DWORD ms) {
  if (!StartRecording()) return false;
  Sleep(ms);
  Key(VK_F3);
  return WaitStatus("Last message recorded on ");
}

HWND Vocalet::OpenDragNAttach() {
  Key('A', true);
  HWND dna = nullptr;
  WaitUntil([&] { return (dna = Shown("TDragNAttachForm")) != nullptr; }, 10000);
  return dna;
}

bool Vocalet::SaveAs(const std::string& path, std::string* proposed) {
  Key(VK_F12);
  HWND dialog = nullptr, edit = nullptr;
  // The file name box: an edit control on its own (edt1) or in the Explorer-style dialog's
  // combo box (cmb13).
  WaitUntil([&] {
    dialog = Shown("#32770", "Save Voice Message As");
    return dialog && (edit = FindIn(dialog, [](HWND h) {
      const int id = GetDlgCtrlID(h);
      return ClassOf(h) == "Edit" && (id == 0x480 || id == 0x47c) && IsWindowVisible(h);
    }));
  }, 10000);
  char text[MAX_PATH] = {};  // an edit box of another process keeps its text to itself
  SendMessageA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  if (proposed) *proposed = text;
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

std::vector<short> DecodeGsm(const WaveInfo& w) {
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

double Rms(const std::vector<short>& s) {
  double sum = 0;
  for (short v : s) sum += static_cast<double>(v) * v;
  return s.empty() ? 0 : std::sqrt(sum / static_cast<double>(s.size()));
}

double Rms(const WaveInfo& pcm16) {
  std::vector<short> samples(pcm16.data.size() / 2);
  std::memcpy(samples.data(), pcm16.data.data(), samples.size() * 2);
  return Rms(samples);
}

namespace {
// The files of a drag's data object, and the size of the block that lists them.
size_t DroppedFiles(IDataObject* data, std::vector<std::string>* paths) {
  FORMATETC f{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM m{};
  if (data->GetData(&f, &m) != S_OK) return 0;
  const size_t size = GlobalSize(m.hGlobal);
  auto drop = static_cast<HDROP>(m.hGlobal);
  for (UINT i = 0, n = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0); paths && i < n; ++i) {
    char name[MAX_PATH] = {};
    DragQueryFileA(drop, i, name, MAX_PATH);
    paths->push_back(name);
  }
  ReleaseStgMedium(&m);
  return size;
}

// A window of this process on top at a fixed place that takes copies of files.
struct MailStandIn : IDropTarget {
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
    RevokeDragDrop(window);
    DestroyWindow(window);
    OleUninitialize();
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = (iid == IID_IUnknown || iid == IID_IDropTarget) ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    // Some mail programs look at the files before the drop.
    seen.hoverBlockSize = static_cast<int>(DroppedFiles(data, nullptr));
    seen.formatWhileHovering = ReadWave(message).formatTag;
    return DragOver(0, {}, effect);
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    seen.reached = true;
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    ++seen.drops;
    DroppedFiles(data, &seen.dropped);
    seen.formatAtDrop = seen.dropped.empty() ? 0 : ReadWave(seen.dropped[0]).formatTag;
    return DragOver(0, {}, effect);
  }
};
}  // namespace

Drop DragToMail(Vocalet& app, HWND dna, const std::string& message, bool escape) {
  Drop seen;
  MailStandIn target(message, seen);
  // The pointer's way runs on the Unix side in three legs, each when a marker file says so:
  // the press on the icon at once, the way over the target once the drag shows, the release.
  static int count = 0;
  const std::string marker = message + ".drag" + std::to_string(++count);
  const int x = MailStandIn::kX + MailStandIn::kSize / 2, y = MailStandIn::kY + MailStandIn::kSize / 2;
  POINT from{7 + 39 / 2, 5 + 41 / 2};  // the icon
  ClientToScreen(dna, &from);
  auto waitFor = [&](const char* leg) {
    return "i=0; while [ ! -e '" + UnixPath(marker + leg) +
           "' ] && [ $i -lt 600 ]; do sleep 0.05; i=$((i+1)); done; ";
  };
  auto move = [](int x, int y) {
    return "xdotool mousemove " + std::to_string(x) + " " + std::to_string(y);
  };
  std::string script = move(from.x, from.y) + " mousedown 1; " + waitFor("1");
  for (int i = 1; i <= 6; ++i)
    script += move(from.x + (x - from.x) * i / 6, from.y + (y - from.y) * i / 6) + "; sleep 0.1; ";
  script += waitFor("2") + move(x + 3, y + 2) + " mouseup 1; touch '" + UnixPath(marker) + "'";
  if (!UnixShell("command -v xdotool >/dev/null", true) || !UnixShell(script, false)) return seen;
  PumpUntil([] { return IsWindowVisible(FindWindowA("TDragForm", "DragForm")); }, 10000);
  WriteAll(marker + "1", "");
  PumpUntil([&] { return seen.reached; }, 15000);
  if (escape) app.Key(VK_ESCAPE, false, dna);
  WriteAll(marker + "2", "");
  PumpUntil([&] { return Exists(marker); }, 20000);
  PumpUntil([&] { return !IsWindow(dna); }, 10000);
  return seen;
}

}  // namespace e2e
