// The string module "Vocalet": the main window, the options dialog and the recorder panel.
#pragma once

#include "mls/ovMLS.h"

// Strings 48 and on came with later versions; translations made before them still load.
class TVocaletMLSModule : public TMLSStringModule<55, 48> {
 public:
  explicit TVocaletMLSModule(TMLSManager& manager) : TMLSStringModule(manager, 1033, "Vocalet") {}
};

extern std::unique_ptr<TVocaletMLSModule> MLS_VOCALET;
