// A MAPI32.DLL for the tests of SendMail.exe: records the message it was given in
// "mapi-record.txt" beside itself and answers what "mapi-result.txt" there says (default
// SUCCESS_SUCCESS). Each record is a tag and a byte count on one line, then the bytes.
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

void Field(FILE* f, const char* tag, const char* value) {
  if (!value) {
    std::fprintf(f, "%s -1\n\n", tag);
    return;
  }
  std::fprintf(f, "%s %u\n%s\n", tag, static_cast<unsigned>(std::strlen(value)), value);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) self = instance;
  return TRUE;
}

extern "C" ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR uiParam, lpMapiMessage message,
                                     FLAGS flags, ULONG) {
  FILE* f = std::fopen(Beside("mapi-record.txt").c_str(), "wb");
  if (f) {
    std::fprintf(f, "session %lu\nflags %lu\nui %lu\n", static_cast<unsigned long>(session),
                 static_cast<unsigned long>(flags), static_cast<unsigned long>(uiParam));
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
