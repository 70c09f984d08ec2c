// Delivering a message with the real Vocalet.exe under Wine: Send through SendMail.exe into a
// recording MAPI32.DLL or a stand-in xdg-email, Save As through the platform's save dialog,
// and Attach by dragging from the Drag & Attach window into a drop target of this process,
// with the X pointer of the virtual display.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "E2E.h"
#include "MapiRecord.h"
#include "TestFolder.h"
#include "util/ovUtils.h"

using namespace e2e;

namespace {

const char kOptionsKey[] = "Software\\Quindle\\Vocalet";
const char kAppDefaultsRoot[] = "Software\\Wine\\AppDefaults";
const char kAppDefaults[] = "Software\\Wine\\AppDefaults\\SendMail.exe";
const char kDllOverrides[] = "Software\\Wine\\AppDefaults\\SendMail.exe\\DllOverrides";
const char kBodyStart[] =
    "\nThis e-mail contains a voice message. Double click the icon of\n"
    "the attached file to play it.\n\n";

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
std::string Replace(std::string s, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = s.find(from, at)) != std::string::npos; at += to.size())
    s.replace(at, from.size(), to);
  return s;
}

// Two seconds of a tone, as the recorder makes it with the default options: PCM, 8 kHz,
// mono, 16 bits.
void WritePcmMessage(const std::string& path) {
  const DWORD rate = 8000, samples = 2 * rate, dataBytes = samples * 2;
  std::string w = "RIFF";
  auto u32 = [&](DWORD v) { for (int i = 0; i < 4; ++i) w += static_cast<char>(v >> (8 * i)); };
  auto u16 = [&](WORD v) { w += static_cast<char>(v & 0xFF); w += static_cast<char>(v >> 8); };
  u32(36 + dataBytes);
  w += "WAVEfmt ";
  u32(16);
  u16(WAVE_FORMAT_PCM);
  u16(1);
  u32(rate);
  u32(rate * 2);
  u16(2);
  u16(16);
  w += "data";
  u32(dataBytes);
  for (DWORD i = 0; i < samples; ++i) {
    // 500 Hz: 16 samples per period, a triangle of amplitude 8000.
    int phase = static_cast<int>(i % 16);
    int v = phase < 8 ? -8000 + phase * 2000 : 8000 - (phase - 8) * 2000;
    u16(static_cast<WORD>(static_cast<short>(v)));
  }
  WriteAll(path, w);
}

std::vector<DWORD> ProcessesNamed(const char* name) {
  std::vector<DWORD> ids;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32 pe{};
  pe.dwSize = sizeof pe;
  for (BOOL more = Process32First(snap, &pe); more; more = Process32Next(snap, &pe))
    if (lstrcmpiA(pe.szExeFile, name) == 0) ids.push_back(pe.th32ProcessID);
  CloseHandle(snap);
  return ids;
}

// A top-level window of the given process and class (and title, when given) that shows.
struct WindowQuery {
  DWORD pid;
  std::string className, title;
  HWND found = nullptr;
};
BOOL CALLBACK MatchWindow(HWND h, LPARAM lp) {
  auto* q = reinterpret_cast<WindowQuery*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  char cls[64] = {}, title[256] = {};
  GetClassNameA(h, cls, sizeof cls);
  GetWindowTextA(h, title, sizeof title);
  if (pid == q->pid && q->className == cls && (q->title.empty() || q->title == title) &&
      IsWindowVisible(h)) {
    q->found = h;
    return FALSE;
  }
  return TRUE;
}
HWND ShownWindow(const Vocalet& app, const std::string& className, const std::string& title = "") {
  WindowQuery q{app.ProcessId(), className, title};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&q));
  return q.found;
}

// A folder of the test's environment, given as a Unix path, as a Windows path.
std::string WinPathFromEnv(const char* variable) {
  const char* value = getenv(variable);
  std::string dir = Replace(value ? value : "", "/", "\\");
  return !dir.empty() && dir[0] == '\\' ? "Z:" + dir : dir;
}

