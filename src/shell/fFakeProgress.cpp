#include "shell/fFakeProgress.h"

#include "util/ovUtils.h"

TProgressForm* ProgressForm = nullptr;
std::string ProgressCaption = "Processing In Progress";
std::string ProgressPrompt = "Processing. Please wait... ";

namespace {
// The window outlives the calls that show and hide it, so the module owns it.
std::unique_ptr<TProgressForm> progressHolder;
}  // namespace

void TNonAppForm::CreateParams(TCreateParams& p) {
  TForm::CreateParams(p);
  if (ParentWnd != reinterpret_cast<HWND>(-1)) p.ParentWnd = ParentWnd;
}

TProgressForm::TProgressForm(TComponent* owner, HWND parentWnd) : TNonAppForm(owner, parentWnd) {
  Name = "ProgressForm";
  BorderStyle = bsNone;  // a dialog frame without any border icons
  FormStyle = fsStayOnTop;
  SetCaption("Processing In Progress");
  Font.Name = "Tahoma";
  SetClientSize(324, 127);

  imgIcon = Make<TImage>(this);
  imgIcon->SetParent(this);
  imgIcon->SetBounds(20, 20, 32, 32);
  imgIcon->Stretch = true;
  imgIcon->Icon = LoadIconA(ModuleInstance(), "MAINICON");
  if (!imgIcon->Icon) imgIcon->Icon = LoadIconA(nullptr, IDI_INFORMATION);

  LPrompt = Make<TLabel>(this);
  LPrompt->SetParent(this);
  LPrompt->AutoSize = false;
  LPrompt->WordWrap = true;
  LPrompt->Transparent = true;
  LPrompt->Font = Font;
  LPrompt->SetBounds(72, 24, 230, 65);
  LPrompt->SetCaption("Processing. Please wait... ");

  btnOK = Make<TButton>(this);
  btnOK->SetParent(this);
  btnOK->SetBounds(150, 96, 75, 23);
  btnOK->SetVisible(false);

  btnCancel = Make<TButton>(this);
  btnCancel->SetParent(this);
  btnCancel->SetBounds(236, 96, 75, 23);
  btnCancel->SetCaption("Cancel");
  btnCancel->SetVisible(false);
  btnCancel->OnClick = [this](TComponent* s) { btnCancelClick(s); };

  Timer = Make<TTimer>(this);
  Timer->SetEnabled(false);
}

void TProgressForm::CreateParams(TCreateParams& p) {
  TNonAppForm::CreateParams(p);
  // A caption and a dialog frame, but no system menu and so no close box.
  p.Style = WS_POPUP | WS_CAPTION | DS_MODALFRAME | WS_CLIPCHILDREN;
  p.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;
}

void TProgressForm::btnCancelClick(TComponent*) {
  if (OnCancel) OnCancel(this);
}

void TProgressForm::TimerShow(TComponent*) {
  Timer->SetEnabled(false);
  Show();
  SetForegroundWindow(Handle());
  Application->ProcessMessages();
}

static void ShowNow(TProgressForm* f) {
  f->Show();
  SetForegroundWindow(f->Handle());
  Application->ProcessMessages();
}

void ShowProgress(TForm* owner, unsigned delayMs, bool ownerIcon, TNotifyEvent onCancel) {
  if (ProgressForm) {
    CenterWindow(nullptr, ProgressForm->Handle());
    ProgressForm->OnCancel = onCancel;
    ProgressForm->btnCancel->SetVisible(static_cast<bool>(onCancel));
    ShowNow(ProgressForm);
    return;
  }
  HWND ownerHandle = owner ? owner->Handle() : nullptr;
  progressHolder = std::make_unique<TProgressForm>(nullptr, ownerHandle);
  ProgressForm = progressHolder.get();
  ProgressForm->OwnerForm = owner;
  if (ownerIcon && owner) {
    if (HICON icon = reinterpret_cast<HICON>(GetClassLongPtrA(owner->Handle(), GCLP_HICON)))
      ProgressForm->imgIcon->Icon = icon;
  }
  if (owner) owner->SetEnabled(false);
  ProgressForm->SetCaption(ProgressCaption);
  ProgressForm->LPrompt->SetCaption(ProgressPrompt);
  ProgressForm->OnCancel = onCancel;
  ProgressForm->btnCancel->SetVisible(static_cast<bool>(onCancel));
  if (!onCancel) ProgressForm->SetClientSize(324, ProgressForm->btnOK->Top() - 1);
  ProgressForm->Handle();
  CenterWindow(ownerHandle, ProgressForm->Handle());
  if (delayMs == 0) {
    ShowNow(ProgressForm);
  } else {
    ProgressForm->Timer->SetInterval(delayMs);
    ProgressForm->Timer->OnTimer = [](TComponent* s) {
      if (ProgressForm) ProgressForm->TimerShow(s);
    };
    ProgressForm->Timer->SetEnabled(true);
  }
}

void ShowProgressNow(TForm* owner, bool ownerIcon) { ShowProgress(owner, 0, ownerIcon, nullptr); }

bool ProgressActive() { return ProgressForm != nullptr; }

void HideProgress() {
  if (!ProgressForm) return;
  ProgressForm->Timer->SetEnabled(false);
  if (ProgressForm->OwnerForm) ProgressForm->OwnerForm->SetEnabled(true);
  Application->ProcessMessages();
  ProgressForm = nullptr;
  progressHolder.reset();
}
