// A standard user's whole job on a Russian system (code page 1251, a Cyrillic message folder,
// read-only program folders), run by standard_user_test.sh: no message box at any step.
#include "E2E.h"

using namespace e2e;

namespace {

std::string Ansi(const char* utf8) {
  wchar_t wide[MAX_PATH] = {};
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, MAX_PATH);
  char ansi[MAX_PATH] = {};
  WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, MAX_PATH, nullptr, nullptr);
  return ansi;
}

struct StandardUser : ::testing::Test {
  std::string messageDir = std::string(getenv("USERPROFILE")) + "\\" + Ansi("Голосовые сообщения");
  std::string message = messageDir + "\\" + Ansi("запись.wav");  // 12 characters at most
  std::string xdgArgs = getenv("E2E_XDG_ARGS");  // Windows path of the stand-in's record
  Vocalet app;

  void Record() {
    ASSERT_TRUE(app.Record()) << app.StatusLine();
    EXPECT_EQ(ReadWave(message).formatTag, WAVE_FORMAT_GSM610) << "compressed at its Cyrillic path";
  }
  // Wine's mapi32 hands the mail to xdg-email: a stand-in that records its arguments.
  void Send() {
    app.Key(VK_F5);
    ASSERT_TRUE(WaitUntil([&] { return Exists(xdgArgs); }, 30000)) << "xdg-email not called";
    std::vector<std::string> args;
    const std::string data = ReadAll(xdgArgs);
    for (size_t at = 0, end; (end = data.find('\0', at)) != std::string::npos; at = end + 1)
      args.push_back(data.substr(at, end - at));
    using namespace ::testing;
    EXPECT_THAT(args, ElementsAre(
        "--utf8", "--subject", "Voice message", "--body",
        StartsWith("\nThis e-mail contains a voice message. Double click the icon of\nthe "
                   "attached file to play it.\n\n"),
        "--attach", AllOf(StartsWith("/"), EndsWith("/Голосовые сообщения/запись.wav"))));
    EXPECT_EQ(args.at(4).find_first_of("\r\\"), std::string::npos) << args[4];
  }
  void SaveAs() {
    const std::string copy = messageDir + "\\" + Ansi("копия.wav");
    ASSERT_TRUE(app.SaveAs(copy));
    EXPECT_TRUE(WaitUntil([&] { return ReadAll(copy) == ReadAll(message); }, 10000));
  }
  void Attach() {
    HWND dna = app.OpenDragNAttach();
    ASSERT_NE(dna, nullptr);
    const Drop drop = DragToMail(app, dna, message);
    EXPECT_EQ(drop.dropped, std::vector<std::string>{message});
    EXPECT_TRUE(IsWindowVisible(app.Main()));
  }
  // The desktop shortcut and its note, which standard_user_test.sh looks for.
  void EasyLaunch() {
    app.Key(VK_F8);
    HWND options = nullptr, dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (options = app.Shown("VocaletForm", "Vocalet Options")); },
                          10000));
    PostMessageA(Vocalet::ChildWithText(options, "Easy Launch..."), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil(
        [&] { return (dialog = app.Shown("VocaletForm", "Easy Launch Settings")); }, 10000));
    SendMessageA(Vocalet::ChildWithText(dialog, "On &desktop"), BM_CLICK, 0, 0);
    PostMessageA(Vocalet::ChildWithText(dialog, "OK"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 10000));
    PostMessageA(Vocalet::ChildWithText(options, "Cancel"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options); }, 10000));
  }
  // The toolbar's language button (command 40006) lists the languages, Russian last.
  void ChangeLanguage() {
    SetForegroundWindow(app.Main());
    PostMessageA(GetParent(app.ToolBar()), WM_COMMAND, 40006,
                 reinterpret_cast<LPARAM>(app.ToolBar()));
    Sleep(1000);
    app.Key(VK_UP);
    app.Key(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] {
      return app.StatusLine().find_first_of(Ansi("абвгдеёжзийклмнопрстуфхцчшщыьэюя")) !=
             std::string::npos;
    }, 10000)) << "status line still: " << app.StatusLine();
  }
};

TEST_F(StandardUser, RecordsSendsSavesAttachesAndPlacesAShortcutWithoutAWordOfComplaint) {
  ASSERT_EQ(GetACP(), 1251u) << "LANG=ru_RU.UTF-8 gives Wine the Cyrillic ANSI code page";
  ASSERT_TRUE(CreateDirectoryA(messageDir.c_str(), nullptr) ||
              GetLastError() == ERROR_ALREADY_EXISTS);
  // The notes' key refuses the user as HKEY_LOCAL_MACHINE does on Windows: nothing lasting
  // goes under a volatile key.
  HKEY orvane = nullptr, icons = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Orvane", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &orvane, nullptr), ERROR_SUCCESS);
  ASSERT_EQ(RegCreateKeyExA(orvane, "Uninstall Icons", 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &icons, nullptr), ERROR_SUCCESS);
  RegCloseKey(icons);
  RegCloseKey(orvane);
  ChooseLanguage(English);  // not the locale's: the change of language must show
  WriteOptions({{"MsgFileName", message}});

  SetCursorPos(500, 300);
  ASSERT_TRUE(app.Start()) << "Vocalet.exe from " << BinDir();
  // Each step on what the one before left: the first failure ends the job.
  for (auto step : {&StandardUser::Record, &StandardUser::Send, &StandardUser::SaveAs,
                    &StandardUser::Attach, &StandardUser::EasyLaunch, &StandardUser::ChangeLanguage}) {
    (this->*step)();
    Sleep(500);  // a box may come a moment after the step that raised it
    EXPECT_EQ(app.ShownBox(), nullptr) << Vocalet::BoxText(app.ShownBox());
    if (HasFailure()) return;
  }
  EXPECT_TRUE(app.Quit());
}

}  // namespace