std::string HandOffFile() {
  char dir[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, dir);
  return std::string(dir) + "\\Quindle\\Vocalet\\eMail.dat";
}

// What every delivery test shares: the options of one run, a message file in a folder of
// its own, and "eMail.dat" in the user's local application data as it was before the test.
struct DeliveryE2E : ::testing::Test {
  TestFolder folder;
  Options options;
  std::string message, handOff = HandOffFile(), handOffBefore;
  bool hadHandOff = false;

  void SetUp() override {
    message = folder.Path() + "\\message.wav";
    options.MsgFileName = message;
    hadHandOff = Exists(handOff);
    if (hadHandOff) handOffBefore = ReadAll(handOff);
    DeleteFileA(handOff.c_str());
  }
  void TearDown() override {
    if (hadHandOff)
      WriteAll(handOff, handOffBefore);
    else
      DeleteFileA(handOff.c_str());
    SHDeleteKeyA(HKEY_CURRENT_USER, kOptionsKey);
  }
  static bool WaitStatus(Vocalet& app, const std::string& prefix, DWORD ms = 30000) {
    return WaitUntil([&] { return app.StatusLine().rfind(prefix, 0) == 0; }, ms);
  }
  // Records with the scripted microphone: F2, a moment of speech, F3.
  static bool Record(Vocalet& app) {
    app.Key(VK_F2);
    if (!WaitUntil([&] { return app.RecorderPageShown(); }, 10000)) return false;
    Sleep(1500);  // the length of the recording
    app.Key(VK_F3);
    return WaitStatus(app, "Last message recorded on ");
  }
};

// --- Nothing to deliver --------------------------------------------------------------

TEST_F(DeliveryE2E, SendSaveAsAndAttachDoNothingWithoutAMessage) {
  WriteOptions(options);
  Vocalet app;
  ASSERT_TRUE(app.Start());
  app.Key(VK_F5);
  app.Key(VK_F12);
  app.Key('A', true);
  // Keys are handled in order: once F2 has shown the recorder page, the three before it
  // have had their turn.
  app.Key(VK_F2);
  ASSERT_TRUE(WaitUntil([&] { return app.RecorderPageShown(); }, 10000))
      << "a window took the keys away from the main window";
  EXPECT_FALSE(Exists(handOff)) << "F5 wrote the hand-off file";
  EXPECT_TRUE(ProcessesNamed("SendMail.exe").empty()) << "F5 started the mail-sender";
  EXPECT_EQ(ShownWindow(app, "#32770"), nullptr) << "F12 opened a dialog";
  EXPECT_EQ(ShownWindow(app, "TDragNAttachForm"), nullptr) << "Ctrl+A opened Drag & Attach";
  EXPECT_TRUE(IsWindowVisible(app.Main()));
  ASSERT_TRUE(app.Quit());
}

// --- Send ----------------------------------------------------------------------------

std::vector<std::string> Values(const TRecord& r, const std::string& tag) {
  std::vector<std::string> v;
  for (const auto& [t, value] : r)
    if (t == tag) v.push_back(value);
  return v;
}

// SendMail.exe where the program starts it, "<CommonFilesDir>\Orvane", with the recording
// MAPI32.DLL put beside it for the test. Wine prefers its own mapi32 even there, so the
// native one is asked for, for SendMail.exe only, while the test runs.
struct SendToMapi : DeliveryE2E {
  std::string orvane = ExpandPathMacros("<CommonFilesDir>\\Orvane");
  std::string dll = orvane + "\\MAPI32.DLL", record = orvane + "\\mapi-record.txt";
  bool hadAppDefaults = false;

