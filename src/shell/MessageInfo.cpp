#include "shell/MessageInfo.h"

#include "util/FormatText.h"
#include "util/StrUtils.h"

int CompressionRatio(long plain, long fileSize) {
  if (plain == 0) return 0;
  long long diff = static_cast<long long>(plain) - fileSize;
  return static_cast<int>(diff * 100 / plain);
}

TMessageInfo BuildMessageInfo(const TMessageTexts& t, const TMessageFacts& f,
                              const std::function<std::string(long)>& formatFileSize) {
  // The format words are fixed: the compressed message is always 8 kHz mono 16-bit.
  std::string rateWord = FormatText(t.KHzFormat, {std::string("8")});
  std::string bitsWord = FormatText(t.BitFormat, {16LL});
  long plain = f.PlainSize != 0 ? f.PlainSize : f.FileSize;
  int ratio = CompressionRatio(plain, f.FileSize);
  const std::string& formatName = plain == f.FileSize ? t.Uncompressed : t.Gsm;
  TMessageInfo info;
  info.DetailsHint = FormatText(ConvertLineBreaks(t.InfoFormat),
                                {static_cast<long long>(f.DurationSec), formatFileSize(plain),
                                 formatFileSize(f.FileSize), static_cast<long long>(ratio),
                                 formatName, rateWord, t.Mono, bitsWord});
  info.StatusLine = FormatText(t.LastRecorded, {f.DateText});
  return info;
}

TPlacement PlaceUnderCursorPos(int px, int py, int mx, int my, int left, int top, int width,
                               int height, int screenWidth, int screenHeight) {
  int x = mx - (px - left);
  int y = my - (py - top);
  if (x < 0) {
    x = 0;
  } else if (screenWidth - 50 < width + x) {
    x = screenWidth - width - 50;
  }
  if (y < 0) {
    y = 0;
  } else if (screenHeight - 80 < height + y) {
    y = screenHeight - height - 80;
  }
  return {x, y};
}
