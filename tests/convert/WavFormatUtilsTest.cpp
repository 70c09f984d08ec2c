#include <gtest/gtest.h>

#include "convert/WavFormatUtils.h"
#include "convert/WaveFormat.h"
#include "TestWaves.h"

namespace vocalet {
namespace {

using test::Bytes;
using test::MakeWave;
using test::WaveSpec;

struct HeaderResult {
  bool accepted;
  WaveFormatEx format;
  std::uint32_t dataLength;
  std::int64_t position;
};

HeaderResult Read(const Bytes& file) {
  TMemoryStream s(file);
  std::uint8_t format[kPcmFormatBufferSize];
  std::uint32_t length = 0;
  HeaderResult r{};
  r.accepted = ReadWaveHeader(s, format, length);
  r.format = LoadFormat(format);
  r.dataLength = length;
  r.position = s.Position();
  return r;
}

TEST(ReadWaveHeader, AcceptsTheBeepSoundLayout) {
  // 8-bit mono 22050 Hz, 18-byte format chunk with cbSize 0, fact 4824, 4824 data bytes.
  WaveSpec spec;
  spec.bits = 8;
  spec.rate = 22050;
  spec.fmtLength = 18;
  spec.factValue = 4824;
  const Bytes file = MakeWave(spec, Bytes(4824, 128));
  const HeaderResult r = Read(file);
  ASSERT_TRUE(r.accepted);
  EXPECT_EQ(+r.format.nSamplesPerSec, 22050u);
  EXPECT_EQ(+r.format.wBitsPerSample, 8u);
  EXPECT_EQ(r.dataLength, 4824u);
  EXPECT_EQ(r.position, static_cast<std::int64_t>(file.size() - 4824));  // at the first sample
}

TEST(ReadWaveHeader, AcceptsASixteenByteFormatChunkFollowedByData) {
  const Bytes file = MakeWave(WaveSpec{}, Bytes(100, 0));
  const HeaderResult r = Read(file);
  ASSERT_TRUE(r.accepted);
  EXPECT_EQ(r.dataLength, 100u);
  EXPECT_EQ(r.position, 44);
}

TEST(ReadWaveHeader, AcceptsLongerFormatChunksAndSkipsThem) {
  Bytes file = MakeWave(WaveSpec{}, Bytes(10, 0));
  // Grow the format chunk to 24 bytes: the reader must land on "data" after it.
  file.insert(file.begin() + 36, 8, 0xEE);
  file[16] = 24;
  const HeaderResult r = Read(file);
  ASSERT_TRUE(r.accepted);
  EXPECT_EQ(r.dataLength, 10u);
}

TEST(ReadWaveHeader, RefusesWhatIsNotPlainPcmInOneOrTwoChannels) {
  WaveSpec three;
  three.channels = 3;
  WaveSpec gsm;
  gsm.tag = 49;
  gsm.bits = 0;
  gsm.blockAlign = 65;
  gsm.avgBytes = 1625;
  WaveSpec badRate;
  badRate.avgBytes = 16001;
  for (const WaveSpec& s : {three, gsm, badRate}) {
    EXPECT_FALSE(Read(MakeWave(s, Bytes(64, 0))).accepted) << s.tag << " " << s.channels << " " << s.avgBytes;
  }
}

TEST(ReadWaveHeader, RefusesOtherChunksAndBrokenIdentifiers) {
  const Bytes good = MakeWave(WaveSpec{}, Bytes(8, 0));
  Bytes list = good;  // a LIST chunk between "fmt " and "data"
  const Bytes chunk = {'L', 'I', 'S', 'T', 4, 0, 0, 0, 'I', 'N', 'F', 'O'};
  list.insert(list.begin() + 36, chunk.begin(), chunk.end());
  EXPECT_FALSE(Read(list).accepted);

  Bytes factFirst;  // "fact" before "fmt "
  test::PutId(factFirst, "RIFF");
  test::PutU32(factFirst, 0);
  test::PutId(factFirst, "WAVE");
  test::PutId(factFirst, "fact");
  test::PutU32(factFirst, 4);
  test::PutU32(factFirst, 0);
  factFirst.insert(factFirst.end(), good.begin() + 12, good.end());
  EXPECT_FALSE(Read(factFirst).accepted);

  for (std::size_t at : {0u, 8u, 12u, 36u}) {
    Bytes broken = good;
    broken[at] ^= 0x20;
    EXPECT_FALSE(Read(broken).accepted) << "identifier at " << at;
  }
}

TEST(ReadWaveHeader, RefusesTruncatedFilesAtEveryLength) {
  WaveSpec spec;
  spec.fmtLength = 18;
  spec.factValue = 3;
  const Bytes file = MakeWave(spec, Bytes(4, 0));
  const std::size_t header = file.size() - 4;
  for (std::size_t n = 0; n < header; ++n) {
    EXPECT_FALSE(Read(Bytes(file.begin(), file.begin() + static_cast<long>(n))).accepted) << n;
  }
  EXPECT_TRUE(Read(Bytes(file.begin(), file.begin() + static_cast<long>(header))).accepted);
}

TEST(ReadWaveHeader, TakesTheDataLengthAsStated) {
  Bytes file = MakeWave(WaveSpec{}, Bytes(10, 0));
  file[40] = 0xFF;
  file[41] = 0xFF;
  file[42] = 0xFF;
  file[43] = 0x7F;
  const HeaderResult r = Read(file);
  EXPECT_TRUE(r.accepted);
  EXPECT_EQ(r.dataLength, 0x7FFFFFFFu);
}

Bytes GsmFormatRecord() {
  Bytes f;
  test::PutU16(f, 49);
  test::PutU16(f, 1);
  test::PutU32(f, 8000);
  test::PutU32(f, 1625);
  test::PutU16(f, 65);
  test::PutU16(f, 0);
  test::PutU16(f, 2);
  test::PutU16(f, 320);
  return f;
}

TEST(ConvertedFileWriter, WritesPlaceholdersThenPatchesThem) {
  const Bytes format = GsmFormatRecord();
  TMemoryStream s;
  WriteWaveFileHeader(s, format.data());
  const Bytes header = s.Bytes();
  ASSERT_EQ(header.size(), 60u);
  EXPECT_EQ(test::GetU32(header, 4), 0u);
  EXPECT_EQ(test::GetU32(header, 48), 0u);
  EXPECT_EQ(test::GetU32(header, 56), 0u);
  EXPECT_EQ(test::GetU32(header, 16), 20u);
  EXPECT_EQ(0, std::memcmp(&header[20], format.data(), 20));
  EXPECT_EQ(0, std::memcmp(&header[40], "fact\x04\0\0\0", 8));
  EXPECT_EQ(0, std::memcmp(&header[52], "data", 4));

  const Bytes data(131, 0x5A);  // two whole blocks and one byte: fact counts whole blocks
  s.Write(data.data(), data.size());
  PatchWaveFileHeader(s, 0, format.data(), 131);
  const Bytes& out = s.Bytes();
  ASSERT_EQ(out.size(), 191u);  // D + 60, not padded to an even length
  EXPECT_EQ(test::GetU32(out, 4), 131u + 52u);
  EXPECT_EQ(test::GetU32(out, 48), 2u);
  EXPECT_EQ(test::GetU32(out, 56), 131u);
  EXPECT_EQ(s.Position(), 191);
}

TEST(ConvertedFileWriter, AtANonZeroStartShiftsTheBytesAndTouchesNothingBefore) {
  const Bytes format = GsmFormatRecord();
  const Bytes data(65 * 3, 0x33);
  TMemoryStream plain;
  WriteWaveFileHeader(plain, format.data());
  plain.Write(data.data(), data.size());
  PatchWaveFileHeader(plain, 0, format.data(), static_cast<std::uint32_t>(data.size()));

  const Bytes prefix(37, 0xA5);
  TMemoryStream shifted(prefix);
  shifted.Seek(0, SeekOrigin::End);
  WriteWaveFileHeader(shifted, format.data());
  shifted.Write(data.data(), data.size());
  PatchWaveFileHeader(shifted, 37, format.data(), static_cast<std::uint32_t>(data.size()));

  Bytes expected = prefix;
  expected.insert(expected.end(), plain.Bytes().begin(), plain.Bytes().end());
  EXPECT_EQ(shifted.Bytes(), expected);
}

TEST(ConvertedFileWriter, FactIsTheDataLengthWhenBlockAlignIsZero) {
  Bytes format = GsmFormatRecord();
  format[12] = format[13] = 0;
  TMemoryStream s;
  WriteWaveFileHeader(s, format.data());
  PatchWaveFileHeader(s, 0, format.data(), 77);
  EXPECT_EQ(test::GetU32(s.Bytes(), 48), 77u);
}

}  // namespace
}  // namespace vocalet
