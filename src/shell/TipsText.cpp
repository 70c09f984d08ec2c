#include "shell/TipsText.h"

#include <sstream>

std::vector<std::string> ParseTips(const std::string& text) {
  std::vector<std::string> tips;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == ';') continue;
    tips.push_back(line.substr(first));
  }
  return tips;
}
