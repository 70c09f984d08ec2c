#include "desktop/ShLinks.h"

#include <windows.h>

#include <shlobj.h>
#include <shobjidl.h>

#include "desktop/ComPtr.h"
#include "util/ovUtils.h"

namespace {

std::wstring Wide(const std::string& text) {
  wchar_t buffer[MAX_PATH + 1] = {};
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, buffer, MAX_PATH);
  return buffer;
}

// The item list of a special folder, freed with the shell's allocator.
struct TItemList {
  LPITEMIDLIST Pidl = nullptr;
  ~TItemList() {
    if (Pidl) CoTaskMemFree(Pidl);
  }
};

bool SpecialFolderPath(int specialFolder, std::string& path) {
  TItemList list;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, specialFolder, &list.Pidl)) || !list.Pidl)
    return false;
  char buffer[MAX_PATH + 1] = {};
  if (!SHGetPathFromIDListA(list.Pidl, buffer)) return false;
  path = buffer;
  return true;
}

}  // namespace

bool CreateShellLinkEx(const std::string& linkName, const std::string& folderIn,
                       int specialFolder, const TShellLinkInfo& info, std::string& linkPath,
                       std::vector<std::string>* createdFolders) {
  linkPath.clear();
  TComInit com;
  std::string folder = folderIn;
  if (folder.empty() && !SpecialFolderPath(specialFolder, folder)) return false;
  // Always one more backslash: a folder given with its own trailing one still works, as
  // the shell folds the doubled separator.
  const std::string file = folder + "\\" + linkName;
  // A chain that cannot be created shows later, as a save that writes nothing.
  ForceDirectories(ExtractFilePath(file), createdFolders);

  TComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              link.put_void())))
    return false;
  TComPtr<IPersistFile> persist;
  const bool ok = SUCCEEDED(link->SetArguments(info.Arguments.c_str())) &&
                  SUCCEEDED(link->SetDescription(info.Description.c_str())) &&
                  SUCCEEDED(link->SetIconLocation(info.IconLocation.c_str(), info.IconIndex)) &&
                  SUCCEEDED(link->SetPath(info.Path.c_str())) &&
                  SUCCEEDED(link->SetWorkingDirectory(info.WorkingDirectory.c_str())) &&
                  SUCCEEDED(link->SetHotkey(info.HotKey)) &&
                  SUCCEEDED(link->QueryInterface(IID_IPersistFile, persist.put_void()));
  if (!ok) return false;
  linkPath = file;
  persist->Save(Wide(file).c_str(), TRUE);
  return true;
}

bool CreateShellLink(const std::string& linkName, const std::string& folder, int specialFolder,
                     const TShellLinkInfo& info) {
  std::string ignored;
  return CreateShellLinkEx(linkName, folder, specialFolder, info, ignored, nullptr);
}

bool ReadShellLink(const std::string& linkFile, TShellLinkInfo& info) {
  TComInit com;
  info = TShellLinkInfo{};
  TComPtr<IShellLinkA> link;
  TComPtr<IPersistFile> persist;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              link.put_void())) ||
      FAILED(link->QueryInterface(IID_IPersistFile, persist.put_void())))
    return false;
  // Not a link, or no file: the fields stay empty, which callers take as "no shortcut data".
  persist->Load(Wide(linkFile).c_str(), STGM_READ);

  char buffer[MAX_PATH + 1];
  auto read = [&buffer](auto&& call) {
    buffer[0] = '\0';
    call(buffer);
    buffer[MAX_PATH] = '\0';
    return std::string(buffer);
  };
  info.Path = read([&](char* b) { link->GetPath(b, MAX_PATH, nullptr, SLGP_UNCPRIORITY); });
  info.WorkingDirectory = read([&](char* b) { link->GetWorkingDirectory(b, MAX_PATH); });
  int iconIndex = 0;
  info.IconLocation = read([&](char* b) { link->GetIconLocation(b, MAX_PATH, &iconIndex); });
  info.IconIndex = iconIndex;
  if (info.IconLocation.empty()) info.IconLocation = info.Path;
  info.Arguments = read([&](char* b) { link->GetArguments(b, MAX_PATH); });
  info.Description = read([&](char* b) { link->GetDescription(b, MAX_PATH); });
  WORD hotKey = 0;
  link->GetHotkey(&hotKey);
  info.HotKey = hotKey;
  return true;
}

void GetSpecialFolderPath(int specialFolder, std::string& path) {
  TComInit com;
  std::string found;
  if (SpecialFolderPath(specialFolder, found)) path = found;
}
