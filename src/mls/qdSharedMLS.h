// The string module "qdShared": texts of the product-environment component (help-menu items, about box).
#pragma once

#include "mls/ovMLS.h"

class TqdSharedMLSModule : public TMLSStringModule<20> {
 public:
  explicit TqdSharedMLSModule(TMLSManager& manager) : TMLSStringModule(manager, 1033, "qdShared") {}
};

extern std::unique_ptr<TqdSharedMLSModule> MLS_QDSHARED;
