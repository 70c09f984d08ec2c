// The CF_HDROP block byte by byte, from the file list as text.
#include <gtest/gtest.h>

#include "delivery/DropFiles.h"

namespace {

TEST(DropFilesBlock, TheHeaderThenEachNameWithItsZeroThenTwoZeros) {
  const std::string header("\x14\0\0\0\1\0\0\0\1\0\0\0\0\0\0\0\0\0\0\0", 20);
  const struct {
    const char* list;
    std::string names;
  } cases[] = {
      {"", std::string(3, '\0')},  // room for one empty name
      {"\r\n", std::string(3, '\0')},
      {"C:\\a.wav", std::string("C:\\a.wav\0\0\0", 11)},
      {"C:\\x\r\nD:\\long name.wav\nE:\\y",
       std::string("C:\\x\0D:\\long name.wav\0E:\\y\0\0\0", 29)},
      {"C:\\x\rD:\\y\r\n", std::string("C:\\x\0D:\\y\0\0\0", 12)},
      // An empty name in the block would end the list there: "b" would be lost.
      {"a\n\nb", std::string("a\0b\0\0\0", 6)},
      {"C:\\\xE4\xF6.wav", std::string("C:\\\xE4\xF6.wav\0\0\0", 12)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list);
    const std::vector<unsigned char> block = BuildDropFilesBlock(c.list);
    EXPECT_EQ(std::string(block.begin(), block.end()), header + c.names);
  }
}

}  // namespace
