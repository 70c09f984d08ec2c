// The whole job as a standard user on a Russian system does it, with the program installed by
// its setup: run by standard_user_test.sh as an unprivileged account, in a prefix whose
// program folder and "<CommonFilesDir>\Orvane" are read-only, under ANSI code page 1251,
// with the message in a folder with a Cyrillic name. Record with compression, Send to a
// stand-in xdg-email, Save As into a Cyrillic folder, Attach by dragging, Easy Launch's desktop
// shortcut, a change of language; no message box at any step.
#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "E2E.h"

using namespace e2e;

namespace {

// Text written here in UTF-8, as the program sees it: in the ANSI code page.
std::string Ansi(const char* utf8) {
  wchar_t wide[MAX_PATH] = {};
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, MAX_PATH);
  char ansi[MAX_PATH] = {};
  WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, MAX_PATH, nullptr, nullptr);
  return ansi;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}
bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
std::string Env(const char* name) {
  const char* v = getenv(name);
  return v ? v : "";
}

// Shown top-level windows of the process, with their class and title.
struct TopWindow {
  HWND handle;
  std::string className, title;
};
BOOL CALLBACK CollectTop(HWND h, LPARAM lp) {
  auto* list = reinterpret_cast<std::pair<DWORD, std::vector<TopWindow>>*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid != list->first || !IsWindowVisible(h)) return TRUE;
  char cls[64] = {}, title[256] = {};
  GetClassNameA(h, cls, sizeof cls);
  GetWindowTextA(h, title, sizeof title);
  list->second.push_back({h, cls, title});
  return TRUE;
}
std::vector<TopWindow> ShownWindows(const Vocalet& app) {
  std::pair<DWORD, std::vector<TopWindow>> list{app.ProcessId(), {}};
  EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&list));
  return list.second;
}
HWND ShownWindow(const Vocalet& app, const std::string& className, const std::string& title = "") {
  for (const TopWindow& w : ShownWindows(app))
    if (w.className == className && (title.empty() || w.title == title)) return w.handle;
  return nullptr;
}
// A message box of the program (an error, a warning), with its text, or "".
std::string MessageBoxText(const Vocalet& app) {
  for (const TopWindow& w : ShownWindows(app)) {
    if (w.className != "#32770" || w.title == "Save Voice Message As") continue;
    std::string text = w.title + ":";
    for (HWND c = GetWindow(w.handle, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      char t[512] = {};
      GetWindowTextA(c, t, sizeof t);
      text += std::string(" ") + t;
    }
    return text;
  }
  return "";
}

struct ChildQuery {
  std::string cls, text;
  HWND found = nullptr;
};
BOOL CALLBACK MatchChild(HWND h, LPARAM lp) {
  auto* q = reinterpret_cast<ChildQuery*>(lp);
  char c[64] = {}, t[256] = {};
  GetClassNameA(h, c, sizeof c);
  GetWindowTextA(h, t, sizeof t);
  if (lstrcmpiA(c, q->cls.c_str()) == 0 && q->text == t) {
    q->found = h;
    return FALSE;
  }
  return TRUE;
}
HWND ChildWithText(HWND parent, const std::string& cls, const std::string& text) {
  ChildQuery q{cls, text};
  EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&q));
  return q.found;
}

// The file name box of the platform's save dialog: an edit control, on its own (edt1) or
// inside the combo box of the Explorer-style dialog (cmb13).
BOOL CALLBACK FindNameEdit(HWND h, LPARAM lp) {
  char cls[16] = {};
  GetClassNameA(h, cls, sizeof cls);
  const int id = GetDlgCtrlID(h);
  if (lstrcmpiA(cls, "Edit") == 0 && (id == 0x480 || id == 0x47c) && IsWindowVisible(h)) {
    *reinterpret_cast<HWND*>(lp) = h;
    return FALSE;
  }
  return TRUE;
}

using TSpawn = int(WINAPI*)(char* const argv[], int wait);
TSpawn UnixSpawn() {
  return reinterpret_cast<TSpawn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "__wine_unix_spawnvp")));
}

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

