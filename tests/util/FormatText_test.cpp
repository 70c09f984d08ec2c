#include "util/FormatText.h"

#include <gtest/gtest.h>

TEST(FormatText, FillsSpecifiersInOrder) {
  EXPECT_EQ(FormatText("%s KHz", {std::string("8")}), "8 KHz");
  EXPECT_EQ(FormatText("%d Bit", {16LL}), "16 Bit");
  EXPECT_EQ(FormatText("ratio %d%%", {89LL}), "ratio 89%");
  EXPECT_EQ(FormatText("%.d KB", {187LL}), "187 KB");
  EXPECT_EQ(FormatText("[%5d|%-4s]", {42LL, std::string("ab")}), "[   42|ab  ]");
  EXPECT_EQ(FormatText("%.3d", {7LL}), "007");
}

TEST(FormatText, TranslatorMistakesNeverFail) {
  EXPECT_EQ(FormatText("%d and %s", {}), " and ");
  EXPECT_EQ(FormatText("%d", {std::string("text")}), "text");
  EXPECT_EQ(FormatText("%s", {5LL}), "5");
  EXPECT_EQ(FormatText("100%", {1LL}), "100%");
  EXPECT_EQ(FormatText("%q %d", {1LL}), "%q 1");
}
