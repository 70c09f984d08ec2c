// The options dialog driven in-process under Wine.
#include "shell/fVMOptions.h"

#include <gtest/gtest.h>

#include <tuple>

#include "../desktop/EasyLaunchSandbox.h"
#include "mls/VocaletMLS.h"
#include "shell/vmOptions.h"
#include "toolkit/Screen.h"

namespace {

struct OptionsDialog : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(sandbox.Ok);
    MLS_VOCALET = std::make_unique<TVocaletMLSModule>(*MLSManager);
    MLS_VOCALET->Load(4);
    VMProperties = std::make_unique<TVMProperties>();
  }
  void TearDown() override {
    VMProperties.reset();
    MLS_VOCALET.reset();
  }

  // Opens the dialog, runs `act` in it (which must close it); the dialog's result.
  bool Open(std::function<void(TPropertiesForm&)> act) {
    bool result = false;
    WhileModal([] { return PropertiesForm ? PropertiesForm->Handle() : nullptr; },
               [act] { act(*PropertiesForm); },
               [&] { result = ShowOptionsDialog(static_cast<HWND>(nullptr)); });
    return result;
  }
  RegistrySandbox sandbox;
  EnglishTexts texts;
  TApplication app;
};

TEST_F(OptionsDialog, ShowsTheOptionsTheRadioButtonsFollowingTheCheckBoxHintsOnlyInHelpMode) {
  VMProperties->GSM610 = VMProperties->PackOnSend = VMProperties->AutoClose = true;
  VMProperties->BeepOnRecord = false;
  Open([](TPropertiesForm& f) {
    EXPECT_EQ(f.Caption(), "Vocalet Options");
    EXPECT_TRUE(f.rbPackOnSend->Checked() && f.cbAutoClose->Checked() && f.cbEnableGSM->Checked());
    EXPECT_FALSE(f.rbPackOnRecord->Checked() || f.cbBeepOnRecord->Checked());
    for (bool on : {false, true}) {
      Click(f.cbEnableGSM);
      EXPECT_EQ(f.rbPackOnRecord->Enabled(), on);
      EXPECT_EQ(f.rbPackOnSend->Enabled(), on);
    }
    EXPECT_NE(f.cbEnableGSM->Hint.find("your\r\nrecording"), std::string::npos);
    EXPECT_FALSE(f.cbEnableGSM->ShowHint);
    Click(f.btnCancel);
  });
}

TEST_F(OptionsDialog, OkAndEnterStoreTheFourOptionsCancelEscapeAndTheCloseBoxNothing) {
  const std::pair<std::function<void(TPropertiesForm&)>, bool> closings[] = {
      {[](TPropertiesForm& f) { Click(f.btnOK); }, true},
      {[](TPropertiesForm& f) { PostMessageA(f.cbAutoClose->Handle(), WM_KEYDOWN, VK_RETURN, 0); },
       true},
      {[](TPropertiesForm& f) { Click(f.btnCancel); }, false},
      {[](TPropertiesForm& f) { PostMessageA(f.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }, false},
      {[](TPropertiesForm& f) { PostMessageA(f.cbAutoClose->Handle(), WM_KEYDOWN, VK_ESCAPE, 0); },
       false}};
  for (const auto& [close, ok] : closings) {
    VMProperties->GSM610 = VMProperties->AutoRecord = true;
    VMProperties->PackOnSend = VMProperties->BeepOnRecord = VMProperties->AutoClose = false;
    EXPECT_EQ(Open([&](TPropertiesForm& f) {
                Click(f.rbPackOnSend);
                EXPECT_FALSE(f.rbPackOnRecord->Checked()) << "one choice of two";
                Click(f.cbEnableGSM);  // off; the choice stays
                Click(f.cbBeepOnRecord);
                Click(f.cbAutoClose);
                SetFocus(f.cbAutoClose->Handle());
                close(f);
              }),
              ok);
    const auto& p = *VMProperties;
    EXPECT_EQ(std::tuple(p.GSM610, p.PackOnSend, p.BeepOnRecord, p.AutoClose),
              std::tuple(!ok, ok, ok, ok));
  }
}

TEST_F(OptionsDialog, WithoutAutoRecordOkSwitchesTheBeepOff) {
  VMProperties->AutoRecord = false;
  VMProperties->BeepOnRecord = true;
  Open([](TPropertiesForm& f) { Click(f.btnOK); });
  EXPECT_FALSE(VMProperties->BeepOnRecord);
}

TEST_F(OptionsDialog, TheHelpButtonTurnsTheHintsAndTheHelpCursorOnAndOffTheDialogEndsHelpMode) {
  Open([&](TPropertiesForm& f) {
    // The windowless button's click, as the mouse gives it to its parent.
    const LPARAM at = MAKELPARAM(f.btnHelp->Left() + 4, f.btnHelp->Top() + 4);
    for (bool on : {true, false, true}) {
      SendMessageA(f.btnHelp->Parent()->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
      SendMessageA(f.btnHelp->Parent()->Handle(), WM_LBUTTONUP, 0, at);
      EXPECT_EQ(ScreenCursor(), on ? LoadCursor(nullptr, IDC_HELP) : nullptr);
      EXPECT_EQ(f.cbBeepOnRecord->ShowHint, on);
    }
    Click(f.btnCancel);
  });
  EXPECT_EQ(ScreenCursor(), nullptr);
}

}  // namespace