// A mail message's stand-in: a window that takes the files dropped on it.
struct TTarget : IDropTarget {
  bool hovered = false;
  std::vector<std::string> dropped;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = (iid == IID_IUnknown || iid == IID_IDropTarget) ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
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
    FORMATETC f{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM m{};
    if (data->GetData(&f, &m) == S_OK) {
      auto drop = static_cast<HDROP>(m.hGlobal);
      for (UINT i = 0, n = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0); i < n; ++i) {
        char name[MAX_PATH] = {};
        DragQueryFileA(drop, i, name, MAX_PATH);
        dropped.push_back(name);
      }
      ReleaseStgMedium(&m);
    }
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
};

struct StandardUser : ::testing::Test {
  std::string profile = Env("USERPROFILE");
  std::string messageDir = profile + "\\" + Ansi("Голосовые сообщения");
  std::string message = messageDir + "\\" + Ansi("запись.wav");  // 12 characters at most
  std::string saveDir = profile + "\\" + Ansi("Сохранённые");
  std::string saved = saveDir + "\\" + Ansi("копия.wav");
  std::string xdgArgs = Env("E2E_XDG_ARGS");  // Windows path of the stand-in's record
  Vocalet app;

  void ExpectNoMessageBox(const char* step) {
    // A box may come a moment after the step that raised it.
    Sleep(500);
    EXPECT_EQ(MessageBoxText(app), "") << "after " << step;
  }
  bool WaitStatus(const std::string& prefix, DWORD ms = 30000) {
    return WaitUntil([&] { return app.StatusLine().rfind(prefix, 0) == 0; }, ms);
  }
  std::vector<std::string> XdgArguments() {
    std::string data = ReadAll(xdgArgs);
    std::vector<std::string> list;
    size_t start = 0;
    for (size_t end; (end = data.find('\0', start)) != std::string::npos; start = end + 1)
      list.push_back(data.substr(start, end - start));
    return list;
  }
  static std::vector<std::string> Notes(HKEY root) {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, "Software\\Orvane\\Uninstall Icons\\Quindle Vocalet", 0, KEY_READ,
                      &key) != ERROR_SUCCESS)
      return names;
    char name[1024];
    for (DWORD i = 0, n = sizeof name;
         RegEnumValueA(key, i, name, &n, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, n = sizeof name)
      names.push_back(name);
    RegCloseKey(key);
    return names;
  }

  void Record();
  void Send();
  void SaveAs();
  void Attach();
  void EasyLaunch();
  void ChangeLanguage();
};

void StandardUser::Record() {
  app.Key(VK_F2);
  ASSERT_TRUE(WaitUntil([&] { return app.RecorderPageShown(); }, 10000));
  Sleep(1500);
  app.Key(VK_F3);
  ASSERT_TRUE(WaitStatus("Last message recorded on ")) << app.StatusLine();
  const WaveInfo w = ReadWave(message);
  EXPECT_EQ(w.formatTag, 0x31) << "compressed to GSM 6.10 at its Cyrillic path";
  EXPECT_GT(Rms(DecodeGsm(w)), 300.0) << "the speech is in it";
  EXPECT_FALSE(Exists(message + ".new"));
  ExpectNoMessageBox("recording");
}

void StandardUser::Send() {
  DeleteFileA(xdgArgs.c_str());
  app.Key(VK_F5);
  ASSERT_TRUE(WaitUntil([&] { return Exists(xdgArgs); }, 30000))
      << "xdg-email not called; the program shows: " << MessageBoxText(app);
  const std::vector<std::string> args = XdgArguments();
  ASSERT_EQ(args.size(), 7u);
  EXPECT_EQ(args[5], "--attach");
  const std::string unixMessage = UnixPath(message);
  ASSERT_EQ(unixMessage.substr(0, 1), "/");
  EXPECT_EQ(args[6], unixMessage) << "the very file, its Unix path in UTF-8";
  ExpectNoMessageBox("Send");
}

