// A program that behaves like Vocalet's entry towards other instances: a first start
// serves under a test identifier and writes every start request it receives to the file
// named by SI_OUT (one parameter a line, after a line with the request's number); a second
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
    std::string tmp = std::string(out) + ".tmp";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return;
    std::fprintf(f, "request %d\n", ++requests);
    for (const std::string& p : m->Params) std::fprintf(f, "%s\n", p.c_str());
    std::fclose(f);
    // The test may be reading the old file just now; replacing it then fails for a moment.
    for (int i = 0; i < 200 && !MoveFileExA(tmp.c_str(), out, MOVEFILE_REPLACE_EXISTING); ++i)
      Sleep(10);
  };
  man->SetProgramID(kTestID);
  app.Run();
  return 0;
}
