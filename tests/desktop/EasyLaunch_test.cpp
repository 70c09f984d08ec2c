// The Easy Launch dialog driven in-process under Wine: the shortcuts it reads and writes,
// the hot key, the preview, and the uninstall notes in the (sandboxed) machine registry or,
// where that refuses them, the user's.
#include "desktop/dEasyLaunch.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>

#include "EasyLaunchSandbox.h"
#include "desktop/ShLinks.h"
#include "desktop/fEasyLaunch.h"

namespace {

const std::string Title = "Quindle Vocalet";

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> Sorted(std::vector<std::string> list) {
  std::sort(list.begin(), list.end());
  return list;
}

// The value names under "Software\Orvane\Uninstall Icons\<title>" of the root, sorted.
std::vector<std::string> NotesUnder(HKEY root, const std::string& title = Title) {
  std::vector<std::string> names;
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, (UninstallIconsKey + title).c_str(), 0, KEY_READ, &key))
    return names;
  char name[1024];
  for (DWORD i = 0, n = sizeof name;
       RegEnumValueA(key, i, name, &n, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
       ++i, n = sizeof name)
    names.push_back(name);
  RegCloseKey(key);
  return Sorted(names);
}

// A private key that stands for HKEY_LOCAL_MACHINE, under the real HKEY_CURRENT_USER. (A
// machine key that refuses the note is met by the standard user's scenario, e2e.)
struct MachineSandbox {
  static constexpr const char* Path = "Software\\VocaletTests\\Machine";
  HKEY Root = nullptr;
  MachineSandbox() {
    SHDeleteKeyA(HKEY_CURRENT_USER, Path);
    RegCreateKeyExA(HKEY_CURRENT_USER, Path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &Root,
                    nullptr);
  }
  ~MachineSandbox() {
    RegCloseKey(Root);
    SHDeleteKeyA(HKEY_CURRENT_USER, Path);
  }
};

// Both registry sandboxes, and the shell's desktop and programs folders in a test folder.
// The shell keeps the desktop's path from its first use in a process, so every test has the
// same folders, emptied in between.
struct EasyLaunchWorld {
  EasyLaunchWorld() {
    TestFolder::RemoveTree(Root());
    for (const std::string& dir : {Root(), Desktop, Root() + "\\Start Menu", Programs})
      CreateDirectoryA(dir.c_str(), nullptr);
    const char* shellFolders =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    PutString(shellFolders, "Desktop", Desktop);
    PutString(shellFolders, "Programs", Programs);
  }
  ~EasyLaunchWorld() { TestFolder::RemoveTree(Root()); }
  void OfferQuickLaunch() {
    PutString("Software\\Microsoft\\Windows\\CurrentVersion\\GrpConv\\MapGroups",
              "Quick Launch", QuickLaunch);
  }
  static std::string Root() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "vocalet-easylaunch-" + std::to_string(GetCurrentProcessId());
  }
  MachineSandbox Machine;  // first: the user sandbox would hide the real user key
  RegistrySandbox User;
  std::string Desktop = Root() + "\\Desktop", Programs = Root() + "\\Start Menu\\Programs",
              QuickLaunch = Root() + "\\Quick Launch";
};

struct EasyLaunch : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    ASSERT_TRUE(World->User.Ok);
    app.OnException = [this](const std::exception* e) { errors.push_back(e ? e->what() : "?"); };
    std::string desktop;
    GetSpecialFolderPath(CSIDL_DESKTOP, desktop);
    ASSERT_EQ(desktop, World->Desktop) << "the shell follows the sandbox";
  }
  void TearDown() override {
    EasyLaunchPage.reset();
    World.reset();
    OleUninitialize();
  }

  TEasyLaunchForm& Form() { return *EasyLaunchPage->Form(); }
  // Opens the dialog, runs `act` in it (which must close it), returns after it closed.
  void Open(std::function<void()> act, const std::string& title = Title) {
    if (!EasyLaunchPage) EasyLaunchPage = std::make_unique<TEasyLaunchPage>();
    EasyLaunchPage->MachineRoot = World->Machine.Root;
    WhileModal([] { return EasyLaunchDlg ? EasyLaunchDlg->Handle() : nullptr; }, std::move(act),
               [&] { ShowEasyLaunchDlg(nullptr, title); });
  }
  void Ok() { Click(EasyLaunchDlg->btnOk); }
  void Cancel() { Click(EasyLaunchDlg->btnCancel); }
  void Choose(const std::string& hotKey) {
    const int index = Form().comboShortCut->IndexOf(hotKey);
    ASSERT_GT(index, 0) << hotKey;
    Form().comboShortCut->SetItemIndex(index);
  }
  static std::string Link(const std::string& folder) { return folder + "\\" + Title + ".lnk"; }
  static TShellLinkInfo Read(const std::string& folder) {
    TShellLinkInfo info;
    EXPECT_TRUE(FileExists(Link(folder))) << folder;
    ReadShellLink(Link(folder), info);
    return info;
  }
  static void Place(const std::string& folder, WORD hotKey) {
    TShellLinkInfo info;
    info.Path = "C:\\elsewhere\\Other.exe";
    info.HotKey = hotKey;
    ASSERT_TRUE(CreateShellLink(Title + ".lnk", folder, 0, info));
  }
  std::vector<std::string> MachineNotes() const { return NotesUnder(World->Machine.Root); }

  EnglishTexts texts;
  std::unique_ptr<EasyLaunchWorld> World = std::make_unique<EasyLaunchWorld>();
  TApplication app;
  std::vector<std::string> errors;
};

