#include "MailFile.h"

#include <windows.h>

#include "util/StrUtils.h"

namespace {

// GetPrivateProfileStringA gives no length up front: grow the buffer until the answer
// fits. A key list ends with two zeros, so it is cut two bytes early.
std::string ProfileString(const char* section, const char* key, const std::string& path) {
  std::vector<char> buf(1024);
  for (;;) {
    DWORD got = GetPrivateProfileStringA(section, key, "", buf.data(),
                                         static_cast<DWORD>(buf.size()), path.c_str());
    DWORD cut = key ? buf.size() - 1 : buf.size() - 2;
    if (got < cut || buf.size() >= (1u << 24)) return std::string(buf.data(), got);
    buf.resize(buf.size() * 4);
  }
}

std::vector<std::string> SectionKeys(const char* section, const std::string& path) {
  std::string list = ProfileString(section, nullptr, path);
  std::vector<std::string> keys;
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find('\0', start);
    if (end == std::string::npos) end = list.size();
    if (end > start) keys.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return keys;
}

}  // namespace

std::string RestoreLineBreaks(const std::string& escaped, const std::string& lineBreak) {
  return ReplaceAll(escaped, "\\n", lineBreak);
}

bool ReadMailFile(const std::string& path, TMailDescription& mail) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  mail.ToName = ProfileString("Header", "ToName", path);
  mail.ToAddr = ProfileString("Header", "ToAddr", path);
  mail.Subject = ProfileString("Header", "Subject", path);
  mail.Text = RestoreLineBreaks(ProfileString("Header", "Text", path), "\r\n");
  mail.Files = SectionKeys("Files", path);
  mail.FileNames = SectionKeys("FileNames", path);
  return true;
}
