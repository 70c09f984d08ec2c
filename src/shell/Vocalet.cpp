// Program entry: the program-wide objects come into being in a fixed order, a running
// instance is told about this start if there is one, otherwise the main window runs.
#include <windows.h>

#include <commctrl.h>

#include "shell/ProgramModules.h"
#include "shell/SingleInst.h"
#include "shell/fMain.h"
#include "toolkit/Forms.h"

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
