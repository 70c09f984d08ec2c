// A MAPI32.DLL for the tests of SendMail.exe: records the message it was given in
// "mapi-record.txt" beside itself (read by tests/support/MapiRecord.h) and answers what
// "mapi-result.txt" there says, by default SUCCESS_SUCCESS.
#include <windows.h>
#include <mapi.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

HMODULE self = nullptr;

std::string Beside(const char* name) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(self, path, MAX_PATH);
  std::string p = path;
  return p.substr(0, p.rfind('\\') + 1) + name;
}

// A text as its tag and byte count on one line, then the bytes; -1 for none.
void Field(FILE* f, const char* tag, const char* value) {
  std::fprintf(f, "%s %d\n%s\n", tag, value ? int(std::strlen(value)) : -1, value ? value : "");
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) self = instance;
  return TRUE;
}

extern "C" ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR, lpMapiMessage message,
                                     FLAGS flags, ULONG) {
  if (FILE* f = std::fopen(Beside("mapi-record.txt").c_str(), "wb")) {
    std::fprintf(f, "session %lu\nflags %lu\n", static_cast<unsigned long>(session),
                 static_cast<unsigned long>(flags));
    Field(f, "subject", message->lpszSubject);
    Field(f, "text", message->lpszNoteText);
    for (ULONG i = 0; i < message->nRecipCount; ++i) {
      std::fprintf(f, "recipclass %lu\n",
                   static_cast<unsigned long>(message->lpRecips[i].ulRecipClass));
      Field(f, "recipname", message->lpRecips[i].lpszName);
      Field(f, "recipaddr", message->lpRecips[i].lpszAddress);
    }
    for (ULONG i = 0; i < message->nFileCount; ++i) {
      std::fprintf(f, "position %ld\n", static_cast<long>(message->lpFiles[i].nPosition));
      Field(f, "filepath", message->lpFiles[i].lpszPathName);
      Field(f, "filename", message->lpFiles[i].lpszFileName);
    }
    std::fclose(f);
  }
  unsigned long result = SUCCESS_SUCCESS;
  if (FILE* r = std::fopen(Beside("mapi-result.txt").c_str(), "rb")) {
    if (std::fscanf(r, "%lu", &result) != 1) result = SUCCESS_SUCCESS;
    std::fclose(r);
  }
  return result;
}
