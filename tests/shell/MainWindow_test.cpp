// The main window in this process, with the program's modules, the shipped translations and a
// scripted mixer in place of the system's.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <functional>
#include <tuple>

#include "TestFolder.h"
#include "audio/FakeMci.h"
#include "audio/LevelBar.h"
#include "audio/ScriptedMixer.h"
#include "audio/fRecord.h"
#include "audio/fSlider.h"
#include "convert/TestWaves.h"
#include "delivery/fDragSource.h"
#include "mls/MLSHelper.h"
#include "mls/RegistrySandbox.h"
#include "mls/SoundRecMLS.h"
#include "mls/VocaletMLS.h"
#include "mls/ovMLS.h"
#include "mls/ovSharedMLS.h"
#include "mls/qdSharedMLS.h"
#include "shell/InfoViewer.h"
#include "shell/ProgramModules.h"
#include "shell/QuindleEnv.h"
#include "shell/fMain.h"
#include "shell/vmOptions.h"
#include "util/ovUtils.h"

namespace {

constexpr int kGerman = 3;
constexpr const char* kOptions = "Software\\Quindle\\Vocalet";
constexpr long kPcmSize = 44 + 16000;

// One second of 8000 Hz mono 16-bit PCM, which the GSM codec takes.
void WritePcm(const std::string& path) {
  using namespace vocalet::test;
  vocalet::test::WriteFile(path, MakeWave({}, Pcm16Bytes(Square(8000, 40))));
}

// Every captioned top-level window this thread shows besides the main window, as things
// stood then. Message boxes are answered OK and our modal forms closed at once.
class TWindowWatch {
 public:
  struct TShown {
    HWND Wnd;
    std::string Caption, Text;  // Text and Icon: a message box's
    HICON Icon;
    bool MainEnabled, MainVisible, SliderVisible;
    DWORD Shown, Gone;
  };
  explicit TWindowWatch(HWND main) : main_(main) {
    self_ = this;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
  }
  ~TWindowWatch() { UnhookWindowsHookEx(hook_), self_ = nullptr; }
  std::vector<TShown> Windows;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
    if (code == HC_ACTION && self_ && m->hwnd != self_->main_ &&
        (GetWindowLongA(m->hwnd, GWL_STYLE) & (WS_CHILD | WS_CAPTION)) == WS_CAPTION)
      self_->Saw(*m);
    return CallNextHookEx(nullptr, code, wp, lp);
  }
  void Saw(const CWPSTRUCT& m) {
    const UINT flags =
        m.message == WM_WINDOWPOSCHANGED ? reinterpret_cast<WINDOWPOS*>(m.lParam)->flags : 0;
    if (flags & SWP_SHOWWINDOW) {
      char caption[256] = {}, text[512] = {};
      GetWindowTextA(m.hwnd, caption, sizeof caption);
      GetDlgItemTextA(m.hwnd, 0xFFFF, text, sizeof text);
      // 0x440 (stc1) holds a Wine message box's icon.
      auto icon = reinterpret_cast<HICON>(SendDlgItemMessageA(m.hwnd, 0x440, STM_GETICON, 0, 0));
      const bool slider = SliderForm && SliderForm->HandleAllocated() &&
                          IsWindowVisible(SliderForm->Handle());
      Windows.push_back({m.hwnd, caption, text, icon, IsWindowEnabled(main_) != 0,
                         IsWindowVisible(main_) != 0, slider, GetTickCount(), 0});
      auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(m.hwnd));
      if (!form) PostMessageA(m.hwnd, WM_COMMAND, IDOK, 0);
      else if (form->Modal()) PostMessageA(m.hwnd, WM_CLOSE, 0, 0);
    } else if ((flags & SWP_HIDEWINDOW) || m.message == WM_DESTROY) {
      for (TShown& w : Windows)
        if (w.Wnd == m.hwnd && !w.Gone) w.Gone = GetTickCount();
    }
  }
  static inline TWindowWatch* self_ = nullptr;
  HWND main_;
  HHOOK hook_;
};

