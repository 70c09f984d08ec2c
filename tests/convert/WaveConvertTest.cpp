#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <tuple>

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

// The real layer with the failAt-th call of failStep failing; failStep "Boast": the
// suggested GSM record claims more extra bytes than its buffer holds.
struct ScriptedLayer : acm::AcmLayer {
  std::string failStep;
  int failAt = 0, calls = 0;
  std::uint32_t failCode = 0;

  bool Hit(const std::string& step) { return step == failStep && ++calls == failAt; }
  acm::Result FormatSuggest(const std::uint8_t* s, std::uint8_t* d, std::uint32_t cb,
                            std::uint32_t f) override {
    if (Hit("Suggest")) return failCode;
    const acm::Result r = AcmLayer::FormatSuggest(s, d, cb, f);
    if (failStep == "Boast" && d[0] == kWaveFormatGsm610) d[16] = 200;  // cbSize
    return r;
  }
  acm::Result StreamOpen(acm::AcmStreamPtr& p, const std::uint8_t* s, const std::uint8_t* d,
                         std::uint32_t f) override {
    return Hit("Open") ? failCode : AcmLayer::StreamOpen(p, s, d, f);
  }
  acm::Result StreamConvert(acm::AcmStream* s, acm::AcmStreamHeader& h, std::uint32_t f) override {
    return Hit("Convert") ? failCode : AcmLayer::StreamConvert(s, h, f);
  }
};

struct Outcome {
  bool ok;
  std::uint32_t code;
  std::string message;
  Bytes out;
};

Outcome Convert(TStream& source, acm::AcmLayer& layer = acm::DefaultAcmLayer()) {
  TWaveFormatList converter(layer);
  TMemoryStream dest;
  std::vector<std::uint8_t> format(MaxFormatSize, 0);
  format[0] = kWaveFormatGsm610;
  const bool ok = converter.DoubleConvert(source, dest, format.data());
  return {ok, converter.ErrorCode, converter.ErrorMessage, dest.Bytes()};
}

Outcome Convert(const Bytes& file, acm::AcmLayer& layer = acm::DefaultAcmLayer()) {
  TMemoryStream source(file);
  return Convert(source, layer);
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
  } cases[] = {
      {"no data", {}, 0},
      {"one sample", {}, 1},
      {"a block and one", {}, 321},
      {"8-bit 22050 Hz with fact", {.rate = 22050, .bits = 8, .fmtLength = 18, .factValue = 4824},
       4824},
      {"a 24-byte format chunk", {.fmtLength = 24}, 1000},
      {"exactly 1 MiB", {}, 524288},
      {"1 MiB and 100 samples", {}, 524288 + 100},
      {"3 MiB of 44100 Hz stereo", {.channels = 2, .rate = 44100}, 3 * 1048576 / 4},
      {"11025 Hz stereo, short last block", {.channels = 2, .rate = 11025}, 524288 + 1234},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::size_t bytes = c.frames * c.params.channels * c.params.bits / 8;
    Bytes data = test::Pcm16Bytes(test::Noise(bytes / 2 + 1, 99, 12000));
    data.resize(bytes);
    const Outcome o = Convert(MakeWave(c.params, data));
    ASSERT_TRUE(o.ok) << o.message;
    EXPECT_EQ(CheckGsmFile(o.out), GsmBytesFor(c.frames, c.params.rate));
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

TEST(DoubleConvert, ReportsEachFailingStepWithItsTextAndCode) {
  const std::tuple<const char*, int, const char*> cases[] = {
      {"Suggest", 2, "Suggest # 2"}, {"Open", 1, "Open # 1"},       {"Open", 2, "Open # 2"},
      {"Convert", 3, "Convert # 1"}, {"Convert", 4, "Convert # 2"},
      {"Boast", 0, "Suggest # 2"}};  // refused as not possible (512) before reading past it
  const Bytes file = NoiseWave(524288 + 1000);  // two source blocks: a second round
  for (const auto& [step, at, message] : cases) {
    SCOPED_TRACE(message);
    ScriptedLayer layer;
    layer.failStep = step;
    layer.failAt = at;
    layer.failCode = 512 + static_cast<std::uint32_t>(at);
    const Outcome o = Convert(file, layer);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.message, message);
    EXPECT_EQ(o.code, layer.failCode);
  }
}

