#include "MapiSender.h"

#include <mapi.h>

#include <vector>

ULONG SendThroughMapi(HMODULE mapi, const TMailDescription& mail) {
  auto send = reinterpret_cast<LPMAPISENDMAIL>(
      reinterpret_cast<void*>(GetProcAddress(mapi, "MAPISendMail")));
  if (!send) return MAPI_E_NOT_SUPPORTED;

  // Simple MAPI takes non-const strings; these copies live until the call returns.
  std::string subject = mail.Subject, text = mail.Text, name = mail.ToName;
  std::string address = mail.ToAddr.empty() ? std::string() : "SMTP:" + mail.ToAddr;
  if (name.empty()) name = mail.ToAddr;
  std::vector<std::string> paths = mail.Files;
  std::vector<std::string> names;
  if (mail.FileNames.size() == mail.Files.size()) names = mail.FileNames;

  MapiRecipDesc recipient{};
  recipient.ulRecipClass = MAPI_TO;
  recipient.lpszName = name.data();
  recipient.lpszAddress = address.empty() ? nullptr : address.data();

  std::vector<MapiFileDesc> files(paths.size());
  for (size_t i = 0; i < paths.size(); ++i) {
    files[i].nPosition = static_cast<ULONG>(-1);  // attached, not placed in the text
    files[i].lpszPathName = paths[i].data();
    files[i].lpszFileName = names.empty() ? nullptr : names[i].data();
  }

  MapiMessage message{};
  message.lpszSubject = subject.data();
  message.lpszNoteText = text.data();
  if (!name.empty()) {
    message.nRecipCount = 1;
    message.lpRecips = &recipient;
  }
  message.nFileCount = static_cast<ULONG>(files.size());
  message.lpFiles = files.empty() ? nullptr : files.data();

  // The user adds or checks the recipient and sends from the compose window.
  return send(0, 0, &message, MAPI_LOGON_UI | MAPI_DIALOG, 0);
}
