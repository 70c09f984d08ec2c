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

struct EasyLaunch : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    ASSERT_TRUE(World->Machine.Ok);
    ASSERT_TRUE(World->User.Ok);
    app.OnException = [this](const std::exception* e) { errors.push_back(e ? e->what() : "?"); };
    // The shell follows the sandbox: its desktop is ours.
    std::string desktop;
    GetSpecialFolderPath(CSIDL_DESKTOP, desktop);
    ASSERT_EQ(desktop, World->Desktop);
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
    EasyLaunchPage->MachineRoot = World->Machine.Root();
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
  static TShellLinkInfo Read(const std::string& file) {
    TShellLinkInfo info;
    EXPECT_TRUE(FileExists(file)) << file;
    ReadShellLink(file, info);
    return info;
  }
  std::string DesktopLink() const { return World->Desktop + "\\" + Title + ".lnk"; }
  std::string ProgramsLink() const { return World->Programs + "\\" + Title + ".lnk"; }
  std::string QuickLaunchLink() const { return World->QuickLaunch + "\\" + Title + ".lnk"; }

  EnglishTexts texts;
  std::unique_ptr<EasyLaunchWorld> World = std::make_unique<EasyLaunchWorld>();
  TApplication app;
  std::vector<std::string> errors;
};

TEST_F(EasyLaunch, WithNoShortcutsEverythingStartsClearAndCancelCreatesNothing) {
  World->OfferQuickLaunch();
  bool ran = false;
  Open([&] {
    ran = true;
    TEasyLaunchForm& f = Form();
    EXPECT_EQ(EasyLaunchDlg->Caption(), "Easy Launch Settings");
    EXPECT_EQ(EasyLaunchDlg->TabSheet1->Caption(), "Easy Launch");
    EXPECT_EQ(f.cbDesktop->Caption(), "On &desktop");
    EXPECT_EQ(f.LShortcut->Caption(), "Shortcut &Key:");
    EXPECT_FALSE(f.cbDesktop->Checked());
    EXPECT_FALSE(f.cbTaskbar->Checked());
    EXPECT_TRUE(f.cbTaskbar->Enabled());
    EXPECT_FALSE(f.cbStartMenu->Checked());
    EXPECT_FALSE(f.comboShortCut->Enabled());
    EXPECT_EQ(f.comboShortCut->Color, clBtnFace);
    EXPECT_EQ(f.comboShortCut->Text(), "(None)");
    EXPECT_EQ(f.comboShortCut->Items().size(), 77u);
    EXPECT_FALSE(f.LIcon->Visible());
    EXPECT_FALSE(f.PaintBoxIco32->Visible());
    EXPECT_FALSE(f.PaintBoxIco16->Visible());
    EXPECT_FALSE(f.imgStart->Visible());
    EXPECT_TRUE(f.Label1->Visible());
    EXPECT_EQ(f.Label1->Caption(), "My Computer");
    EXPECT_EQ(f.Label2->Caption(), "My Documents");
    EXPECT_EQ(f.LIcon->Caption(), Title);
    EXPECT_EQ(f.panEasyLaunch->Parent(), EasyLaunchDlg->TabSheet1);
    Click(f.cbDesktop);
    Choose("Ctrl+Alt+V");
    Cancel();
  });
  EXPECT_TRUE(ran);
  EXPECT_EQ(EasyLaunchPage->Form(), nullptr) << "the form goes with the dialog";
  EXPECT_FALSE(FileExists(DesktopLink()));
  EXPECT_TRUE(World->Machine.Notes(Title).empty());
  EXPECT_TRUE(errors.empty());
}

TEST_F(EasyLaunch, DesktopWithCtrlAltVMakesTheShortcutWithHotKey0x0656AndANote) {
  Open([&] {
    Click(Form().cbDesktop);
    EXPECT_TRUE(Form().comboShortCut->Enabled());
    EXPECT_EQ(Form().comboShortCut->Color, clWindow);
    EXPECT_TRUE(Form().LIcon->Visible());
    EXPECT_TRUE(Form().PaintBoxIco32->Visible());
    Choose("Ctrl+Alt+V");
    Ok();
  });
  const TShellLinkInfo info = Read(DesktopLink());
  EXPECT_EQ(info.HotKey, 0x0656);
  EXPECT_EQ(CharLowerA(std::string(info.Path).data()),
            std::string(CharLowerA(std::string(EasyLaunchPage->ExeName).data())));
  EXPECT_FALSE(FileExists(ProgramsLink()));
  EXPECT_EQ(World->Machine.Notes(Title), std::vector<std::string>{DesktopLink()});
  EXPECT_TRUE(errors.empty());

  // Reopened, the dialog reads it back from the file.
  Open([&] {
    EXPECT_TRUE(Form().cbDesktop->Checked());
    EXPECT_TRUE(Form().LIcon->Visible());
    EXPECT_TRUE(Form().comboShortCut->Enabled());
    EXPECT_EQ(Form().comboShortCut->Text(), "Ctrl+Alt+V");
    EXPECT_FALSE(Form().cbStartMenu->Checked());
    Cancel();
  });
}

