#include "delivery/DropFiles.h"

#include <cstdint>

std::vector<std::string> SplitFileList(const std::string& fileList) {
  // With empty lines left out, any run of CR and LF characters separates two paths.
  std::vector<std::string> lines;
  size_t start = 0;
  while ((start = fileList.find_first_not_of("\r\n", start)) != std::string::npos) {
    size_t end = fileList.find_first_of("\r\n", start);
    if (end == std::string::npos) end = fileList.size();
    lines.push_back(fileList.substr(start, end - start));
    start = end;
  }
  return lines;
}

namespace {
void Put32(std::vector<unsigned char>& block, size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) block[at + i] = static_cast<unsigned char>(value >> (8 * i));
}
}  // namespace

std::vector<unsigned char> BuildDropFilesBlock(const std::string& fileList) {
  constexpr size_t kHeader = 20;
  std::vector<std::string> names = SplitFileList(fileList);
  size_t area = names.empty() ? 2 : 1;
  for (const std::string& n : names) area += n.size() + 1;
  std::vector<unsigned char> block(kHeader + area + 1, 0);
  Put32(block, 0, kHeader);  // pFiles: the names follow the header at once
  Put32(block, 4, 1);        // pt.x
  Put32(block, 8, 1);        // pt.y
  Put32(block, 12, 0);       // fNC
  Put32(block, 16, 0);       // fWide: single-byte names in the system code page
  size_t at = kHeader;
  for (const std::string& n : names) {
    for (char c : n) block[at++] = static_cast<unsigned char>(c);
    ++at;  // its zero; the block was zero-filled
  }
  return block;
}
