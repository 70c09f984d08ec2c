// The main window in this process, with the program's modules, the shipped translations and a
// scripted mixer in place of the system's.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <fstream>
#include <functional>

#include "TestFolder.h"
#include "audio/FakeMci.h"
#include "audio/LevelBar.h"
#include "audio/ScriptedMixer.h"
#include "audio/fRecord.h"
#include "audio/fSlider.h"
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
  std::string wave = "RIFF";
  auto u32 = [&](uint32_t v) { wave.append(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](uint16_t v) { wave.append(reinterpret_cast<const char*>(&v), 2); };
  u32(kPcmSize - 8);
  wave += "WAVEfmt ";
  u32(16), u16(1), u16(1), u32(8000), u32(16000), u16(2), u16(16);
  wave += "data";
  u32(16000);
  for (int i = 0; i < 8000; ++i) u16(i % 40 < 20 ? 1000 : static_cast<uint16_t>(-1000));
  std::ofstream(path, std::ios::binary) << wave;
}

// Every captioned top-level window this thread shows besides the main window, as things
// stood at that moment. Message boxes are answered OK and our modal forms closed at once.
class TWindowWatch {
 public:
  struct TShown {
    HWND Wnd, Owner;
    std::string Caption, Text;  // Text and Icon: a message box's
    HICON Icon;
    bool MainEnabled, MainVisible, SliderVisible;
    DWORD Shown, Gone;
  };
  explicit TWindowWatch(HWND main) : main_(main) {
    self_ = this;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
  }
  ~TWindowWatch() {
    UnhookWindowsHookEx(hook_);
    self_ = nullptr;
  }
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
      char caption[256] = {}, text[512] = {}, cls[16] = {};
      GetWindowTextA(m.hwnd, caption, sizeof caption);
      GetDlgItemTextA(m.hwnd, 0xFFFF, text, sizeof text);
      GetClassNameA(m.hwnd, cls, sizeof cls);
      // 0x440 (stc1) holds a Wine message box's icon.
      auto icon = reinterpret_cast<HICON>(SendDlgItemMessageA(m.hwnd, 0x440, STM_GETICON, 0, 0));
      const bool slider = SliderForm && SliderForm->HandleAllocated() &&
                          IsWindowVisible(SliderForm->Handle());
      Windows.push_back({m.hwnd, GetWindow(m.hwnd, GW_OWNER), caption, text, icon,
                         IsWindowEnabled(main_) != 0, IsWindowVisible(main_) != 0, slider,
                         GetTickCount(), 0});
      auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(m.hwnd));
      if (std::string(cls) == "#32770") PostMessageA(m.hwnd, WM_COMMAND, IDOK, 0);
      else if (form && form->Modal()) PostMessageA(m.hwnd, WM_CLOSE, 0, 0);
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
    // A sound card of the time: speakers with master volume and mute and a wave output
    // below 50 %, muted; a wave input recording the line in, not the microphone.
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
  // The recorder's device as a script; a save writes one second of PCM where it is told.
  FakeMci mci;
  void ScriptTheRecorder() {
    auto send = mci.Send();
    form->RecorderFrame->Recorder = std::make_unique<TWaveRecorder>(
        [send](MCIDEVICEID d, UINT m, DWORD_PTR flags, DWORD_PTR p) {
          const MCIERROR e = send(d, m, flags, p);
          if (m == MCI_SAVE && !e) WritePcm(reinterpret_cast<MCI_SAVE_PARMSA*>(p)->lpfilename);
          return e;
        });
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
  EXPECT_EQ(form->btnRecord->Caption(), "Record");
  ASSERT_TRUE(form->MLSHelper->MainItems(kGerman)->Visible()) << "German is not offered";
  form->MLSHelper->MainItems(kGerman)->Click();
  ASSERT_EQ(MLSManager->Language(), kGerman);
  EXPECT_TRUE(form->MLSHelper->MainItems(kGerman)->Checked());
  const auto& ov = MLS_OVSHARED->Strings;
  const auto& vo = MLS_VOCALET->Strings;
  const auto& sr = MLS_SOUNDREC->Strings;
  const auto& qd = MLS_QDSHARED->Strings;
  EXPECT_NE(sr[12], "Record");
  const std::pair<std::string, std::string> shown[] = {
      {form->btnRecord->Caption(), sr[12]}, {form->btnExit->Caption(), ov[23]},
      {form->miFile->Caption(), ov[108]},   {form->LDetails->Caption(), vo[17]},
      {form->panVolume->Hint, vo[25]},      {form->LMessageInfo->Caption(), vo[1]},
      {RecorderTexts.Recording, sr[14]},    {form->RecorderFrame->btnStop->Caption(), sr[23]},
      {SliderVolumeText, vo[13]},           {form->QuindleEnv->miProductInfo->Caption(), qd[11]},
      {ErrorTitle, ov[21]},                 {form->InfoViewer->LTitle->Caption(), qd[8]}};
  for (const auto& [got, want] : shown) EXPECT_EQ(got, want);
  Stop();
  EXPECT_EQ(GetValue("Software\\Quindle\\MLS", "Vocalet").Number, static_cast<DWORD>(kGerman));
  Start();
  EXPECT_EQ(MLSManager->Language(), kGerman);
  EXPECT_EQ(form->LMessageInfo->Caption(), MLS_VOCALET->Strings[1]);
}

