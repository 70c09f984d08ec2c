#include "shell/fMain.h"

#include "audio/LevelBar.h"
#include "audio/MixerUtils.h"
#include "audio/fSlider.h"
#include "audio/fRecord.h"
#include "convert/WaveConvert.h"
#include "delivery/SMapiUtils.h"
#include "delivery/fDragSource.h"
#include "desktop/ShLinks.h"

#include <shlobj.h>
#include "mls/SoundRecMLS.h"
#include "mls/VocaletMLS.h"
#include "mls/MLSHelper.h"
#include "mls/ovMLS.h"
#include "mls/ovSharedMLS.h"
#include "shell/InfoViewer.h"
#include "shell/MessageInfo.h"
#include "shell/QuindleEnv.h"
#include "shell/fFakeProgress.h"
#include "shell/fVMOptions.h"
#include "shell/vmOptions.h"
#include "util/FormatText.h"
#include "util/SafeWrite.h"
#include "util/ovUtils.h"

const char VocaletProgramID[] = "{4ECBDA43-943C-4B02-8204-55CB561170F5}";

std::string MailBodyText;
std::string NoMessageText = "Click the Record button to record your voice message.";
std::string InfoFormatText =
    "Message duration %d Sec.\\nSize %s. File size %s (Compression ratio %d%%)\\nFormat: %s, %s, "
    "%s, %s";
std::string LastRecordedText = "Last message recorded on %s";
std::string UncompressedText = "Uncompressed Wave";
std::string GsmText = "GSM 6.10 Wave";

namespace {
constexpr TColor kWindowColor = 14147299;  // $D7DEE3

bool FileExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

TMenuItem* Item(TComponent* owner, TMenuItem* parent, const char* name,
                TShortCut shortCut = scNone) {
  auto* mi = Make<TMenuItem>(owner);
  mi->Name = name;
  mi->SetCaption(name);
  mi->ShortCut = shortCut;
  parent->Add(mi);
  return mi;
}

TMenuItem* Line(TComponent* owner, TMenuItem* parent, const char* name) {
  auto* mi = Make<TMenuItem>(owner);
  mi->Name = name;
  mi->SetCaption("-");
  parent->Add(mi);
  return mi;
}

TShortCut Key(uint8_t key, TShortCut mods = 0) { return ShortCut(key, mods); }

TRecorderSettings RecorderSettings() {
  TRecorderSettings s;
  s.Mono = VMProperties->Mono;
  s.Bits16 = VMProperties->Bits16;
  s.Quality = VMProperties->Quality;
  s.MsgFileName = VMProperties->MsgFileName;
  s.BeepOnRecord = VMProperties->BeepOnRecord;
  s.GSM610 = VMProperties->GSM610;
  s.DurationSec = VMProperties->DurationSec;
  return s;
}
}  // namespace

