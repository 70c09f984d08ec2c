// The real Vocalet.exe under Wine on a machine without a microphone: the default sound
// device plays but records nothing (see this test's .asoundrc).
#include <gtest/gtest.h>

#include "E2E.h"
#include "TestFolder.h"

using namespace e2e;

namespace {

TEST(NoMicrophone, RecordingSaysNothingWasRecordedAndLeavesNothingToSend) {
  TestFolder folder;
  Options options;
  options.MsgFileName = folder.Path() + "\\message.wav";
  options.DurationSec = 17;
  WriteOptions(options);
  DeleteFileA(HandOffFile().c_str());
  Vocalet app;
  ASSERT_TRUE(app.Start());
  // A recording that cannot start says so at once; one that runs without a device says so
  // when it is stopped.
  app.Key(VK_F2);
  Sleep(1500);
  if (!app.ShownBox()) app.Key(VK_F3);
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = app.ShownBox()) != nullptr; }, 20000))
      << "no message box";
  EXPECT_EQ(Vocalet::BoxText(box).rfind("Nothing was recorded.", 0), 0u)
      << Vocalet::BoxText(box);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return app.ShownBox() == nullptr; }, 10000));

  EXPECT_FALSE(Exists(options.MsgFileName)) << "an empty recording became the message";
  EXPECT_FALSE(Exists(folder.Path() + "\\message.recording.wav")) << "nothing is kept of nothing";
  EXPECT_TRUE(WaitUntil([&] { return !app.RecorderPageShown(); }, 10000));
  EXPECT_EQ(app.StatusLine(), "Click the Record button to record your voice message.");
  for (auto b : {Vocalet::btnPlay, Vocalet::btnSend, Vocalet::btnAttach})
    EXPECT_FALSE(app.ToolButtonEnabled(b)) << "button " << b;
  app.Key(VK_F5);
  Sleep(1500);
  EXPECT_FALSE(Exists(HandOffFile())) << "F5 wrote the hand-off file";
  EXPECT_FALSE(ProcessRuns("SendMail.exe")) << "F5 started the mail-sender";
  ASSERT_TRUE(app.Quit());
  EXPECT_EQ(ReadOptions().DurationSec, 17) << "the duration of no message was kept";
}

}  // namespace