  void SetUp() override {
    DeliveryE2E::SetUp();
    ASSERT_TRUE(Exists(orvane + "\\SendMail.exe")) << "the build places it in " << orvane;
    ASSERT_FALSE(Exists(dll)) << "a MAPI32.DLL that is not ours";
    ASSERT_TRUE(CopyFileA((BinDir() + "\\fakemapi\\MAPI32.DLL").c_str(), dll.c_str(), TRUE));
    DeleteFileA(record.c_str());
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kAppDefaultsRoot, 0, KEY_READ, &key) == ERROR_SUCCESS) {
      hadAppDefaults = true;
      RegCloseKey(key);
    }
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kDllOverrides, 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExA(key, "mapi32", 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"),
                   15);
    RegCloseKey(key);
  }
  void TearDown() override {
    WaitForMailSenders();
    DeleteFileA(dll.c_str());
    DeleteFileA(record.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, kDllOverrides);
    RegDeleteKeyA(HKEY_CURRENT_USER, kAppDefaults);
    if (!hadAppDefaults) RegDeleteKeyA(HKEY_CURRENT_USER, kAppDefaultsRoot);
    DeliveryE2E::TearDown();
  }
  static bool WaitForMailSenders() {
    return WaitUntil([] { return ProcessesNamed("SendMail.exe").empty(); }, 20000);
  }
  // The message as the mail program got it, once SendMail.exe has ended.
  TRecord Mail() {
    EXPECT_TRUE(WaitUntil([&] { return Exists(record); }, 20000)) << "MAPISendMail not called";
    EXPECT_TRUE(WaitForMailSenders());
    return ParseRecord(ReadAll(record));
  }
};

TEST_F(SendToMapi, ARecordedMessageReachesTheMailProgramAndAutoCloseEndsTheProgram) {
  options.AutoClose = true;
  WriteOptions(options);
  Vocalet app;
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(Record(app));
  ASSERT_EQ(ReadWave(message).formatTag, 0x31) << "compressed when the recording stopped";
  std::string recorded = ReadAll(message);

  app.Key(VK_F5);
  EXPECT_TRUE(app.WaitExit(20000)) << "AutoClose: the main window closes after Send";
  TRecord mail = Mail();
  EXPECT_EQ(Values(mail, "subject"), std::vector<std::string>{"Voice message"});
  ASSERT_EQ(Values(mail, "text").size(), 1u);
  std::string text = Values(mail, "text")[0];
  EXPECT_EQ(text.rfind(Replace(kBodyStart, "\n", "\r\n"), 0), 0u) << text;
  EXPECT_EQ(text.find("\\n"), std::string::npos) << "escaped line breaks left in the body";
  EXPECT_EQ(Replace(text, "\r\n", "").find_first_of("\r\n"), std::string::npos)
      << "every line break is CR LF";
  EXPECT_EQ(Values(mail, "filepath"), std::vector<std::string>{message});
  EXPECT_TRUE(Values(mail, "recipname").empty());
  EXPECT_TRUE(ReadAll(message) == recorded) << "Send changed a compressed message";

  // The hand-off file stays where the mail-sender read it, nothing beside the program.
  EXPECT_FALSE(Exists(BinDir() + "\\eMail.dat"));
  char subject[64] = {}, file[8] = {};
  GetPrivateProfileStringA("Header", "Subject", "", subject, sizeof subject, handOff.c_str());
  GetPrivateProfileStringA("Files", message.c_str(), "", file, sizeof file, handOff.c_str());
  EXPECT_STREQ(subject, "Voice message");
  EXPECT_STREQ(file, "1");
}

TEST_F(SendToMapi, PackOnSendCompressesBeforeTheMailSenderStartsAndTheWindowStays) {
  options.PackOnSend = true;
  WritePcmMessage(message);
  options.PlainSize = static_cast<int>(ReadAll(message).size());
  options.DurationSec = 2;
  WriteOptions(options);
  Vocalet app;
  ASSERT_TRUE(app.Start());
  ASSERT_EQ(ReadWave(message).formatTag, WAVE_FORMAT_PCM);

  app.Key(VK_F5);
  TRecord mail = Mail();
  EXPECT_EQ(Values(mail, "subject"), std::vector<std::string>{"Voice message"});
  EXPECT_EQ(Values(mail, "filepath"), std::vector<std::string>{message});
  WaveInfo w = ReadWave(message);
  EXPECT_EQ(w.formatTag, 0x31);
  EXPECT_GT(Rms(DecodeGsm(w)), 1000.0) << "the tone survived the compression";
  EXPECT_TRUE(IsWindowVisible(app.Main())) << "no AutoClose: the window stays";

  // A second Send finds the message compressed already and hands it on unchanged.
  std::string packed = ReadAll(message);
  DeleteFileA(record.c_str());
  app.Key(VK_F5);
  EXPECT_EQ(Values(Mail(), "filepath"), std::vector<std::string>{message});
  EXPECT_TRUE(ReadAll(message) == packed) << "the second Send changed the message";
  ASSERT_TRUE(app.Quit());
}

