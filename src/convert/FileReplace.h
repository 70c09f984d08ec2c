// Replacing a file's contents so that a failure at any point leaves the old file as it was.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vocalet {

// Writes bytes to a new file beside fileName and moves it over fileName once it is complete
// and flushed. On failure returns false, fileName is untouched and the new file is removed.
bool ReplaceFileContents(const std::string& fileName, const std::vector<std::uint8_t>& bytes);

// The name of the file written beside fileName while it is being replaced.
std::string ReplacementFileName(const std::string& fileName);

}  // namespace vocalet