TEST(DoubleConvert, RefusesWhatItCannotConvertAndWritesNothing) {
  const char* const notPcm = "Source file not PCM format";
  const struct {
    const char* what;
    WaveParams params;
    void (*edit)(Bytes&);
    const char* message;
  } cases[] = {
      {"RIFF", {}, [](Bytes& b) { b[0] ^= 0x20; }, notPcm},
      {"WAVE", {}, [](Bytes& b) { b[8] ^= 0x20; }, notPcm},
      {"fmt ", {}, [](Bytes& b) { b[12] ^= 0x20; }, notPcm},
      {"data", {}, [](Bytes& b) { b[36] ^= 0x20; }, notPcm},
      {"24 bits", {.bits = 24}, nullptr, "Suggest # 1"},
      {"7999 Hz", {.rate = 7999}, nullptr, "Suggest # 1"},
      {"48001 Hz", {.rate = 48001}, nullptr, "Suggest # 1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes file = MakeWave(c.params, Bytes(132, 1));
    if (c.edit) c.edit(file);
    const Outcome o = Convert(file);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.message, c.message);
    EXPECT_EQ(o.code, c.message == notPcm ? kSourceNotPcm : acm::kErrNotPossible);
    EXPECT_TRUE(o.out.empty());
  }
}

TEST(DoubleConvert, RefusesAHeaderCutShortAtEveryLength) {
  const Bytes file = MakeWave({.fmtLength = 18, .factValue = 3}, {});
  for (std::size_t n = 0; n < file.size(); ++n) {
    EXPECT_EQ(Convert(Bytes(file.begin(), file.begin() + long(n))).message,
              "Source file not PCM format") << n;
  }
  EXPECT_TRUE(Convert(file).ok);
}

// Reads that fail from a given byte on, as a failing disk or network share does.
struct FailingStream : TMemoryStream {
  FailingStream(const test::Bytes& b, std::size_t failAt) : TMemoryStream(b), failAt(failAt) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    const auto at = static_cast<std::size_t>(Position());
    failed = failed || at + count > failAt;
    return TMemoryStream::Read(buffer, failed ? (failAt > at ? failAt - at : 0) : count);
  }
  std::uint32_t ReadError() const override { return failed ? 5 : 0; }
  std::size_t failAt;
  bool failed = false;
};

TEST(DoubleConvert, AReadErrorFailsTheConversionWhereverItHappens) {
  const Bytes file = NoiseWave(524288 + 3000);
  // In the header, at the start of the second block: what came before must not pass.
  for (std::size_t failAt : {std::size_t{20}, std::size_t{44 + 1048576}}) {
    SCOPED_TRACE(failAt);
    FailingStream source(file, failAt);
    const Outcome o = Convert(source);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.message, "Source read error");
    EXPECT_EQ(o.code, 5u);
  }
}

TEST(CompressWaveFile, ReplacesTheMessageOnlyWithTheWholeGsmFile) {
  // Other worktrees' runs share the temporary folder.
  const auto dir = std::filesystem::temp_directory_path() /
                   ("vocalet_compress_" + std::to_string(std::random_device()()));
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "vocalet.wav").string();
  auto message = [&] {
    Bytes b;
    return test::ReadFile(file, b), b;
  };
  auto entries = [&] { return std::distance(std::filesystem::directory_iterator(dir), {}); };
  std::uint32_t code = 7;
  EXPECT_FALSE(CompressWaveFile(file, acm::DefaultAcmLayer(), nullptr, &code));  // no message
  EXPECT_EQ(code, 0u);

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
