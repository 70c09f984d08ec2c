#include "toolkit/Dialogs.h"

#include <commdlg.h>

#include <vector>

std::string TSaveDialog::FilterToPlatform(const std::string& filter) {
  std::string out = filter;
  for (char& c : out)
    if (c == '|') c = '\0';
  out.push_back('\0');
  out.push_back('\0');
  return out;
}

bool TSaveDialog::Execute(HWND owner) {
  std::vector<char> file(MAX_PATH * 4, '\0');
  FileName.copy(file.data(), file.size() - 1);
  std::string filter = FilterToPlatform(Filter);
  std::string ext = DefaultExt;
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(FilterIndex);
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
  ofn.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
  ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_NOCHANGEDIR |
              (OverwritePrompt ? OFN_OVERWRITEPROMPT : 0);
  if (!GetSaveFileNameA(&ofn)) return false;
  FileName = file.data();
  FilterIndex = static_cast<int>(ofn.nFilterIndex);
  return true;
}