// Under Wine with Wine's own mapi32: SendMail.exe hands the mail to the desktop's
// xdg-email, here a stand-in first on the Unix PATH that records its arguments.
struct SendToXdgEmail : DeliveryE2E {
  std::string fakeBin = WinPathFromEnv("E2E_FAKE_XDG_DIR");
  std::string args = fakeBin + "\\xdg-email.args";
  void SetUp() override {
    DeliveryE2E::SetUp();
    ASSERT_FALSE(fakeBin.empty());
    ASSERT_FALSE(Exists(ExpandPathMacros("<CommonFilesDir>\\Orvane\\MAPI32.DLL")));
    DeleteFileA(args.c_str());
  }
  void TearDown() override {
    WaitUntil([] { return ProcessesNamed("SendMail.exe").empty(); }, 20000);
    DeleteFileA(args.c_str());
    DeliveryE2E::TearDown();
  }
  std::vector<std::string> Arguments() {
    std::string data = ReadAll(args);
    std::vector<std::string> list;
    size_t start = 0;
    for (size_t end; (end = data.find('\0', start)) != std::string::npos; start = end + 1)
      list.push_back(data.substr(start, end - start));
    return list;
  }
};

TEST_F(SendToXdgEmail, TheDesktopMailProgramGetsTheMessagesUnixPath) {
  WritePcmMessage(message);
  WriteOptions(options);
  Vocalet app;
  ASSERT_TRUE(app.Start());
  app.Key(VK_F5);
  ASSERT_TRUE(WaitUntil([&] { return Exists(args); }, 20000)) << "xdg-email not started";
  std::vector<std::string> got = Arguments();
  ASSERT_EQ(got.size(), 7u);
  EXPECT_EQ(got[0], "--utf8");
  EXPECT_EQ(got[1], "--subject");
  EXPECT_EQ(got[2], "Voice message");
  EXPECT_EQ(got[3], "--body");
  EXPECT_EQ(got[4].rfind(kBodyStart, 0), 0u) << got[4];
  EXPECT_EQ(got[4].find_first_of("\r\\"), std::string::npos) << got[4];
  EXPECT_EQ(got[5], "--attach");
  std::string unixMessage = UnixPath(message);
  ASSERT_EQ(unixMessage.substr(0, 1), "/");
  EXPECT_EQ(got[6], unixMessage);
  EXPECT_TRUE(IsWindowVisible(app.Main()));
  ASSERT_TRUE(app.Quit());
}

// --- Save As -------------------------------------------------------------------------

// The file name box of the platform's save dialog: an edit control, on its own (edt1) or
// inside the combo box of the Explorer-style dialog (cmb13).
BOOL CALLBACK FindNameEdit(HWND h, LPARAM lp) {
  char cls[16] = {};
  GetClassNameA(h, cls, sizeof cls);
  int id = GetDlgCtrlID(h);
  if (lstrcmpiA(cls, "Edit") == 0 && (id == 0x480 || id == 0x47c) && IsWindowVisible(h)) {
    *reinterpret_cast<HWND*>(lp) = h;
    return FALSE;
  }
  return TRUE;
}

