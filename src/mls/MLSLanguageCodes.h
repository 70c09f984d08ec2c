// The fixed table of the languages that string modules can be in. Modules and the registry
// address a language by its index, so the codes and their order never change.
#pragma once

#include <cstdint>
#include <string>

inline constexpr int MLSLanguageCount = 20;

// Index 0 stands for no language.
extern const char* const LanguageCodes[MLSLanguageCount];

// The code of an index, or the code of index 0 for an index outside the table (an index
// read from the registry or a file must never reach past the table).
const char* LanguageCode(int index);

// Bit i stands for language index i; 0 is the empty set and also "not computed yet".
using TLanguageSet = std::uint32_t;
inline constexpr TLanguageSet AllLanguagesButNone = 0xFFFFE;

inline bool LanguageSetHas(TLanguageSet set, int index) {
  return index >= 0 && index < MLSLanguageCount && (set >> index) & 1u;
}

// "enu, deu": the codes of the set's indexes in ascending order, joined with ", ".
std::string LanguageSetCodes(TLanguageSet set);