TEST_F(EasyLaunch, WithNoShortcutsEverythingStartsClearAndCancelCreatesNothing) {
  Open([&] {
    TEasyLaunchForm& f = Form();
    EXPECT_EQ(EasyLaunchDlg->Caption(), "Easy Launch Settings");
    EXPECT_EQ(f.cbDesktop->Caption(), "On &desktop");
    EXPECT_FALSE(f.cbDesktop->Checked() || f.cbTaskbar->Checked() || f.cbStartMenu->Checked());
    EXPECT_FALSE(f.cbTaskbar->Enabled()) << "no Quick Launch folder in the registry";
    EXPECT_FALSE(f.comboShortCut->Enabled());
    EXPECT_EQ(f.comboShortCut->Text(), "(None)");
    EXPECT_EQ(f.comboShortCut->Items().size(), 77u);
    EXPECT_FALSE(f.LIcon->Visible() || f.PaintBoxIco32->Visible() ||
                 f.PaintBoxIco16->Visible() || f.imgStart->Visible());
    EXPECT_EQ(f.LIcon->Caption(), Title);
    Click(f.cbDesktop);
    Choose("Ctrl+Alt+V");
    Cancel();
  });
  EXPECT_EQ(EasyLaunchPage->Form(), nullptr) << "the form goes with the dialog";
  EXPECT_FALSE(FileExists(Link(World->Desktop)));
  EXPECT_TRUE(MachineNotes().empty());
  EXPECT_TRUE(errors.empty());
}

TEST_F(EasyLaunch, OkMakesTheCheckedShortcutsWithTheHotKeyAndUncheckingDeletesOneNotItsNote) {
  World->OfferQuickLaunch();
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
    Choose("Ctrl+Alt+V");
    Ok();
  });
  EXPECT_TRUE(errors.empty());
  const std::vector<std::string> made = {Link(World->Desktop), Link(World->QuickLaunch),
                                         Link(World->Programs)};
  for (const std::string& folder : {World->Desktop, World->QuickLaunch, World->Programs}) {
    const TShellLinkInfo info = Read(folder);
    EXPECT_EQ(info.HotKey, 0x0656) << folder;
    EXPECT_EQ(lstrcmpiA(info.Path.c_str(), EasyLaunchPage->ExeName.c_str()), 0) << info.Path;
  }
  EXPECT_EQ(MachineNotes(), Sorted(made));
  // Reopened, the dialog reads them back from the files.
  Open([&] {
    TEasyLaunchForm& f = Form();
    EXPECT_TRUE(f.cbDesktop->Checked() && f.cbTaskbar->Checked() && f.cbStartMenu->Checked());
    EXPECT_TRUE(f.LIcon->Visible());
    EXPECT_EQ(f.comboShortCut->Text(), "Ctrl+Alt+V");
    Click(f.cbDesktop);  // off
    EXPECT_FALSE(f.LIcon->Visible());
    Ok();
  });
  EXPECT_FALSE(FileExists(Link(World->Desktop)));
  EXPECT_TRUE(FileExists(Link(World->Programs)));
  EXPECT_EQ(MachineNotes(), Sorted(made)) << "a note only lists what might need removing";
}

