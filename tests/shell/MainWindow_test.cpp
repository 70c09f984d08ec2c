// The main window in this process, with the program's modules and the shipped translations
// beside the test: what a language change reaches, and what the commands leave behind.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "audio/fRecord.h"
#include "mls/MLSHelper.h"
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
#include "TestFolder.h"
#include "util/ovUtils.h"

namespace {

constexpr int kGerman = 3;

void WriteOptions(const std::string& message) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Quindle\\Vocalet", true));
  for (const char* name : {"HideTips", "AutoRecord", "AutoPlay", "BeepOnRecord", "AutoClose",
                           "Mono", "GSM610", "PackOnSend", "Bits16"})
    reg.WriteString(name, "0");
  reg.WriteInteger("Quality ", 0);
  reg.WriteInteger("PlainSize", 0);
  reg.WriteString("MsgFileName", message);
  reg.WriteInteger("DurationSec", 0);
  reg.WriteInteger("MinWaveLevel", 0);
}

void SetLanguageSetting(int index) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Quindle\\MLS", true));
  reg.WriteInteger("Vocalet", index);
}

int LanguageSetting() {
  TRegistry reg;
  if (!reg.OpenKey("Software\\Quindle\\MLS", false)) return -1;
  return reg.ReadInteger("Vocalet");
}

struct MainWindowFixture : ::testing::Test {
  TestFolder folder;
  void SetUp() override {
    WriteOptions(folder.Path() + "\\mw.wav");
    SetLanguageSetting(4);
  }
  void TearDown() override { SetLanguageSetting(4); }
};

TEST_F(MainWindowFixture, ChoosingGermanRenewsEveryTextAtOnceAndIsRemembered) {
  {
    TProgramModules modules;
    TApplication app;
    TVocaletForm* form = app.CreateForm<TVocaletForm>();
    form->Show();
    app.ProcessMessages();
    EXPECT_EQ(form->btnRecord->Caption(), "Record");
    EXPECT_EQ(form->miFile->Caption(), "File");
    EXPECT_EQ(ErrorTitle, "Error");
    ASSERT_TRUE(form->MLSHelper->MainItems(kGerman)->Visible()) << "German is not offered";

    form->MLSHelper->MainItems(kGerman)->Click();
    ASSERT_EQ(MLSManager->Language(), kGerman);
    const auto& ov = MLS_OVSHARED->Strings;
    const auto& vo = MLS_VOCALET->Strings;
    const auto& sr = MLS_SOUNDREC->Strings;
    const auto& qd = MLS_QDSHARED->Strings;
    EXPECT_EQ(form->btnRecord->Caption(), sr[12]);
    EXPECT_NE(form->btnRecord->Caption(), "Record");
    EXPECT_EQ(form->btnExit->Caption(), ov[23]);
    EXPECT_EQ(form->miFile->Caption(), ov[108]);
    EXPECT_EQ(form->miAttach->Caption(), vo[20]);
    EXPECT_EQ(form->LDetails->Caption(), vo[17]);
    EXPECT_EQ(form->panVolume->Hint, vo[25]);
    EXPECT_EQ(form->SaveDialog.Title, vo[26]);
    EXPECT_EQ(form->LMessageInfo->Caption(), vo[1]);
    EXPECT_EQ(form->RecorderFrame->LGsm->Caption(), vo[7]);
    EXPECT_EQ(form->RecorderFrame->btnStop->Caption(), sr[23]);
    EXPECT_EQ(RecorderTexts.Recording, sr[14]);
    EXPECT_EQ(form->QuindleEnv->miProductInfo->Caption(), qd[11]);
    EXPECT_EQ(form->InfoViewer->LTitle->Caption(), qd[8]);
    EXPECT_EQ(ErrorTitle, ov[21]);
    EXPECT_NE(ErrorTitle, "Error");
    EXPECT_TRUE(form->MLSHelper->MainItems(kGerman)->Checked());
    form->Close();
    app.ProcessMessages();
  }
  EXPECT_EQ(LanguageSetting(), kGerman);

  // The next start speaks German from the beginning.
  TProgramModules modules;
  TApplication app;
  TVocaletForm* form = app.CreateForm<TVocaletForm>();
  form->Show();
  EXPECT_EQ(MLSManager->Language(), kGerman);
  EXPECT_EQ(form->LMessageInfo->Caption(), MLS_VOCALET->Strings[1]);
  EXPECT_NE(form->LMessageInfo->Caption(), "Click the Record button to record your voice message.");
}

TEST_F(MainWindowFixture, AStoredLanguageThatCannotLoadStartsInEnglishSilently) {
  SetLanguageSetting(18);  // a language nobody ships
  TProgramModules modules;
  TApplication app;
  TVocaletForm* form = app.CreateForm<TVocaletForm>();
  form->Show();
  EXPECT_EQ(MLSManager->Language(), 4);
  EXPECT_EQ(form->btnRecord->Caption(), "Record");
}

