// A small stay-on-top notice that asks the user to wait while long work blocks the window
// thread. There is at most one; the module functions show, query and hide it.
#pragma once

#include <string>

#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

// A form whose owner window is chosen at creation: ParentWnd -1 means none was given (the
// ordinary owner applies), 0 an unowned top-level window.
class TNonAppForm : public TForm {
 public:
  explicit TNonAppForm(TComponent* owner) : TForm(owner) {}
  TNonAppForm(TComponent* owner, HWND parentWnd) : TForm(owner), ParentWnd(parentWnd) {}
  HWND ParentWnd = reinterpret_cast<HWND>(-1);

 protected:
  void CreateParams(TCreateParams& params) override;
};

class TProgressForm : public TNonAppForm {
 public:
  TProgressForm(TComponent* owner, HWND parentWnd);

  TLabel* LPrompt;
  TImage* imgIcon;
  TButton* btnOK;
  TButton* btnCancel;
  TTimer* Timer;

  TForm* OwnerForm = nullptr;
  TNotifyEvent OnCancel;

  void btnCancelClick(TComponent* sender);
  void TimerShow(TComponent* sender);

 protected:
  void CreateParams(TCreateParams& params) override;
};

extern TProgressForm* ProgressForm;
extern std::string ProgressCaption;
extern std::string ProgressPrompt;

void ShowProgress(TForm* owner, unsigned delayMs, bool ownerIcon, TNotifyEvent onCancel);
void ShowProgressNow(TForm* owner, bool ownerIcon);
bool ProgressActive();
void HideProgress();
