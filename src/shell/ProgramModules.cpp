#include "shell/ProgramModules.h"

#include <windows.h>

#include <ole2.h>

#include <memory>

#include "delivery/Win2KUtils.h"
#include "desktop/dEasyLaunch.h"
#include "mls/SoundRecMLS.h"
#include "mls/VocaletMLS.h"
#include "mls/ovMLSDialogs.h"
#include "mls/ovSharedMLS.h"
#include "mls/qdSharedMLS.h"
#include "shell/vmOptions.h"

TProgramModules::TProgramModules() {
  VMProperties = std::make_unique<TVMProperties>();
  MLSManager = std::make_unique<TMLSManager>();
  MLS_QDSHARED = std::make_unique<TqdSharedMLSModule>(*MLSManager);
  MLS_OVSHARED = std::make_unique<TovSharedMLSModule>(*MLSManager);
  MLSClient = std::make_unique<TMLSClient>(*MLSManager, *MLS_OVSHARED);
  MLS_VOCALET = std::make_unique<TVocaletMLSModule>(*MLSManager);
  MLS_SOUNDREC = std::make_unique<TSoundRecMLSModule>(*MLSManager);
  oleReady_ = SUCCEEDED(OleInitialize(nullptr));
  InitLayeredWindows();
  EasyLaunchPage = std::make_unique<TEasyLaunchPage>();
}

TProgramModules::~TProgramModules() {
  EasyLaunchPage.reset();
  DoneLayeredWindows();
  if (oleReady_) OleUninitialize();
  MLS_SOUNDREC.reset();
  MLS_VOCALET.reset();
  MLSClient.reset();
  MLS_OVSHARED.reset();
  MLS_QDSHARED.reset();
  MLSManager.reset();
  VMProperties.reset();  // saves the options
}
