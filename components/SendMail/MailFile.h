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

// Reads the hand-off file; false when it does not exist (the profile functions would
// quietly answer empty values for a missing file).
bool ReadMailFile(const std::string& path, TMailDescription& mail);

// The writer stores each line break of the body as the two characters backslash and n,
// and nothing else means a line break.
std::string RestoreLineBreaks(const std::string& escaped, const std::string& lineBreak);
