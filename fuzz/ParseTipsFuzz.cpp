// libFuzzer target for the information panel's tips parser: ./build.sh fuzz fuzz_ParseTips 600
// Input: the contents of a tips file ("VocaletTips.enu"), as a user or translator wrote it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "shell/TipsText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto tips = ParseTips(text);
  std::size_t lines = 1;
  for (char c : text) lines += c == '\n';
  if (tips.size() > lines) __builtin_trap();
  for (const std::string& tip : tips) {
    // A tip is one line of text: never empty, never a comment, never a line break in it.
    if (tip.empty() || tip[0] == ' ' || tip[0] == '\t' || tip[0] == ';') __builtin_trap();
    if (tip.find('\n') != std::string::npos) __builtin_trap();
    if (text.find(tip) == std::string::npos) __builtin_trap();
  }
  return 0;
}
