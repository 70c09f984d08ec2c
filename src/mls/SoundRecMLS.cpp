#include "mls/SoundRecMLS.h"

std::unique_ptr<TSoundRecMLSModule> MLS_SOUNDREC;
