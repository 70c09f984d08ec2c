#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <random>

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

// The real layer with every call counted and the failAt-th call of failStep failing.
class ScriptedLayer : public acm::AcmLayer {
 public:
  std::string failStep;
  int failAt = 0;
  std::uint32_t failCode = 0;
  std::map<std::string, int> calls;

  acm::Result FormatSuggest(const std::uint8_t* s, std::uint8_t* d, std::uint32_t cb,
                            std::uint32_t f) override {
    return Hit("Suggest") ? failCode : AcmLayer::FormatSuggest(s, d, cb, f);
  }
  acm::Result StreamOpen(acm::AcmStreamPtr& p, const std::uint8_t* s, const std::uint8_t* d,
                         std::uint32_t f) override {
    return Hit("Open") ? failCode : AcmLayer::StreamOpen(p, s, d, f);
  }
  acm::Result StreamClose(acm::AcmStreamPtr& p, std::uint32_t f) override {
    return Hit("Close") ? failCode : AcmLayer::StreamClose(p, f);
  }
  acm::Result StreamPrepareHeader(acm::AcmStream* s, acm::AcmStreamHeader& h,
                                  std::uint32_t f) override {
    return Hit("Prepare") ? failCode : AcmLayer::StreamPrepareHeader(s, h, f);
  }
  acm::Result StreamUnprepareHeader(acm::AcmStream* s, acm::AcmStreamHeader& h,
                                    std::uint32_t f) override {
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

Outcome Convert(TStream& source, acm::AcmLayer& layer = acm::DefaultAcmLayer(),
                const Bytes& prefix = {}) {
  TWaveFormatList converter(layer);
  TMemoryStream dest(prefix);
  dest.Seek(0, SeekOrigin::End);
  std::vector<std::uint8_t> format(MaxFormatSize, 0);
  format[0] = kWaveFormatGsm610;
  const bool ok = converter.DoubleConvert(source, dest, format.data());
  return {ok, converter.ErrorCode, converter.ErrorMessage, dest.Bytes()};
}

Outcome Convert(const Bytes& file, acm::AcmLayer& layer = acm::DefaultAcmLayer(),
                const Bytes& prefix = {}) {
  TMemoryStream source(file);
  return Convert(source, layer, prefix);
}

Bytes NoiseWave(std::size_t samples, std::uint32_t seed = 5) {
  return MakeWave({}, test::Pcm16Bytes(test::Noise(samples, seed, 9000)));
}

// Checks the GSM 6.10 file layout and returns its data length.
std::uint32_t CheckGsmFile(const Bytes& out) {
  EXPECT_GE(out.size(), 60u);
  if (out.size() < 60) return 0;
  const std::uint32_t d = GetU32(out, 56);
  EXPECT_EQ(out.size(), 60 + d);
  EXPECT_EQ(0, std::memcmp(&out[0], "RIFF", 4));
  EXPECT_EQ(GetU32(out, 4), d + 52);
  EXPECT_EQ(0, std::memcmp(&out[8], "WAVEfmt \x14\0\0\0\x31\0\x01\0\x40\x1f\0\0\x59\x06\0\0"
                                    "\x41\0\0\0\x02\0\x40\x01" "fact\x04\0\0\0", 40));
  EXPECT_EQ(GetU32(out, 48), d / 65);
  EXPECT_EQ(0, std::memcmp(&out[52], "data", 4));
  EXPECT_EQ(d % 65, 0u);
  return d;
}

// 65 bytes per 320 samples at 8000 Hz, the last block completed with silence.
std::uint32_t GsmBytesFor(std::uint64_t frames, unsigned rate) {
  const std::uint64_t samples = (frames * 8000 + rate - 1) / rate;
  return static_cast<std::uint32_t>(65 * ((samples + 319) / 320));
}

TEST(DoubleConvert, EverySampleReachesTheOutputAcrossTheMebibyteSeams) {
  const struct {
    const char* what;
    WaveParams params;
    std::size_t frames;
    int conversions;  // two stages per 1 MiB of source; 0: not counted
  } cases[] = {
      {"no data", {}, 0, 0},
      {"one sample", {}, 1, 0},
      {"a block less one", {}, 319, 0},
      {"a block and one", {}, 321, 0},
      {"8-bit 22050 Hz with fact", {.rate = 22050, .bits = 8, .fmtLength = 18, .factValue = 4824},
       4824, 0},
      {"exactly 1 MiB", {}, 524288, 2},
      {"1 MiB and 100 samples", {}, 524288 + 100, 4},
      {"2 MiB and 777 samples", {}, 2 * 524288 + 777, 6},
      {"3 MiB of 44100 Hz stereo", {.channels = 2, .rate = 44100}, 3 * 1048576 / 4, 6},
      {"11025 Hz stereo, short last block", {.channels = 2, .rate = 11025}, 524288 + 1234, 6},
      {"48000 Hz 8-bit stereo", {.channels = 2, .rate = 48000, .bits = 8}, 4801, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::size_t bytes = c.frames * c.params.channels * c.params.bits / 8;
    Bytes data = test::Pcm16Bytes(test::Noise(bytes / 2 + 1, 99, 12000));
    data.resize(bytes);
    ScriptedLayer layer;
    const Outcome o = Convert(MakeWave(c.params, data), layer);
    ASSERT_TRUE(o.ok) << o.message;
    EXPECT_EQ(CheckGsmFile(o.out), GsmBytesFor(c.frames, c.params.rate));
    if (c.conversions) {
      EXPECT_EQ(layer.calls["Convert"], c.conversions);
    }
  }
}

TEST(DoubleConvert, OverstatedDataEndsWithTheFile) {
  Bytes file = NoiseWave(1000);
  file.push_back(7);  // half a sample
  file[40] = file[41] = file[42] = 0xFF;
  file[43] = 0x7F;
  const Outcome o = Convert(file);
  ASSERT_TRUE(o.ok) << o.message;
  EXPECT_EQ(CheckGsmFile(o.out), GsmBytesFor(1000, 8000));
}

TEST(DoubleConvert, WritesAtANonZeroStartPosition) {
  const Bytes file = NoiseWave(5000);
  const Outcome plain = Convert(file);
  const Bytes prefix(123, 0xC3);
  const Outcome shifted = Convert(file, acm::DefaultAcmLayer(), prefix);
  ASSERT_TRUE(plain.ok && shifted.ok);
  Bytes expected = prefix;
  expected.insert(expected.end(), plain.out.begin(), plain.out.end());
  EXPECT_EQ(shifted.out, expected);
}

TEST(DoubleConvert, ReportsEachFailingStepWithItsTextAndCode) {
  const struct {
    const char* step;
    int at;
    const char* message;
  } cases[] = {
      {"Suggest", 1, "Suggest # 1"},         {"Suggest", 2, "Suggest # 2"},
      {"Open", 1, "Open # 1"},               {"Open", 2, "Open # 2"},
      {"Prepare", 1, "PrepareHeader # 1"},   {"Prepare", 2, "PrepareHeader # 2"},
      {"Convert", 1, "Convert # 1"},         {"Convert", 2, "Convert # 2"},
      {"Convert", 3, "Convert # 1"},         {"Convert", 4, "Convert # 2"},
      {"Unprepare", 1, "UnPrepareHeader # 1"}, {"Unprepare", 2, "UnPrepareHeader # 2"},
      {"Close", 1, "Return code Close # 1 in DoubleConvert"}, {"Close", 2, "Close # 2"},
  };
  const Bytes file = NoiseWave(524288 + 1000);  // two source blocks: a second round
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    ScriptedLayer layer;
    layer.failStep = c.step;
    layer.failAt = c.at;
    layer.failCode = 512 + static_cast<std::uint32_t>(c.at);
    const Outcome o = Convert(file, layer);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.message, c.message);
    EXPECT_EQ(o.code, layer.failCode);
  }
}

TEST(DoubleConvert, RefusesADestinationRecordLongerThanItsBuffer) {
  // Would otherwise make the header writer read past the buffer.
  class Boastful : public acm::AcmLayer {
    acm::Result FormatSuggest(const std::uint8_t* s, std::uint8_t* d, std::uint32_t cb,
                              std::uint32_t f) override {
      const acm::Result r = AcmLayer::FormatSuggest(s, d, cb, f);
      if (d[0] == kWaveFormatGsm610) d[16] = 200;  // cbSize
      return r;
    }
  } layer;
  const Outcome o = Convert(NoiseWave(640), layer);
  EXPECT_FALSE(o.ok);
  EXPECT_EQ(o.message, "Suggest # 2");
  EXPECT_EQ(o.code, acm::kErrNotPossible);
}

TEST(DoubleConvert, RefusesWhatItCannotConvertAndWritesNothing) {
  const std::pair<WaveParams, const char*> cases[] = {
      {{.tag = 49, .bits = 0, .blockAlign = 65, .avgBytes = 1625}, "Source file not PCM format"},
      {{.blockAlign = 0, .avgBytes = 0}, "Suggest # 1"},  // passes the reader
      {{.bits = 24}, "Suggest # 1"},  {{.rate = 7999}, "Suggest # 1"},
      {{.rate = 48001}, "Suggest # 1"}, {{.rate = 0}, "Suggest # 1"}};
  for (const auto& [params, message] : cases) {
    SCOPED_TRACE(testing::Message() << params.rate << " Hz, " << params.bits << " bits");
    const Outcome o = Convert(MakeWave(params, Bytes(130, 1)));
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.message, message);
    EXPECT_EQ(o.code, params.tag == 1 ? acm::kErrNotPossible : kSourceNotPcm);
    EXPECT_TRUE(o.out.empty());
  }
}

