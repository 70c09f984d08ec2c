#include "shell/fVMOptions.h"

#include <memory>

#include "desktop/dEasyLaunch.h"
#include "mls/VocaletMLS.h"
#include "mls/ovSharedMLS.h"
#include "shell/HintText.h"
#include "shell/vmOptions.h"
#include "toolkit/Screen.h"
#include "util/ovUtils.h"

TPropertiesForm* PropertiesForm = nullptr;

namespace {

const std::string& Vocalet(int index) { return MLS_VOCALET->Strings[index]; }
const std::string& OvShared(int index) { return MLS_OVSHARED->Strings[index]; }

template <typename T>
T* Place(TForm* form, TWinControl* parent, const char* name, int left, int top, int width,
         int height) {
  T* c = Make<T>(form);
  c->Name = name;
  c->SetBounds(left, top, width, height);
  c->SetParent(parent);
  return c;
}

// The help button's glyph: a blue question mark on a transparent ground.
void DrawHelpGlyph(TBitmap& glyph) {
  glyph.SetSize(16, 16);
  glyph.Transparent = true;
  glyph.TransparentColor = clFuchsia;
  TCanvas canvas(glyph.DC());
  canvas.SetBrushColor(clFuchsia);
  canvas.FillRect(RECT{0, 0, 16, 16});
  TFontSpec font;
  font.Name = "Arial";
  font.Height = -15;
  font.Bold = true;
  font.Color = RGB(0, 64, 192);
  canvas.SetFont(font);
  RECT r{0, 0, 16, 16};
  canvas.DrawText("?", r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace

TPropertiesForm::TPropertiesForm(TComponent* owner) : TForm(owner) {
  Name = "PropertiesForm";
  BorderStyle = bsDialog;
  SetCaption("Vocalet Options");
  SetClientSize(374, 281);

  Book = Place<TPageControl>(this, this, "Book", 8, 8, 358, 232);
  tsGeneral = Book->AddPage("General");
  tsGeneral->Name = "tsGeneral";

  Image1 = Place<TImage>(this, tsGeneral, "Image1", 14, 12, 32, 32);
  Image1->Stretch = true;
  Image1->Icon = LoadIconA(ModuleInstance(), "MAINICON");
  if (!Image1->Icon) Image1->Icon = LoadIconA(nullptr, IDI_APPLICATION);
  LGeneral = Place<TLabel>(this, tsGeneral, "LGeneral", 58, 14, 230, 30);
  LGeneral->AutoSize = false;
  LGeneral->WordWrap = true;
  LGeneral->Transparent = true;

  Bevel8 = Place<TBevel>(this, tsGeneral, "Bevel8", 304, 8, 34, 34);
  Bevel8->Shape = bsFrame;
  btnHelp = Place<TSpeedButton>(this, tsGeneral, "btnHelp", 307, 11, 28, 28);
  btnHelp->Flat = true;
  btnHelp->GroupIndex = 1;
  btnHelp->AllowAllUp = true;
  DrawHelpGlyph(btnHelp->Glyph());
  btnHelp->OnClick = [this](TComponent* s) { btnHelpClick(s); };

  cbBeepOnRecord = Place<TCheckBox>(this, tsGeneral, "cbBeepOnRecord", 16, 58, 320, 17);
  cbEnableGSM = Place<TCheckBox>(this, tsGeneral, "cbEnableGSM", 16, 82, 320, 17);
  cbEnableGSM->OnClick = [this](TComponent* s) { cbEnableGSMClick(s); };
  rbPackOnRecord = Place<TRadioButton>(this, tsGeneral, "rbPackOnRecord", 36, 104, 300, 17);
  rbPackOnRecord->SetEnabled(false);
  rbPackOnSend = Place<TRadioButton>(this, tsGeneral, "rbPackOnSend", 36, 126, 300, 17);
  rbPackOnSend->SetEnabled(false);
  cbAutoClose = Place<TCheckBox>(this, tsGeneral, "cbAutoClose", 16, 150, 320, 17);
  btnEasyLaunch = Place<TButton>(this, tsGeneral, "btnEasyLaunch", 226, 172, 112, 23);
  btnEasyLaunch->OnClick = [this](TComponent* s) { btnEasyLaunchClick(s); };

  btnOK = Place<TButton>(this, this, "btnOK", 210, 249, 75, 23);
  btnOK->Default = true;
  btnOK->OnClick = [this](TComponent* s) { btnOKClick(s); };
  btnCancel = Place<TButton>(this, this, "btnCancel", 291, 249, 75, 23);
  btnCancel->Cancel = true;
  btnCancel->ModalResult = mrCancel;

  // Help mode belongs to the open dialog: however it closes, the cursor comes back.
  OnClose = [this](TComponent*, TCloseAction&) { SetHelpMode(false); };
  FormCreate(this);
}

TPropertiesForm::~TPropertiesForm() {
  if (helpMode_) SetScreenCursor(nullptr);
}

void TPropertiesForm::FormCreate(TComponent*) {
  Book->SetActivePage(tsGeneral);
  cbEnableGSM->SetChecked(VMProperties->GSM610);
  cbEnableGSMClick(cbEnableGSM);
  rbPackOnSend->SetChecked(VMProperties->PackOnSend);
  rbPackOnRecord->SetChecked(!VMProperties->PackOnSend);
  cbBeepOnRecord->SetChecked(VMProperties->BeepOnRecord);
  cbAutoClose->SetChecked(VMProperties->AutoClose);
  ApplyLanguage();
}

void TPropertiesForm::cbEnableGSMClick(TComponent*) {
  const bool on = cbEnableGSM->Checked();
  rbPackOnRecord->SetEnabled(on);
  rbPackOnSend->SetEnabled(on);
}

void TPropertiesForm::btnOKClick(TComponent*) {
  StoreOptions();
  ModalResult = mrOk;
}

void TPropertiesForm::StoreOptions() {
  TVMProperties& p = *VMProperties;
  p.GSM610 = cbEnableGSM->Checked();
  // Kept even while compression is off, so that turning it on again brings the choice back.
  p.PackOnSend = rbPackOnSend->Checked();
  // AutoRecord (set only in the registry) is what allows the beep at all: without it the
  // box cannot switch the beep on, and every OK switches it off.
  p.BeepOnRecord = p.AutoRecord && cbBeepOnRecord->Checked();
  p.AutoClose = cbAutoClose->Checked();
}

void TPropertiesForm::btnHelpClick(TComponent*) { SetHelpMode(btnHelp->Down()); }

void TPropertiesForm::SetHelpMode(bool on) {
  if (!on && btnHelp->Down()) btnHelp->SetDown(false);
  const bool changed = on != helpMode_;
  helpMode_ = on;
  ShowHint = on;
  for (size_t i = 0; i < ComponentCount(); ++i)
    if (auto* c = dynamic_cast<TControl*>(Components(i))) c->ShowHint = on;
  if (!on && Application) Application->CancelHint();
  if (changed) SetScreenCursor(on ? LoadCursor(nullptr, IDC_HELP) : nullptr);
}

void TPropertiesForm::btnEasyLaunchClick(TComponent*) {
  ShowEasyLaunchDlg(Handle(), "Quindle Vocalet");
}

void TPropertiesForm::ApplyLanguage() {
  btnOK->SetCaption(OvShared(49));
  btnCancel->SetCaption(OvShared(5));
  tsGeneral->SetCaption(OvShared(29));
  LGeneral->SetCaption(Vocalet(45));
  SetCaption(Vocalet(44));
  btnEasyLaunch->SetCaption(Vocalet(29));
  btnEasyLaunch->Hint = Vocalet(30);
  btnHelp->Hint = Vocalet(31);
  cbAutoClose->SetCaption(Vocalet(33));
  cbAutoClose->Hint = Vocalet(34);
  cbBeepOnRecord->SetCaption(Vocalet(35));
  cbBeepOnRecord->Hint = Vocalet(36);
  cbEnableGSM->SetCaption(Vocalet(37));
  cbEnableGSM->Hint = Vocalet(38);
  rbPackOnRecord->SetCaption(Vocalet(39));
  rbPackOnRecord->Hint = Vocalet(40);
  rbPackOnSend->SetCaption(Vocalet(41));
  rbPackOnSend->Hint = Vocalet(42);
  btnOK->Hint = Vocalet(32);
  btnCancel->Hint = Vocalet(28);
  WrapHints();
}

void TPropertiesForm::WrapHints() {
  for (size_t i = 0; i < ComponentCount(); ++i)
    if (auto* c = dynamic_cast<TControl*>(Components(i)); c && !c->Hint.empty())
      c->Hint = WrapHintText(c->Hint);
}

bool ShowOptionsDialog(HWND parent) {
  auto form = std::make_unique<TPropertiesForm>(nullptr);
  struct TForget {
    ~TForget() { PropertiesForm = nullptr; }
  } forget;
  PropertiesForm = form.get();
  CenterWindow(parent, form->Handle());
  return form->ShowModal() == mrOk;
}

bool ShowOptionsDialog(TForm* owner) {
  return ShowOptionsDialog(owner && owner->HandleAllocated() ? owner->Handle() : nullptr);
}
