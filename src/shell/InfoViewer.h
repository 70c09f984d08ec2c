// The information panel under the toolbar: tips from a text file beside the program
// ("VocaletTips.enu", one tip a line), in view mode 1; mode 0 hides it. This program shows no
// banner, so mode 2 is never kept.
#pragma once

#include <string>
#include <vector>

#include "shell/TipsText.h"
#include "toolkit/StdCtrls.h"

class TInfoViewer : public TPanel {
 public:
  explicit TInfoViewer(TComponent* owner);

  // What the main window gives before Load.
  std::string TipsFile;
  int ProductNumber = 0;
  std::string RegistryKey;  // under HKEY_CURRENT_USER
  HWND MainWindow = nullptr;
  std::string LanguageCode = "enu";

  void Load();
  void Close();
  const std::string& BannerText() const { return banner_; }
  bool AutoUpdates() const { return autoUpdates_; }
  void SetAutoUpdates(bool on);
  int ViewMode() const { return viewMode_; }
  void SetViewMode(int mode);
  void SetLanguage(const std::string& code);
  void SetBackground(TColor color);
  void NextTip();
  void PrevTip();
  size_t TipCount() const { return tips_.size(); }
  size_t TipIndex() const { return tipIndex_; }
  std::string CurrentTip() const;
  TNotifyEvent OnViewChanged;

  TLabel* LTitle;
  TLabel* LTip;
  TSpeedButton* btnNext;
  TSpeedButton* btnBack;

 private:
  std::string SettingsKey() const;
  void ShowTip();
  void ApplyTexts();
  std::vector<std::string> tips_;
  size_t tipIndex_ = 0;
  int viewMode_ = 1;
  bool autoUpdates_ = false;
  std::string banner_;
};
