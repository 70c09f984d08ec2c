#include "shell/MessageInfo.h"

#include <gtest/gtest.h>

#include "util/StrUtils.h"

namespace {

TMessageInfo Build(TMessageFacts facts) {
  const TMessageTexts english{
      "Message duration %d Sec.\\nSize %s. File size %s (Compression ratio %d%%)\\nFormat: %s, "
      "%s, %s, %s",
      "Last message recorded on %s", "Uncompressed Wave", "GSM 6.10 Wave", "%s KHz", "%d Bit",
      "Mono"};
  return BuildMessageInfo(english, facts, [](long n) { return FormatFileSizeWith(n, ",", "."); });
}

TEST(MessageInfo, DurationSizesRatioAndFormatOfMessagesCompressedNeverMeasuredEmptyOrLarge) {
  const struct {
    long plain, file;
    const char* details;
  } cases[] = {{192000, 19600,
                "Message duration 3 Sec.\r\nSize 187 KB. File size 19 KB (Compression ratio 89%)"
                "\r\nFormat: GSM 6.10 Wave, 8 KHz, Mono, 16 Bit"},
               {0, 48000, "Size 46 KB. File size 46 KB (Compression ratio 0%)\r\n"
                          "Format: Uncompressed Wave,"},
               {0, 0, "Size None. File size None (Compression ratio 0%)"},
               {1536000, 1023, "Size 1.50 MB. File size 1023 bytes (Compression ratio 99%)"}};
  for (const auto& c : cases) {
    const TMessageInfo info = Build({3, c.plain, c.file, "12/7/2026 3:05 PM"});
    EXPECT_NE(info.DetailsHint.find(c.details), std::string::npos) << info.DetailsHint;
    EXPECT_EQ(info.StatusLine, "Last message recorded on 12/7/2026 3:05 PM");
  }
}

TEST(MessageInfo, RatioTruncatesTowardZeroMayBeNegativeAndDoesNotOverflow) {
  const struct {
    long plain, file;
    int ratio;
  } cases[] = {{192000, 19600, 89}, {1000, 1001, 0},        {1000, 1500, -50},
               {0, 500, 0},         {60000000, 6000000, 90}, {2147483647, 0, 100}};
  for (const auto& c : cases) EXPECT_EQ(CompressionRatio(c.plain, c.file), c.ratio) << c.plain;
}

TEST(PlaceUnderCursor, PutsThePointerOnTheRecordButtonClearOfTheEdges) {
  // Window 480 x 200 at (100, 100); the button's point (20, 20) at screen (130, 170).
  const struct {
    int mouseX, mouseY, left, top;
  } cases[] = {{500, 400, 470, 330}, {5, 5, 0, 0}, {1270, 1020, 750, 744},
               {780, 814, 750, 744},   // just at the limits
               {781, 815, 750, 744}};  // one past them
  for (const auto& c : cases) {
    TPlacement p =
        PlaceUnderCursorPos(130, 170, c.mouseX, c.mouseY, 100, 100, 480, 200, 1280, 1024);
    EXPECT_EQ(p.left, c.left) << c.mouseX;
    EXPECT_EQ(p.top, c.top) << c.mouseY;
  }
}

}  // namespace
