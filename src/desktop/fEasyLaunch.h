// The Easy Launch page's controls: where the program gets shortcuts, with which hot key,
// and a small desktop that previews the choice. Only its panel is ever shown, inside the
// Easy Launch dialog's tab.
#pragma once

#include "toolkit/ComboBox.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

class TEasyLaunchPage;

class TEasyLaunchForm : public TForm {
 public:
  TEasyLaunchForm(TComponent* owner, TEasyLaunchPage& page);

  TPanel* panEasyLaunch;
  TImage* ImgIcon;
  TLabel* LPrompt;
  TGroupBox* gbShowIcon;
  TCheckBox* cbDesktop;
  TCheckBox* cbTaskbar;
  TCheckBox* cbStartMenu;
  TLabel* LPreview;
  TPanel* Panel1;
  TPaintBox* Shape1;
  TImage* Image1;
  TLabel* Label1;
  TImage* Image2;
  TLabel* Label2;
  TPaintBox* PaintBoxIco32;
  TLabel* LIcon;
  TImage* Image3;
  TPaintBox* PaintBoxIco16;
  TImage* imgStart;
  TLabel* LShortcut;
  TComboBox* comboShortCut;
  TLabel* LNote;
  TLabel* LNoteText;

  void FormCreate(TComponent* sender);
  void ApplyTexts();
  void UpdateShortcutCombo();
  void cbDesktopClick(TComponent* sender);
  void cbTaskbarClick(TComponent* sender);
  void cbStartMenuClick(TComponent* sender);
  void comboShortCutClick(TComponent* sender);
  void PaintBoxIco16Paint(TComponent* sender, TCanvas& canvas);
  void PaintBoxIco32Paint(TComponent* sender, TCanvas& canvas);

 private:
  TEasyLaunchPage& page_;
};
