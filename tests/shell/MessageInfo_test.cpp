#include "shell/MessageInfo.h"

#include <gtest/gtest.h>

#include "util/StrUtils.h"

namespace {

TMessageTexts English() {
  TMessageTexts t;
  t.InfoFormat =
      "Message duration %d Sec.\\nSize %s. File size %s (Compression ratio %d%%)\\nFormat: %s, "
      "%s, %s, %s";
  t.LastRecorded = "Last message recorded on %s";
  t.Uncompressed = "Uncompressed Wave";
  t.Gsm = "GSM 6.10 Wave";
  t.KHzFormat = "%s KHz";
  t.BitFormat = "%d Bit";
  t.Mono = "Mono";
  return t;
}

std::string Size(long n) { return FormatFileSizeWith(n, ",", "."); }

TEST(MessageInfo, TwelveSecondsCompressed) {
  TMessageFacts f{12, 192000, 19600, "12/7/2026 3:05 PM"};
  TMessageInfo info = BuildMessageInfo(English(), f, Size);
  EXPECT_EQ(info.DetailsHint,
            "Message duration 12 Sec.\r\nSize 187 KB. File size 19 KB (Compression ratio 89%)\r\n"
            "Format: GSM 6.10 Wave, 8 KHz, Mono, 16 Bit");
  EXPECT_EQ(info.StatusLine, "Last message recorded on 12/7/2026 3:05 PM");
}

TEST(MessageInfo, NeverMeasuredIsUncompressedWithRatioZero) {
  TMessageInfo info = BuildMessageInfo(English(), {3, 0, 48000, "d"}, Size);
  EXPECT_NE(info.DetailsHint.find("Size 46 KB. File size 46 KB (Compression ratio 0%)"),
            std::string::npos);
  EXPECT_NE(info.DetailsHint.find("Format: Uncompressed Wave,"), std::string::npos);
}

TEST(MessageInfo, EmptyFileNeverMeasured) {
  TMessageInfo info = BuildMessageInfo(English(), {0, 0, 0, "d"}, Size);
  EXPECT_NE(info.DetailsHint.find("Size None. File size None (Compression ratio 0%)"),
            std::string::npos);
}

TEST(MessageInfo, RatioTruncatesTowardZeroAndMayBeNegative) {
  EXPECT_EQ(CompressionRatio(192000, 19600), 89);
  EXPECT_EQ(CompressionRatio(1000, 1001), 0);     // -0.1 truncates to 0
  EXPECT_EQ(CompressionRatio(1000, 1500), -50);
  EXPECT_EQ(CompressionRatio(0, 500), 0);
  // Tens of megabytes: the product would overflow 32 bits.
  EXPECT_EQ(CompressionRatio(60000000, 6000000), 90);
  EXPECT_EQ(CompressionRatio(2147483647, 0), 100);
}

TEST(MessageInfo, KilobyteAndMegabyteThresholds) {
  TMessageInfo info = BuildMessageInfo(English(), {60, 1536000, 1023, "d"}, Size);
  EXPECT_NE(info.DetailsHint.find("Size 1.50 MB. File size 1023 bytes"), std::string::npos);
}

TEST(PlaceUnderCursor, PutsThePointerOnTheRecordButton) {
  // Window at (100, 100); the button's point (20, 20) is at screen (130, 170).
  TPlacement p = PlaceUnderCursorPos(130, 170, 500, 400, 100, 100, 480, 200, 1280, 1024);
  EXPECT_EQ(p.left, 470);
  EXPECT_EQ(p.top, 330);
}

TEST(PlaceUnderCursor, KeepsClearOfTheEdges) {
  TPlacement p = PlaceUnderCursorPos(130, 170, 5, 5, 100, 100, 480, 200, 1280, 1024);
  EXPECT_EQ(p.left, 0);
  EXPECT_EQ(p.top, 0);
  p = PlaceUnderCursorPos(130, 170, 1270, 1020, 100, 100, 480, 200, 1280, 1024);
  EXPECT_EQ(p.left, 1280 - 480 - 50);
  EXPECT_EQ(p.top, 1024 - 200 - 80);
  // Exactly at the limit is allowed.
  p = PlaceUnderCursorPos(130, 170, 780, 814, 100, 100, 480, 200, 1280, 1024);
  EXPECT_EQ(p.left, 750);
  EXPECT_EQ(p.top, 744);
}

}  // namespace
