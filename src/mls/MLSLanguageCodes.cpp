#include "mls/MLSLanguageCodes.h"

const char* const LanguageCodes[MLSLanguageCount] = {
    "xxx", "cat", "dan", "deu", "enu", "esp", "fin", "fra", "isl", "ita",
    "nld", "nor", "ptg", "rus", "sve", "ind", "ukr", "bel", "euq", "afk",
};

const char* LanguageCode(int index) {
  return index >= 0 && index < MLSLanguageCount ? LanguageCodes[index] : LanguageCodes[0];
}

std::string LanguageSetCodes(TLanguageSet set) {
  std::string list;
  for (int i = 0; i < MLSLanguageCount; ++i) {
    if (!LanguageSetHas(set, i)) continue;
    if (!list.empty()) list += ", ";
    list += LanguageCodes[i];
  }
  return list;
}
