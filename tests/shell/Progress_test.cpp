// The progress notice under Wine: its button row, its place and the delayed show.
#include <gtest/gtest.h>

#include "shell/fFakeProgress.h"

namespace {

struct Progress : ::testing::Test {
  TApplication app;
  TForm* owner = nullptr;
  void SetUp() override {
    owner = app.CreateForm<TForm>();
    owner->SetBounds(100, 100, 400, 300);
    owner->Show();
  }
  void TearDown() override { HideProgress(); }
  bool ShowsWithin(DWORD ms) {
    for (const DWORD end = GetTickCount() + ms; GetTickCount() < end; Sleep(5)) {
      app.ProcessMessages();
      if (IsWindowVisible(ProgressForm->Handle())) return true;
    }
    return false;
  }
};

TEST_F(Progress, WithoutACancelHandlerTheButtonRowIsCutOffAndItStandsCentredOverItsOwner) {
  ShowProgressNow(owner, false);
  ASSERT_TRUE(IsWindowVisible(ProgressForm->Handle()));
  EXPECT_FALSE(IsWindowVisible(ProgressForm->btnCancel->Handle()));
  EXPECT_EQ(ProgressForm->ClientHeight(), ProgressForm->btnOK->Top() - 1);
  RECT o, p;
  GetWindowRect(owner->Handle(), &o);
  GetWindowRect(ProgressForm->Handle(), &p);
  EXPECT_NEAR((p.left + p.right) / 2, (o.left + o.right) / 2, 1);
  EXPECT_NEAR((p.top + p.bottom) / 2, (o.top + o.bottom) / 2, 1);
}

TEST_F(Progress, WithACancelHandlerTheButtonCallsItAndTheNoticeStays) {
  int cancelled = 0;
  ShowProgress(owner, 0, false, [&](TComponent* s) {
    EXPECT_EQ(s, ProgressForm);
    ++cancelled;
  });
  ASSERT_TRUE(IsWindowVisible(ProgressForm->btnCancel->Handle()));
  EXPECT_EQ(ProgressForm->ClientHeight(), 127);
  SendMessageA(ProgressForm->btnCancel->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(cancelled, 1);
  EXPECT_TRUE(ProgressActive());
}

TEST_F(Progress, ADelayedNoticeShowsOnlyOnceItsDelayHasPassed) {
  ShowProgress(owner, 60000, false, nullptr);
  EXPECT_FALSE(ShowsWithin(100));
  HideProgress();
  EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
  ShowProgress(owner, 50, false, nullptr);
  EXPECT_TRUE(ShowsWithin(5000));
}

}  // namespace
