// The main window: the message's whole life from recording to delivery.
#pragma once

#include <cstdint>
#include <string>

#include "shell/SingleInst.h"
#include "controls/TranspTB.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"

class TRecorderForm;
class TInfoViewer;
class TQuindleEnv;
class TMLSHelper;

// The identifier under which a running Vocalet is found by a second start.
extern const char VocaletProgramID[];

// Texts of the main window's module, renewed on every language change.
extern std::string MailBodyText;
extern std::string NoMessageText;
extern std::string InfoFormatText;
extern std::string LastRecordedText;
extern std::string UncompressedText;
extern std::string GsmText;

class TVocaletForm : public TForm {
 public:
  explicit TVocaletForm(TComponent* owner);
  ~TVocaletForm() override;

  TBevel* Bevel1;
  TBevel* ToolBarBevel;
  TNotebook* Book;
  TToolbarWithBitmap* ToolBar;
  TToolButton *btnRecord, *btnPlay, *tbSep1, *btnSend, *btnAttach, *tbSep2, *btnLanguage,
      *btnOptions, *tbSep3, *btnExit;
  TRecorderForm* RecorderFrame;
  TPanel* panInfoViewer;
  TInfoViewer* InfoViewer;
  TBevel* bevBottom;
  TPanel* panStatusbar;
  TLabel* LMessageInfo;
  TLabel* LDetails;
  TPanel* panVolume;
  TPanel* panMicLevel;
  TImage* imgVolume;
  TImage* imgMicLevel;
  TPaintBox* PaintBoxVolume;
  TPaintBox* PaintBoxMic;
  TSaveDialog SaveDialog;
  TSingleInstanceManager* InstMan;
  TQuindleEnv* QuindleEnv;
  TMLSHelper* MLSHelper;
  TMainMenu* MainMenu;
  TPopupMenu* LanguagePopup;
  TMenuItem *miFile, *miRecord, *miStop, *miPlay, *miPause, *miFileSep1, *miSend, *miSaveAs,
      *miAttach, *miFileSep2, *miAdjustVolume, *miAdjustMicrophoneLevel, *miFileSep3, *miClose;
  TMenuItem *miView, *miViewAddHere, *MenuSepInfoView, *miLanguage, *miMLSItemsHere,
      *miViewSep2, *miOptions;
  TMenuItem *miHelp, *miHelpInsertHere;

  bool Shown = false;
  // Unlit steps of the two level indicators, as the slider window last reported them.
  int32_t VolumeLevel = 0;
  int32_t MicLevel = 0;

  void FormCreate(TComponent* sender);
  void FormShow(TComponent* sender);
  void FormClose(TComponent* sender, TCloseAction& action);
  void FormEndSession(TComponent* sender);
  void cmdRecord(TComponent* sender);
  void cmdPlay(TComponent* sender);
  void cmdStop(TComponent* sender);
  void cmdPause(TComponent* sender);
  void cmdClose(TComponent* sender);
  void cmdSend(TComponent* sender);
  void cmdSaveAs(TComponent* sender);
  void cmdAttach(TComponent* sender);
  void cmdOptions(TComponent* sender);
  void cmdShowSlider(TComponent* sender);
  void miFileClick(TComponent* sender);
  void InstManStartRequest(TComponent* sender);
  void QuindleEnvInfoView(TComponent* sender, int& viewMode);
  void InfoViewerViewChanged(TComponent* sender);
  void MLSHelperLanguageChanged(TComponent* sender);
  void PaintBoxVolumePaint(TComponent* sender, TCanvas& canvas);
  void PaintBoxMicPaint(TComponent* sender, TCanvas& canvas);

  void UpdateControls();
  void ApplyLanguage();
  void PlaceUnderCursor();
  void AdjustMixerLevels();
  void ArrangePanels();
  void UpdateMessageInfo();
  // Compresses the message when GSM610 is set. A failure (the message stays as it was) is
  // shown in the error box, or handed to failure when given; false then.
  bool PackMessage(std::string* failure = nullptr);
  void VolumeLevelChanged(TComponent* sender, int level);
  void MicLevelChanged(TComponent* sender, int level);
  // Draws a level indicator: `level` rows from the top stay grey behind the picture's lime.
  void DrawLevel(TImage* picture, TPaintBox* paintBox, int level);

  // Where Send looks for the mail-sender and writes the hand-off file.
  static std::string MailSenderPath();
  static std::string HandOffPath();

 private:
  void BuildMenus();
  void BuildToolBar();
  void SetupInfoPanel();
  bool LowColour();
  // A paint draws on the paint's canvas; a level change at once, through DrawLevel.
  void DrawLevelOn(TCanvas& canvas, TImage* picture, int level);
  HIMAGELIST normalImages_ = nullptr, disabledImages_ = nullptr;
  // A compression that failed during a drop, told once the drag has ended.
  std::string packFailure_;
};
