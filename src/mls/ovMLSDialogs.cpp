#include "mls/ovMLSDialogs.h"

#include "util/ovUtils.h"

std::unique_ptr<TMLSClient> MLSClient;

TMLSClient::TMLSClient(TMLSManager& manager, TovSharedMLSModule& ovShared)
    : Manager(manager), OvShared(ovShared) {
  Manager.RegisterClient(this, [this](TMLSManager* sender) { UpdateTitles(sender); });
}

TMLSClient::~TMLSClient() { Manager.UnregisterClient(this); }

void TMLSClient::UpdateTitles(TMLSManager* /*Sender*/) {
  ConfirmationTitle = OvShared.Strings[8];
  InformationTitle = OvShared.Strings[32];
  ErrorTitle = OvShared.Strings[21];
  if (ConfirmationTitle.empty()) ConfirmationTitle = "Confirmation";
  if (InformationTitle.empty()) InformationTitle = "Information";
  if (ErrorTitle.empty()) ErrorTitle = "Error";
}