struct SaveAs : DeliveryE2E {
  // Answers the platform's save dialog of the program: the name typed in, then Save.
  static bool SaveTo(Vocalet& app, const std::string& path, std::string* proposed) {
    HWND dialog = nullptr;
    if (!WaitUntil([&] {
          return (dialog = ShownWindow(app, "#32770", "Save Voice Message As")) != nullptr;
        }, 10000))
      return false;
    HWND edit = nullptr;
    WaitUntil([&] {
      EnumChildWindows(dialog, FindNameEdit, reinterpret_cast<LPARAM>(&edit));
      return edit != nullptr;
    }, 5000);
    if (!edit) return false;
    char text[MAX_PATH] = {};
    SendMessageA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    if (proposed) *proposed = text;
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    return WaitUntil([&] { return !IsWindow(dialog); }, 10000);
  }
};

TEST_F(SaveAs, CopiesTheMessageAsItStandsOverALongerFile) {
  // PackOnSend leaves the message uncompressed until it is delivered; Save As is no delivery.
  options.PackOnSend = true;
  WritePcmMessage(message);
  WriteOptions(options);
  std::string before = ReadAll(message);
  std::string target = folder.Path() + "\\saved copy.wav";
  WriteAll(target, before + std::string(5000, 'x'));

  Vocalet app;
  ASSERT_TRUE(app.Start());
  app.Key(VK_F12);
  std::string proposed;
  ASSERT_TRUE(SaveTo(app, target, &proposed));
  EXPECT_EQ(proposed, "message.wav");
  EXPECT_TRUE(WaitUntil([&] { return ReadAll(target) == before; }, 10000))
      << "size " << ReadAll(target).size() << " instead of " << before.size();
  EXPECT_TRUE(ReadAll(message) == before) << "Save As changed the message";
  EXPECT_TRUE(IsWindowVisible(app.Main()));
  ASSERT_TRUE(app.Quit());
}

TEST_F(SaveAs, CopiesACompressedMessageToANewFile) {
  WriteOptions(options);
  Vocalet app;
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(Record(app));
  std::string recorded = ReadAll(message);
  ASSERT_EQ(ReadWave(message).formatTag, 0x31);
  std::string target = folder.Path() + "\\new.wav";
  app.Key(VK_F12);
  ASSERT_TRUE(SaveTo(app, target, nullptr));
  EXPECT_TRUE(WaitUntil([&] { return ReadAll(target) == recorded; }, 10000));
  ASSERT_TRUE(app.Quit());
}

// --- Attach --------------------------------------------------------------------------

using TSpawn = int(WINAPI*)(char* const argv[], int wait);
TSpawn UnixSpawn() {
  return reinterpret_cast<TSpawn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "__wine_unix_spawnvp")));
}
bool HaveXdotool() {
  TSpawn spawn = UnixSpawn();
  char sh[] = "sh", c[] = "-c", check[] = "command -v xdotool >/dev/null";
  char* argv[] = {sh, c, check, nullptr};
  return spawn && spawn(argv, 1) == 0;
}

// The Escape key as the keyboard sends it, to the active window.
void PressEscape() {
  INPUT keys[2]{};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof(INPUT));
}

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return DefWindowProcA(h, m, w, l);
}

// A mail message's stand-in in this process: a window that takes copies of files, which
// notes what it was given and what the message file looked like at that moment.
struct TTarget : IDropTarget {
  std::string message;
  bool hovered = false;
  int hoverBlockSize = -1;
  WORD formatWhileHovering = 0, formatAtDrop = 0;
  int drops = 0;
  std::vector<std::string> dropped;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = (iid == IID_IUnknown || iid == IID_IDropTarget) ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    // Some mail programs look at the files before the drop.
    std::vector<std::string> none;
    hoverBlockSize = static_cast<int>(Read(data, none));
    formatWhileHovering = ReadWave(message).formatTag;
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    hovered = true;
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    ++drops;
    Read(data, dropped);
    formatAtDrop = dropped.empty() ? 0 : ReadWave(dropped[0]).formatTag;
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  static size_t Read(IDataObject* data, std::vector<std::string>& paths) {
    FORMATETC f{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM m{};
    if (data->GetData(&f, &m) != S_OK) return 0;
    size_t size = GlobalSize(m.hGlobal);
    auto drop = static_cast<HDROP>(m.hGlobal);
    UINT n = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < n; ++i) {
      char name[MAX_PATH] = {};
      DragQueryFileA(drop, i, name, MAX_PATH);
      paths.push_back(name);
    }
    ReleaseStgMedium(&m);
    return size;
  }
};

