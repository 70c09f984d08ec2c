// The string module "ovShared": message-box captions and general menu and button texts, shared with other tools.
#pragma once

#include "mls/ovMLS.h"

class TovSharedMLSModule : public TMLSStringModule<232> {
 public:
  explicit TovSharedMLSModule(TMLSManager& manager) : TMLSStringModule(manager, 1033, "ovShared") {}
};

extern std::unique_ptr<TovSharedMLSModule> MLS_OVSHARED;