TEST_F(EasyLaunch, TheQuickLaunchBoxIsDisabledWithoutAFolderInTheRegistry) {
  Open([&] {
    EXPECT_FALSE(Form().cbTaskbar->Enabled());
    Click(Form().cbStartMenu);
    Ok();
  });
  EXPECT_TRUE(FileExists(ProgramsLink()));
  EXPECT_FALSE(FileExists(QuickLaunchLink()));
}

TEST_F(EasyLaunch, QuickLaunchAloneLeavesTheListDisabledAndTheFolderIsMade) {
  World->OfferQuickLaunch();
  Open([&] {
    Click(Form().cbTaskbar);
    EXPECT_TRUE(Form().PaintBoxIco16->Visible());
    EXPECT_FALSE(Form().comboShortCut->Enabled());
    Ok();
  });
  EXPECT_EQ(Read(QuickLaunchLink()).HotKey, 0);
  EXPECT_EQ(World->Machine.Notes(Title), std::vector<std::string>{QuickLaunchLink()});
}

TEST_F(EasyLaunch, TheQuickLaunchFolderFollowsAppDataWhenNoMapGroupIsSet) {
  PutString("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "AppData",
            EasyLaunchWorld::Root() + "\\AppData");
  std::string folder;
  EasyLaunchPage = std::make_unique<TEasyLaunchPage>();
  EasyLaunchPage->GetQuickLaunchFolder(folder);
  EXPECT_EQ(folder, EasyLaunchWorld::Root() + "\\AppData\\Microsoft\\Internet Explorer\\Quick Launch");
  World->OfferQuickLaunch();
  EasyLaunchPage->GetQuickLaunchFolder(folder);
  EXPECT_EQ(folder, World->QuickLaunch) << "the map group comes first";
}

TEST_F(EasyLaunch, UncheckingDeletesTheShortcutAndKeepsItsNote) {
  Open([&] {
    Click(Form().cbDesktop);
    Click(Form().cbStartMenu);
    EXPECT_TRUE(Form().imgStart->Visible());
    Choose("Shift+Alt+F12");
    Ok();
  });
  ASSERT_TRUE(FileExists(DesktopLink()));
  EXPECT_EQ(Read(ProgramsLink()).HotKey, 0x057B);
  Open([&] {
    EXPECT_TRUE(Form().cbStartMenu->Checked());
    Click(Form().cbDesktop);  // off
    EXPECT_FALSE(Form().LIcon->Visible());
    Ok();
  });
  EXPECT_FALSE(FileExists(DesktopLink()));
  EXPECT_TRUE(FileExists(ProgramsLink()));
  const auto notes = World->Machine.Notes(Title);
  EXPECT_EQ(notes.size(), 2u);
  EXPECT_NE(std::find(notes.begin(), notes.end(), DesktopLink()), notes.end());
}

