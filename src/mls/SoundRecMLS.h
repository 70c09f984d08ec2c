// The string module "SoundRec": the recorder panel and the recording commands.
#pragma once

#include "mls/ovMLS.h"

class TSoundRecMLSModule : public TMLSStringModule<26> {
 public:
  explicit TSoundRecMLSModule(TMLSManager& manager) : TMLSStringModule(manager, 1033, "SoundRec") {}
};

extern std::unique_ptr<TSoundRecMLSModule> MLS_SOUNDREC;