struct MainWindow : ::testing::Test {
  RegistrySandbox registry;
  TScriptedMixer mixer;  // outlives the slider window's faders
  DWORD masterVolume, masterMute, waveVolume, waveMute, micVolume, mux;
  TestFolder folder;
  const std::string message = folder.Path() + "\\mw.wav";
  std::unique_ptr<TProgramModules> modules;
  std::unique_ptr<TApplication> app;
  TVocaletForm* form = nullptr;

  void SetUp() override {
    ASSERT_TRUE(registry.Ok);
    // Every Boolean missing, so false.
    for (const char* name : {"Quality ", "PlainSize", "DurationSec"}) PutDword(kOptions, name, 0);
    PutDword(kOptions, "MinWaveLevel", 50);
    PutString(kOptions, "MsgFileName", message);
    PutDword("Software\\Quindle\\MLS", "Vocalet", 4);
    // Speakers with master volume and mute and a muted wave output below 50 %; a wave input
    // recording the line in, not the microphone.
    const DWORD kVolume = MIXERCONTROL_CONTROLTYPE_VOLUME, kMute = MIXERCONTROL_CONTROLTYPE_MUTE;
    const DWORD kMic = MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
    const int spk = mixer.AddDestination(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
    masterVolume = mixer.AddControl(spk, -1, kVolume, 40000);
    masterMute = mixer.AddControl(spk, -1, kMute, 1);
    const int wave = mixer.AddSource(spk, MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT);
    waveVolume = mixer.AddControl(spk, wave, kVolume, 32112);  // 49 %
    waveMute = mixer.AddControl(spk, wave, kMute, 1);
    const int in = mixer.AddDestination(MIXERLINE_COMPONENTTYPE_DST_WAVEIN);
    mixer.AddSource(in, MIXERLINE_COMPONENTTYPE_SRC_LINE);
    micVolume = mixer.AddControl(in, mixer.AddSource(in, kMic, 1), kVolume, 20000);
    mux = mixer.AddMux(in, {{"Line In", 0x100, MIXERLINE_COMPONENTTYPE_SRC_LINE},
                            {"Microphone", 0x101, kMic}}, 0);
  }
  void TearDown() override {
    app.reset();
    modules.reset();
  }
  void Start() {
    modules = std::make_unique<TProgramModules>();
    app = std::make_unique<TApplication>();
    form = app->CreateForm<TVocaletForm>();
    form->Show();
    app->ProcessMessages();
  }
  // The recorder's device as a script.
  FakeMci mci;
  void ScriptTheRecorder() {
    form->RecorderFrame->Recorder = std::make_unique<TWaveRecorder>(mci.Send());
  }
  // As the program ends: the window closes, then the modules save.
  void Stop() {
    form->Close();
    app->ProcessMessages();
    TearDown();
  }
};

TEST_F(MainWindow, ChoosingGermanRenewsEveryTextAtOnceAndIsRemembered) {
  Start();
  ASSERT_TRUE(form->MLSHelper->MainItems(kGerman)->Visible()) << "German is not offered";
  form->MLSHelper->MainItems(kGerman)->Click();
  ASSERT_EQ(MLSManager->Language(), kGerman);
  const auto& ov = MLS_OVSHARED->Strings;
  const auto& vo = MLS_VOCALET->Strings;
  const auto& sr = MLS_SOUNDREC->Strings;
  const auto& qd = MLS_QDSHARED->Strings;
  ASSERT_NE(sr[12], "Record");
  // A text of each module, and of each part that keeps its own.
  const std::pair<std::string, std::string> shown[] = {
      {form->btnExit->Caption(), ov[23]}, {form->LDetails->Caption(), vo[17]},
      {RecorderTexts.Recording, sr[14]},  {form->QuindleEnv->miProductInfo->Caption(), qd[11]},
      {ErrorTitle, ov[21]},               {form->InfoViewer->LTitle->Caption(), qd[8]}};
  for (const auto& [got, want] : shown) EXPECT_EQ(got, want);
  Stop();
  Start();
  EXPECT_EQ(MLSManager->Language(), kGerman);
}

TEST_F(MainWindow, AFolderOfTheMessagesNameIsNoMessage) {
  CreateDirectoryA(message.c_str(), nullptr);
  Start();
  EXPECT_FALSE(form->LDetails->Visible());
  EXPECT_FALSE(form->btnPlay->Enabled());
  EXPECT_FALSE(form->miSend->Enabled() || form->miSaveAs->Enabled() || form->miAttach->Enabled());
}

TEST_F(MainWindow, SaveAsStartsInTheDocumentsFolderWithTheMessagesName) {
  Start();
  char documents[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, documents, CSIDL_PERSONAL, FALSE));
  EXPECT_EQ(form->SaveDialog.InitialDir, std::string(documents) + "\\");
  EXPECT_EQ(form->SaveDialog.FileName, "mw.wav");
}

