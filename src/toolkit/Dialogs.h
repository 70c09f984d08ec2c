// The platform's common file dialog.
#pragma once

#include <windows.h>

#include <string>

class TSaveDialog {
 public:
  std::string Title;
  std::string Filter;  // "Wave files (*.wav)|*.wav|All files (*.*)|*.*"
  std::string DefaultExt;
  std::string FileName;
  std::string InitialDir;
  int FilterIndex = 1;
  bool OverwritePrompt = true;
  // Shows the dialog; true when the user chose a file (then in FileName).
  bool Execute(HWND owner);
  // The structure Execute hands to the platform, for tests that check what is asked.
  static std::string FilterToPlatform(const std::string& filter);
};
