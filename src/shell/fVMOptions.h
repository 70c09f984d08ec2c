// The options dialog: the beep before recording, GSM compression and when it runs, closing
// after delivery; the Easy Launch dialog; and a help mode that shows every control's hint.
#pragma once

#include <windows.h>

#include "toolkit/Forms.h"
#include "toolkit/PageControl.h"
#include "toolkit/StdCtrls.h"

class TPropertiesForm : public TForm {
 public:
  explicit TPropertiesForm(TComponent* owner);
  ~TPropertiesForm() override;

  TButton* btnOK;
  TButton* btnCancel;
  TPageControl* Book;
  TTabSheet* tsGeneral;
  TImage* Image1;
  TLabel* LGeneral;
  TBevel* Bevel8;
  TSpeedButton* btnHelp;
  TCheckBox* cbBeepOnRecord;
  TCheckBox* cbEnableGSM;
  TRadioButton* rbPackOnRecord;
  TRadioButton* rbPackOnSend;
  TCheckBox* cbAutoClose;
  TButton* btnEasyLaunch;

  void FormCreate(TComponent* sender);
  void btnOKClick(TComponent* sender);
  void btnHelpClick(TComponent* sender);
  void cbEnableGSMClick(TComponent* sender);
  void btnEasyLaunchClick(TComponent* sender);

  // The dialog's hint display: on only in help mode.
  bool HelpMode() const { return helpMode_; }

 private:
  void StoreOptions();
  void ApplyLanguage();
  void WrapHints();
  void SetHelpMode(bool on);
  bool helpMode_ = false;
};

// Shows the options dialog modally, centred over parent; true when closed with OK.
bool ShowOptionsDialog(HWND parent);
// The same over a form of ours (the main window), or over the screen when null.
bool ShowOptionsDialog(TForm* owner);

// The dialog open now, for whoever needs to reach it while it runs modally; null otherwise.
extern TPropertiesForm* PropertiesForm;
