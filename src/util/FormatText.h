// Format strings of the string modules ("%s KHz", "Message duration %d Sec.\n...") filled
// with arguments. Translators write these strings, so a specifier that does not match its
// argument, or has none, never fails: the argument is shown as text, or nothing.
#pragma once

#include <string>
#include <variant>
#include <vector>

using TFormatArg = std::variant<long long, std::string>;

// Supports %d, %s, %u, %x and %% with an optional "-", width and ".precision" (%.d is %d).
std::string FormatText(const std::string& format, const std::vector<TFormatArg>& args);
