// The tips file of the information panel as text: platform-neutral, so that the parser is
// sanitised and fuzzed on the host.
#pragma once

#include <string>
#include <vector>

// The tips of a file: one a line, blank lines and lines starting with ';' left out; the
// line-break sequence \n stays for the label to turn into a break.
std::vector<std::string> ParseTips(const std::string& text);
