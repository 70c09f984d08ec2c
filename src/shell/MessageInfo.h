// What the main window says about the message: the status line, the details hint, the
// compression ratio, and where the window opens under the mouse pointer.
#pragma once

#include <functional>
#include <string>

struct TMessageTexts {
  std::string InfoFormat;    // "Message duration %d Sec.\nSize %s. File size %s ..."
  std::string LastRecorded;  // "Last message recorded on %s"
  std::string Uncompressed;  // "Uncompressed Wave"
  std::string Gsm;           // "GSM 6.10 Wave"
  std::string KHzFormat;     // "%s KHz"
  std::string BitFormat;     // "%d Bit"
  std::string Mono;          // "Mono"
};

struct TMessageFacts {
  long DurationSec = 0;
  long PlainSize = 0;  // 0: never measured
  long FileSize = 0;
  std::string DateText;  // the recorded time as the locale writes it
};

// (plain - size) * 100 / plain, truncated toward zero; 0 when plain is 0. Computed wide, so a
// message of tens of megabytes does not overflow.
int CompressionRatio(long plain, long fileSize);

struct TMessageInfo {
  std::string StatusLine;
  std::string DetailsHint;  // with CR LF line breaks
};

TMessageInfo BuildMessageInfo(const TMessageTexts& texts, const TMessageFacts& facts,
                              const std::function<std::string(long)>& formatFileSize);

// The window position that puts the mouse pointer at point P of the Record button:
// buttonScreen is P in screen coordinates while the window stands at (left, top).
struct TPlacement { int left; int top; };
TPlacement PlaceUnderCursorPos(int buttonScreenX, int buttonScreenY, int mouseX, int mouseY,
                               int left, int top, int width, int height, int screenWidth,
                               int screenHeight);
