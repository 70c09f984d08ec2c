// Replacing a file's contents so that a failure at any point leaves the old file as it was.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "util/SafeWrite.h"

namespace vocalet {

// Writes bytes to a new file beside fileName (ReplacementFileName) and moves it over fileName
// once it is complete and flushed. On failure returns false, fileName is untouched and the
// new file is removed.
bool ReplaceFileContents(const std::string& fileName, const std::vector<std::uint8_t>& bytes);

}  // namespace vocalet
