#include "mls/ovSharedMLS.h"

std::unique_ptr<TovSharedMLSModule> MLS_OVSHARED;
