// The hot keys the program offers for its shortcuts, and the conversions between the
// shell's hot-key word and the window layer's shortcut value. Platform-neutral.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/ShortCuts.h"

// The shell's modifier flags in the high byte of a hot-key word.
constexpr std::uint8_t HotKeyShift = 1, HotKeyControl = 2, HotKeyAlt = 4;

// Ctrl+Alt+A..Z, Shift+Alt+A..Z, Ctrl+Alt+F1..F12, Shift+Alt+F1..F12: never a single
// modifier, never Ctrl+Shift, so that no choice steals a key some program already uses.
constexpr std::size_t HotKeyChoiceCount = 76;
const std::array<TShortCut, HotKeyChoiceCount>& HotKeyChoices();

// Clears the list, adds the none text ("(None)" when empty), then the name of each choice
// in table order: item n is the n-th choice, item 0 no hot key.
void FillShortCutList(std::vector<std::string>& list, const std::string& noneText);

TShortCut HotKeyToShortCut(std::uint16_t hotKey);
std::uint16_t ShortCutToHotKey(TShortCut shortCut);
