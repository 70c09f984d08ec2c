// The progress notice under Wine: its button row, the disabled owner and the delayed show.
#include <gtest/gtest.h>

#include <stdexcept>

#include "shell/fFakeProgress.h"

namespace {

struct ProgressFixture : ::testing::Test {
  TApplication app;
  TForm* owner = nullptr;
  void SetUp() override {
    owner = app.CreateForm<TForm>();
    owner->SetBounds(100, 100, 400, 300);
    owner->Show();
  }
  void TearDown() override { HideProgress(); }
  void Pump(int ms) {
    DWORD end = GetTickCount() + ms;
    while (GetTickCount() < end) {
      app.ProcessMessages();
      Sleep(5);
    }
  }
};

TEST_F(ProgressFixture, WithoutACancelHandlerTheButtonRowIsCutOff) {
  ProgressCaption = "Compress Voice Message";
  ProgressPrompt = "Compressing message. Please wait...";
  ShowProgressNow(owner, false);
  ASSERT_TRUE(ProgressActive());
  EXPECT_TRUE(IsWindowVisible(ProgressForm->Handle()));
  EXPECT_FALSE(IsWindowVisible(ProgressForm->btnCancel->Handle()));
  EXPECT_EQ(ProgressForm->ClientHeight(), ProgressForm->btnOK->Top() - 1);
  char caption[64] = {};
  GetWindowTextA(ProgressForm->Handle(), caption, sizeof caption);
  EXPECT_STREQ(caption, "Compress Voice Message");
  EXPECT_EQ(ProgressForm->LPrompt->Caption(), "Compressing message. Please wait...");
  // Texts set while it stands do not change it.
  ProgressCaption = "Later";
  ShowProgressNow(owner, false);
  GetWindowTextA(ProgressForm->Handle(), caption, sizeof caption);
  EXPECT_STREQ(caption, "Compress Voice Message");
  ProgressCaption = "Processing In Progress";
  ProgressPrompt = "Processing. Please wait... ";
}

TEST_F(ProgressFixture, WithACancelHandlerTheButtonCalls) {
  int cancelled = 0;
  ShowProgress(owner, 0, false, [&](TComponent* s) {
    EXPECT_EQ(s, ProgressForm);
    ++cancelled;
  });
  ASSERT_TRUE(IsWindowVisible(ProgressForm->btnCancel->Handle()));
  EXPECT_EQ(ProgressForm->ClientHeight(), 127);
  SendMessageA(ProgressForm->btnCancel->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(cancelled, 1);
  EXPECT_TRUE(ProgressActive());  // cancelling does not close it
}

TEST_F(ProgressFixture, TheOwnerIsDisabledWhileShownAlsoWhenTheWorkFails) {
  try {
    ShowProgressNow(owner, false);
    EXPECT_FALSE(IsWindowEnabled(owner->Handle()));
    struct Guard {
      ~Guard() { HideProgress(); }
    } guard;
    throw std::runtime_error("work failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_FALSE(ProgressActive());
  EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
}

TEST_F(ProgressFixture, ADelayedWindowHiddenBeforeItsDelayNeverShows) {
  ShowProgress(owner, 300, false, nullptr);
  ASSERT_TRUE(ProgressActive());
  HWND h = ProgressForm->Handle();
  Pump(100);
  EXPECT_FALSE(IsWindowVisible(h));
  HideProgress();
  Pump(400);
  EXPECT_FALSE(IsWindow(h) && IsWindowVisible(h));
  EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
}

TEST_F(ProgressFixture, ADelayedWindowShowsAfterItsDelay) {
  ShowProgress(owner, 100, false, nullptr);
  Pump(400);
  ASSERT_TRUE(ProgressActive());
  EXPECT_TRUE(IsWindowVisible(ProgressForm->Handle()));
  // Centred over its owner.
  RECT o, p;
  GetWindowRect(owner->Handle(), &o);
  GetWindowRect(ProgressForm->Handle(), &p);
  EXPECT_NEAR((p.left + p.right) / 2, (o.left + o.right) / 2, 1);
  EXPECT_NEAR((p.top + p.bottom) / 2, (o.top + o.bottom) / 2, 1);
}

}  // namespace
