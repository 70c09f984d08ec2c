#include "util/FormatText.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {
std::string ArgText(const TFormatArg& a, char conv, int precision) {
  if (const auto* s = std::get_if<std::string>(&a)) {
    if (conv == 's' && precision >= 0 && static_cast<size_t>(precision) < s->size())
      return s->substr(0, static_cast<size_t>(precision));
    return *s;
  }
  long long v = std::get<long long>(a);
  char buf[32];
  if (conv == 'x') {
    std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(v));
  } else if (conv == 'u') {
    std::snprintf(buf, sizeof buf, "%llu", static_cast<unsigned long long>(static_cast<unsigned>(v)));
  } else {
    std::snprintf(buf, sizeof buf, "%lld", v);
  }
  std::string text = buf;
  // Delphi's %.Nd pads with zeros to N digits.
  if (conv != 's' && precision > 0) {
    bool neg = !text.empty() && text[0] == '-';
    std::string digits = neg ? text.substr(1) : text;
    if (digits.size() < static_cast<size_t>(precision))
      digits = std::string(static_cast<size_t>(precision) - digits.size(), '0') + digits;
    text = (neg ? "-" : "") + digits;
  }
  return text;
}
}  // namespace

std::string FormatText(const std::string& format, const std::vector<TFormatArg>& args) {
  std::string out;
  size_t next = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c != '%') {
      out += c;
      continue;
    }
    size_t j = i + 1;
    if (j < format.size() && format[j] == '%') {
      out += '%';
      i = j;
      continue;
    }
    bool left = false;
    if (j < format.size() && format[j] == '-') {
      left = true;
      ++j;
    }
    int width = 0, precision = -1;
    // Widths and precisions are bounded: a string module is not to make us build huge texts.
    while (j < format.size() && std::isdigit(static_cast<unsigned char>(format[j])))
      width = std::min(1000, width * 10 + (format[j++] - '0'));
    if (j < format.size() && format[j] == '.') {
      precision = 0;
      ++j;
      while (j < format.size() && std::isdigit(static_cast<unsigned char>(format[j])))
        precision = std::min(1000, precision * 10 + (format[j++] - '0'));
    }
    if (j >= format.size()) {  // a lone % at the end stays as written
      out.append(format, i, std::string::npos);
      break;
    }
    char conv = static_cast<char>(std::tolower(static_cast<unsigned char>(format[j])));
    if (conv != 'd' && conv != 's' && conv != 'u' && conv != 'x') {
      out.append(format, i, j - i + 1);  // unknown: keep the text
      i = j;
      continue;
    }
    std::string text = next < args.size() ? ArgText(args[next], conv, precision) : std::string();
    ++next;
    if (static_cast<int>(text.size()) < width) {
      std::string pad(static_cast<size_t>(width) - text.size(), ' ');
      text = left ? text + pad : pad + text;
    }
    out += text;
    i = j;
  }
  return out;
}
