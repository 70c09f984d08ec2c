#include "MailFile.h"

#include <cctype>

#include "util/FileIO.h"

namespace {

bool SameName(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return i == a.size() && !b[i];
}

std::string Trimmed(const std::string& s) {
  size_t begin = s.find_first_not_of(" \t");
  if (begin == std::string::npos) return {};
  return s.substr(begin, s.find_last_not_of(" \t") - begin + 1);
}

}  // namespace

std::string RestoreLineBreaks(const std::string& escaped, const std::string& lineBreak) {
  std::string out;
  out.reserve(escaped.size());
  for (size_t i = 0; i < escaped.size(); ++i) {
    const char c = escaped[i];
    const char next = i + 1 < escaped.size() ? escaped[i + 1] : ' ';
    if (c != '\\') {
      out += c;
      continue;
    }
    switch (next) {
      case 'n': out += lineBreak; break;
      case 'r': out += '\r'; break;
      case 'l': out += '\n'; break;
      case '0': out += '\0'; break;
      case '\\': out += '\\'; break;
      default: out += c; continue;
    }
    ++i;
  }
  return out;
}

void ParseMailFile(const std::string& text, TMailDescription& mail) {
  enum { kNone, kHeader, kFiles, kFileNames, kOther } section = kNone;
  bool seen[4] = {};
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // Every list line ends in "=1", so only a section name both starts with "[" and ends
    // with "]".
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      std::string name = Trimmed(line.substr(1, line.size() - 2));
      section = SameName(name, "Header") ? kHeader : SameName(name, "Files") ? kFiles
                : SameName(name, "FileNames") ? kFileNames : kOther;
      continue;
    }
    if (section == kFiles || section == kFileNames) {
      const size_t eq = line.rfind('=');
      if (eq == std::string::npos || eq == 0) continue;
      (section == kFiles ? mail.Files : mail.FileNames).push_back(line.substr(0, eq));
    } else if (section == kHeader) {
      const size_t eq = line.find('=');
      if (eq == std::string::npos) continue;
      const std::string key = Trimmed(line.substr(0, eq));
      std::string* fields[] = {&mail.ToName, &mail.ToAddr, &mail.Subject, &mail.Text};
      const char* names[] = {"ToName", "ToAddr", "Subject", "Text"};
      for (int k = 0; k < 4; ++k) {
        // The first of two equal keys counts, as with the profile functions.
        if (!seen[k] && SameName(key, names[k])) {
          *fields[k] = RestoreLineBreaks(line.substr(eq + 1), "\r\n");
          seen[k] = true;
        }
      }
    }
  }
}

bool ReadMailFile(const std::string& path, TMailDescription& mail) {
  if (!vocalet::IsExistingFile(path)) return false;
  vocalet::TFile file = vocalet::TFile::OpenRead(path);
  if (!file.IsOpen()) return false;
  std::string text;
  char buffer[4096];
  for (;;) {
    const std::int64_t got = file.Read(buffer, sizeof buffer);
    if (got < 0) return false;
    if (got == 0) break;
    text.append(buffer, static_cast<size_t>(got));
  }
  ParseMailFile(text, mail);
  return true;
}