TEST_F(MainWindow, TipsHiddenLastTimeStartHiddenGivingTheirRoomBack) {
  PutString(kOptions, "HideTips", "1");
  Start();
  EXPECT_FALSE(form->panInfoViewer->Visible());
  EXPECT_EQ(form->ClientHeight(), 66);  // the toolbar's 46 rows and the status line's 20
}

TEST_F(MainWindow, AtStartTheWaveOutputIsRaisedToItsLeastTheMicrophoneChosenNothingMuted) {
  Start();
  EXPECT_EQ(mixer.Value(waveVolume), 32767);  // MinWaveLevel 50 %
  EXPECT_EQ(mixer.Value(masterVolume), 40000) << "the master volume is the user's";
  EXPECT_EQ(mixer.Value(mux, 1), 1);
  EXPECT_EQ(mixer.Value(mux, 0), 0);
  EXPECT_EQ(mixer.Value(masterMute) + mixer.Value(waveMute), 0);
  mixer.Change(waveVolume, 32768);  // above the least stays
  form->AdjustMixerLevels();
  EXPECT_EQ(mixer.Value(waveVolume), 32768);
}

TEST_F(MainWindow, PanelsAndShortcutsOpenTheSliderInTheirMode) {
  Start();
  auto click = [](TPanel* panel) {  // on the indicator, which lets the click through
    const LPARAM at = MAKELPARAM(panel->Width() / 2, panel->Height() / 2);
    SendMessageA(panel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(panel->Handle(), WM_LBUTTONUP, 0, at);
  };
  const std::pair<std::function<void()>, std::string> steps[] = {
      {[&] { click(form->panMicLevel); }, "Microphone"},
      {[&] { form->IsShortCut('V', ssCtrl); }, "Volume"},  // switches the open window
      {[&] { form->IsShortCut('M', ssCtrl); }, "Microphone"},
      {[&] { click(form->panVolume); }, "Volume"}};
  for (const auto& [act, device] : steps) {
    act();
    ASSERT_NE(SliderForm, nullptr);
    EXPECT_TRUE(IsWindowVisible(SliderForm->Handle())) << device;
    EXPECT_EQ(SliderForm->DeviceCaption, device);
  }
}

TEST_F(MainWindow, F8AndAttachOpenTheirWindowsOverTheProgramAttachPuttingItAway) {
  Start();
  ShowSliderWindow(true);
  TWindowWatch watch(form->Handle());
  EXPECT_TRUE(form->IsShortCut(VK_F8, 0));
  form->cmdAttach(nullptr);
  ASSERT_EQ(watch.Windows.size(), 2u);
  EXPECT_EQ(watch.Windows[0].Caption, "Vocalet Options");
  EXPECT_FALSE(watch.Windows[0].MainEnabled);
  EXPECT_EQ(watch.Windows[1].Caption, DragNAttachCaption);
  EXPECT_FALSE(watch.Windows[1].SliderVisible || watch.Windows[1].MainVisible);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
}

TEST_F(MainWindow, IndicatorsShowTheLevelsTheSliderReports) {
  Start();
  // The mixer's value, and the rows of 15 that stay unlit.
  const std::tuple<DWORD, LONG, int, TPaintBox*, TImage*> rows[] = {
      {masterVolume, 65535, 0, form->PaintBoxVolume, form->imgVolume},
      {micVolume, 32768, 8, form->PaintBoxMic, form->imgMicLevel}};
  for (const auto& [control, raw, unlit, box, picture] : rows) {
    SCOPED_TRACE(raw);
    const int w = picture->Width(), h = picture->Height();
    TBitmap drawn(w, h), want(w, h);
    box->DrawTarget = drawn.DC();
    mixer.Change(control, raw);
    Pump();
    box->DrawTarget = nullptr;
    DrawLevelBar(want.DC(), w, h, unlit, picture->Picture());
    int wrong = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) wrong += drawn.Pixel(x, y) != want.Pixel(x, y);
    EXPECT_EQ(wrong, 0);
  }
}

