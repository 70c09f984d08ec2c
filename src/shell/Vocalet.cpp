// Program entry: the program-wide objects come into being in a fixed order, a running
// instance is told about this start if there is one, otherwise the main window runs.
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include <ole2.h>

#include "delivery/Win2KUtils.h"
#include "desktop/dEasyLaunch.h"
#include "mls/SoundRecMLS.h"
#include "mls/VocaletMLS.h"
#include "mls/ovMLSDialogs.h"
#include "mls/ovSharedMLS.h"
#include "mls/qdSharedMLS.h"
#include "shell/SingleInst.h"
#include "shell/fMain.h"
#include "shell/vmOptions.h"
#include "toolkit/Forms.h"

namespace {

// The program's modules: what they create lives from before the instance check to the very
// end, and goes in reverse order of creation.
struct TProgramModules {
  TProgramModules() {
    VMProperties = std::make_unique<TVMProperties>();
    MLSManager = std::make_unique<TMLSManager>();
    MLS_QDSHARED = std::make_unique<TqdSharedMLSModule>(*MLSManager);
    MLS_OVSHARED = std::make_unique<TovSharedMLSModule>(*MLSManager);
    MLSClient = std::make_unique<TMLSClient>(*MLSManager, *MLS_OVSHARED);
    MLS_VOCALET = std::make_unique<TVocaletMLSModule>(*MLSManager);
    MLS_SOUNDREC = std::make_unique<TSoundRecMLSModule>(*MLSManager);
    oleReady = SUCCEEDED(OleInitialize(nullptr));
    InitLayeredWindows();
    EasyLaunchPage = std::make_unique<TEasyLaunchPage>();
  }
  ~TProgramModules() {
    EasyLaunchPage.reset();
    DoneLayeredWindows();
    if (oleReady) OleUninitialize();
    MLS_SOUNDREC.reset();
    MLS_VOCALET.reset();
    MLSClient.reset();
    MLS_OVSHARED.reset();
    MLS_QDSHARED.reset();
    MLSManager.reset();
    VMProperties.reset();  // saves the options
  }
  bool oleReady = false;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  TProgramModules modules;
  if (NotifyPreviousInstance(VocaletProgramID)) return 0;

  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  TApplication app;
  app.Title = "Vocalet";
  TVocaletForm* form = app.CreateForm<TVocaletForm>();
  form->Show();
  app.Run();
  return 0;
}
