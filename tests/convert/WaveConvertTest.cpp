#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <sys/resource.h>
#endif

#include "TestWaves.h"
#include "convert/FileReplace.h"
#include "convert/WaveConvert.h"
#include "convert/WaveFormat.h"

namespace vocalet {
namespace {

using test::Bytes;
using test::GetU32;
using test::MakeWave;
using test::WaveParams;

// Our layer, with one call made to fail and every call counted.
class ScriptedLayer : public acm::AcmLayer {
 public:
  std::string failStep;   // e.g. "Convert"; with failAt, the n-th such call (1-based)
  int failAt = 0;
  std::uint32_t failCode = 0;
  std::map<std::string, int> calls;

  acm::Result FormatSuggest(const std::uint8_t* s, std::uint8_t* d, std::uint32_t cb, std::uint32_t f) override {
    return Hit("Suggest") ? failCode : AcmLayer::FormatSuggest(s, d, cb, f);
  }
  acm::Result StreamOpen(acm::AcmStreamPtr& p, const std::uint8_t* s, const std::uint8_t* d, std::uint32_t f) override {
    return Hit("Open") ? failCode : AcmLayer::StreamOpen(p, s, d, f);
  }
  acm::Result StreamClose(acm::AcmStreamPtr& p, std::uint32_t f) override {
    return Hit("Close") ? failCode : AcmLayer::StreamClose(p, f);
  }
  acm::Result StreamPrepareHeader(acm::AcmStream* s, acm::AcmStreamHeader& h, std::uint32_t f) override {
    return Hit("Prepare") ? failCode : AcmLayer::StreamPrepareHeader(s, h, f);
  }
  acm::Result StreamUnprepareHeader(acm::AcmStream* s, acm::AcmStreamHeader& h, std::uint32_t f) override {
    return Hit("Unprepare") ? failCode : AcmLayer::StreamUnprepareHeader(s, h, f);
  }
  acm::Result StreamConvert(acm::AcmStream* s, acm::AcmStreamHeader& h, std::uint32_t f) override {
    return Hit("Convert") ? failCode : AcmLayer::StreamConvert(s, h, f);
  }