// Reads that fail from a given byte on, as a failing disk or network share does.
class FailingStream : public TMemoryStream {
 public:
  FailingStream(const test::Bytes& bytes, std::size_t failAt)
      : TMemoryStream(bytes), failAt_(failAt) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    const std::size_t at = static_cast<std::size_t>(Position());
    if (at + count <= failAt_) return TMemoryStream::Read(buffer, count);
    error_ = 5;
    return TMemoryStream::Read(buffer, failAt_ > at ? failAt_ - at : 0);
  }
  std::uint32_t ReadError() const override { return error_; }

 private:
  std::size_t failAt_;
  std::uint32_t error_ = 0;
};

TEST(DoubleConvert, AReadErrorFailsTheConversionWhereverItHappens) {
  const Bytes file = NoiseWave(524288 + 3000);
  // In the header, in the first block, at the start of the second.
  for (std::size_t failAt : {std::size_t{20}, std::size_t{5000}, std::size_t{44 + 1048576}}) {
    SCOPED_TRACE(failAt);
    FailingStream source(file, failAt);
    const Outcome o = Convert(source);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.message, "Source read error");
    EXPECT_EQ(o.code, 5u);
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

TEST(CompressWaveFile, ReplacesTheMessageOnlyWithTheWholeGsmFile) {
  // Other worktrees' runs share the temporary folder.
  const auto dir = std::filesystem::temp_directory_path() /
                   ("vocalet_compress_" + std::to_string(std::random_device()()));
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "vocalet.wav").string();
  auto message = [&] {
    Bytes b;
    EXPECT_TRUE(test::ReadFile(file, b));
    return b;
  };
  auto entries = [&] { return std::distance(std::filesystem::directory_iterator(dir), {}); };
  std::uint32_t code = 7;
  EXPECT_FALSE(CompressWaveFile(file, acm::DefaultAcmLayer(), nullptr, &code));  // no message
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(entries(), 0);

  const Bytes pcm = MakeWave({.rate = 22050}, test::Pcm16Bytes(test::Noise(524288 + 5000, 3)));
  ASSERT_TRUE(test::WriteFile(file, pcm));
  ScriptedLayer layer;
  layer.failStep = "Convert";
  layer.failAt = 4;  // the second block's GSM stage
  layer.failCode = acm::kErrNotPossible;
  std::string error;
  EXPECT_FALSE(CompressWaveFile(file, layer, &error));
  EXPECT_EQ(error, "Convert # 2 (code 512)");
  EXPECT_EQ(message(), pcm);
  EXPECT_EQ(entries(), 1);

  std::filesystem::create_directory(ReplacementFileName(file));  // the write cannot start
  EXPECT_FALSE(CompressWaveFile(file));
  EXPECT_EQ(message(), pcm);
  std::filesystem::remove(ReplacementFileName(file));

  ASSERT_TRUE(CompressWaveFile(file));
  const Bytes gsm = message();
  EXPECT_EQ(CheckGsmFile(gsm), GsmBytesFor(524288 + 5000, 22050));
  EXPECT_EQ(entries(), 1);
  EXPECT_FALSE(CompressWaveFile(file));  // already compressed: left as it is
  EXPECT_EQ(message(), gsm);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vocalet
