// SendMail.exe: creates the mail that Vocalet described in its hand-off file and leaves it
// in the user's mail program, compose window open, for the user to address and send.
//
//   SendMail.exe "<path of eMail.dat>"
//
// It writes and deletes nothing. It shows nothing of its own: every failure ends it
// quietly with a non-zero exit code, which Vocalet does not read but a test can:
//   0     the mail program took the mail
//   1..n  Simple MAPI's refusal (MAPI_USER_ABORT, MAPI_E_FAILURE, MAPI_E_LOGIN_FAILURE...)
//   100   no file named on the command line
//   101   the hand-off file does not exist
//   102   no Simple MAPI on this system (MAPI32.DLL missing or without MAPISendMail)
//   103   under Wine: xdg-email missing, failed, or an attachment without a Unix path
#include <windows.h>

#include <cstdlib>

#include "MailFile.h"
#include "MapiSender.h"
#include "UnixMailer.h"
#include "util/Handles.h"

namespace {

enum TExitCode { ecNoFileNamed = 100, ecNoMailFile = 101, ecNoMapi = 102, ecUnixMailer = 103 };

int Run(int argc, char** argv) {
  if (argc < 2 || !argv[1][0]) return ecNoFileNamed;
  TMailDescription mail;
  if (!ReadMailFile(argv[1], mail)) return ecNoMailFile;

  // Beside this program first: the search order of LoadLibrary.
  ModuleHandle mapi(LoadLibraryA("MAPI32.DLL"));
  if (RunningUnderWine() && (!mapi || IsWineBuiltin(mapi.get())))
    return SendThroughXdgEmail(mail) == 0 ? 0 : ecUnixMailer;
  if (!mapi || !GetProcAddress(mapi.get(), "MAPISendMail")) return ecNoMapi;
  return static_cast<int>(SendThroughMapi(mapi.get(), mail));
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return Run(__argc, __argv); }
