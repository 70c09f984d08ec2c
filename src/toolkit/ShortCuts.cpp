#include "toolkit/ShortCuts.h"

TShortCut ShortCut(uint8_t key, TShortCut modifiers) {
  return static_cast<TShortCut>(key | (modifiers & (scShift | scCtrl | scAlt)));
}

static std::string KeyName(uint8_t key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, char(key));
  if (key >= vk::F1 && key <= vk::F24) return "F" + std::to_string(key - vk::F1 + 1);
  switch (key) {
    case vk::Back: return "BkSp";
    case vk::Tab: return "Tab";
    case vk::Return: return "Enter";
    case vk::Escape: return "Esc";
    case vk::Space: return "Space";
    case vk::Prior: return "PgUp";
    case vk::Next: return "PgDn";
    case vk::End: return "End";
    case vk::Home: return "Home";
    case vk::Left: return "Left";
    case vk::Up: return "Up";
    case vk::Right: return "Right";
    case vk::Down: return "Down";
    case vk::Insert: return "Ins";
    case vk::Delete: return "Del";
    default: return std::string();
  }
}

std::string ShortCutToText(TShortCut sc) {
  std::string name = KeyName(static_cast<uint8_t>(sc & 0xFF));
  if (name.empty()) return name;
  std::string text;
  if (sc & scShift) text += "Shift+";
  if (sc & scCtrl) text += "Ctrl+";
  if (sc & scAlt) text += "Alt+";
  return text + name;
}

TShortCut TextToShortCut(const std::string& textIn) {
  std::string text = textIn;
  TShortCut mods = 0;
  for (bool found = true; found;) {
    found = false;
    for (auto [prefix, flag] : {std::pair{"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}}) {
      std::string p = prefix;
      if (text.size() > p.size() && text.compare(0, p.size(), p) == 0) {
        mods |= flag;
        text.erase(0, p.size());
        found = true;
      }
    }
  }
  for (int key = 1; key < 256; ++key)
    if (KeyName(static_cast<uint8_t>(key)) == text) return ShortCut(static_cast<uint8_t>(key), mods);
  return scNone;
}