TEST_F(EasyLaunch, EscapeIsCancelAndChangesNothing) {
  TShellLinkInfo info;
  info.Path = "C:\\elsewhere\\Other.exe";
  info.HotKey = 0x0641;  // Ctrl+Alt+A
  ASSERT_TRUE(CreateShellLink(Title + ".lnk", World->Desktop, 0, info));
  Open([&] {
    EXPECT_EQ(Form().comboShortCut->Text(), "Ctrl+Alt+A");
    Click(Form().cbDesktop);  // off
    Click(Form().cbStartMenu);
    Choose("Ctrl+Alt+Z");
    SetFocus(Form().cbStartMenu->Handle());
    PostMessageA(Form().cbStartMenu->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  EXPECT_EQ(Read(DesktopLink()).HotKey, 0x0641);
  EXPECT_EQ(Read(DesktopLink()).Path, info.Path);
  EXPECT_FALSE(FileExists(ProgramsLink()));
  EXPECT_TRUE(World->Machine.Notes(Title).empty());
}

TEST_F(EasyLaunch, AHotKeyTheListDoesNotOfferShowsNoneAndOkRewritesWithout) {
  TShellLinkInfo info;
  info.Path = "C:\\elsewhere\\Other.exe";
  info.HotKey = 0x0360;  // Ctrl+Shift+NumPad0
  ASSERT_TRUE(CreateShellLink(Title + ".lnk", World->Desktop, 0, info));
  Open([&] {
    EXPECT_TRUE(Form().cbDesktop->Checked());
    EXPECT_EQ(Form().comboShortCut->Text(), "(None)");
    Ok();
  });
  const TShellLinkInfo back = Read(DesktopLink());
  EXPECT_EQ(back.HotKey, 0);
  EXPECT_NE(back.Path, info.Path) << "rewritten to point to this program";
}

TEST_F(EasyLaunch, TheLastShortcutReadWithAListedHotKeyDecides) {
  TShellLinkInfo info;
  info.Path = "C:\\x.exe";
  info.HotKey = 0x0641;  // desktop: Ctrl+Alt+A
  CreateShellLink(Title + ".lnk", World->Desktop, 0, info);
  info.HotKey = 0x057B;  // Start menu: Shift+Alt+F12
  CreateShellLink(Title + ".lnk", World->Programs, 0, info);
  Open([&] {
    EXPECT_EQ(Form().comboShortCut->Text(), "Shift+Alt+F12");
    Cancel();
  });
}

TEST_F(EasyLaunch, ATitleWithAnAmpersandShowsTheAmpersand) {
  const std::string title = "Quindle & Co";
  Open(
      [&] {
        TLabel* label = Form().LIcon;
        EXPECT_EQ(label->Caption(), "Quindle && Co");
        // What the label paints is the title as written, not an underlined " Co".
        auto paint = [&](TBitmap& b, bool asLabel) {
          TCanvas canvas(b.DC());
          canvas.SetBrushColor(clBlack);
          RECT r{0, 0, label->Width(), label->Height()};
          canvas.FillRect(r);
          if (asLabel) {
            label->Paint(canvas);
          } else {
            TFontSpec f = label->Font;
            canvas.SetFont(f);
            canvas.DrawText(title, r, DT_NOPREFIX | DT_WORDBREAK | DT_CENTER);
          }
        };
        TBitmap painted(label->Width(), label->Height()), expected(label->Width(), label->Height());
        paint(painted, true);
        paint(expected, false);
        GdiFlush();
        int differing = 0, lit = 0;
        for (int y = 0; y < label->Height(); ++y)
          for (int x = 0; x < label->Width(); ++x) {
            differing += painted.Pixel(x, y) != expected.Pixel(x, y);
            lit += expected.Pixel(x, y) != clBlack;
          }
        EXPECT_EQ(differing, 0);
        EXPECT_GT(lit, 20) << "the text is there at all";
        Click(Form().cbDesktop);
        Ok();
      },
      title);
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

struct EasyLaunchRefused : EasyLaunch {
  EasyLaunchRefused() {
    World.reset();  // one sandbox at a time: the old one's end would undo the new one
    World = std::make_unique<EasyLaunchWorld>(false);
  }
};

TEST_F(EasyLaunchRefused, ARefusedMachineNoteGoesToTheUsersKeyAndTheDialogCloses) {
  World->OfferQuickLaunch();
  int result = -1;
  Open([&] {
    Click(Form().cbDesktop);
    Click(Form().cbTaskbar);
    Click(Form().cbStartMenu);
    Choose("Ctrl+Alt+V");
    Ok();
    result = EasyLaunchDlg->ModalResult;
  });
  EXPECT_EQ(result, mrOk);
  EXPECT_TRUE(errors.empty()) << errors.front();
  EXPECT_EQ(Read(DesktopLink()).HotKey, 0x0656);
  EXPECT_TRUE(FileExists(QuickLaunchLink()));
  EXPECT_TRUE(FileExists(ProgramsLink()));
  EXPECT_TRUE(World->Machine.Notes(Title).empty());
  auto notes = NotesUnder(HKEY_CURRENT_USER, Title);
  std::sort(notes.begin(), notes.end());
  std::vector<std::string> expected{DesktopLink(), ProgramsLink(), QuickLaunchLink()};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(notes, expected);
}

// A shortcut made again keeps its one note, under whichever key holds it.
TEST_F(EasyLaunch, ANoteInTheUsersKeyIsNotWrittenAgainUnderTheMachines) {
  PutString("Software\\Orvane\\Uninstall Icons\\Quindle Vocalet", DesktopLink().c_str(), "");
  Open([&] {
    Click(Form().cbDesktop);
    Click(Form().cbStartMenu);
    Ok();
  });
  ASSERT_TRUE(FileExists(DesktopLink()));
  EXPECT_EQ(World->Machine.Notes(Title), std::vector<std::string>{ProgramsLink()});
  EXPECT_EQ(NotesUnder(HKEY_CURRENT_USER, Title), std::vector<std::string>{DesktopLink()});
}

}  // namespace
