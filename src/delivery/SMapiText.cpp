#include "delivery/SMapiUtils.h"

#include <algorithm>
#include <cctype>

namespace {

// What follows a backslash to make it an escape; the mail-sender's reader knows the same.
bool StartsEscape(char c) {
  return c == 'n' || c == 'r' || c == 'l' || c == '0' || c == '\\' || c == '\r' || c == '\n' ||
         c == '\0';
}

bool SameEntry(const std::string& a, const std::string& b) {
  // As the profile functions compare keys: one attachment per file, whatever its case.
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

void AppendList(std::string& out, const char* section, const std::vector<std::string>& list) {
  std::vector<const std::string*> written;
  for (const std::string& entry : list) {
    if (entry.empty()) continue;
    if (std::any_of(written.begin(), written.end(), [&](const std::string* w) { return SameEntry(*w, entry); }))
      continue;
    if (written.empty()) out += std::string("[") + section + "]\r\n";
    written.push_back(&entry);
    out += entry + "=1\r\n";
  }
}

}  // namespace

std::string EscapeMailText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool more = i + 1 < text.size();
    if (c == '\r' && more && text[i + 1] == '\n') {
      out += "\\n";
      ++i;
    } else if (c == '\r') {
      // A lone break would end the INI line and let the rest pose as keys of its own (an
      // attachment, say).
      out += "\\r";
    } else if (c == '\n') {
      out += "\\l";
    } else if (c == '\0') {
      out += "\\0";
    } else if (c == '\\' && more && StartsEscape(text[i + 1])) {
      out += "\\\\";
    } else {
      out += c;
    }
  }
  return out;
}

std::string TSMapiMessage::FileText() const {
  std::string out = "[Header]\r\n";
  out += "ToName=" + EscapeMailText(ToName) + "\r\n";
  out += "ToAddr=" + EscapeMailText(ToAddr) + "\r\n";
  out += "Subject=" + EscapeMailText(Subject) + "\r\n";
  out += "Text=" + EscapeMailText(Text) + "\r\n";
  AppendList(out, "Files", Files);
  AppendList(out, "FileNames", FileNames);
  return out;
}
