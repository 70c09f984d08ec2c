// Keyboard shortcuts as the menus keep them: a virtual-key code in the low byte with
// modifier flags above it, and their standard English names ("Ctrl+Alt+A", "Shift+Alt+F12").
#pragma once

#include <cstdint>
#include <string>

using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

// Virtual-key codes the program names (the platform's values).
namespace vk {
constexpr uint8_t Back = 0x08, Tab = 0x09, Return = 0x0D, Escape = 0x1B, Space = 0x20,
                  Prior = 0x21, Next = 0x22, End = 0x23, Home = 0x24, Left = 0x25, Up = 0x26,
                  Right = 0x27, Down = 0x28, Insert = 0x2D, Delete = 0x2E, F1 = 0x70, F24 = 0x87;
}

TShortCut ShortCut(uint8_t key, TShortCut modifiers);
// "" for a code without a known key name.
std::string ShortCutToText(TShortCut shortCut);
// scNone when the text names no shortcut.
TShortCut TextToShortCut(const std::string& text);
