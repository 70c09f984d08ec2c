// How the options dialog shows its longer hints: broken into lines of at most 50
// characters. Platform-neutral.
#pragma once

#include <string>

// Breaks each line of text (lines end in CR LF) into lines of at most maxColumns
// characters: after a hyphen, or at a space or tab, which goes. A word longer than a line
// stays whole.
std::string WrapText(const std::string& text, std::size_t maxColumns);

// A hint as the dialog shows it: stored line breaks ("\n" as two characters) become CR LF,
// then the text is wrapped at 50 columns. Quotes and apostrophes pass through disguised as
// "``" and "??", and so any "??" already in the text comes out as an apostrophe.
std::string WrapHintText(const std::string& hint);