TEST_F(MainWindowFixture, WithoutAMessageDeliveryIsDisabled) {
  TProgramModules modules;
  TApplication app;
  TVocaletForm* form = app.CreateForm<TVocaletForm>();
  form->Show();
  app.ProcessMessages();
  EXPECT_FALSE(form->btnPlay->Enabled());
  EXPECT_FALSE(form->miSaveAs->Enabled());
  EXPECT_FALSE(form->miSend->Enabled());
  EXPECT_TRUE(form->miRecord->Enabled());
  EXPECT_FALSE(form->LDetails->Visible());
  // The shortcuts of disabled commands do nothing.
  EXPECT_FALSE(form->IsShortCut(VK_F5, 0));
  EXPECT_FALSE(form->IsShortCut(VK_F12, 0));
  EXPECT_FALSE(form->IsShortCut('A', ssCtrl));
}

TEST_F(MainWindowFixture, ClientAreaFollowsTheInformationPanel) {
  TProgramModules modules;
  TApplication app;
  TVocaletForm* form = app.CreateForm<TVocaletForm>();
  form->Show();
  int with = form->ClientHeight();
  int mode = 0;
  form->QuindleEnvInfoView(form, mode);
  EXPECT_TRUE(VMProperties->HideTips);
  EXPECT_FALSE(form->panInfoViewer->Visible());
  EXPECT_EQ(form->panStatusbar->Top(), form->ToolBarBevel->Top() + 4);
  EXPECT_EQ(form->ClientHeight(), form->panStatusbar->Top() + form->panStatusbar->Height());
  EXPECT_EQ(with - form->ClientHeight(), form->panInfoViewer->Height());
  mode = 2;  // a banner without a banner: tips
  form->QuindleEnvInfoView(form, mode);
  EXPECT_EQ(mode, 1);
  EXPECT_FALSE(VMProperties->HideTips);
  EXPECT_EQ(form->ClientHeight(), with);
}

TEST_F(MainWindowFixture, ACompressionsLeftoverBesideTheMessageIsRemovedAtStart) {
  const std::string message = folder.Path() + "\\mw.wav", leftover = message + ".new";
  for (const std::string& f : {message, leftover}) {
    HANDLE h = CreateFileA(f.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD put = 0;
    WriteFile(h, "RIFF....WAVE", 12, &put, nullptr);
    CloseHandle(h);
  }
  TProgramModules modules;
  TApplication app;
  app.CreateForm<TVocaletForm>();
  EXPECT_EQ(GetFileAttributesA(leftover.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(FileSizeOf(message), 12);
}

// The text of the first message box this process shows, closed at once; "" when none came.
class TMessageBoxWatch {
 public:
  TMessageBoxWatch() : thread_([this] { Watch(); }) {}
  ~TMessageBoxWatch() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  std::string Text() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return text_;
  }

 private:
  static BOOL CALLBACK Look(HWND w, LPARAM self) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (pid != GetCurrentProcessId() || std::string(cls) != "#32770" || !IsWindowVisible(w)) return TRUE;
    char text[512] = {};
    GetDlgItemTextA(w, 0xFFFF, text, sizeof text);
    auto* watch = reinterpret_cast<TMessageBoxWatch*>(self);
    watch->text_ = text;
    PostMessageA(w, WM_COMMAND, IDOK, 0);
    watch->stop_ = true;
    return FALSE;
  }
  void Watch() {
    while (!stop_) {
      EnumWindows(Look, reinterpret_cast<LPARAM>(this));
      Sleep(20);
    }
  }
  std::atomic<bool> stop_{false};
  std::string text_;
  std::thread thread_;
};

TEST_F(MainWindowFixture, ACompressionThatFailsIsShownAndNothingIsSent) {
  const std::string message = folder.Path() + "\\mw.wav";
  // A PCM wave: 8000 Hz mono 16-bit, one second of a quiet square.
  std::string wave = "RIFF";
  auto u32 = [&](uint32_t v) { wave.append(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](uint16_t v) { wave.append(reinterpret_cast<const char*>(&v), 2); };
  u32(36 + 16000);
  wave += "WAVEfmt ";
  u32(16), u16(1), u16(1), u32(8000), u32(16000), u16(2), u16(16);
  wave += "data";
  u32(16000);
  for (int i = 0; i < 8000; ++i) u16(i % 40 < 20 ? 1000 : static_cast<uint16_t>(-1000));
  HANDLE f = CreateFileA(message.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD put = 0;
  WriteFile(f, wave.data(), static_cast<DWORD>(wave.size()), &put, nullptr);
  CloseHandle(f);
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Quindle\\Vocalet", true));
    reg.WriteString("GSM610", "1");
    reg.WriteString("PackOnSend", "1");
  }
  TProgramModules modules;
  TApplication app;
  TVocaletForm* form = app.CreateForm<TVocaletForm>();
  form->Show();
  const std::string handOff = TVocaletForm::HandOffPath();
  DeleteFileA(handOff.c_str());
  // A player holds the message: the compressed file cannot take its place.
  HANDLE player = CreateFileA(message.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(player, INVALID_HANDLE_VALUE);
  TMessageBoxWatch box;
  form->cmdSend(nullptr);
  const std::string shown = box.Text();
  CloseHandle(player);
  EXPECT_EQ(shown, "The message could not be compressed.\r\ncannot write the compressed file");
  EXPECT_EQ(GetFileAttributesA(handOff.c_str()), INVALID_FILE_ATTRIBUTES) << "Send went on";
  EXPECT_EQ(FileSizeOf(message), static_cast<long>(wave.size()));
  EXPECT_EQ(GetFileAttributesA((message + ".new").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
