// The Easy Launch dialog driven in-process under Wine: the shortcuts it reads and writes, the
// hot key, the preview, and the uninstall notes in a stand-in machine key or the user's.
#include "desktop/dEasyLaunch.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include "EasyLaunchSandbox.h"
#include "desktop/ShLinks.h"
#include "desktop/fEasyLaunch.h"

namespace {

const std::string Title = "Quindle Vocalet";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Whether the shortcut is noted for the uninstaller under the root.
bool Noted(HKEY root, const std::string& link) {
  return RegGetValueA(root, (UninstallIconsKey + Title).c_str(), link.c_str(), RRF_RT_ANY,
                      nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// The shell keeps the desktop's path from its first use in a process: every test has the
// same folders, emptied in between.
const std::string& Root() {
  static const TestFolder root;
  return root.Path();
}

struct EasyLaunch : ::testing::Test {
  EnglishTexts texts;
  RegistrySandbox user;
  HKEY machine = OpenTestKey("Software\\StandInMachine");
  TApplication app;
  std::vector<std::string> errors;
  const std::string desktop = Root() + "\\Desktop", programs = Root() + "\\Start Menu\\Programs",
                    quickLaunch = Root() + "\\Quick Launch";

  void SetUp() override {
    ASSERT_TRUE(user.Ok);
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    TestFolder::RemoveTree(Root());
    for (const std::string& dir : {Root(), desktop, Root() + "\\Start Menu", programs})
      CreateDirectoryA(dir.c_str(), nullptr);
    const std::string userFolders = kShellFolders + std::string("User Shell Folders");
    PutString(userFolders.c_str(), "Desktop", desktop);
    PutString(userFolders.c_str(), "Programs", programs);
    app.OnException = [this](const std::exception* e) { errors.push_back(e ? e->what() : "?"); };
    std::string shown;
    GetSpecialFolderPath(CSIDL_DESKTOP, shown);
    ASSERT_EQ(shown, desktop) << "the shell follows the sandbox";
  }
  void TearDown() override {
    EasyLaunchPage.reset();
    RegCloseKey(machine);
    TestFolder::RemoveTree(Root());
    // Still initialised: the shell links' own initialisations were undone in pairs.
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    CoUninitialize();
    OleUninitialize();
  }

  TEasyLaunchForm& Form() { return *EasyLaunchPage->Form(); }
  // Opens the dialog, runs `act` in it (which must close it), returns after it closed.
  void Open(std::function<void()> act) {
    if (!EasyLaunchPage) EasyLaunchPage = std::make_unique<TEasyLaunchPage>();
    EasyLaunchPage->MachineRoot = machine;
    WhileModal([] { return EasyLaunchDlg ? EasyLaunchDlg->Handle() : nullptr; }, std::move(act),
               [&] { ShowEasyLaunchDlg(nullptr, Title); });
  }
  void Ok() { Click(EasyLaunchDlg->btnOk); }
  void OfferQuickLaunch() {
    PutString("Software\\Microsoft\\Windows\\CurrentVersion\\GrpConv\\MapGroups",
              "Quick Launch", quickLaunch);
  }
  static std::string Link(const std::string& folder) { return folder + "\\" + Title + ".lnk"; }
  static TShellLinkInfo Read(const std::string& folder) {
    TShellLinkInfo info;
    EXPECT_TRUE(FileExists(Link(folder))) << folder;
    ReadShellLink(Link(folder), info);
    return info;
  }
};

TEST_F(EasyLaunch, WithNoShortcutsEverythingStartsClearAndEscapeCreatesNothing) {
  Open([&] {
    TEasyLaunchForm& f = Form();
    EXPECT_FALSE(f.cbDesktop->Checked() || f.cbTaskbar->Checked() || f.cbStartMenu->Checked());
    EXPECT_FALSE(f.cbTaskbar->Enabled()) << "no Quick Launch folder in the registry";
    EXPECT_FALSE(f.comboShortCut->Enabled());
    EXPECT_EQ(f.comboShortCut->Text(), "(None)");
    EXPECT_EQ(f.comboShortCut->Items().size(), 77u);
    EXPECT_FALSE(f.LIcon->Visible() || f.PaintBoxIco32->Visible() ||
                 f.PaintBoxIco16->Visible() || f.imgStart->Visible());
    EXPECT_EQ(f.LIcon->Caption(), Title);
    Click(f.cbDesktop);
    f.comboShortCut->SetItemIndex(f.comboShortCut->IndexOf("Ctrl+Alt+V"));
    SetFocus(f.cbDesktop->Handle());
    PostMessageA(f.cbDesktop->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  EXPECT_EQ(EasyLaunchPage->Form(), nullptr) << "the form goes with the dialog";
  EXPECT_FALSE(FileExists(Link(desktop)));
  EXPECT_FALSE(Noted(machine, Link(desktop)));
  EXPECT_TRUE(errors.empty());
}

// A shortcut made again keeps the one note it has, under whichever key holds it.
TEST_F(EasyLaunch, OkMakesTheCheckedShortcutsNotesEachOnceAndUncheckingKeepsTheNote) {
  OfferQuickLaunch();
  PutString((UninstallIconsKey + Title).c_str(), Link(desktop).c_str(), "");
  Open([&] {
    TEasyLaunchForm& f = Form();
    Click(f.cbTaskbar);
    EXPECT_TRUE(f.PaintBoxIco16->Visible());
    EXPECT_FALSE(f.comboShortCut->Enabled()) << "no hot key for Quick Launch alone";
    Click(f.cbDesktop);
    EXPECT_TRUE(f.comboShortCut->Enabled());
    EXPECT_TRUE(f.LIcon->Visible() && f.PaintBoxIco32->Visible());
    Click(f.cbStartMenu);
    EXPECT_TRUE(f.imgStart->Visible());
    f.comboShortCut->SetItemIndex(f.comboShortCut->IndexOf("Ctrl+Alt+V"));
    Ok();
  });
  EXPECT_TRUE(errors.empty());
  for (const std::string& folder : {desktop, quickLaunch, programs}) {
    const TShellLinkInfo info = Read(folder);
    EXPECT_EQ(info.HotKey, 0x0656) << folder;
    EXPECT_EQ(lstrcmpiA(info.Path.c_str(), EasyLaunchPage->ExeName.c_str()), 0) << info.Path;
  }
  EXPECT_TRUE(Noted(machine, Link(quickLaunch)) && Noted(machine, Link(programs)));
  EXPECT_FALSE(Noted(machine, Link(desktop))) << "noted under the user's key already";
  EXPECT_FALSE(Noted(HKEY_CURRENT_USER, Link(programs)));
  Open([&] {
    Click(Form().cbStartMenu);  // off
    EXPECT_FALSE(Form().imgStart->Visible());
    Ok();
  });
  EXPECT_FALSE(FileExists(Link(programs)));
  EXPECT_TRUE(FileExists(Link(desktop)));
  EXPECT_TRUE(Noted(machine, Link(programs))) << "a note only lists what might need removing";
}

// A hot key set elsewhere that the list does not offer (Ctrl+Shift+NumPad0) selects nothing.
TEST_F(EasyLaunch, TheLastListedHotKeyReadIsShownAndOkPointsEveryShortcutHereWithIt) {
  OfferQuickLaunch();
  const std::pair<std::string, WORD> found[] = {
      {desktop, 0x0641}, {quickLaunch, 0x057B}, {programs, 0x0360}};
  for (const auto& [folder, hotKey] : found) {
    TShellLinkInfo info;
    info.Path = "C:\\elsewhere\\Other.exe";
    info.HotKey = hotKey;
    ASSERT_TRUE(CreateShellLink(Title + ".lnk", folder, 0, info));
  }
  Open([&] {
    EXPECT_EQ(Form().comboShortCut->Text(), "Shift+Alt+F12");
    Ok();
  });
  for (const auto& [folder, hotKey] : found) {
    EXPECT_EQ(Read(folder).HotKey, 0x057B) << folder;
    EXPECT_NE(Read(folder).Path, "C:\\elsewhere\\Other.exe");
  }
}

TEST_F(EasyLaunch, TheQuickLaunchFolderFollowsAppDataWhenNoMapGroupIsSet) {
  PutString((kShellFolders + std::string("Shell Folders")).c_str(), "AppData",
            Root() + "\\AppData");
  std::string folder;
  TEasyLaunchPage page;
  page.GetQuickLaunchFolder(folder);
  EXPECT_EQ(folder, Root() + "\\AppData\\Microsoft\\Internet Explorer\\Quick Launch");
  OfferQuickLaunch();
  page.GetQuickLaunchFolder(folder);
  EXPECT_EQ(folder, quickLaunch) << "the map group comes first";
}

}  // namespace
