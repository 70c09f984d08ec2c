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

  // Writes the description as the whole new content of the file at path, the safe way: the
  // mail-sender may still be reading the previous one. A file that cannot be written raises
  // std::runtime_error naming it, and keeps its previous content.
  void SaveToFile(const std::string& path) const;

  // The file's text: [Header] with ToName, ToAddr, Subject and Text, each escaped by
  // EscapeMailText; [Files] and [FileNames] with one "<entry>=1" line per distinct entry
  // (an empty list gives no section). Lines end in CR LF.
  std::string FileText() const;
};

// A header value as one INI line that reads back exactly: a CR LF pair becomes the two
// characters backslash and n, a lone CR "\r", a lone LF "\l", a NUL "\0"; a backslash is
// doubled only where it would otherwise start one of these.
std::string EscapeMailText(const std::string& text);
