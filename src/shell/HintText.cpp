#include "shell/HintText.h"

#include <vector>

#include "util/StrUtils.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void WrapLine(const std::string& line, std::size_t maxColumns, std::string& out) {
  std::size_t start = 0;
  while (line.size() - start > maxColumns) {
    // The widest first part that ends before a blank or after a hyphen.
    std::size_t cut = 0;
    for (std::size_t k = start + 1; k <= start + maxColumns; ++k)
      if (IsBlank(line[k]) || line[k - 1] == '-') cut = k;
    if (cut == 0) {
      // A word longer than a line: it overflows up to its end.
      for (std::size_t k = start + maxColumns + 1; k < line.size() && cut == 0; ++k)
        if (IsBlank(line[k]) || line[k - 1] == '-') cut = k;
      if (cut == 0) break;
    }
    std::size_t end = cut;
    while (end > start && IsBlank(line[end - 1])) --end;
    out.append(line, start, end - start);
    start = cut;
    while (start < line.size() && IsBlank(line[start])) ++start;
    if (start >= line.size()) return;
    out += "\r\n";
  }
  out.append(line, start, std::string::npos);
}

}  // namespace

std::string WrapText(const std::string& text, std::size_t maxColumns) {
  std::string out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find("\r\n", start);
    WrapLine(text.substr(start, end == std::string::npos ? std::string::npos : end - start),
             maxColumns, out);
    if (end == std::string::npos) break;
    out += "\r\n";
    start = end + 2;
  }
  return out;
}

std::string WrapHintText(const std::string& hint) {
  std::string text = ConvertLineBreaks(hint);
  text = ReplaceAll(ReplaceAll(text, "\"", "``"), "'", "??");
  text = WrapText(text, 50);
  return ReplaceAll(ReplaceAll(text, "??", "'"), "``", "\"");
}