void StandardUser::SaveAs() {
  app.Key(VK_F12);
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    return (dialog = ShownWindow(app, "#32770", "Save Voice Message As")) != nullptr;
  }, 10000));
  HWND edit = nullptr;
  WaitUntil([&] {
    EnumChildWindows(dialog, FindNameEdit, reinterpret_cast<LPARAM>(&edit));
    return edit != nullptr;
  }, 5000);
  ASSERT_NE(edit, nullptr);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(saved.c_str()));
  PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 10000));
  const std::string recorded = ReadAll(message);
  EXPECT_TRUE(WaitUntil([&] { return ReadAll(saved) == recorded; }, 10000))
      << "the copy in the Cyrillic folder: " << ReadAll(saved).size() << " bytes";
  ExpectNoMessageBox("Save As");
}

void StandardUser::Attach() {
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  WNDCLASSA wc{};
  wc.lpfnWndProc = PlainProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "MailMessageStandIn";
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  RegisterClassA(&wc);
  const int x = 800, y = 500, size = 250;
  HWND mail = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "Mail", WS_POPUP, x, y, size,
                              size, nullptr, nullptr, wc.hInstance, nullptr);
  ShowWindow(mail, SW_SHOWNOACTIVATE);
  TTarget target;
  ASSERT_EQ(RegisterDragDrop(mail, &target), S_OK);

  app.Key('A', true);
  HWND dna = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (dna = ShownWindow(app, "TDragNAttachForm")) != nullptr; },
                        10000));
  POINT icon{7 + 39 / 2, 5 + 41 / 2};
  ClientToScreen(dna, &icon);
  // The pointer's way as one script on the Unix side: press on the icon, move over the
  // mail in steps, release there.
  const int x1 = x + size / 2, y1 = y + size / 2;
  std::string script = "xdotool mousemove " + std::to_string(icon.x) + " " +
                       std::to_string(icon.y) + " mousedown 1; sleep 1; ";
  for (int i = 1; i <= 8; ++i)
    script += "xdotool mousemove " + std::to_string(icon.x + (x1 - icon.x) * i / 8) + " " +
              std::to_string(icon.y + (y1 - icon.y) * i / 8) + "; sleep 0.2; ";
  script += "sleep 1; xdotool mousemove " + std::to_string(x1 + 3) + " " +
            std::to_string(y1 + 2) + " mouseup 1";
  char sh[] = "sh", c[] = "-c";
  char* argv[] = {sh, c, script.data(), nullptr};
  ASSERT_EQ(UnixSpawn()(argv, 0), 0);
  EXPECT_TRUE(PumpUntil([&] { return !target.dropped.empty(); }, 30000)) << "nothing dropped";
  EXPECT_EQ(target.dropped, std::vector<std::string>{message});
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(dna) && IsWindowVisible(app.Main()); }, 10000))
      << "Drag & Attach closes and the main window returns";
  RevokeDragDrop(mail);
  DestroyWindow(mail);
  OleUninitialize();
  ExpectNoMessageBox("Attach");
}

void StandardUser::EasyLaunch() {
  app.Key(VK_F8);
  HWND options = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (options = ShownWindow(app, "VocaletForm", "Vocalet Options")); },
                        10000));
  HWND easy = ChildWithText(options, "Button", "Easy Launch...");
  ASSERT_NE(easy, nullptr);
  PostMessageA(easy, BM_CLICK, 0, 0);
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    return (dialog = ShownWindow(app, "VocaletForm", "Easy Launch Settings")) != nullptr;
  }, 10000));
  HWND desktopBox = ChildWithText(dialog, "Button", "On &desktop");
  ASSERT_NE(desktopBox, nullptr);
  SendMessageA(desktopBox, BM_CLICK, 0, 0);
  PostMessageA(ChildWithText(dialog, "Button", "OK"), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 10000));
  ExpectNoMessageBox("Easy Launch");
  PostMessageA(ChildWithText(options, "Button", "Cancel"), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options); }, 10000));

  char path[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_DESKTOP, FALSE));
  const std::string link = std::string(path) + "\\Quindle Vocalet.lnk";
  EXPECT_TRUE(Exists(link)) << link;
  EXPECT_EQ(Notes(HKEY_CURRENT_USER), std::vector<std::string>{link})
      << "the machine's key refused the note: it lands in the user's";
  EXPECT_TRUE(Notes(HKEY_LOCAL_MACHINE).empty());
}

