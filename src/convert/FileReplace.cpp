#include "convert/FileReplace.h"

namespace vocalet {

bool ReplaceFileContents(const std::string& fileName, const std::vector<std::uint8_t>& bytes) {
  return WriteFileSafely(fileName, bytes.data(), bytes.size());
}

}  // namespace vocalet
