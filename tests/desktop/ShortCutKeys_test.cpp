// The hot-key choices and their conversions (host and Wine).
#include "desktop/ShortCutKeys.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(ShortCutList, NoneFirstThenTheSeventySixChoicesInTableOrder) {
  std::vector<std::string> list{"left over"};
  FillShortCutList(list, "");
  ASSERT_EQ(list.size(), 77u);
  EXPECT_EQ(list[0], "(None)");
  EXPECT_EQ(list[1], "Ctrl+Alt+A");
  EXPECT_EQ(list[26], "Ctrl+Alt+Z");
  EXPECT_EQ(list[27], "Shift+Alt+A");
  EXPECT_EQ(list[52], "Shift+Alt+Z");
  EXPECT_EQ(list[53], "Ctrl+Alt+F1");
  EXPECT_EQ(list[64], "Ctrl+Alt+F12");
  EXPECT_EQ(list[65], "Shift+Alt+F1");
  EXPECT_EQ(list[76], "Shift+Alt+F12");
  EXPECT_EQ(std::set<std::string>(list.begin(), list.end()).size(), 77u) << "no name twice";
}

TEST(ShortCutList, TheNoneTextGivenIsUsed) {
  std::vector<std::string> list;
  FillShortCutList(list, "(Keine)");
  EXPECT_EQ(list.front(), "(Keine)");
}

TEST(ShortCutList, NoChoiceUsesASingleModifierOrCtrlShift) {
  for (TShortCut sc : HotKeyChoices()) {
    const bool shift = sc & scShift, ctrl = sc & scCtrl, alt = sc & scAlt;
    EXPECT_TRUE(alt) << ShortCutToText(sc);
    EXPECT_NE(shift, ctrl) << ShortCutToText(sc);
  }
}

TEST(HotKeyWord, CtrlAltVIsTheShellsWord0x0656) {
  EXPECT_EQ(ShortCutToHotKey(TextToShortCut("Ctrl+Alt+V")), 0x0656);
  EXPECT_EQ(ShortCutToText(HotKeyToShortCut(0x0656)), "Ctrl+Alt+V");
  EXPECT_EQ(ShortCutToHotKey(TextToShortCut("Shift+Alt+F12")), 0x057B);
}

TEST(HotKeyWord, EveryChoiceSurvivesTheWayThroughItsNameAndTheShellsWord) {
  std::vector<std::string> list;
  FillShortCutList(list, "");
  for (std::size_t i = 1; i < list.size(); ++i) {
    const std::uint16_t word = ShortCutToHotKey(TextToShortCut(list[i]));
    EXPECT_EQ(ShortCutToText(HotKeyToShortCut(word)), list[i]);
  }
}

TEST(HotKeyWord, AKeyWithoutANameGivesNoText) {
  // A hot key set elsewhere (here Ctrl+Shift+NumPad0) names nothing the list could hold.
  EXPECT_EQ(ShortCutToText(HotKeyToShortCut(0x0360)), "");
  EXPECT_EQ(HotKeyToShortCut(0), 0);
}

}  // namespace