struct Attach : DeliveryE2E {
  HWND targetWindow = nullptr;
  TTarget target;
  std::string go1, go2, done;  // marker files shared with the pointer's script
  bool spawned = false;
  static constexpr int kTargetX = 800, kTargetY = 500, kTargetSize = 250;

  void SetUp() override {
    DeliveryE2E::SetUp();
    ASSERT_TRUE(HaveXdotool()) << "xdotool is missing: tools/install-deps.sh installs it";
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    WNDCLASSA wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "MailMessageStandIn";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassA(&wc);
    targetWindow = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "Mail", WS_POPUP, kTargetX,
                                   kTargetY, kTargetSize, kTargetSize, nullptr, nullptr,
                                   wc.hInstance, nullptr);
    ShowWindow(targetWindow, SW_SHOWNOACTIVATE);
    target.message = message;
    ASSERT_EQ(RegisterDragDrop(targetWindow, &target), S_OK);
    go1 = folder.Path() + "\\go1";
    go2 = folder.Path() + "\\go2";
    done = folder.Path() + "\\done";
    // Vocalet opens under the pointer, and Drag & Attach beside it.
    SetCursorPos(500, 300);
  }
  void TearDown() override {
    if (targetWindow) {
      // A script still waiting for its markers finds them and ends.
      if (spawned) {
        WriteAll(go1, "");
        WriteAll(go2, "");
        PumpUntil([&] { return Exists(done); }, 20000);
      }
      RevokeDragDrop(targetWindow);
      DestroyWindow(targetWindow);
      OleUninitialize();
    }
    DeliveryE2E::TearDown();
  }

  // Opens Drag & Attach with Ctrl+A and presses the left button on its icon; the rest of
  // the pointer's way is written below as a script that runs on its own: once the drag
  // shows its feedback window (go1) it moves over the target, and once the target has seen
  // the pointer (go2) it releases the button there.
  HWND OpenAndPress(Vocalet& app) {
    app.Key('A', true);
    HWND dna = nullptr;
    if (!WaitUntil([&] { return (dna = ShownWindow(app, "TDragNAttachForm")) != nullptr; },
                   10000))
      return nullptr;
    EXPECT_FALSE(IsWindowVisible(app.Main())) << "the main window hides while attaching";
    // The window raises itself over all others once it shows; it is placed before that.
    POINT icon{7 + 39 / 2, 5 + 41 / 2};
    ClientToScreen(dna, &icon);
    int x1 = kTargetX + kTargetSize / 2, y1 = kTargetY + kTargetSize / 2;
    auto waitFor = [](const std::string& marker) {
      return "i=0; while [ ! -e '" + UnixPath(marker) +
             "' ] && [ $i -lt 600 ]; do sleep 0.05; i=$((i+1)); done; ";
    };
    std::string script = "xdotool mousemove " + std::to_string(icon.x) + " " +
                         std::to_string(icon.y) + " mousedown 1; " + waitFor(go1);
    for (int i = 1; i <= 6; ++i)
      script += "xdotool mousemove " + std::to_string(icon.x + (x1 - icon.x) * i / 6) + " " +
                std::to_string(icon.y + (y1 - icon.y) * i / 6) + "; sleep 0.1; ";
    script += waitFor(go2) + "xdotool mousemove " + std::to_string(x1 + 3) + " " +
              std::to_string(y1 + 2) + " mouseup 1; touch '" + UnixPath(done) + "'";
    char sh[] = "sh", c[] = "-c";
    char* argv[] = {sh, c, script.data(), nullptr};
    spawned = UnixSpawn()(argv, 0) == 0;
    return spawned ? dna : nullptr;
  }
  // The drag runs once its feedback window shows; then the pointer goes to the target.
  bool DragOverTarget() {
    bool started = PumpUntil([] {
      HWND w = FindWindowA("TDragForm", "DragForm");
      return w && IsWindowVisible(w);
    }, 10000);
    WriteAll(go1, "");
    return started && PumpUntil([&] { return target.hovered; }, 15000);
  }
  bool Release() {
    WriteAll(go2, "");
    return PumpUntil([&] { return Exists(done); }, 20000);
  }
  void StartWithPcmMessage(Vocalet& app) {
    options.PackOnSend = true;
    WritePcmMessage(message);
    options.PlainSize = static_cast<int>(ReadAll(message).size());
    WriteOptions(options);
    ASSERT_TRUE(app.Start());
  }
};

