// The mail as Vocalet describes it in its hand-off file "eMail.dat".
#pragma once

#include <string>
#include <vector>

struct TMailDescription {
  std::string ToName;
  std::string ToAddr;
  std::string Subject;
  std::string Text;  // lines separated by CR LF
  std::vector<std::string> Files;
  // Display names of the attachments; used only when there is one for every file.
  std::vector<std::string> FileNames;
};

// Reads the hand-off file in one go (Vocalet may put a new one in its place meanwhile);
// false when it does not exist or cannot be read.
bool ReadMailFile(const std::string& path, TMailDescription& mail);

// The file's text as Vocalet writes it. The header values are restored by RestoreLineBreaks.
// A [Files] or [FileNames] line is split at its last "=", so that a path holding "=", or
// starting with ";" or "[", comes back whole; nothing is trimmed from it.
void ParseMailFile(const std::string& text, TMailDescription& mail);

// Undoes the writer's escapes: backslash n becomes lineBreak, "\r" a CR, "\l" an LF, "\0"
// a NUL, a doubled backslash one backslash; any other backslash stays as it is.
std::string RestoreLineBreaks(const std::string& escaped, const std::string& lineBreak);
