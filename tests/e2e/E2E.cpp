#include "E2E.h"

#include <commctrl.h>
#include <msacm.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace e2e {

namespace {
const char kKey[] = "Software\\Quindle\\Vocalet";

HKEY OpenKey(const char* path) {
  HKEY k = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
  return k;
}
void SetString(HKEY k, const char* name, const std::string& v) {
  RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                 static_cast<DWORD>(v.size() + 1));
}
void SetInt(HKEY k, const char* name, int v) {
  RegSetValueExA(k, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
}
int GetInt(HKEY k, const char* name) {
  DWORD d = 0, size = sizeof d;
  RegQueryValueExA(k, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&d), &size);
  return static_cast<int>(d);
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

// The first window below parent (top-level for none) for which f is true, or null.
struct Search {
  std::function<bool(HWND)> f;
  HWND found = nullptr;
};
BOOL CALLBACK SearchEach(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  if (!s->f(h)) return TRUE;
  s->found = h;
  return FALSE;
}
HWND FindWhere(HWND parent, std::function<bool(HWND)> f) {
  Search s{std::move(f)};
  if (parent)
    EnumChildWindows(parent, SearchEach, reinterpret_cast<LPARAM>(&s));
  else
    EnumWindows(SearchEach, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND RecorderPanel(HWND main) {
  return FindWhere(main, [](HWND h) {
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

void WriteOptions(const Options& o) {
  HKEY k = OpenKey(kKey);
  for (const auto& [name, on] : std::initializer_list<std::pair<const char*, bool>>{
           {"HideTips", o.HideTips}, {"AutoRecord", o.AutoRecord}, {"AutoPlay", o.AutoPlay},
           {"BeepOnRecord", o.BeepOnRecord}, {"AutoClose", o.AutoClose}, {"Mono", o.Mono},
           {"GSM610", o.GSM610}, {"PackOnSend", o.PackOnSend}, {"Bits16", o.Bits16}})
    SetString(k, name, on ? "1" : "0");
  for (const auto& [name, v] : std::initializer_list<std::pair<const char*, int>>{
           {"Quality ", o.Quality}, {"PlainSize", o.PlainSize}, {"DurationSec", o.DurationSec},
           {"MinWaveLevel", o.MinWaveLevel}})
    SetInt(k, name, v);
  SetString(k, "MsgFileName", o.MsgFileName);
  RegCloseKey(k);
}

Options ReadOptions() {
  Options o;
  HKEY k = OpenKey(kKey);
  o.PlainSize = GetInt(k, "PlainSize");
  o.DurationSec = GetInt(k, "DurationSec");
  RegCloseKey(k);
  return o;
}

void ChooseLanguage(Language language) {
  HKEY k = OpenKey("Software\\Quindle\\MLS");
  SetInt(k, "Vocalet", static_cast<int>(language));
  RegCloseKey(k);
}

bool WaitUntil(const std::function<bool()>& done, DWORD ms) {
  for (DWORD end = GetTickCount() + ms; !done(); Sleep(20))
    if (GetTickCount() > end) return false;
  return true;
}

bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
  return WaitUntil([&] {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
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
  for (char& c : dir)
    if (c == '/') c = '\\';
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
  WaitUntil([&] {
    main_ = Shown("VocaletForm", "Quindle Vocalet");
    return main_ && !StatusLine().empty();
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
  return main_ != nullptr;
}

bool Vocalet::WaitExit(DWORD ms) { return WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0; }

DWORD Vocalet::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(pi_.hProcess, &code);
  return code;
}

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
  HWND status = FindWhere(main_, [](HWND h) {
    return ClassOf(h) == "VocaletWindow" && !TextOf(h).empty();
  });
  return status ? TextOf(status) : std::string();
}

bool Vocalet::WaitStatus(const std::string& prefix, DWORD ms) const {
  return WaitUntil([&] { return StatusLine().rfind(prefix, 0) == 0; }, ms);
}

bool Vocalet::RecorderPageShown() const {
  HWND panel = RecorderPanel(main_);
  return panel && IsWindowVisible(panel);
}

std::vector<DWORD> Vocalet::SecondsShown() const {
  const int w = 76, h = 21;  // the counter's label, at (228, 2) of the panel
  POINT at{228, 2};
  ClientToScreen(RecorderPanel(main_), &at);
  BITMAPINFO bi{{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  void* bits = nullptr;
  HDC screen = GetDC(nullptr), mem = CreateCompatibleDC(screen);
  HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  BitBlt(mem, 0, 0, w, h, screen, at.x, at.y, SRCCOPY);
  GdiFlush();
  std::vector<DWORD> pixels(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + w * h);
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return pixels;
}

HWND Vocalet::ToolBar() const {
  return FindWhere(main_, [](HWND h) { return ClassOf(h) == "ToolbarWindow32"; });
}

bool Vocalet::ToolButtonEnabled(ToolButton button) const {
  // The buttons' command identifiers: handed out in order from 40000 to the one toolbar.
  return SendMessageA(ToolBar(), TB_ISBUTTONENABLED, 40000 + static_cast<int>(button), 0) != 0;
}

int Vocalet::WindowCount() const {
  int count = 0;
  FindWhere(nullptr, [&](HWND top) {
    if (ProcessOf(top) != pi_.dwProcessId) return false;
    ++count;
    FindWhere(top, [&](HWND) { return ++count, false; });
    return false;
  });
  return count;
}

HWND Vocalet::Shown(const std::string& className, const std::string& title) const {
  return FindWhere(nullptr, [&](HWND h) {
    return ProcessOf(h) == pi_.dwProcessId && ClassOf(h) == className &&
           (title.empty() || TextOf(h) == title) && IsWindowVisible(h);
  });
}

std::string Vocalet::BoxText(HWND box) {
  // The static control that is not the icon.
  HWND text = box ? FindWhere(box, [](HWND h) {
    return ClassOf(h) == "Static" && !TextOf(h).empty();
  }) : nullptr;
  return text ? TextOf(text) : std::string();
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
    edit = dialog ? FindWhere(dialog, [](HWND h) {
      const int id = GetDlgCtrlID(h);
      return lstrcmpiA(ClassOf(h).c_str(), "Edit") == 0 && (id == 0x480 || id == 0x47c) && IsWindowVisible(h);
    }) : nullptr;
    return edit != nullptr;
  }, 10000);
  if (!edit) return false;
  char text[MAX_PATH] = {};  // an edit box of another process keeps its text to itself
  SendMessageA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  if (proposed) *proposed = text;
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  return WaitUntil([&] { return !IsWindow(dialog); }, 10000);
}

WaveInfo ReadWave(const std::string& path) {
  WaveInfo w;
  const std::string b = ReadAll(path);
  auto u16 = [&](size_t p) { return static_cast<WORD>((b[p] & 0xFF) | (b[p + 1] & 0xFF) << 8); };
  auto u32 = [&](size_t p) { return u16(p) | static_cast<DWORD>(u16(p + 2)) << 16; };
  if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0) return w;
  for (size_t pos = 12; pos + 8 <= b.size(); pos += 8 + u32(pos + 4)) {
    if (b.compare(pos, 4, "fmt ") == 0 && pos + 24 <= b.size()) {
      w.formatTag = u16(pos + 8);
      w.blockAlign = u16(pos + 20);
      w.bits = u16(pos + 22);
    } else if (b.compare(pos, 4, "data") == 0) {
      w.data = b.substr(pos + 8, u32(pos + 4));
      w.ok = true;
      break;
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
}  // namespace

MailStandIn::MailStandIn(std::string messageFile) : message(std::move(messageFile)) {
  OleInitialize(nullptr);
  WNDCLASSA wc{0, DefWindowProcA, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr,
               static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), nullptr, "MailStandIn"};
  RegisterClassA(&wc);
  window = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "Mail", WS_POPUP, kX, kY, kSize,
                           kSize, nullptr, nullptr, wc.hInstance, nullptr);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  RegisterDragDrop(window, this);
}

MailStandIn::~MailStandIn() {
  RevokeDragDrop(window);
  DestroyWindow(window);
  OleUninitialize();
}

HRESULT MailStandIn::QueryInterface(REFIID iid, void** out) {
  *out = (iid == IID_IUnknown || iid == IID_IDropTarget) ? this : nullptr;
  return *out ? S_OK : E_NOINTERFACE;
}

HRESULT MailStandIn::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  // Some mail programs look at the files before the drop.
  hoverBlockSize = static_cast<int>(DroppedFiles(data, nullptr));
  formatWhileHovering = ReadWave(message).formatTag;
  *effect = DROPEFFECT_COPY;
  return S_OK;
}

HRESULT MailStandIn::DragOver(DWORD, POINTL, DWORD* effect) {
  hovered = true;
  *effect = DROPEFFECT_COPY;
  return S_OK;
}

HRESULT MailStandIn::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  ++drops;
  DroppedFiles(data, &dropped);
  formatAtDrop = dropped.empty() ? 0 : ReadWave(dropped[0]).formatTag;
  *effect = DROPEFFECT_COPY;
  return S_OK;
}

PointerDrag::PointerDrag(HWND dragNAttach, const std::string& folder) {
  static int count = 0;
  const std::string marker = folder + "\\drag" + std::to_string(++count);
  go1_ = marker + "go1";
  go2_ = marker + "go2";
  done_ = marker + "done";
  POINT from{7 + 39 / 2, 5 + 41 / 2};  // the icon
  ClientToScreen(dragNAttach, &from);
  const int x = MailStandIn::kX + MailStandIn::kSize / 2, y = MailStandIn::kY + MailStandIn::kSize / 2;
  auto waitFor = [](const std::string& file) {
    return "i=0; while [ ! -e '" + UnixPath(file) + "' ] && [ $i -lt 600 ]; do sleep 0.05; " +
           "i=$((i+1)); done; ";
  };
  auto move = [](int x, int y) {
    return "xdotool mousemove " + std::to_string(x) + " " + std::to_string(y);
  };
  std::string script = move(from.x, from.y) + " mousedown 1; " + waitFor(go1_);
  for (int i = 1; i <= 6; ++i)
    script += move(from.x + (x - from.x) * i / 6, from.y + (y - from.y) * i / 6) + "; sleep 0.1; ";
  script += waitFor(go2_) + move(x + 3, y + 2) + " mouseup 1; touch '" + UnixPath(done_) + "'";
  started_ = UnixShell("command -v xdotool >/dev/null", true) && UnixShell(script, false);
}

bool PointerDrag::OverTarget(MailStandIn& target) {
  // The drag runs once its feedback window shows.
  const bool dragging = started_ && PumpUntil([] {
    HWND w = FindWindowA("TDragForm", "DragForm");
    return w && IsWindowVisible(w);
  }, 10000);
  WriteAll(go1_, "");
  return dragging && PumpUntil([&] { return target.hovered; }, 15000);
}

bool PointerDrag::Release() {
  if (!started_) return false;
  WriteAll(go1_, "");
  WriteAll(go2_, "");
  return PumpUntil([&] { return Exists(done_); }, 20000);
}

}  // namespace e2e
