#include "delivery/SMapiUtils.h"

std::string EscapeMailText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out += "\\n";
      ++i;
    } else if (c == '\r' || c == '\n') {
      // A lone break would end the INI line and let the rest of the body pose as keys of
      // its own (an attachment, say); the reader turns it back into a line break.
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}