 private:
  bool Hit(const std::string& step) { return ++calls[step] == failAt && step == failStep; }
};

struct Outcome {
  bool ok;
  std::uint32_t code;
  std::string message;
  Bytes out;
};

Outcome Convert(const Bytes& file, acm::AcmLayer& layer = acm::DefaultAcmLayer(), const Bytes& prefix = {}) {
  TWaveFormatList converter(layer);
  TMemoryStream source(file), dest(prefix);
  dest.Seek(0, SeekOrigin::End);
  std::vector<std::uint8_t> format(MaxFormatSize, 0);
  format[0] = kWaveFormatGsm610;
  Outcome o;
  o.ok = converter.DoubleConvert(source, dest, format.data());
  o.code = converter.ErrorCode;
  o.message = converter.ErrorMessage;
  o.out = dest.Bytes();
  return o;
}

// Checks the GSM 6.10 file layout and returns its data length.
std::uint32_t CheckGsmFile(const Bytes& out, std::size_t at = 0) {
  EXPECT_GE(out.size(), at + 60);
  if (out.size() < at + 60) return 0;
  const std::uint32_t d = GetU32(out, at + 56);
  EXPECT_EQ(out.size(), at + 60 + d);
  EXPECT_EQ(0, std::memcmp(&out[at], "RIFF", 4));
  EXPECT_EQ(GetU32(out, at + 4), d + 52);
  EXPECT_EQ(0, std::memcmp(&out[at + 8], "WAVEfmt \x14\0\0\0\x31\0\x01\0\x40\x1f\0\0\x59\x06\0\0\x41\0\0\0\x02\0\x40\x01", 32));
  EXPECT_EQ(0, std::memcmp(&out[at + 40], "fact\x04\0\0\0", 8));
  EXPECT_EQ(GetU32(out, at + 48), d / 65);
  EXPECT_EQ(0, std::memcmp(&out[at + 52], "data", 4));
  EXPECT_EQ(d % 65, 0u);
  return d;
}

std::uint32_t BlocksFor(std::uint64_t samples8k) { return static_cast<std::uint32_t>((samples8k + 319) / 320); }

Bytes StereoNoise(std::size_t frames) { return test::Pcm16Bytes(test::Noise(frames * 2, 99, 12000)); }

TEST(DoubleConvert, ConvertsTheBeepLikeSourceWithFactChunk) {
  WaveParams params;
  params.bits = 8;
  params.rate = 22050;
  params.fmtLength = 18;
  params.factValue = 4824;
  Bytes data(4824);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(128 + 90 * std::sin(i * 0.2));
  const Outcome o = Convert(MakeWave(params, data));
  ASSERT_TRUE(o.ok) << o.message;
  EXPECT_EQ(CheckGsmFile(o.out), 65 * BlocksFor((4824 * 8000 + 22049) / 22050));
}

TEST(DoubleConvert, ConvertsASixteenByteFormatChunkSource) {
  const Outcome o = Convert(MakeWave(WaveParams{}, test::Pcm16Bytes(test::Sine(1000, 440, 8000, 9000))));
  ASSERT_TRUE(o.ok) << o.message;
  EXPECT_EQ(CheckGsmFile(o.out), 65u * 4);
}

TEST(DoubleConvert, ConvertsThreeMebibytesOf44100HzStereoInThreeBlocks) {
  WaveParams params;
  params.channels = 2;
  params.rate = 44100;
  const std::size_t frames = 3 * 1048576 / 4;
  ScriptedLayer layer;
  const Outcome o = Convert(MakeWave(params, StereoNoise(frames)), layer);
  ASSERT_TRUE(o.ok) << o.message;
  EXPECT_EQ(layer.calls["Convert"], 6);  // two stages, three blocks
  const std::uint32_t d = CheckGsmFile(o.out);
  EXPECT_EQ(d, 65 * BlocksFor((std::uint64_t{frames} * 8000 + 44099) / 44100));
}

TEST(DoubleConvert, ConvertsExactlyOneMebibyteOf8000HzMonoInOneBlock) {
  ScriptedLayer layer;
  const Outcome o = Convert(MakeWave(WaveParams{}, test::Pcm16Bytes(test::Noise(524288, 3, 8000))), layer);
  ASSERT_TRUE(o.ok) << o.message;
  EXPECT_EQ(layer.calls["Convert"], 2);
  EXPECT_EQ(CheckGsmFile(o.out), 65u * BlocksFor(524288));
}

// Every sample reaches the output: across the 1 MiB seams of the source and at its end, where
// the last block is completed with silence.
TEST(DoubleConvert, LosesNoSamplesAtTheSeamsOrAtTheEnd) {
  for (std::size_t samples : {1u, 319u, 321u, 524288u + 100u, 2u * 524288u + 777u}) {
    const Outcome o = Convert(MakeWave(WaveParams{}, test::Pcm16Bytes(test::Noise(samples, 5, 8000))));
    ASSERT_TRUE(o.ok) << o.message;
    EXPECT_EQ(CheckGsmFile(o.out), 65 * BlocksFor(samples)) << samples;
  }
  WaveParams stereo;
  stereo.channels = 2;
  stereo.rate = 11025;
  const std::size_t frames = 1048576 / 4 * 2 + 1234;  // three blocks, the last one short
  const Outcome o = Convert(MakeWave(stereo, StereoNoise(frames)));
  ASSERT_TRUE(o.ok) << o.message;
  EXPECT_EQ(CheckGsmFile(o.out), 65 * BlocksFor((std::uint64_t{frames} * 8000 + 11024) / 11025));
}

TEST(DoubleConvert, WritesAtANonZeroStartPosition) {
  const Bytes file = MakeWave(WaveParams{}, test::Pcm16Bytes(test::Noise(5000, 8, 8000)));
  const Outcome plain = Convert(file);
  const Bytes prefix(123, 0xC3);
  const Outcome shifted = Convert(file, acm::DefaultAcmLayer(), prefix);
  ASSERT_TRUE(plain.ok && shifted.ok);
  Bytes expected = prefix;
  expected.insert(expected.end(), plain.out.begin(), plain.out.end());
  EXPECT_EQ(shifted.out, expected);
}

TEST(DoubleConvert, RefusesAGsmSourceWithCodeOne) {
  const Outcome first = Convert(MakeWave(WaveParams{}, test::Pcm16Bytes(test::Noise(800, 1, 8000))));
  ASSERT_TRUE(first.ok);
  const Outcome second = Convert(first.out);
  EXPECT_FALSE(second.ok);
  EXPECT_EQ(second.code, 1u);
  EXPECT_EQ(second.message, "Source file not PCM format");
  EXPECT_TRUE(second.out.empty());
}

TEST(DoubleConvert, ReportsEachFailingStepWithItsTextAndCode) {
  struct Case {
    const char* step;
    int at;
    const char* message;
  };
  const Case cases[] = {
      {"Suggest", 1, "Suggest # 1"},         {"Suggest", 2, "Suggest # 2"},
      {"Open", 1, "Open # 1"},               {"Open", 2, "Open # 2"},
      {"Prepare", 1, "PrepareHeader # 1"},   {"Prepare", 2, "PrepareHeader # 2"},
      {"Convert", 1, "Convert # 1"},         {"Convert", 2, "Convert # 2"},
      {"Convert", 3, "Convert # 1"},         {"Convert", 4, "Convert # 2"},
      {"Unprepare", 1, "UnPrepareHeader # 1"}, {"Unprepare", 2, "UnPrepareHeader # 2"},
      {"Close", 1, "Return code Close # 1 in DoubleConvert"}, {"Close", 2, "Close # 2"},
  };
  // Two source blocks, so that the second round of conversions is reached.
  const Bytes file = MakeWave(WaveParams{}, test::Pcm16Bytes(test::Noise(524288 + 1000, 4, 8000)));
  for (const Case& c : cases) {
    ScriptedLayer layer;
    layer.failStep = c.step;
    layer.failAt = c.at;
    layer.failCode = 512 + static_cast<std::uint32_t>(c.at);
    const Outcome o = Convert(file, layer);
    EXPECT_FALSE(o.ok) << c.message;
    EXPECT_EQ(o.message, c.message);
    EXPECT_EQ(o.code, layer.failCode) << c.message;
  }
}

TEST(DoubleConvert, RefusesADestinationRecordLongerThanItsBuffer) {
  // A layer that claims more extra bytes than the buffer holds must not make the header
  // writer read past it.
  class Boastful : public acm::AcmLayer {
    acm::Result FormatSuggest(const std::uint8_t* s, std::uint8_t* d, std::uint32_t cb, std::uint32_t f) override {
      const acm::Result r = AcmLayer::FormatSuggest(s, d, cb, f);
      if (d[0] == kWaveFormatGsm610) d[16] = 200;  // cbSize
      return r;
    }
  } layer;
  const Outcome o = Convert(MakeWave(WaveParams{}, Bytes(640, 0)), layer);
  EXPECT_FALSE(o.ok);
  EXPECT_EQ(o.message, "Suggest # 2");
  EXPECT_EQ(o.code, acm::kErrNotPossible);
}

TEST(DoubleConvert, FailsClearlyOnFormatsTheStagesCannotTake) {
  WaveParams zeroAlign;
  zeroAlign.blockAlign = 0;  // passes the reader (0 x rate == 0) but not the layer
  zeroAlign.avgBytes = 0;
  WaveParams bits24;
  bits24.bits = 24;
  WaveParams tooFast;
  tooFast.rate = 96000;
  WaveParams tooSlow;
  tooSlow.rate = 4000;
  WaveParams rateZero;
  rateZero.rate = 0;
  for (const WaveParams& s : {zeroAlign, bits24, tooFast, tooSlow, rateZero}) {
    const Outcome o = Convert(MakeWave(s, Bytes(96, 1)));
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.message, "Suggest # 1");
    EXPECT_EQ(o.code, acm::kErrNotPossible);
  }
}

TEST(DoubleConvert, HandlesEmptyTruncatedAndOverstatedData) {
  const Outcome empty = Convert(MakeWave(WaveParams{}, Bytes()));
  ASSERT_TRUE(empty.ok) << empty.message;
  EXPECT_EQ(CheckGsmFile(empty.out), 0u);

  // The header claims 2 GB; the file holds 1000 samples and half of one more.
  Bytes file = MakeWave(WaveParams{}, test::Pcm16Bytes(test::Noise(1000, 2, 8000)));
  file.push_back(7);
  file[40] = file[41] = file[42] = 0xFF;
  file[43] = 0x7F;
  const Outcome overstated = Convert(file);
  ASSERT_TRUE(overstated.ok) << overstated.message;
  EXPECT_EQ(CheckGsmFile(overstated.out), 65u * BlocksFor(1000));
}

// A source whose reads fail from a given byte on, as a failing disk or network share does.
class FailingStream : public TStream {
 public:
  FailingStream(const Bytes& bytes, std::size_t failAt) : inner_(bytes), failAt_(failAt) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    const std::int64_t at = inner_.Position();
    if (static_cast<std::size_t>(at) + count <= failAt_) return inner_.Read(buffer, count);
    error_ = 5;
    return inner_.Read(buffer, failAt_ > static_cast<std::size_t>(at) ? failAt_ - at : 0);
  }
  std::size_t Write(const void*, std::size_t) override { return 0; }
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override { return inner_.Seek(offset, origin); }
  std::uint32_t ReadError() const override { return error_; }

