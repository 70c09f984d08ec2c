#include "shell/QuindleEnv.h"

#include "mls/VocaletMLS.h"
#include "mls/ovSharedMLS.h"
#include "mls/qdSharedMLS.h"
#include "toolkit/StdCtrls.h"
#include "util/FormatText.h"
#include "util/ovUtils.h"

TQuindleEnv::TQuindleEnv(TComponent* owner) : TComponent(owner) {
  miViewTips = Make<TMenuItem>(this);
  miViewTips->OnClick = [this](TComponent* s) { ToggleTips(s); };
  miHelpTips = Make<TMenuItem>(this);
  miHelpTips->OnClick = [this](TComponent* s) { ToggleTips(s); };
  miAutoUpdates = Make<TMenuItem>(this);
  miAutoUpdates->OnClick = [this](TComponent*) { SetAutoUpdates(!autoUpdates_); };
  miHelpSep = Make<TMenuItem>(this);
  miHelpSep->SetCaption("-");
  miProductInfo = Make<TMenuItem>(this);
  miProductInfo->OnClick = [this](TComponent*) {
    ShowAbout(Application ? Application->MainForm() : nullptr);
  };
  ApplyTexts();
}

void TQuindleEnv::InsertItems(TMenuItem* viewPlace, TMenuItem* helpPlace) {
  if (viewPlace && viewPlace->Parent()) {
    TMenuItem* menu = viewPlace->Parent();
    menu->Insert(static_cast<size_t>(menu->IndexOf(viewPlace)), miViewTips);
    viewPlace->SetVisible(false);
  }
  if (helpPlace && helpPlace->Parent()) {
    TMenuItem* menu = helpPlace->Parent();
    size_t at = static_cast<size_t>(menu->IndexOf(helpPlace));
    menu->Insert(at++, miHelpTips);
    menu->Insert(at++, miAutoUpdates);
    menu->Insert(at++, miHelpSep);
    menu->Insert(at, miProductInfo);
    helpPlace->SetVisible(false);
  }
}

void TQuindleEnv::ApplyTexts() {
  miViewTips->SetCaption(MLS_QDSHARED->Strings[16]);
  miViewTips->Hint = MLS_QDSHARED->Strings[17];
  miHelpTips->SetCaption(MLS_QDSHARED->Strings[16]);
  miHelpTips->Hint = MLS_QDSHARED->Strings[17];
  miAutoUpdates->SetCaption(MLS_QDSHARED->Strings[12]);
  miAutoUpdates->Hint = MLS_QDSHARED->Strings[13];
  miProductInfo->SetCaption(MLS_QDSHARED->Strings[11]);
}

void TQuindleEnv::SetAutoUpdates(bool on) {
  autoUpdates_ = on;
  miAutoUpdates->SetChecked(on);
  if (OnAutoUpdates) OnAutoUpdates(this);
}

void TQuindleEnv::SetTipsShown(bool shown) {
  tipsShown_ = shown;
  miViewTips->SetChecked(shown);
  miHelpTips->SetChecked(shown);
}

void TQuindleEnv::SetViewMode(int mode) { SetTipsShown(mode != 0); }

void TQuindleEnv::ToggleTips(TComponent*) {
  int mode = tipsShown_ ? 0 : 1;
  if (OnInfoView) OnInfoView(this, mode);
  SetTipsShown(mode != 0);
}

namespace {
std::string WithoutAccessKey(const std::string& caption) {
  std::string text;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    text += caption[i];
  }
  return text;
}

class TAboutBox : public TForm {
 public:
  TAboutBox(TComponent* owner, const std::string& product) : TForm(owner) {
    BorderStyle = bsDialog;
    // The same text is the Help menu item that opens the box: its access key has no place
    // in a title bar.
    SetCaption(WithoutAccessKey(MLS_QDSHARED->Strings[11]));
    Font.Name = "Tahoma";
    SetClientSize(320, 150);
    auto* icon = Make<TImage>(this);
    icon->SetParent(this);
    icon->SetBounds(16, 16, 32, 32);
    icon->Icon = LoadIconA(ModuleInstance(), "MAINICON");
    auto line = [this](int y, const std::string& text, bool bold) {
      auto* l = Make<TLabel>(this);
      l->SetParent(this);
      l->Font.Name = "Tahoma";
      l->Font.Bold = bold;
      l->SetBounds(64, y, 240, 14);
      l->SetCaption(text);
      return l;
    };
    line(16, product, true);
    LVersion = line(34, FormatText(MLS_VOCALET->Strings[53],
                                   {GetFileVersionText(GetModuleFileNameStr())}),
                    false);
    line(52, MLS_QDSHARED->Strings[9], false);
    auto* note = line(72, MLS_QDSHARED->Strings[10], false);
    note->AutoSize = false;
    note->WordWrap = true;
    note->SetBounds(64, 72, 240, 30);
    auto* ok = Make<TButton>(this);
    ok->SetParent(this);
    ok->SetCaption(MLS_OVSHARED->Strings[49]);
    ok->Default = true;
    ok->ModalResult = mrOk;
    ok->SetBounds(232, 114, 75, 23);
  }
  TLabel* LVersion;
};
}  // namespace

void TQuindleEnv::ShowAbout(TForm* owner) {
  TAboutBox box(nullptr, ProductName);
  box.Handle();
  CenterWindow(owner ? owner->Handle() : nullptr, box.Handle());
  box.ShowModal();
  if (OnAfterAbout) OnAfterAbout(this);
}
