#include "delivery/SMapiUtils.h"

#include <windows.h>

#include <stdexcept>

std::string HandOffWriteError = "Cannot write to the file \"%s\".";

namespace {
std::string WriteErrorText(const std::string& path) {
  std::string text = HandOffWriteError;
  if (size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, path);
  return text;
}

void Write(const std::string& path, const char* section, const char* key,
           const std::string& value) {
  if (!WritePrivateProfileStringA(section, key, value.c_str(), path.c_str()))
    throw std::runtime_error(WriteErrorText(path));
}

void WriteList(const std::string& path, const char* section,
               const std::vector<std::string>& list) {
  // Erasing the section first leaves exactly the current list, and no section when empty.
  if (!WritePrivateProfileStringA(section, nullptr, nullptr, path.c_str()) &&
      GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
    throw std::runtime_error(WriteErrorText(path));
  for (const std::string& entry : list) Write(path, section, entry.c_str(), "1");
}
}  // namespace

void TSMapiMessage::SaveToFile(const std::string& path) const {
  Write(path, "Header", "ToName", ToName);
  Write(path, "Header", "ToAddr", ToAddr);
  Write(path, "Header", "Subject", Subject);
  Write(path, "Header", "Text", EscapeMailText(Text));
  WriteList(path, "Files", Files);
  WriteList(path, "FileNames", FileNames);
}