TVocaletForm::TVocaletForm(TComponent* owner) : TForm(owner) {
  Name = "VocaletForm";
  BorderStyle = bsSingle;
  SetCaption("Quindle Vocalet");
  Color = kWindowColor;
  Font.Name = "Tahoma";
  Font.Height = -11;
  KeyPreview = true;

  Bevel1 = Make<TBevel>(this);
  Bevel1->SetParent(this);
  Bevel1->Shape = bsTopLine;
  Bevel1->SetBounds(0, 0, 472, 2);

  Book = Make<TNotebook>(this);
  Book->SetParent(this);
  Book->SetBounds(0, 2, 472, 40);
  // The notebook, its pages, the recorder panel and the status panels show the window's
  // colour: a low-colour screen changes it once for all of them.
  Book->ParentColor = true;
  TPanel* pageDefault = Book->AddPage("Default");
  TPanel* pageRecorder = Book->AddPage("Recorder");
  pageDefault->ParentColor = true;
  pageRecorder->ParentColor = true;

  ToolBar = Make<TToolbarWithBitmap>(pageDefault);
  ToolBar->SetParent(pageDefault);
  ToolBar->SetBounds(0, 0, 472, 40);
  BuildToolBar();

  RecorderFrame = Make<TRecorderForm>(pageRecorder);
  RecorderFrame->SetParent(pageRecorder);
  RecorderFrame->SetBounds(0, 0, 506, 190);
  RecorderFrame->ParentColor = true;
  // The panel's Stop and Pause belong to the window's commands.
  RecorderFrame->btnStop->OnClick = [this](TComponent* s) { cmdStop(s); };
  RecorderFrame->btnPause->OnClick = [this](TComponent* s) { cmdPause(s); };
  // The panel counts the duration of the message it records and switches GSM610 from its
  // lamp; both belong to the options.
  RecorderFrame->SetSettings(RecorderSettings());
  RecorderFrame->OnDurationChange = [](TComponent*, int sec) { VMProperties->DurationSec = sec; };
  RecorderFrame->OnGsmChange = [](TComponent*, bool on) { VMProperties->GSM610 = on; };
  // The toolbar shows the panel's display strip behind its buttons.
  ToolBar->SetImage(&RecorderFrame->ImageBkg->Picture());

  ToolBarBevel = Make<TBevel>(this);
  ToolBarBevel->SetParent(this);
  ToolBarBevel->Shape = bsTopLine;
  ToolBarBevel->SetBounds(0, 42, 472, 2);

  panInfoViewer = Make<TPanel>(this);
  panInfoViewer->SetParent(this);
  panInfoViewer->BevelOuter = bvNone;
  panInfoViewer->ShowCaption = false;
  panInfoViewer->ParentColor = true;
  panInfoViewer->SetBounds(0, 46, 472, 62);
  InfoViewer = Make<TInfoViewer>(panInfoViewer);
  InfoViewer->SetParent(panInfoViewer);
  InfoViewer->SetBounds(0, 0, 472, 60);
  InfoViewer->Color = kWindowColor;
  InfoViewer->OnViewChanged = [this](TComponent* s) { InfoViewerViewChanged(s); };
  bevBottom = Make<TBevel>(panInfoViewer);
  bevBottom->SetParent(panInfoViewer);
  bevBottom->Shape = bsTopLine;
  bevBottom->SetBounds(0, 60, 472, 2);

  panStatusbar = Make<TPanel>(this);
  panStatusbar->SetParent(this);
  panStatusbar->BevelOuter = bvNone;
  panStatusbar->ShowCaption = false;
  panStatusbar->ParentColor = true;
  panStatusbar->SetBounds(0, 108, 472, 20);
  LMessageInfo = Make<TLabel>(panStatusbar);
  LMessageInfo->SetParent(panStatusbar);
  LMessageInfo->Font = Font;
  LMessageInfo->Transparent = true;
  LMessageInfo->SetBounds(6, 3, 300, 14);
  LDetails = Make<TLabel>(panStatusbar);
  LDetails->SetParent(panStatusbar);
  LDetails->Font = Font;
  LDetails->Font.Underline = true;
  LDetails->Font.Color = clBlue;
  LDetails->Transparent = true;
  LDetails->ShowHint = true;
  LDetails->Cursor = LoadCursor(nullptr, IDC_HAND);
  LDetails->SetBounds(320, 3, 60, 14);
  panVolume = Make<TPanel>(panStatusbar);
  panVolume->SetParent(panStatusbar);
  panVolume->Tag = 0;
  panVolume->BevelOuter = bvLowered;
  panVolume->ShowCaption = false;
  panVolume->ShowHint = true;
  panVolume->SetBounds(472 - 2 * 39 - 2, 0, 39, 20);
  panVolume->OnClick = [this](TComponent* s) { cmdShowSlider(s); };
  panMicLevel = Make<TPanel>(panStatusbar);
  panMicLevel->SetParent(panStatusbar);
  panMicLevel->Tag = 1;
  panMicLevel->BevelOuter = bvLowered;
  panMicLevel->ShowCaption = false;
  panMicLevel->ShowHint = true;
  panMicLevel->SetBounds(472 - 39 - 2, 0, 39, 20);
  panMicLevel->OnClick = [this](TComponent* s) { cmdShowSlider(s); };
  // Picture and paint box are disabled, so that a click on them reaches the panel. The
  // picture is only the paint box's source.
  auto indicator = [](TPanel* panel, const char* resource, TImage*& img, TPaintBox*& box) {
    panel->ParentColor = true;
    img = Make<TImage>(panel);
    img->SetParent(panel);
    img->AutoSize = true;
    img->LoadFromResource(resource);
    img->SetBounds(1, 1, img->Picture().Width(), img->Picture().Height());
    img->SetEnabled(false);
    img->SetVisible(false);
    box = Make<TPaintBox>(panel);
    box->SetParent(panel);
    box->SetEnabled(false);
  };
  indicator(panVolume, "IMG_LEVELVOLUME", imgVolume, PaintBoxVolume);
  indicator(panMicLevel, "IMG_LEVELMIC", imgMicLevel, PaintBoxMic);
  PaintBoxVolume->OnPaint = [this](TComponent* s, TCanvas& c) { PaintBoxVolumePaint(s, c); };
  PaintBoxMic->OnPaint = [this](TComponent* s, TCanvas& c) { PaintBoxMicPaint(s, c); };

  SaveDialog.DefaultExt = "wav";
  SaveDialog.Filter = "Sound Files (*.wav)|*.wav|All Files (*.*)|*.*";
  SaveDialog.OverwritePrompt = false;

  InstMan = Make<TSingleInstanceManager>(this);
  InstMan->Name = "InstMan";
  InstMan->OnStartRequest = [this](TComponent* s) { InstManStartRequest(s); };

  QuindleEnv = Make<TQuindleEnv>(this);
  QuindleEnv->OnInfoView = [this](TComponent* s, int& mode) { QuindleEnvInfoView(s, mode); };
  QuindleEnv->OnAutoUpdates = [this](TComponent*) {
    InfoViewer->SetAutoUpdates(QuindleEnv->AutoUpdates());
  };
  QuindleEnv->OnAfterAbout = [this](TComponent*) {
    if (LowColour()) {
      Hide();
      Show();
    }
  };
  BuildMenus();

  OnShow = [this](TComponent* s) { FormShow(s); };
  OnClose = [this](TComponent* s, TCloseAction& action) { FormClose(s, action); };
  OnEndSession = [this](TComponent* s) { FormEndSession(s); };
  FormCreate(this);
}

