#include "mls/qdSharedMLS.h"

std::unique_ptr<TqdSharedMLSModule> MLS_QDSHARED;
