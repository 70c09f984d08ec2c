// The hot-key choices and their conversions to the shell's hot-key word (host and Wine).
#include "desktop/ShortCutKeys.h"

#include <gtest/gtest.h>

namespace {

TEST(ShortCutList, NoneFirstThenTheSeventySixChoicesInTableOrder) {
  std::vector<std::string> list{"left over"};
  FillShortCutList(list, "");
  ASSERT_EQ(list.size(), 77u);
  const std::pair<int, const char*> marks[] = {
      {0, "(None)"},        {1, "Ctrl+Alt+A"},   {26, "Ctrl+Alt+Z"},
      {27, "Shift+Alt+A"},  {52, "Shift+Alt+Z"}, {53, "Ctrl+Alt+F1"},
      {64, "Ctrl+Alt+F12"}, {65, "Shift+Alt+F1"}, {76, "Shift+Alt+F12"}};
  for (const auto& [i, name] : marks) EXPECT_EQ(list[i], name) << i;
  FillShortCutList(list, "(Keine)");
  EXPECT_EQ(list.front(), "(Keine)");
}

TEST(HotKeyWord, EveryChoiceGoesThroughTheShellsWordAndBack) {
  EXPECT_EQ(ShortCutToHotKey(TextToShortCut("Ctrl+Alt+V")), 0x0656);
  EXPECT_EQ(ShortCutToHotKey(TextToShortCut("Shift+Alt+F12")), 0x057B);
  std::vector<std::string> list;
  FillShortCutList(list, "");
  for (std::size_t i = 1; i < list.size(); ++i)
    EXPECT_EQ(ShortCutToText(HotKeyToShortCut(ShortCutToHotKey(TextToShortCut(list[i])))),
              list[i]);
}

}  // namespace
