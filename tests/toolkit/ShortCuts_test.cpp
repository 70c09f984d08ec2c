#include "toolkit/ShortCuts.h"

#include <gtest/gtest.h>

TEST(ShortCuts, StandardNames) {
  EXPECT_EQ(ShortCutToText(ShortCut('A', scCtrl | scAlt)), "Ctrl+Alt+A");
  EXPECT_EQ(ShortCutToText(ShortCut(vk::F1 + 11, scShift | scAlt)), "Shift+Alt+F12");
  EXPECT_EQ(ShortCutToText(ShortCut(vk::F1 + 1, 0)), "F2");
  EXPECT_EQ(ShortCutToText(ShortCut(vk::Escape, 0)), "Esc");
  EXPECT_EQ(ShortCutToText(ShortCut('7', scShift | scCtrl | scAlt)), "Shift+Ctrl+Alt+7");
  EXPECT_EQ(ShortCutToText(scNone), "");
  EXPECT_EQ(ShortCutToText(ShortCut(0xBA, scCtrl)), "");  // no name: no text
}

TEST(ShortCuts, TextRoundTrip) {
  for (TShortCut sc : {ShortCut('V', scCtrl | scAlt), ShortCut(vk::Delete, scShift),
                       ShortCut(vk::F24, 0), ShortCut(vk::Space, scCtrl)})
    EXPECT_EQ(TextToShortCut(ShortCutToText(sc)), sc) << ShortCutToText(sc);
  EXPECT_EQ(TextToShortCut("Ctrl+"), scNone);
  EXPECT_EQ(TextToShortCut("Hyper+A"), scNone);
  // The hot key the desktop shortcut stores for Ctrl+Alt+V keeps the same key code.
  EXPECT_EQ(TextToShortCut("Ctrl+Alt+V") & 0xFF, 0x56);
}