 private:
  TMemoryStream inner_;
  std::size_t failAt_;
  std::uint32_t error_ = 0;
};

TEST(DoubleConvert, AReadErrorFailsTheConversionWhereverItHappens) {
  const Bytes file = MakeWave(WaveParams{}, test::Pcm16Bytes(test::Noise(524288 + 3000, 21, 9000)));
  // In the header, in the first block, at the start of the second.
  for (std::size_t failAt : {std::size_t{20}, std::size_t{5000}, std::size_t{44 + 1048576}}) {
    SCOPED_TRACE(failAt);
    FailingStream source(file, failAt);
    TMemoryStream dest;
    std::vector<std::uint8_t> format(MaxFormatSize, 0);
    format[0] = kWaveFormatGsm610;
    TWaveFormatList converter;
    EXPECT_FALSE(converter.DoubleConvert(source, dest, format.data()));
    EXPECT_EQ(converter.ErrorMessage, "Source read error");
    EXPECT_EQ(converter.ErrorCode, 5u);
  }
}

#ifndef _WIN32
TEST(FileReadStream, AFailingReadIsNotTheEnd) {
  // Reading a folder fails on every Unix: a real read error, not an end of file.
  TFileReadStream stream(std::filesystem::temp_directory_path().string());
  ASSERT_TRUE(stream.IsOpen());
  char buffer[16];
  EXPECT_EQ(stream.Read(buffer, sizeof buffer), 0u);
  EXPECT_NE(stream.ReadError(), 0u);
}
#endif

class CompressWaveFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("vocalet_convert_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    file_ = (dir_ / "vocalet.wav").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::vector<std::string> Listing() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_)) names.push_back(e.path().filename().string());
    return names;
  }
  std::filesystem::path dir_;
  std::string file_;
};

TEST_F(CompressWaveFileTest, ReplacesTheMessageWithItsGsmVersion) {
  WaveParams params;
  params.rate = 22050;
  const Bytes pcm = MakeWave(params, test::Pcm16Bytes(test::Sweep(22050 * 2, 100, 3000, 22050, 20000)));
  ASSERT_TRUE(test::WriteFile(file_, pcm));
  ASSERT_TRUE(CompressWaveFile(file_));
  Bytes out;
  ASSERT_TRUE(test::ReadFile(file_, out));
  EXPECT_EQ(CheckGsmFile(out), 65u * BlocksFor(16000));
  EXPECT_EQ(Listing(), std::vector<std::string>{"vocalet.wav"});

  // Compressing twice is refused and leaves the compressed file as it is.
  EXPECT_FALSE(CompressWaveFile(file_));
  Bytes again;
  ASSERT_TRUE(test::ReadFile(file_, again));
  EXPECT_EQ(again, out);
}

TEST_F(CompressWaveFileTest, AFailedConversionLeavesTheMessageAndNothingBeside) {
  const Bytes pcm = MakeWave(WaveParams{}, test::Pcm16Bytes(test::Noise(524288 + 5000, 11, 9000)));
  ASSERT_TRUE(test::WriteFile(file_, pcm));
  ScriptedLayer layer;
  layer.failStep = "Convert";
  layer.failAt = 4;  // the second block's GSM stage
  layer.failCode = acm::kErrNotPossible;
  std::string error;
  EXPECT_FALSE(CompressWaveFile(file_, layer, &error));
  EXPECT_EQ(error, "Convert # 2 (code 512)");
  Bytes now;
  ASSERT_TRUE(test::ReadFile(file_, now));
  EXPECT_EQ(now, pcm);
  EXPECT_EQ(Listing(), std::vector<std::string>{"vocalet.wav"});
}