TVocaletForm::~TVocaletForm() {
  if (normalImages_) ImageList_Destroy(normalImages_);
  if (disabledImages_) ImageList_Destroy(disabledImages_);
}

void TVocaletForm::BuildToolBar() {
  normalImages_ = ImageListFromResource("IMG_TOOLBAR", 20, RGB(255, 0, 255));
  disabledImages_ = ImageListFromResource("IMG_TOOLBARDISABLED", 20, RGB(255, 0, 255));
  ToolBar->SetImages(normalImages_, disabledImages_, normalImages_);
  // Wider than the classic 54 pixels: the longest captions ("Verzenden", "Anhängen") need
  // 59 pixels of Tahoma as Wine draws it, and the six buttons still leave room to spare.
  ToolBar->ButtonSize = SIZE{64, 40};
  ToolBar->SetFlat(true);
  ToolBar->SetTransparent(true);
  btnRecord = ToolBar->AddButton("btnRecord", 0);
  btnRecord->OnClick = [this](TComponent* s) { cmdRecord(s); };
  btnPlay = ToolBar->AddButton("btnPlay", 1);
  btnPlay->OnClick = [this](TComponent* s) { cmdPlay(s); };
  tbSep1 = ToolBar->AddSeparator("tbSep1");
  btnSend = ToolBar->AddButton("btnSend", 2);
  btnSend->OnClick = [this](TComponent* s) { cmdSend(s); };
  btnAttach = ToolBar->AddButton("btnAttach", 3);
  btnAttach->OnClick = [this](TComponent* s) { cmdAttach(s); };
  tbSep2 = ToolBar->AddSeparator("tbSep2");
  btnLanguage = ToolBar->AddButton("btnLanguage", 4);
  btnLanguage->OnClick = [this](TComponent*) {
    RECT r = btnLanguage->BoundsRect();
    POINT p = btnLanguage->ClientToScreen(POINT{0, r.bottom - r.top});
    LanguagePopup->Popup(p.x, p.y, Handle());
  };
  btnOptions = ToolBar->AddButton("btnOptions", 5);
  btnOptions->OnClick = [this](TComponent* s) { cmdOptions(s); };
  btnOptions->SetVisible(false);
  tbSep3 = ToolBar->AddSeparator("tbSep3");
  btnExit = ToolBar->AddButton("btnExit", 6);
  btnExit->OnClick = [this](TComponent* s) { cmdClose(s); };
}

