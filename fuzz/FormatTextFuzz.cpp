// libFuzzer target for FormatText: ./build.sh fuzz fuzz_FormatText 600
// Translators write the formats, so anything may come: a format and its arguments, separated
// by zero bytes. An argument starting with 'i' is a number (its decimal text follows), any
// other is a string without its first byte.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "util/FormatText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0)
      parts.emplace_back();
    else
      parts.back() += static_cast<char>(data[i]);
  }
  if (parts.size() > 17) return 0;
  const std::string& format = parts[0];
  std::vector<TFormatArg> args;
  std::size_t longest = 0;
  for (std::size_t i = 1; i < parts.size(); ++i) {
    const std::string& p = parts[i];
    if (!p.empty() && p[0] == 'i') {
      args.emplace_back(std::strtoll(p.c_str() + 1, nullptr, 10));
    } else {
      args.emplace_back(p.empty() ? std::string() : p.substr(1));
      longest = std::max(longest, p.size());
    }
  }
  const std::string out = FormatText(format, args);

  // A text without specifiers comes back as it is.
  if (format.find('%') == std::string::npos && out != format) __builtin_trap();
  // Each specifier grows the text by at most its width (bounded), or its argument, or a
  // number: a module cannot make us build a huge text.
  std::size_t specifiers = 0;
  for (char c : format) specifiers += c == '%';
  if (out.size() > format.size() + specifiers * (1000 + longest + 32)) __builtin_trap();
  return 0;
}
