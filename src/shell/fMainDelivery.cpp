// The main window's delivery commands: Send, Save As and Attach, and the compression
// that readies the message for them.
#include "shell/fMain.h"

#include <shlobj.h>

#include "audio/fSlider.h"
#include "convert/WaveConvert.h"
#include "delivery/SMapiUtils.h"
#include "delivery/fDragSource.h"
#include "desktop/ShLinks.h"
#include "mls/VocaletMLS.h"
#include "shell/fFakeProgress.h"
#include "shell/vmOptions.h"
#include "util/FormatText.h"
#include "util/ovUtils.h"

namespace {
constexpr unsigned kProgressThreshold = 500000;
constexpr DWORD kMinProgressMs = 800;
}  // namespace

bool TVocaletForm::PackMessage(std::string* failure) {
  if (!VMProperties->GSM610) return true;
  std::string error;
  std::uint32_t code = 0;
  bool packed = false;
  {
    ProgressCaption = MLS_VOCALET->Strings[10];
    ProgressPrompt = MLS_VOCALET->Strings[11];
    DWORD t0 = GetTickCount();
    if (VMProperties->PlainSize > static_cast<int>(kProgressThreshold)) ShowProgressNow(this, false);
    struct THide {
      ~THide() { HideProgress(); }
    } hide;
    Application->ProcessMessages();
    packed = vocalet::CompressWaveFile(VMProperties->MsgFileName, vocalet::acm::DefaultAcmLayer(),
                                       &error, &code);
    DWORD elapsed = GetTickCount() - t0;
    // A notice that flashes by is worse than none: once shown it stays for a moment.
    if (ProgressActive() && elapsed < kMinProgressMs) Sleep(kMinProgressMs - elapsed);
  }
  // A message compressed before is refused as not PCM: it is already what Send wants.
  if (packed || code == vocalet::kSourceNotPcm) return true;
  std::string text = FormatText(MLS_VOCALET->Strings[51], {error});
  if (failure)
    *failure = text;
  else
    ShowErrorMessage(Handle(), text);
  return false;
}

std::string TVocaletForm::MailSenderPath() {
  return ExpandPathMacros("<CommonFilesDir>\\Orvane\\SendMail.exe");
}

std::string TVocaletForm::HandOffPath() {
  // Per user and writable by the user: the program's own folder is neither.
  std::string base;
  GetSpecialFolderPath(CSIDL_LOCAL_APPDATA, base);
  if (base.empty()) base = GetTempDir();
  std::string folder = AddPath(base, "Quindle\\Vocalet");
  ForceDirectories(folder);
  return AddPath(folder, "eMail.dat");
}

void TVocaletForm::cmdSend(TComponent*) {
  // After the error box the user decides: nothing is sent, and the window stays.
  if (VMProperties->PackOnSend && !PackMessage()) return;
  {
    TSMapiMessage mail;
    mail.Text = ConvertLineBreaks(MailBodyText);
    mail.Subject = MLS_VOCALET->Strings[9];
    mail.Files.push_back(VMProperties->MsgFileName);
    std::string path = HandOffPath();
    mail.SaveToFile(path);
    LaunchProgram(MailSenderPath(), "\"" + path + "\"", "");
  }
  if (VMProperties->AutoClose) Close();
}

void TVocaletForm::cmdSaveAs(TComponent*) {
  if (!SaveDialog.Execute(Handle())) return;
  long copied = CopyFileData(VMProperties->MsgFileName, SaveDialog.FileName);
  // A copy that failed must not look like a saved message.
  if (copied == 0 && FileSizeOf(VMProperties->MsgFileName) > 0)
    ShowErrorMessage(Handle(), FormatText(MLS_VOCALET->Strings[52], {SaveDialog.FileName}));
}

void TVocaletForm::cmdAttach(TComponent*) {
  // The slider window stays on top: it would sit over the mail program during the drag.
  HideSliderWindow();
  Hide();
  bool dropped = false;
  {
    // The window comes back whatever happens to the drag.
    struct TShowAgain {
      TVocaletForm* form;
      ~TShowAgain() { form->Show(); }
    } showAgain{this};
    std::function<void()> prepare;
    // The drop target waits on us while this runs: a failure is told once the drag is over.
    packFailure_.clear();
    if (VMProperties->PackOnSend) prepare = [this] { PackMessage(&packFailure_); };
    dropped = ShowDragNAttach(VMProperties->MsgFileName, prepare);
  }
  if (!packFailure_.empty()) ShowErrorMessage(Handle(), packFailure_);
  if (VMProperties->AutoClose && dropped) Close();
}