void TVocaletForm::BuildMenus() {
  MainMenu = Make<TMainMenu>(this);
  TMenuItem* root = MainMenu->Items();
  miFile = Item(this, root, "miFile");
  miFile->OnClick = [this](TComponent* s) { miFileClick(s); };
  miRecord = Item(this, miFile, "miRecord", Key(VK_F2));
  miRecord->OnClick = [this](TComponent* s) { cmdRecord(s); };
  miStop = Item(this, miFile, "miStop", Key(VK_F3));
  miStop->OnClick = [this](TComponent* s) { cmdStop(s); };
  miPlay = Item(this, miFile, "miPlay", Key(VK_F4));
  miPlay->OnClick = [this](TComponent* s) { cmdPlay(s); };
  miPause = Item(this, miFile, "miPause", Key(VK_ESCAPE));
  miPause->OnClick = [this](TComponent* s) { cmdPause(s); };
  miFileSep1 = Line(this, miFile, "miFileSep1");
  miSend = Item(this, miFile, "miSend", Key(VK_F5));
  miSend->OnClick = [this](TComponent* s) { cmdSend(s); };
  miSaveAs = Item(this, miFile, "miSaveAs", Key(VK_F12));
  miSaveAs->OnClick = [this](TComponent* s) { cmdSaveAs(s); };
  miAttach = Item(this, miFile, "miAttach", Key('A', scCtrl));
  miAttach->OnClick = [this](TComponent* s) { cmdAttach(s); };
  miFileSep2 = Line(this, miFile, "miFileSep2");
  miAdjustVolume = Item(this, miFile, "miAdjustVolume", Key('V', scCtrl));
  miAdjustVolume->Tag = 0;
  miAdjustVolume->OnClick = [this](TComponent* s) { cmdShowSlider(s); };
  miAdjustMicrophoneLevel = Item(this, miFile, "miAdjustMicrophoneLevel", Key('M', scCtrl));
  miAdjustMicrophoneLevel->Tag = 1;
  miAdjustMicrophoneLevel->OnClick = [this](TComponent* s) { cmdShowSlider(s); };
  miFileSep3 = Line(this, miFile, "miFileSep3");
  miClose = Item(this, miFile, "miClose");
  miClose->OnClick = [this](TComponent* s) { cmdClose(s); };

  miView = Item(this, root, "miView");
  miViewAddHere = Item(this, miView, "miViewAddHere");
  MenuSepInfoView = Line(this, miView, "MenuSepInfoView");
  miLanguage = Item(this, miView, "miLanguage");
  miMLSItemsHere = Item(this, miLanguage, "miMLSItemsHere");
  miViewSep2 = Line(this, miView, "miViewSep2");
  miOptions = Item(this, miView, "miOptions", Key(VK_F8));
  miOptions->OnClick = [this](TComponent* s) { cmdOptions(s); };

  miHelp = Item(this, root, "miHelp");
  miHelpInsertHere = Item(this, miHelp, "miHelpInsertHere");
  QuindleEnv->InsertItems(miViewAddHere, miHelpInsertHere);

  LanguagePopup = Make<TPopupMenu>(this);
  MLSHelper = Make<TMLSHelper>(this);
  MLSHelper->SetShowMenuImages(true);
  MLSHelper->SetMainMenuItem(miMLSItemsHere);
  MLSHelper->InsertPopupItems(LanguagePopup, 0);
  MLSHelper->OnLanguageChanged = [this](TComponent* s) { MLSHelperLanguageChanged(s); };
  SetMenu(MainMenu);
}