TEST_F(EasyLaunch, TheQuickLaunchFolderFollowsAppDataWhenNoMapGroupIsSet) {
  PutString("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "AppData",
            EasyLaunchWorld::Root() + "\\AppData");
  std::string folder;
  EasyLaunchPage = std::make_unique<TEasyLaunchPage>();
  EasyLaunchPage->GetQuickLaunchFolder(folder);
  EXPECT_EQ(folder,
            EasyLaunchWorld::Root() + "\\AppData\\Microsoft\\Internet Explorer\\Quick Launch");
  World->OfferQuickLaunch();
  EasyLaunchPage->GetQuickLaunchFolder(folder);
  EXPECT_EQ(folder, World->QuickLaunch) << "the map group comes first";
}

TEST_F(EasyLaunch, EscapeIsCancelAndChangesNothing) {
  Place(World->Desktop, 0x0641);  // Ctrl+Alt+A
  Open([&] {
    EXPECT_EQ(Form().comboShortCut->Text(), "Ctrl+Alt+A");
    Click(Form().cbDesktop);  // off
    Click(Form().cbStartMenu);
    Choose("Ctrl+Alt+Z");
    SetFocus(Form().cbStartMenu->Handle());
    PostMessageA(Form().cbStartMenu->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  EXPECT_EQ(Read(World->Desktop).HotKey, 0x0641);
  EXPECT_EQ(Read(World->Desktop).Path, "C:\\elsewhere\\Other.exe");
  EXPECT_FALSE(FileExists(Link(World->Programs)));
  EXPECT_TRUE(MachineNotes().empty());
}

TEST_F(EasyLaunch, AHotKeyTheListDoesNotOfferShowsNoneAndOkRewritesWithout) {
  Place(World->Desktop, 0x0360);  // Ctrl+Shift+NumPad0
  Open([&] {
    EXPECT_TRUE(Form().cbDesktop->Checked());
    EXPECT_EQ(Form().comboShortCut->Text(), "(None)");
    Ok();
  });
  EXPECT_EQ(Read(World->Desktop).HotKey, 0);
  EXPECT_NE(Read(World->Desktop).Path, "C:\\elsewhere\\Other.exe") << "points to this program";
}

TEST_F(EasyLaunch, TheLastShortcutReadWithAListedHotKeyDecides) {
  Place(World->Desktop, 0x0641);   // Ctrl+Alt+A
  Place(World->Programs, 0x057B);  // Shift+Alt+F12
  Open([&] {
    EXPECT_EQ(Form().comboShortCut->Text(), "Shift+Alt+F12");
    Cancel();
  });
}

TEST_F(EasyLaunch, AnAmpersandInTheTitleIsShownAsItIsAndNamesTheFile) {
  Open([&] {
    EXPECT_EQ(Form().LIcon->Caption(), "Quindle && Co");
    Click(Form().cbDesktop);
    Ok();
  }, "Quindle & Co");
  EXPECT_TRUE(FileExists(World->Desktop + "\\Quindle & Co.lnk"));
  // A title already written for a label is left as it is.
  Open([&] {
    EXPECT_EQ(Form().LIcon->Caption(), "A && B");
    Cancel();
  }, "A && B");
}

TEST_F(EasyLaunch, AnEmptyTitleIsShownAsThisProgram) {
  EasyLaunchPage = std::make_unique<TEasyLaunchPage>();
  TForm host(nullptr);
  EasyLaunchPage->ParentControl = &host;
  EasyLaunchPage->ShowPage();
  EXPECT_EQ(EasyLaunchPage->Form()->LIcon->Caption(), "This Program");
  EXPECT_NE(EasyLaunchPage->LargeIcon(), nullptr) << "the Windows logo when there is no icon";
  EXPECT_NE(EasyLaunchPage->SmallIcon(), nullptr);
  EasyLaunchPage->ClosePage();
}

// A shortcut made again keeps its one note, under whichever key holds it.
TEST_F(EasyLaunch, ANoteInTheUsersKeyIsNotWrittenAgainUnderTheMachines) {
  PutString((UninstallIconsKey + Title).c_str(), Link(World->Desktop).c_str(), "");
  Open([&] {
    Click(Form().cbDesktop);
    Click(Form().cbStartMenu);
    Ok();
  });
  ASSERT_TRUE(FileExists(Link(World->Desktop)));
  EXPECT_EQ(MachineNotes(), std::vector<std::string>{Link(World->Programs)});
  EXPECT_EQ(NotesUnder(HKEY_CURRENT_USER), std::vector<std::string>{Link(World->Desktop)});
}

}  // namespace
