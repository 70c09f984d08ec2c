#include "mls/MLSLanguages.h"

#include <vector>

std::array<std::string, MLSLanguageCount> LanguageNames;
std::array<LCID, MLSLanguageCount> LanguageLCIDs{};

namespace {

std::vector<LCID>* EnumTarget = nullptr;

BOOL CALLBACK CollectLocale(LPSTR text) {
  EnumTarget->push_back(static_cast<LCID>(strtoul(text, nullptr, 16)));
  return TRUE;
}

std::string LocaleText(LCID lcid, LCTYPE type) {
  char buffer[128] = {};
  if (GetLocaleInfoA(lcid, type, buffer, sizeof buffer) == 0) return "";
  return buffer;
}

}  // namespace

void FillLanguageTable() {
  std::vector<LCID> locales;
  EnumTarget = &locales;
  EnumSystemLocalesA(CollectLocale, LCID_SUPPORTED);
  EnumTarget = nullptr;

  for (int i = 0; i < MLSLanguageCount; ++i) {
    LanguageNames[i] = "(Unknown)";
    LanguageLCIDs[i] = 0;
    if (i == 0) continue;  // "xxx" stands for no language
    for (LCID lcid : locales) {
      if (lstrcmpiA(LocaleText(lcid, LOCALE_SABBREVLANGNAME).c_str(), LanguageCodes[i]) == 0) {
        LanguageNames[i] = LocaleText(lcid, LOCALE_SLANGUAGE);
        LanguageLCIDs[i] = lcid;
        break;
      }
    }
  }
  // The compiled-in modules are English by index 4 and find it through 1033; without a
  // locale list that must still hold.
  if (LanguageLCIDs[4] == 0) {
    LanguageLCIDs[4] = 1033;
    LanguageNames[4] = "English (United States)";
  }
}

void ReleaseLanguageTable() {
  for (auto& name : LanguageNames) std::string().swap(name);
  LanguageLCIDs.fill(0);
}

int IndexOfLCID(LCID lcid) {
  for (int i = 0; i < MLSLanguageCount; ++i)
    if (LanguageLCIDs[i] == lcid) return i;
  return 0;
}