TEST_F(CompressWaveFileTest, AMissingFileIsAFailure) {
  EXPECT_FALSE(CompressWaveFile(file_));
  EXPECT_TRUE(Listing().empty());
}

TEST_F(CompressWaveFileTest, AnUnwritableReplacementLeavesTheMessage) {
  const Bytes pcm = MakeWave(WaveParams{}, test::Pcm16Bytes(test::Noise(4000, 12, 9000)));
  ASSERT_TRUE(test::WriteFile(file_, pcm));
  // Where the new file would go there is a folder: the write cannot even start.
  std::filesystem::create_directory(ReplacementFileName(file_));
  EXPECT_FALSE(CompressWaveFile(file_));
  Bytes now;
  ASSERT_TRUE(test::ReadFile(file_, now));
  EXPECT_EQ(now, pcm);
}

#ifndef _WIN32
TEST_F(CompressWaveFileTest, AFullDiskLeavesTheMessageAndNoTemporaryFile) {
  const Bytes pcm = MakeWave(WaveParams{}, test::Pcm16Bytes(test::Noise(8000 * 30, 13, 9000)));
  ASSERT_TRUE(test::WriteFile(file_, pcm));
  // A file size limit below the compressed size makes the write fail part-way, as a full
  // disk would.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool ok = CompressWaveFile(file_);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_FALSE(ok);
  Bytes now;
  ASSERT_TRUE(test::ReadFile(file_, now));
  EXPECT_EQ(now, pcm);
  EXPECT_EQ(Listing(), std::vector<std::string>{"vocalet.wav"});
}
#endif

#ifdef _WIN32
TEST_F(CompressWaveFileTest, AFailedReplacementLeavesTheMessageAndNoNewFile) {
  const Bytes pcm = MakeWave(WaveParams{}, test::Pcm16Bytes(test::Noise(8000 * 2, 15, 9000)));
  ASSERT_TRUE(test::WriteFile(file_, pcm));
  // A player holds the message open and lets nobody delete or replace it.
  HANDLE h = CreateFileA(file_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  std::string error;
  const bool ok = CompressWaveFile(file_, acm::DefaultAcmLayer(), &error);
  CloseHandle(h);
  EXPECT_FALSE(ok);
  EXPECT_EQ(error, "cannot write the compressed file");
  Bytes now;
  ASSERT_TRUE(test::ReadFile(file_, now));
  EXPECT_EQ(now, pcm);
  EXPECT_EQ(Listing(), std::vector<std::string>{"vocalet.wav"});
}
#endif

}  // namespace
}  // namespace vocalet