TEST_F(MainWindow, ClosingDuringARecordingThatCannotBecomeTheMessageSaysSo) {
  for (bool held : {false, true}) {  // nothing can be saved; a player holds the message
    SCOPED_TRACE(held ? "held" : "not saved");
    vocalet::test::WriteFile(message, {'R', 'I', 'F', 'F', '.', '.', '.', '.', 'W', 'A', 'V', 'E'});
    Start();
    ScriptTheRecorder();
    mci.Results[MCI_SAVE] = held ? 0 : MCIERR_FILE_NOT_SAVED;
    const auto pcm = vocalet::test::MakeWave({}, vocalet::test::Pcm16Bytes(vocalet::test::Square(8000, 40)));
    mci.SavedFile = held ? std::string(pcm.begin(), pcm.end()) : "";
    HANDLE player = CreateFileA(message.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (!held) CloseHandle(player);
    form->cmdRecord(form->btnRecord);
    TWindowWatch watch(form->Handle());
    Stop();
    if (held) CloseHandle(player);
    ASSERT_EQ(watch.Windows.size(), 1u) << "an error box";
    // A recording that was saved is kept beside the message, and the box says where.
    EXPECT_EQ(watch.Windows[0].Text.find("mw.recording.wav") != std::string::npos, held)
        << watch.Windows[0].Text;
    EXPECT_EQ(FileSizeOf(message), 12);
  }
}

TEST_F(MainWindow, CompressingMoreThan500000BytesShowsANoticeForEightTenthsOfASecond) {
  Start();
  const std::tuple<bool, int, size_t> rows[] = {  // GSM, plain size, notices
      {true, 500000, 0}, {true, 500001, 1}, {false, 500001, 0}};
  for (const auto& [gsm, plainSize, notices] : rows) {
    SCOPED_TRACE(plainSize);
    WritePcm(message);
    VMProperties->GSM610 = gsm;
    VMProperties->PlainSize = plainSize;
    TWindowWatch watch(form->Handle());
    EXPECT_TRUE(form->PackMessage());
    EXPECT_EQ(FileSizeOf(message) < kPcmSize, gsm) << "compressed";
    ASSERT_EQ(watch.Windows.size(), notices);
    for (const auto& notice : watch.Windows) {
      EXPECT_EQ(notice.Caption, "Compress Voice Message");
      EXPECT_FALSE(notice.MainEnabled);
      EXPECT_GE(notice.Gone - notice.Shown, 750u);  // 0.8 s from just before it is made
    }
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));
  }
}

TEST_F(MainWindow, ACompressionThatFailsIsToldInAnErrorBoxOnceTheNoticeIsGoneNothingSent) {
  WritePcm(message);
  for (const char* name : {"GSM610", "PackOnSend"}) PutString(kOptions, name, "1");
  PutDword(kOptions, "PlainSize", 500001);
  Start();
  ErrorTitle = "Fehler";
  const std::string handOff = TVocaletForm::HandOffPath();
  DeleteFileA(handOff.c_str());
  // A player holds the message: the compressed file cannot take its place.
  HANDLE player = CreateFileA(message.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  TWindowWatch watch(form->Handle());
  form->cmdSend(nullptr);
  CloseHandle(player);
  ASSERT_EQ(watch.Windows.size(), 2u);
  const auto& box = watch.Windows[1];
  EXPECT_TRUE(watch.Windows[0].Gone && watch.Windows[0].Gone <= box.Shown);
  EXPECT_EQ(box.Caption, "Fehler");
  EXPECT_EQ(box.Text, "The message could not be compressed.\r\ncannot write the compressed file");
  EXPECT_EQ(box.Icon, LoadIcon(nullptr, IDI_HAND));
  EXPECT_FALSE(box.MainEnabled);
  EXPECT_EQ(GetFileAttributesA(handOff.c_str()), INVALID_FILE_ATTRIBUTES) << "Send went on";
  EXPECT_EQ(FileSizeOf(message), kPcmSize);
  EXPECT_EQ(GetFileAttributesA((message + ".new").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
