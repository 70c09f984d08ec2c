// A program that behaves like Vocalet's entry towards other instances: a first start
// serves under a test identifier and writes start request N it receives to the file named by
// SI_OUT followed by ".N" (one parameter a line); a second
// start hands its parameters over and ends. A request whose only parameter is "quit" ends
// the first instance.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "shell/SingleInst.h"
#include "toolkit/Forms.h"

static const char kTestID[] = "{Vocalet-Test-9C1E}";

int main() {
  if (NotifyPreviousInstance(kTestID)) return 0;
  TApplication app;
  TComponent root(nullptr);
  auto* man = Make<TSingleInstanceManager>(&root);
  int requests = 0;
  man->OnStartRequest = [&](TComponent* sender) {
    auto* m = static_cast<TSingleInstanceManager*>(sender);
    if (m->Params.size() == 1 && m->Params[0] == "quit") {
      app.Terminate();
      return;
    }
    const char* out = std::getenv("SI_OUT");
    if (!out) return;
    // One file per request, renamed into place once complete: the test never sees half a
    // file, and no file that the test may be reading is ever replaced.
    ++requests;
    std::string final = std::string(out) + "." + std::to_string(requests);
    std::string tmp = final + ".tmp";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return;
    for (const std::string& p : m->Params) std::fprintf(f, "%s\n", p.c_str());
    std::fclose(f);
    MoveFileA(tmp.c_str(), final.c_str());
  };
  man->SetProgramID(kTestID);
  app.Run();
  return 0;
}
