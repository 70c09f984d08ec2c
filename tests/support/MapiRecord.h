// What the tests' recording MAPI32.DLL wrote: "tag count" lines followed by that many bytes
// for texts, "tag value" lines for numbers; a missing text is recorded as "<null>".
#pragma once

#include <string>
#include <utility>
#include <vector>

using TRecord = std::vector<std::pair<std::string, std::string>>;

inline TRecord ParseRecord(const std::string& data) {
  static const std::string texts[] = {"subject", "text", "recipname", "recipaddr", "filepath",
                                      "filename"};
  TRecord record;
  size_t pos = 0;
  while (pos < data.size()) {
    size_t eol = data.find('\n', pos);
    if (eol == std::string::npos) break;
    std::string line = data.substr(pos, eol - pos);
    pos = eol + 1;
    size_t space = line.find(' ');
    std::string tag = line.substr(0, space), value = line.substr(space + 1);
    bool isText = false;
    for (const auto& t : texts) isText = isText || t == tag;
    if (isText) {
      long n = std::stol(value);
      value = n < 0 ? "<null>" : data.substr(pos, static_cast<size_t>(n));
      pos += static_cast<size_t>(n < 0 ? 0 : n) + 1;
    }
    record.emplace_back(tag, value);
  }
  return record;
}
