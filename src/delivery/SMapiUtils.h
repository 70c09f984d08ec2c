// The mail description handed to the mail-sender program as an INI file ("eMail.dat").
#pragma once

#include <string>
#include <vector>

class TSMapiMessage {
 public:
  std::string ToName;
  std::string ToAddr;
  std::string Subject;
  std::string Text;  // lines separated by CR LF
  std::vector<std::string> Files;
  std::vector<std::string> FileNames;

  // Writes the description into the INI file at path. A write the system refuses raises
  // std::runtime_error naming the file.
  void SaveToFile(const std::string& path) const;
};

// The text of that error, "%s" standing for the file; the main window keeps it in the
// user's language.
extern std::string HandOffWriteError;

// The body as one INI value: every line break (CR LF, and a lone CR or LF too) becomes the
// two characters backslash and n, so that no value ever spans lines.
std::string EscapeMailText(const std::string& text);
