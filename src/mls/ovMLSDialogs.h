// The MLS client: keeps the captions of the shared message boxes in the current language.
#pragma once

#include <memory>

#include "mls/ovMLS.h"
#include "mls/ovSharedMLS.h"

class TMLSClient {
 public:
  // Registers UpdateTitles with the manager; the captions come from the ovShared module.
  TMLSClient(TMLSManager& manager, TovSharedMLSModule& ovShared);
  ~TMLSClient();
  TMLSClient(const TMLSClient&) = delete;
  TMLSClient& operator=(const TMLSClient&) = delete;

  // ConfirmationTitle, InformationTitle and ErrorTitle from ovShared 8, 32 and 21; an empty
  // translation keeps the English word, so that no message box goes without a caption.
  void UpdateTitles(TMLSManager* Sender);

 private:
  TMLSManager& Manager;
  TovSharedMLSModule& OvShared;
};

extern std::unique_ptr<TMLSClient> MLSClient;
