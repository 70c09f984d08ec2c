// The language table's names and locale identifiers, taken from the platform's locale list.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "mls/MLSLanguageCodes.h"

extern std::array<std::string, MLSLanguageCount> LanguageNames;
extern std::array<LCID, MLSLanguageCount> LanguageLCIDs;

// For each index, the first supported locale whose three-letter language abbreviation is the
// code (any case) gives the name and the identifier; otherwise "(Unknown)" and 0.
void FillLanguageTable();
void ReleaseLanguageTable();

// The first index whose identifier is lcid; 0 when none is.
int IndexOfLCID(LCID lcid);
