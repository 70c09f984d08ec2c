#include <gtest/gtest.h>

#include "TestWaves.h"
#include "convert/WavFormatUtils.h"
#include "convert/WaveFormat.h"

namespace vocalet {
namespace {

using test::Bytes;
using test::WaveParams;

struct Header {
  bool accepted;
  WaveFormatEx format;
  std::uint32_t dataLength = 0;
  std::int64_t position;
};

Header Read(const Bytes& file) {
  TMemoryStream s(file);
  std::uint8_t format[kPcmFormatBufferSize];
  Header h{};
  h.accepted = ReadWaveHeader(s, format, h.dataLength);
  h.format = LoadFormat(format);
  h.position = s.Position();
  return h;
}

void Insert(Bytes& b, std::size_t at, const Bytes& chunk) {
  b.insert(b.begin() + long(at), chunk.begin(), chunk.end());
}

TEST(ReadWaveHeader, AcceptsOnlyPlainPcmAndStopsAtTheFirstSample) {
  const struct {
    const char* what;
    WaveParams params;
    void (*edit)(Bytes&);
    bool accepted;
    std::uint32_t dataLength = 10;
  } cases[] = {
      {"16-byte format", {}, nullptr, true},
      {"beep layout", {.rate = 22050, .bits = 8, .fmtLength = 18, .factValue = 4824}, nullptr,
       true},
      {"stereo", {.channels = 2, .rate = 44100}, nullptr, true},
      {"24-byte format skipped", {}, [](Bytes& b) { Insert(b, 36, Bytes(8, 0xEE)), b[16] = 24; },
       true},
      {"length taken as stated", {}, [](Bytes& b) { b[40] = b[41] = b[42] = 0xFF, b[43] = 0x7F; },
       true, 0x7FFFFFFF},
      {"three channels", {.channels = 3}, nullptr, false},
      {"GSM 6.10", {.tag = 49, .bits = 0, .blockAlign = 65, .avgBytes = 1625}, nullptr, false},
      {"byte rate off by one", {.avgBytes = 16001}, nullptr, false},
      {"LIST before data", {}, [](Bytes& b) { Insert(b, 36, test::Chunk("LIST", {'I', 'N'})); },
       false},
      {"fact before fmt", {}, [](Bytes& b) { Insert(b, 12, test::Chunk("fact", Bytes(4))); },
       false},
      {"RIFF", {}, [](Bytes& b) { b[0] ^= 0x20; }, false},
      {"WAVE", {}, [](Bytes& b) { b[8] ^= 0x20; }, false},
      {"fmt ", {}, [](Bytes& b) { b[12] ^= 0x20; }, false},
      {"data", {}, [](Bytes& b) { b[36] ^= 0x20; }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes file = test::MakeWave(c.params, Bytes(10, 0));
    if (c.edit) c.edit(file);
    const Header h = Read(file);
    ASSERT_EQ(h.accepted, c.accepted);
    if (!c.accepted) continue;
    EXPECT_EQ(unsigned{h.format.nChannels}, c.params.channels);
    EXPECT_EQ(unsigned{h.format.nSamplesPerSec}, c.params.rate);
    EXPECT_EQ(unsigned{h.format.wBitsPerSample}, c.params.bits);
    EXPECT_EQ(h.dataLength, c.dataLength);
    EXPECT_EQ(h.position, std::int64_t(file.size() - 10));
  }
}

TEST(ReadWaveHeader, RefusesTruncatedFilesAtEveryLength) {
  const Bytes file = test::MakeWave({.fmtLength = 18, .factValue = 3}, {});
  for (std::size_t n = 0; n < file.size(); ++n) {
    EXPECT_FALSE(Read(Bytes(file.begin(), file.begin() + long(n))).accepted) << n;
  }
  EXPECT_TRUE(Read(file).accepted);
}

}  // namespace
}  // namespace vocalet