TEST_F(MainWindow, AStoredLanguageThatCannotLoadStartsInEnglish) {
  PutDword("Software\\Quindle\\MLS", "Vocalet", 18);  // a language nobody ships
  Start();
  EXPECT_EQ(MLSManager->Language(), 4);
  EXPECT_EQ(form->btnRecord->Caption(), "Record");
}

TEST_F(MainWindow, WithoutAMessageDeliveryIsDisabled) {
  for (bool folderThere : {false, true}) {
    SCOPED_TRACE(folderThere ? "a folder of the message's name" : "nothing");
    if (folderThere) CreateDirectoryA(message.c_str(), nullptr);
    Start();
    EXPECT_EQ(form->LMessageInfo->Caption(),
              "Click the Record button to record your voice message.");
    EXPECT_FALSE(form->LDetails->Visible());
    EXPECT_FALSE(form->btnPlay->Enabled());
    EXPECT_TRUE(form->miRecord->Enabled());
    // Else the keys below would open what waits for the user.
    ASSERT_FALSE(form->miSend->Enabled() || form->miSaveAs->Enabled() || form->miAttach->Enabled());
    // The shortcuts of disabled commands do nothing.
    EXPECT_FALSE(form->IsShortCut(VK_F5, 0));
    EXPECT_FALSE(form->IsShortCut(VK_F12, 0));
    EXPECT_FALSE(form->IsShortCut('A', ssCtrl));
    Stop();
  }
}

TEST_F(MainWindow, SaveAsStartsInTheDocumentsFolderWithTheMessagesName) {
  Start();
  char documents[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, documents, CSIDL_PERSONAL, FALSE));
  EXPECT_EQ(form->SaveDialog.InitialDir, std::string(documents) + "\\");
  EXPECT_EQ(form->SaveDialog.FileName, "mw.wav");
}

TEST_F(MainWindow, HiddenTipsGiveTheirRoomBack) {
  Start();
  EXPECT_EQ(form->ClientHeight(), 128);  // the toolbar's 46 rows, tips 62, status line 20
  int mode = 0;
  form->QuindleEnvInfoView(form, mode);
  EXPECT_TRUE(VMProperties->HideTips);
  EXPECT_FALSE(form->panInfoViewer->Visible());
  EXPECT_EQ(form->panStatusbar->Top(), 46);
  EXPECT_EQ(form->ClientHeight(), 66);
  mode = 2;  // a banner without a banner: tips
  form->QuindleEnvInfoView(form, mode);
  EXPECT_EQ(mode, 1);
  EXPECT_FALSE(VMProperties->HideTips);
  EXPECT_EQ(form->panStatusbar->Top(), 108);
  EXPECT_EQ(form->ClientHeight(), 128);
}

