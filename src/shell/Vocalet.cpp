// Program entry: the program-wide objects come into being in a fixed order, a running
// instance is told about this start if there is one, otherwise the main window runs.
#include <windows.h>

#include <commctrl.h>

#include <exception>
#include <string>

#include "shell/ProgramModules.h"
#include "shell/SingleInst.h"
#include "shell/fMain.h"
#include "toolkit/Forms.h"

namespace {

int RunVocalet() {
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

// The last resort: an error that escaped everything is shown as the commands show theirs,
// and the program ends by itself instead of being torn down by the runtime.
void ShowFatalError(const char* text) {
  MessageBoxA(nullptr, text ? text : "An unexpected error occurred.", "Vocalet",
              MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    return RunVocalet();
  } catch (const std::exception& e) {
    ShowFatalError(e.what());
  } catch (...) {
    ShowFatalError(nullptr);
  }
  return 1;
}
