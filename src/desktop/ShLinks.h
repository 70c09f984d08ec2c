// Shortcut files (".lnk") through the shell's link object, and the file-system paths of
// the shell's special folders. Strings are ANSI. Failures show only in the results.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TShellLinkInfo {
  std::string Path;  // the target
  std::string Arguments;
  std::string WorkingDirectory;
  std::string Description;
  std::string IconLocation;
  std::int32_t IconIndex = 0;
  // Low byte the virtual key, high byte HOTKEYF_SHIFT (1), HOTKEYF_CONTROL (2), HOTKEYF_ALT (4).
  std::uint16_t HotKey = 0;
};

// Creates folder\linkName; with an empty folder, in the special folder (a CSIDL number).
// The folders created on the way are added to createdFolders, outermost first, when given.
// True when every property of the link could be set; the save itself is not checked.
bool CreateShellLinkEx(const std::string& linkName, const std::string& folder, int specialFolder,
                       const TShellLinkInfo& info, std::string& linkPath,
                       std::vector<std::string>* createdFolders);
bool CreateShellLink(const std::string& linkName, const std::string& folder, int specialFolder,
                     const TShellLinkInfo& info);
// A file that cannot be loaded reads as an empty link; false only when the shell's link
// object cannot be had.
bool ReadShellLink(const std::string& linkFile, TShellLinkInfo& info);
// Sets path when the special folder has one in the file system; leaves it alone otherwise.
void GetSpecialFolderPath(int specialFolder, std::string& path);