void StandardUser::ChangeLanguage() {
  const std::string before = app.StatusLine();
  // The toolbar's language button (its command is its place on the toolbar, separators
  // counted) opens the list of languages; the last of them is Russian.
  HWND bar = app.ToolBar();
  SetForegroundWindow(app.Main());
  WaitUntil([&] { return GetForegroundWindow() == app.Main(); }, 2000);
  PostMessageA(GetParent(bar), WM_COMMAND, MAKEWPARAM(40006, BN_CLICKED),
               reinterpret_cast<LPARAM>(bar));
  Sleep(1000);
  INPUT keys[4]{};
  for (int i = 0; i < 4; ++i) {
    keys[i].type = INPUT_KEYBOARD;
    keys[i].ki.wVk = i < 2 ? VK_UP : VK_RETURN;
    keys[i].ki.dwFlags = i % 2 ? KEYEVENTF_KEYUP : 0;
  }
  SendInput(4, keys, sizeof(INPUT));
  EXPECT_TRUE(WaitUntil([&] {
    const std::string now = app.StatusLine();
    return now != before && now.find_first_of(Ansi("абвгдеёжзийклмнопрстуфхцчшщыьэюя")) !=
                                std::string::npos;
  }, 10000)) << "status line still: " << app.StatusLine();
  ExpectNoMessageBox("the change of language");
}

TEST_F(StandardUser, RecordsSendsSavesAttachesAndPlacesAShortcutWithoutAWordOfComplaint) {
  ASSERT_EQ(GetACP(), 1251u) << "LANG=ru_RU.UTF-8 gives Wine the Cyrillic ANSI code page";
  ASSERT_FALSE(profile.empty());
  ASSERT_FALSE(xdgArgs.empty());
  ASSERT_TRUE(CreateDirectoryA(messageDir.c_str(), nullptr) ||
              GetLastError() == ERROR_ALREADY_EXISTS);
  ASSERT_TRUE(CreateDirectoryA(saveDir.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);

  // What a standard user meets in the machine's registry: the notes' key refuses every new
  // key below it (a non-volatile key cannot go under a volatile one), as HKEY_LOCAL_MACHINE
  // refuses a user on Windows; Wine itself lets every account write there.
  HKEY orvane = nullptr, icons = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Orvane", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &orvane, nullptr), ERROR_SUCCESS);
  ASSERT_EQ(RegCreateKeyExA(orvane, "Uninstall Icons", 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &icons, nullptr), ERROR_SUCCESS);
  RegCloseKey(icons);
  RegCloseKey(orvane);

  DWORD english = 4;
  HKEY mls = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quindle\\MLS", 0, nullptr, 0, KEY_ALL_ACCESS,
                  nullptr, &mls, nullptr);
  RegSetValueExA(mls, "Vocalet", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&english), 4);
  RegCloseKey(mls);
  Options options;
  options.GSM610 = true;
  options.PackOnSend = false;
  options.MsgFileName = message;
  WriteOptions(options);

  SetCursorPos(500, 300);
  ASSERT_TRUE(app.Start()) << "Vocalet.exe from " << BinDir();
  ExpectNoMessageBox("the start");
  // One step after the other, each on what the one before left; the first that fails ends
  // the job, so that its failure is not buried under the ones it causes.
  const std::vector<std::pair<const char*, void (StandardUser::*)()>> steps{
      {"record", &StandardUser::Record},     {"send", &StandardUser::Send},
      {"save as", &StandardUser::SaveAs},    {"attach", &StandardUser::Attach},
      {"easy launch", &StandardUser::EasyLaunch}, {"language", &StandardUser::ChangeLanguage}};
  for (const auto& [name, step] : steps) {
    SCOPED_TRACE(name);
    (this->*step)();
    ASSERT_FALSE(HasFailure()) << "stopped at " << name;
  }
  EXPECT_TRUE(app.Quit());
  HKEY key = nullptr;
  DWORD language = 0, size = sizeof language;
  RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quindle\\MLS", 0, KEY_READ, &key);
  RegQueryValueExA(key, "Vocalet", nullptr, nullptr, reinterpret_cast<BYTE*>(&language), &size);
  RegCloseKey(key);
  EXPECT_EQ(language, 13u) << "Russian, remembered";
}

}  // namespace