TEST_F(MainWindow, ACompressionsLeftoverBesideTheMessageIsRemovedAtStart) {
  for (const std::string& f : {message, message + ".new"}) std::ofstream(f) << "RIFF....WAVE";
  Start();
  EXPECT_EQ(GetFileAttributesA((message + ".new").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(FileSizeOf(message), 12);
}

TEST_F(MainWindow, AtStartTheWaveOutputIsRaisedToItsLeastTheMicrophoneChosenNothingMuted) {
  Start();
  EXPECT_EQ(mixer.Value(waveVolume), 32767);  // MinWaveLevel 50 %
  EXPECT_EQ(mixer.Value(masterVolume), 40000) << "the master volume is the user's";
  EXPECT_EQ(mixer.Value(mux, 0), 0);
  EXPECT_EQ(mixer.Value(mux, 1), 1);
  EXPECT_EQ(mixer.Value(masterMute), 0);
  EXPECT_EQ(mixer.Value(waveMute), 0);
  for (LONG enough : {32768, 65535}) {  // 50 % and more stay as they are
    mixer.Change(waveVolume, enough);
    form->AdjustMixerLevels();
    EXPECT_EQ(mixer.Value(waveVolume), enough);
  }
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

TEST_F(MainWindow, F8OpensTheOptionsOverTheDisabledWindow) {
  Start();
  TWindowWatch watch(form->Handle());
  EXPECT_TRUE(form->IsShortCut(VK_F8, 0));
  ASSERT_EQ(watch.Windows.size(), 1u);
  EXPECT_EQ(watch.Windows[0].Caption, "Vocalet Options");
  EXPECT_FALSE(watch.Windows[0].MainEnabled);
}

TEST_F(MainWindow, AttachPutsTheSliderAndTheWindowAwayUntilTheDragWindowCloses) {
  Start();
  ShowSliderWindow(true);
  TWindowWatch watch(form->Handle());
  form->cmdAttach(nullptr);
  ASSERT_EQ(watch.Windows.size(), 1u);
  EXPECT_EQ(watch.Windows[0].Caption, DragNAttachCaption);
  EXPECT_FALSE(watch.Windows[0].SliderVisible);
  EXPECT_FALSE(watch.Windows[0].MainVisible);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
}

TEST_F(MainWindow, IndicatorsShowTheLevelsTheSliderReports) {
  Start();
  // Mixer value, and the rows of 15 that stay unlit.
  const struct {
    DWORD control;
    LONG raw;
    int unlit;
    TPaintBox* box;
    TImage* picture;
  } rows[] = {{masterVolume, 65535, 0, form->PaintBoxVolume, form->imgVolume},
              {masterVolume, 0, 15, form->PaintBoxVolume, form->imgVolume},
              {micVolume, 32768, 8, form->PaintBoxMic, form->imgMicLevel}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.raw);
    const int w = r.picture->Width(), h = r.picture->Height();
    TBitmap drawn(w, h), repainted(w, h), want(w, h);
    r.box->DrawTarget = drawn.DC();
    mixer.Change(r.control, r.raw);
    Pump();
    r.box->DrawTarget = nullptr;
    {
      TCanvas canvas(repainted.DC());
      r.box->Paint(canvas);
    }
    DrawLevelBar(want.DC(), w, h, r.unlit, r.picture->Picture());
    int atChange = 0, atRepaint = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        atChange += drawn.Pixel(x, y) != want.Pixel(x, y);
        atRepaint += repainted.Pixel(x, y) != want.Pixel(x, y);
      }
    EXPECT_EQ(atChange, 0);
    EXPECT_EQ(atRepaint, 0);
  }
}

TEST_F(MainWindow, AStoppedRecordingIsMeasuredCompressedAndShown) {
  PutString(kOptions, "GSM610", "1");
  Start();
  ScriptTheRecorder();
  form->cmdRecord(form->btnRecord);
  form->cmdStop(form->RecorderFrame->btnStop);
  EXPECT_EQ(VMProperties->PlainSize, kPcmSize);
  EXPECT_LT(FileSizeOf(message), kPcmSize) << "compressed at once";
  EXPECT_EQ(form->LMessageInfo->Caption().rfind("Last message recorded on ", 0), 0u);
  EXPECT_TRUE(form->btnSend->Enabled());
}

TEST_F(MainWindow, ClosingDuringARecordingThatCannotBecomeTheMessageSaysSo) {
  for (bool held : {false, true}) {  // nothing can be saved; a player holds the message
    SCOPED_TRACE(held ? "held" : "not saved");
    std::ofstream(message) << "RIFF....WAVE";
    Start();
    ScriptTheRecorder();
    mci.Results[MCI_SAVE] = held ? 0 : MCIERR_FILE_NOT_SAVED;
    HANDLE player = CreateFileA(message.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (!held) CloseHandle(player);
    form->cmdRecord(form->btnRecord);
    TWindowWatch watch(form->Handle());
    Stop();
    if (held) CloseHandle(player);
    EXPECT_EQ(watch.Windows.size(), 1u) << "an error box";
    EXPECT_EQ(FileSizeOf(message), 12);
  }
}

TEST_F(MainWindow, CompressingMoreThan500000BytesShowsANoticeForEightTenthsOfASecond) {
  Start();
  const struct {
    bool gsm;
    int plainSize;
    bool notice;
  } rows[] = {{true, 500000, false}, {true, 500001, true}, {false, 500001, false}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.plainSize);
    WritePcm(message);
    VMProperties->GSM610 = r.gsm;
    VMProperties->PlainSize = r.plainSize;
    TWindowWatch watch(form->Handle());
    EXPECT_TRUE(form->PackMessage());
    EXPECT_EQ(FileSizeOf(message) < kPcmSize, r.gsm) << "compressed";
    ASSERT_EQ(watch.Windows.size(), r.notice ? 1u : 0u);
    if (r.notice) {
      const auto& notice = watch.Windows[0];
      EXPECT_EQ(notice.Caption, "Compress Voice Message");
      EXPECT_FALSE(notice.MainEnabled);
      // The 0.8 s count from just before the window is made.
      EXPECT_GE(notice.Gone - notice.Shown, 750u);
    }
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));
  }
}

