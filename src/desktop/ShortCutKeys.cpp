#include "desktop/ShortCutKeys.h"

namespace {
constexpr std::uint8_t kF1 = vk::F1;
}

const std::array<TShortCut, HotKeyChoiceCount>& HotKeyChoices() {
  static const std::array<TShortCut, HotKeyChoiceCount> choices = [] {
    std::array<TShortCut, HotKeyChoiceCount> c{};
    std::size_t n = 0;
    for (TShortCut mods : {TShortCut(scCtrl | scAlt), TShortCut(scShift | scAlt)})
      for (char key = 'A'; key <= 'Z'; ++key) c[n++] = ShortCut(static_cast<std::uint8_t>(key), mods);
    for (TShortCut mods : {TShortCut(scCtrl | scAlt), TShortCut(scShift | scAlt)})
      for (std::uint8_t f = 0; f < 12; ++f) c[n++] = ShortCut(static_cast<std::uint8_t>(kF1 + f), mods);
    return c;
  }();
  return choices;
}

void FillShortCutList(std::vector<std::string>& list, const std::string& noneText) {
  list.clear();
  list.push_back(noneText.empty() ? "(None)" : noneText);
  for (TShortCut sc : HotKeyChoices()) list.push_back(ShortCutToText(sc));
}

TShortCut HotKeyToShortCut(std::uint16_t hotKey) {
  const std::uint8_t flags = static_cast<std::uint8_t>(hotKey >> 8);
  TShortCut mods = 0;
  if (flags & HotKeyShift) mods |= scShift;
  if (flags & HotKeyAlt) mods |= scAlt;
  if (flags & HotKeyControl) mods |= scCtrl;
  return ShortCut(static_cast<std::uint8_t>(hotKey & 0xFF), mods);
}

std::uint16_t ShortCutToHotKey(TShortCut shortCut) {
  std::uint8_t flags = 0;
  if (shortCut & scShift) flags |= HotKeyShift;
  if (shortCut & scAlt) flags |= HotKeyAlt;
  if (shortCut & scCtrl) flags |= HotKeyControl;
  return static_cast<std::uint16_t>((flags << 8) | (shortCut & 0xFF));
}