TEST_F(Attach, ADropHandsTheCompressedMessageToTheTargetAndTheMainWindowReturns) {
  Vocalet app;
  StartWithPcmMessage(app);
  HWND dna = OpenAndPress(app);
  ASSERT_NE(dna, nullptr);
  ASSERT_TRUE(DragOverTarget()) << "the drag did not reach the target";
  EXPECT_EQ(target.hoverBlockSize, 23) << "an empty file list while hovering";
  EXPECT_EQ(target.formatWhileHovering, WAVE_FORMAT_PCM) << "prepared before the drop";
  ASSERT_TRUE(Release());
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(dna) && IsWindowVisible(app.Main()); }, 10000))
      << "Drag & Attach closes and the main window returns";
  EXPECT_EQ(target.drops, 1);
  EXPECT_EQ(target.dropped, std::vector<std::string>{message});
  EXPECT_EQ(target.formatAtDrop, 0x31) << "PackOnSend: compressed before the target got it";
  EXPECT_EQ(ReadWave(message).formatTag, 0x31);
  ASSERT_TRUE(app.Quit());
}

TEST_F(Attach, WithAutoCloseADropEndsTheProgram) {
  options.AutoClose = true;
  Vocalet app;
  StartWithPcmMessage(app);
  ASSERT_NE(OpenAndPress(app), nullptr);
  ASSERT_TRUE(DragOverTarget());
  ASSERT_TRUE(Release());
  EXPECT_TRUE(PumpUntil([&] { return app.WaitExit(0); }, 20000));
  EXPECT_EQ(target.dropped, std::vector<std::string>{message});
  EXPECT_EQ(target.formatAtDrop, 0x31);
}

TEST_F(Attach, EscapeBeforeAnyDragClosesTheWindowAndTheMainWindowReturns) {
  options.AutoClose = true;
  Vocalet app;
  StartWithPcmMessage(app);
  std::string before = ReadAll(message);
  app.Key('A', true);
  HWND dna = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (dna = ShownWindow(app, "TDragNAttachForm")) != nullptr; },
                        10000));
  SetForegroundWindow(dna);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dna; }, 2000));
  PressEscape();
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dna) && IsWindowVisible(app.Main()); }, 10000));
  EXPECT_TRUE(ReadAll(message) == before) << "the preparation ran";
  EXPECT_FALSE(app.WaitExit(0)) << "AutoClose applies only to a drop";
  ASSERT_TRUE(app.Quit());
}

TEST_F(Attach, EscapeDuringTheDragCancelsItAndPreparesNothing) {
  options.AutoClose = true;  // a cancelled drag must not close the program
  Vocalet app;
  StartWithPcmMessage(app);
  std::string before = ReadAll(message);
  HWND dna = OpenAndPress(app);
  ASSERT_NE(dna, nullptr);
  ASSERT_TRUE(DragOverTarget());
  // To the program that runs the drag.
  if (GetForegroundWindow() != dna) SetForegroundWindow(dna);
  PressEscape();
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(dna) && IsWindowVisible(app.Main()); }, 10000))
      << "Drag & Attach closes and the main window returns";
  ASSERT_TRUE(Release());
  EXPECT_EQ(target.drops, 0);
  EXPECT_TRUE(target.dropped.empty());
  EXPECT_TRUE(ReadAll(message) == before) << "the preparation ran";
  EXPECT_FALSE(app.WaitExit(0)) << "AutoClose applies only to a drop";
  ASSERT_TRUE(app.Quit());
}

}  // namespace
