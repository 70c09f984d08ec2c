// The real Vocalet.exe under Wine with a microphone that hears nothing: the default capture
// device delivers only zeros (see this test's .asoundrc).
#include <gtest/gtest.h>

#include "E2E.h"
#include "TestFolder.h"

using namespace e2e;

namespace {

TEST(SilentMicrophone, ASilentRecordingIsKeptWithAWarningAboutTheMicrophoneLevel) {
  TestFolder folder;
  Options options;
  options.MsgFileName = folder.Path() + "\\message.wav";
  options.GSM610 = false;
  WriteOptions(options);
  Vocalet app;
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.Record());
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = app.ShownBox()) != nullptr; }, 20000))
      << "no warning";
  EXPECT_EQ(Vocalet::BoxText(box),
            "The message seems to be silent. Please check your microphone, and press Ctrl+M to "
            "adjust the microphone level.");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return app.ShownBox() == nullptr; }, 10000));
  // Kept: the user may have whispered.
  EXPECT_GT(ReadWave(options.MsgFileName).data.size(), 0u);
  EXPECT_TRUE(app.ToolButtonEnabled(Vocalet::btnSend));
  ASSERT_TRUE(app.Quit());
}

}  // namespace
