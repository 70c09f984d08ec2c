// The main window.
#pragma once

#include <string>

#include "shell/SingleInst.h"
#include "toolkit/Forms.h"

// The identifier under which a running Vocalet is found by a second start.
extern const char VocaletProgramID[];

class TVocaletForm : public TForm {
 public:
  explicit TVocaletForm(TComponent* owner);

  TSingleInstanceManager* InstMan = nullptr;

  void FormCreate(TComponent* sender);
  void FormClose(TComponent* sender, TCloseAction& action);
  void InstManStartRequest(TComponent* sender);
};
