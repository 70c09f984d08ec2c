#include "shell/fMain.h"

#include "mls/ovMLS.h"

const char VocaletProgramID[] = "{4ECBDA43-943C-4B02-8204-55CB561170F5}";

TVocaletForm::TVocaletForm(TComponent* owner) : TForm(owner) {
  Name = "VocaletForm";
  BorderStyle = bsSingle;
  SetCaption("Quindle Vocalet");
  SetBounds(200, 150, 489, 200);
  InstMan = Make<TSingleInstanceManager>(this);
  InstMan->Name = "InstMan";
  InstMan->OnStartRequest = [this](TComponent* s) { InstManStartRequest(s); };
  OnClose = [this](TComponent* s, TCloseAction& action) { FormClose(s, action); };
  FormCreate(this);
}

void TVocaletForm::FormCreate(TComponent*) {
  // Only now can a second start find us: the guard takes the identifier as its title.
  InstMan->SetProgramID(VocaletProgramID);
  // The saved language; a translation that is missing or broken starts us in English
  // without a word, since the user cannot act on it now.
  try {
    MLSManager->SelectLanguage(MLSManager->ReadLanguageSetting("Vocalet"));
  } catch (const EMLSException&) {
    MLSManager->SelectLanguage(MLSManager->DefaultLanguage());
  }
}

void TVocaletForm::FormClose(TComponent*, TCloseAction&) {
  MLSManager->WriteLanguageSetting("Vocalet", MLSManager->Language());
}

void TVocaletForm::InstManStartRequest(TComponent*) {
  Application->Restore();
  Show();
  SetForegroundWindow(Handle());
}
