#include "convert/FileReplace.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace vocalet {

std::string ReplacementFileName(const std::string& fileName) { return fileName + ".new"; }

bool ReplaceFileContents(const std::string& fileName, const std::vector<std::uint8_t>& bytes) {
  const std::string temp = ReplacementFileName(fileName);
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fflush(f) == 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  if (ok) {
    // Replaces an existing file in one step, on Windows too (MoveFileEx with
    // MOVEFILE_REPLACE_EXISTING in the mingw runtime).
    std::error_code ec;
    std::filesystem::rename(temp, fileName, ec);
    ok = !ec;
  }
  if (!ok) std::remove(temp.c_str());
  return ok;
}

}  // namespace vocalet
