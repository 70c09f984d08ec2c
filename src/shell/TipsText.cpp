#include "shell/TipsText.h"

std::vector<std::string> ParseTips(const std::string& text) {
  std::vector<std::string> tips;
  // Line by line, without iostreams: they would bring the C++ locale machinery into the program.
  for (size_t pos = 0; pos < text.size();) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == ';') continue;
    tips.push_back(line.substr(first));
  }
  return tips;
}
