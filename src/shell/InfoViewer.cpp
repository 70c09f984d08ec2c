#include "shell/InfoViewer.h"

#include "mls/qdSharedMLS.h"
#include "util/FileIO.h"
#include "util/ovUtils.h"

TInfoViewer::TInfoViewer(TComponent* owner) : TPanel(owner) {
  Name = "InfoViewer";
  BevelOuter = bvNone;
  ShowCaption = false;
  SetBounds(0, 0, 472, 60);
  LTitle = Make<TLabel>(this);
  LTitle->SetParent(this);
  LTitle->Transparent = true;
  LTitle->Font.Name = "Tahoma";
  LTitle->Font.Bold = true;
  LTitle->SetBounds(8, 4, 200, 14);
  LTip = Make<TLabel>(this);
  LTip->SetParent(this);
  LTip->Transparent = true;
  LTip->AutoSize = false;
  LTip->WordWrap = true;
  LTip->Font.Name = "Tahoma";
  LTip->SetBounds(8, 20, 380, 38);
  btnBack = Make<TSpeedButton>(this);
  btnBack->SetParent(this);
  btnBack->Flat = true;
  btnBack->SetBounds(372, 34, 48, 20);
  btnBack->OnClick = [this](TComponent*) { PrevTip(); };
  btnNext = Make<TSpeedButton>(this);
  btnNext->SetParent(this);
  btnNext->Flat = true;
  btnNext->SetBounds(422, 34, 48, 20);
  btnNext->OnClick = [this](TComponent*) { NextTip(); };
  ApplyTexts();
}

void TInfoViewer::ApplyTexts() {
  LTitle->SetCaption(MLS_QDSHARED->Strings[8]);
  btnNext->SetCaption(MLS_QDSHARED->Strings[6]);
  btnBack->SetCaption(MLS_QDSHARED->Strings[5]);
}

void TInfoViewer::Load() {
  tips_.clear();
  // A tips file in the user's language when there is one ("VocaletTips.deu"), else English.
  std::string file = TipsFile;
  std::string localized = file.substr(0, file.rfind('.') + 1) + LanguageCode;
  // Read through the program's own file calls: iostreams would bring the C++ locale
  // machinery into the program.
  vocalet::TFile in = vocalet::TFile::OpenRead(localized);
  if (!in.IsOpen()) in = vocalet::TFile::OpenRead(file);
  if (in.IsOpen()) {
    std::string text;
    char buf[4096];
    for (std::int64_t n; (n = in.Read(buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(n));
    tips_ = ParseTips(text);
  }
  if (!RegistryKey.empty()) {
    TRegistryEx reg(HKEY_CURRENT_USER);
    if (reg.OpenKeyReadOnly(SettingsKey()) && reg.GetDataType("AutoUpdates") == REG_SZ)
      autoUpdates_ = reg.ReadString("AutoUpdates") == "1";
  }
  // A fresh start opens at a tip of its own, so that the user sees something new.
  tipIndex_ = tips_.empty() ? 0 : GetTickCount() % tips_.size();
  ShowTip();
}

std::string TInfoViewer::SettingsKey() const {
  // A key of its own below the program's: the program's key holds exactly its options.
  return RegistryKey + "\\InfoViewer";
}

void TInfoViewer::Close() {
  if (RegistryKey.empty()) return;
  TRegistry reg(HKEY_CURRENT_USER);
  if (reg.OpenKey(SettingsKey(), true)) {
    try {
      reg.WriteString("AutoUpdates", autoUpdates_ ? "1" : "0");
    } catch (const ERegistryException&) {
      // The setting is a convenience; a registry that refuses it costs nothing else.
    }
  }
}

void TInfoViewer::SetAutoUpdates(bool on) { autoUpdates_ = on; }

void TInfoViewer::SetViewMode(int mode) {
  if (mode == 2 && banner_.empty()) mode = 1;
  if (mode < 0 || mode > 2) mode = 1;
  if (mode == viewMode_) return;
  viewMode_ = mode;
  if (OnViewChanged) OnViewChanged(this);
}

void TInfoViewer::SetLanguage(const std::string& code) {
  LanguageCode = code;
  ApplyTexts();
  if (!TipsFile.empty()) {
    size_t keep = tipIndex_;
    Load();
    if (!tips_.empty()) tipIndex_ = keep % tips_.size();
    ShowTip();
  }
}

void TInfoViewer::SetBackground(TColor color) {
  Color = color;
  LTitle->Color = color;
  LTip->Color = color;
  Invalidate();
}

std::string TInfoViewer::CurrentTip() const {
  if (tips_.empty()) return MLS_QDSHARED->Strings[3];
  return ConvertLineBreaks(tips_[tipIndex_]);
}

void TInfoViewer::ShowTip() {
  LTip->SetCaption(CurrentTip());
  btnNext->SetEnabled(tips_.size() > 1);
  btnBack->SetEnabled(tips_.size() > 1);
}

void TInfoViewer::NextTip() {
  if (tips_.empty()) return;
  tipIndex_ = (tipIndex_ + 1) % tips_.size();
  ShowTip();
}

void TInfoViewer::PrevTip() {
  if (tips_.empty()) return;
  tipIndex_ = (tipIndex_ + tips_.size() - 1) % tips_.size();
  ShowTip();
}
