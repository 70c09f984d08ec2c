#include "mls/VocaletMLS.h"

std::unique_ptr<TVocaletMLSModule> MLS_VOCALET;
