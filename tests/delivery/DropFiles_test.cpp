// The CF_HDROP block byte by byte, and how a file list splits into paths.
#include <gtest/gtest.h>

#include "delivery/DropFiles.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Header() {
  return Bytes{20, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
}
Bytes Concat(Bytes a, const std::string& tail) {
  a.insert(a.end(), tail.begin(), tail.end());
  return a;
}

TEST(DropFilesBlock, AnEmptyListIsTheHeaderAndThreeZeros) {
  EXPECT_EQ(BuildDropFilesBlock(""), Concat(Header(), std::string(3, '\0')));
  EXPECT_EQ(BuildDropFilesBlock("").size(), 23u);
}

TEST(DropFilesBlock, AnEightCharacterPathTakes31Bytes) {
  Bytes block = BuildDropFilesBlock("C:\\a.wav");
  EXPECT_EQ(block.size(), 31u);
  EXPECT_EQ(block, Concat(Header(), std::string("C:\\a.wav\0\0\0", 11)));
}

TEST(DropFilesBlock, EveryLineIsOneNameInOrder) {
  std::string expected("C:\\x\0D:\\long name.wav\0E:\\y\0\0\0", 29);
  for (const char* list :
       {"C:\\x\r\nD:\\long name.wav\nE:\\y", "C:\\x\rD:\\long name.wav\rE:\\y\r\n",
        "C:\\x\nD:\\long name.wav\r\nE:\\y\n"})
    EXPECT_EQ(BuildDropFilesBlock(list), Concat(Header(), expected)) << list;
}

TEST(DropFilesBlock, NonAsciiBytesPassUnchanged) {
  Bytes block = BuildDropFilesBlock("C:\\\xE4\xF6.wav");
  EXPECT_EQ(block[23], 0xE4);
  EXPECT_EQ(block[24], 0xF6);
}

TEST(SplitFileList, ABreakAtTheEndAddsNoLine) {
  EXPECT_EQ(SplitFileList("a\r\n"), std::vector<std::string>{"a"});
  EXPECT_EQ(SplitFileList("a\n"), std::vector<std::string>{"a"});
  EXPECT_EQ(SplitFileList(""), std::vector<std::string>{});
}

TEST(SplitFileList, EmptyLinesNameNoFileAndDoNotEndTheList) {
  // An empty name in the block would be the list's end: "b" would be lost.
  EXPECT_EQ(SplitFileList("a\r\n\r\nb"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SplitFileList("\n\na"), std::vector<std::string>{"a"});
  EXPECT_EQ(BuildDropFilesBlock("a\n\nb"), Concat(Header(), std::string("a\0b\0\0\0", 6)));
  EXPECT_EQ(BuildDropFilesBlock("\r\n"), BuildDropFilesBlock(""));
}

}  // namespace