void TVocaletForm::FormCreate(TComponent*) {
  // Only now can a second start find us: the guard takes the identifier as its title.
  InstMan->SetProgramID(VocaletProgramID);
  Application->HintPause = 10;
  Application->HintHidePause = 30000;
  Book->SetPageIndex(0);
  SetClientSize(472, 125);
  // The indicators sit at the bottom of their panels, inside the one-pixel bevel.
  for (auto [box, panel] : {std::pair{PaintBoxMic, panMicLevel}, {PaintBoxVolume, panVolume}}) {
    const int h = panel->Height() - 2;
    box->SetBounds(1, panel->Height() - 1 - h, panel->Width() - 2, h);
  }
  // A compression cut off by a crash or a power cut left its new file beside the message.
  vocalet::RemoveStaleReplacement(VMProperties->MsgFileName);
  SaveDialog.FileName = ExtractFileName(VMProperties->MsgFileName);
  GetSpecialFolderPath(CSIDL_PERSONAL, SaveDialog.InitialDir);
  ApplyLanguage();
  RecorderFrame->OnPlayDone = [this](TComponent*) { Book->SetPageIndex(0); };
  // The saved language; a translation that is missing, broken or unreadable starts us in
  // the default language without a word, since the user cannot act on it now.
  try {
    MLSManager->SelectLanguage(MLSManager->ReadLanguageSetting("Vocalet"));
  } catch (const std::exception&) {
    MLSManager->SelectLanguage(MLSManager->DefaultLanguage());
  }
  ApplyLanguage();
  AdjustMixerLevels();
}

bool TVocaletForm::LowColour() {
  HDC dc = GetDC(Handle());
  int bits = GetDeviceCaps(dc, BITSPIXEL);
  ReleaseDC(Handle(), dc);
  return bits <= 8;
}

void TVocaletForm::SetupInfoPanel() {
  InfoViewer->TipsFile = AddPath(GetThisDir(), "VocaletTips.enu");
  InfoViewer->ProductNumber = 1;
  InfoViewer->RegistryKey = "Software\\Quindle\\Vocalet";
  InfoViewer->MainWindow = Handle();
  // Its texts come from the string modules, loaded only now that the language is chosen.
  InfoViewer->SetLanguage(LanguageCode(MLSManager->Language()));
  QuindleEnv->SetAutoUpdates(InfoViewer->AutoUpdates());
  InfoViewer->SetBackground(LowColour() ? clWindow : Color);
  bool banner = !InfoViewer->BannerText().empty();
  if (banner) SetClientSize(468, ClientHeight());
  QuindleEnv->SetTipsShown(!VMProperties->HideTips);
  QuindleEnv->SetBannerExists(banner);
  if (VMProperties->HideTips && !banner) {
    InfoViewer->SetViewMode(0);
    panInfoViewer->SetVisible(false);
  }
  // The panels stack under the toolbar, and the window fits them, in either case.
  ArrangePanels();
}