TEST_F(MainWindow, ACompressionThatFailsIsToldOnceTheNoticeIsGoneAndNothingIsSent) {
  WritePcm(message);
  PutString(kOptions, "GSM610", "1");
  PutString(kOptions, "PackOnSend", "1");
  PutDword(kOptions, "PlainSize", 500001);
  Start();
  const std::string handOff = TVocaletForm::HandOffPath();
  DeleteFileA(handOff.c_str());
  // A player holds the message: the compressed file cannot take its place.
  HANDLE player = CreateFileA(message.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(player, INVALID_HANDLE_VALUE);
  TWindowWatch watch(form->Handle());
  form->cmdSend(nullptr);
  CloseHandle(player);
  ASSERT_EQ(watch.Windows.size(), 2u);
  EXPECT_TRUE(watch.Windows[0].Gone && watch.Windows[0].Gone <= watch.Windows[1].Shown);
  EXPECT_EQ(watch.Windows[1].Text,
            "The message could not be compressed.\r\ncannot write the compressed file");
  EXPECT_TRUE(IsWindowEnabled(form->Handle()));
  EXPECT_EQ(GetFileAttributesA(handOff.c_str()), INVALID_FILE_ATTRIBUTES) << "Send went on";
  EXPECT_EQ(FileSizeOf(message), kPcmSize);
  EXPECT_EQ(GetFileAttributesA((message + ".new").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(MainWindow, TheErrorBoxHoldsTheProgramWithTheTranslatedCaptionAndTheTextsLines) {
  Start();
  ErrorTitle = "Fehler";
  for (HWND owner : {form->Handle(), static_cast<HWND>(nullptr)}) {
    TWindowWatch watch(form->Handle());
    ShowErrorMessage(owner, "First line\\nsecond line");
    ASSERT_EQ(watch.Windows.size(), 1u);
    const auto& box = watch.Windows[0];
    EXPECT_EQ(box.Owner, owner);
    EXPECT_EQ(box.Caption, "Fehler");
    EXPECT_EQ(box.Text, "First line\r\nsecond line");
    EXPECT_EQ(box.Icon, LoadIcon(nullptr, IDI_HAND));
    EXPECT_FALSE(box.MainEnabled) << "task-modal, also without an owner";
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));
  }
}

}  // namespace