void TVocaletForm::FormShow(TComponent*) {
  if (Shown) return;
  Application->ProcessMessages();
  Shown = true;
  SetupInfoPanel();
  if (LowColour()) {
    RecorderFrame->ImageBkg->SetVisible(false);
    ToolBar->SetImage(nullptr);
    Color = clBtnFace;
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
  if (TSliderForm* slider = CreateSliderWindow()) {
    slider->OnVolumeChange = [this](TComponent* s, int level) { VolumeLevelChanged(s, level); };
    slider->OnMicrophoneChange = [this](TComponent* s, int level) { MicLevelChanged(s, level); };
    slider->SyncLevels();
  }
  UpdateMessageInfo();
  PlaceUnderCursor();
}

void TVocaletForm::PlaceUnderCursor() {
  POINT p = btnRecord->ClientToScreen(POINT{20, 20});
  POINT m;
  GetCursorPos(&m);
  RECT wr;
  GetWindowRect(Handle(), &wr);
  TPlacement place = PlaceUnderCursorPos(p.x, p.y, m.x, m.y, wr.left, wr.top,
                                         wr.right - wr.left, wr.bottom - wr.top, ScreenWidth(),
                                         ScreenHeight());
  SetBounds(place.left, place.top, wr.right - wr.left, wr.bottom - wr.top);
}

void TVocaletForm::AdjustMixerLevels() {
  if (GetVolumePercent(0) < VMProperties->MinWaveLevel) SetVolumePercent(0, VMProperties->MinWaveLevel);
  SelectMicrophone();
  SetMute(1, false);
  SetMute(0, false);
}

void TVocaletForm::ArrangePanels() {
  int top = ToolBarBevel->Top() + 4;
  if (panInfoViewer->Visible()) {
    panInfoViewer->SetTop(top);
    top += panInfoViewer->Height();
  }
  panStatusbar->SetTop(top);
  SetClientSize(ClientWidth(), panStatusbar->Top() + panStatusbar->Height());
}

void TVocaletForm::UpdateControls() {
  bool exists = FileExists(VMProperties->MsgFileName);
  for (TToolButton* b : {btnPlay, btnSend, btnAttach}) b->SetEnabled(exists);
  for (TMenuItem* mi : {miPlay, miSend, miAttach, miSaveAs}) mi->SetEnabled(exists);
  miStop->SetEnabled(RecorderFrame->btnStop->Enabled());
  miPause->SetEnabled(RecorderFrame->btnPause->Enabled());
  btnRecord->SetEnabled(true);
  for (TMenuItem* mi : {miRecord, miAdjustVolume, miAdjustMicrophoneLevel, miClose, miOptions})
    mi->SetEnabled(true);
}

void TVocaletForm::UpdateMessageInfo() {
  const std::string& file = VMProperties->MsgFileName;
  if (!FileExists(file)) {
    LMessageInfo->SetCaption(NoMessageText);
    panStatusbar->SetCaption(NoMessageText);
    LDetails->SetVisible(false);
    UpdateControls();
    return;
  }
  TMessageTexts texts{InfoFormatText,          LastRecordedText,         UncompressedText, GsmText,
                      MLS_VOCALET->Strings[5], MLS_VOCALET->Strings[0], MLS_SOUNDREC->Strings[4]};
  TMessageFacts facts;
  facts.DurationSec = VMProperties->DurationSec;
  facts.PlainSize = VMProperties->PlainSize;
  facts.FileSize = FileSizeOf(file);
  facts.DateText = FormatRecordedTime(FileDateOf(file));
  TMessageInfo info = BuildMessageInfo(texts, facts, FormatFileSize);
  LDetails->Hint = info.DetailsHint;
  LMessageInfo->SetCaption(info.StatusLine);
  // The label has no window of its own, so a screen reader finds nothing of it; the status
  // panel carries the line as its window text too (it does not paint it) for them.
  panStatusbar->SetCaption(info.StatusLine);
  LDetails->SetLeft(LMessageInfo->Left() + LMessageInfo->Width() + 15);
  LDetails->SetVisible(true);
  UpdateControls();
}

void TVocaletForm::cmdRecord(TComponent*) {
  Book->SetPageIndex(1);
  RecorderFrame->SetSettings(RecorderSettings());
  RecorderFrame->StartRecording();
  UpdateControls();
}

void TVocaletForm::cmdPlay(TComponent*) {
  Book->SetPageIndex(1);
  RecorderFrame->SetSettings(RecorderSettings());
  RecorderFrame->StartPlayback();
}

void TVocaletForm::cmdPause(TComponent* sender) { RecorderFrame->cmdPause(sender); }

void TVocaletForm::cmdStop(TComponent* sender) {
  RecorderFrame->cmdStop(sender);
  if (!sender) return;
  Book->SetPageIndex(0);
  if (!RecorderFrame->PlayMode) {
    // Only a recording that became the message changes it; after an empty one, or one kept
    // elsewhere, the message and everything shown of it stay as before the recording.
    const auto fate = RecorderFrame->LastFate;
    if (fate == TRecorderForm::rfMessage || fate == TRecorderForm::rfSilent) {
      VMProperties->PlainSize = FileSizeOf(VMProperties->MsgFileName);
      if (!VMProperties->PackOnSend) PackMessage();
    }
    UpdateMessageInfo();
    RecorderFrame->ReportRecording();
  }
}

void TVocaletForm::cmdClose(TComponent*) { Close(); }

void TVocaletForm::miFileClick(TComponent*) {
  miStop->SetEnabled(RecorderFrame->btnStop->Enabled());
  miPause->SetEnabled(RecorderFrame->btnPause->Enabled());
}

void TVocaletForm::cmdOptions(TComponent*) { ShowOptionsDialog(this); }

void TVocaletForm::cmdShowSlider(TComponent* sender) {
  // The volume panel and menu item carry tag 0, the microphone's tag 1.
  ShowSliderWindow(!sender || sender->Tag == 0);
}

void TVocaletForm::VolumeLevelChanged(TComponent*, int level) {
  VolumeLevel = level;
  DrawLevel(imgVolume, PaintBoxVolume, level);
}

void TVocaletForm::MicLevelChanged(TComponent*, int level) {
  MicLevel = level;
  DrawLevel(imgMicLevel, PaintBoxMic, level);
}

void TVocaletForm::PaintBoxVolumePaint(TComponent*, TCanvas& canvas) {
  DrawLevelOn(canvas, imgVolume, VolumeLevel);
}

void TVocaletForm::PaintBoxMicPaint(TComponent*, TCanvas& canvas) {
  DrawLevelOn(canvas, imgMicLevel, MicLevel);
}

void TVocaletForm::DrawLevel(TImage* picture, TPaintBox* paintBox, int level) {
  paintBox->DrawNow([&](TCanvas& canvas) { DrawLevelOn(canvas, picture, level); });
}

void TVocaletForm::DrawLevelOn(TCanvas& canvas, TImage* picture, int level) {
  DrawLevelBar(canvas.Handle(), picture->Width(), picture->Height(), level, picture->Picture());
}

void TVocaletForm::InstManStartRequest(TComponent*) {
  Application->Restore();
  Show();
  SetForegroundWindow(Handle());
}

void TVocaletForm::QuindleEnvInfoView(TComponent*, int& viewMode) {
  VMProperties->HideTips = viewMode == 0;
  if (viewMode == 2 && InfoViewer->BannerText().empty()) viewMode = 1;
  InfoViewer->SetViewMode(viewMode);
  panInfoViewer->SetVisible(viewMode != 0);
  ArrangePanels();
}

void TVocaletForm::InfoViewerViewChanged(TComponent*) {
  QuindleEnv->SetViewMode(InfoViewer->ViewMode());
}

void TVocaletForm::MLSHelperLanguageChanged(TComponent*) { ApplyLanguage(); }

void TVocaletForm::ApplyLanguage() {
  const auto& ov = MLS_OVSHARED->Strings;
  const auto& vo = MLS_VOCALET->Strings;
  const auto& sr = MLS_SOUNDREC->Strings;
  btnExit->SetCaption(ov[23]);
  btnOptions->SetCaption(ov[51]);
  btnLanguage->SetCaption(ov[114]);
  miLanguage->SetCaption(ov[114]);
  miSaveAs->SetCaption(ov[122]);
  miView->SetCaption(ov[131]);
  miClose->SetCaption(ov[104]);
  miFile->SetCaption(ov[108]);
  miHelp->SetCaption(ov[110]);
  miOptions->SetCaption(ov[116]);
  miRecord->SetCaption(vo[22]);
  miPlay->SetCaption(vo[21]);
  miSend->SetCaption(vo[23]);
  btnSend->SetCaption(vo[16]);
  LastRecordedText = vo[27];
  miStop->SetCaption(sr[23]);
  miPause->SetCaption(sr[5]);
  btnPlay->SetCaption(sr[7]);
  btnRecord->SetCaption(sr[12]);
  MailBodyText = vo[12];
  NoMessageText = vo[1];
  InfoFormatText = vo[2];
  UncompressedText = vo[14];
  GsmText = vo[6];
  btnAttach->SetCaption(vo[15]);
  LDetails->SetCaption(vo[17]);
  miAdjustMicrophoneLevel->SetCaption(vo[18]);
  miAdjustVolume->SetCaption(vo[19]);
  miAttach->SetCaption(vo[20]);
  panMicLevel->Hint = vo[24];
  panVolume->Hint = vo[25];
  SaveDialog.Title = vo[26];
  SliderVolumeText = vo[13];
  SliderMicrophoneText = vo[8];
  // An open slider window shows its device in the new language at once.
  if (SliderForm) {
    SliderForm->DeviceCaption = SliderForm->VolumeMode ? SliderVolumeText : SliderMicrophoneText;
    SliderForm->Invalidate();
  }
  HandOffWriteError = vo[54];
  DragNAttachPrompt = vo[3];
  DragNAttachCaption = vo[4];
  QuindleEnv->ApplyTexts();
  RecorderFrame->ApplyTexts();
  if (Shown) {
    InfoViewer->SetLanguage(LanguageCode(MLSManager->Language()));
    UpdateMessageInfo();
  }
}

void TVocaletForm::FormClose(TComponent*, TCloseAction&) {
  cmdStop(nullptr);
  // A recording that could not become the message: the user must learn where it went.
  const auto fate = RecorderFrame->LastFate;
  if (fate == TRecorderForm::rfKept || fate == TRecorderForm::rfLost)
    RecorderFrame->ReportRecording();
  MLSManager->WriteLanguageSetting("Vocalet", MLSManager->Language());
  InfoViewer->Close();
}

void TVocaletForm::FormEndSession(TComponent*) {
  // The system ends the process as soon as this returns, and the end of the program, where
  // the options are saved, never comes. A running recording is saved as it is: compressing
  // it could outlast the time the system gives.
  const bool recording = RecorderFrame->Recording;
  RecorderFrame->cmdStop(nullptr);
  const auto fate = RecorderFrame->LastFate;
  if (recording && (fate == TRecorderForm::rfMessage || fate == TRecorderForm::rfSilent))
    VMProperties->PlainSize = FileSizeOf(VMProperties->MsgFileName);
  try {
    MLSManager->WriteLanguageSetting("Vocalet", MLSManager->Language());
    VMProperties->Save();
  } catch (const std::exception&) {
    // Nobody is left to tell; the options of this run are lost as if the power went.
  }
}
