// What others read of our files: sox, and the reference decoder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

extern "C" {
#include <gsm.h>
}

#include "TestWaves.h"
#include "convert/WaveConvert.h"

namespace vocalet {
namespace {

std::vector<double> ToDouble(const std::vector<std::int16_t>& s) { return std::vector<double>(s.begin(), s.end()); }

class InteropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // One folder per process: other runs of these tests may share the temporary folder.
    dir_ = std::filesystem::temp_directory_path() /
           ("vocalet_interop_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Compresses a wave file made of the samples and decodes it again with sox.
  std::vector<std::int16_t> RoundTripThroughSox(const test::WaveParams& params, const test::Bytes& data) {
    const std::string wav = (dir_ / "message.wav").string(), raw = (dir_ / "decoded.raw").string();
    EXPECT_TRUE(test::WriteFile(wav, test::MakeWave(params, data)));
    EXPECT_TRUE(CompressWaveFile(wav));
    const char* sox = std::getenv("SOX");
    const std::string cmd = std::string(sox && *sox ? sox : "sox") + " -q " + wav + " -t raw -e signed -b 16 " + raw;
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    return test::ReadRaw16(raw);
  }

  std::filesystem::path dir_;
};

TEST_F(InteropTest, SoxDecodesSpeechAt8000HzToTheRightLengthAndTheSameSpeech) {
  const auto speech = test::ReadRaw16(test::TestDataDir() + "/speech8k.raw");
  ASSERT_GT(speech.size(), 8000u * 10);
  const auto decoded = RoundTripThroughSox(test::WaveParams{}, test::Pcm16Bytes(speech));
  EXPECT_EQ(decoded.size(), (speech.size() + 319) / 320 * 320);
  const double c = test::BestCorrelation(ToDouble(speech), ToDouble(decoded), 40);
  std::printf("speech 8000 Hz: correlation after GSM %.3f\n", c);
  EXPECT_GT(c, 0.75);
}

TEST_F(InteropTest, SoxDecodesResampledStereoSpeech) {
  // 22050 Hz speech on both channels (the right one quieter) against sox's own 8000 Hz version.
  const auto speech22 = test::ReadRaw16(test::TestDataDir() + "/speech22k.raw");
  const auto speech8 = test::ReadRaw16(test::TestDataDir() + "/speech8k.raw");
  ASSERT_GT(speech22.size(), 22050u * 10);
  std::vector<std::int16_t> stereo;
  for (auto v : speech22) {
    stereo.push_back(v);
    stereo.push_back(static_cast<std::int16_t>(v / 2));
  }
  test::WaveParams params;
  params.channels = 2;
  params.rate = 22050;
  const auto decoded = RoundTripThroughSox(params, test::Pcm16Bytes(stereo));
  const std::size_t expected = (speech22.size() * 8000 + 22049) / 22050;
  EXPECT_EQ(decoded.size(), (expected + 319) / 320 * 320);
  const double c = test::BestCorrelation(ToDouble(speech8), ToDouble(decoded), 40);
  std::printf("speech 22050 Hz stereo: correlation after resampling and GSM %.3f\n", c);
  EXPECT_GT(c, 0.75);
}

TEST_F(InteropTest, TheReferenceDecoderReadsEveryBlock) {
  const auto speech = test::ReadRaw16(test::TestDataDir() + "/speech8k.raw");
  const std::string wav = (dir_ / "m.wav").string();
  ASSERT_TRUE(test::WriteFile(wav, test::MakeWave(test::WaveParams{}, test::Pcm16Bytes(speech))));
  ASSERT_TRUE(CompressWaveFile(wav));
  test::Bytes file;
  ASSERT_TRUE(test::ReadFile(wav, file));
  gsm g = gsm_create();
  int one = 1;
  gsm_option(g, GSM_OPT_WAV49, &one);
  std::vector<std::int16_t> decoded((file.size() - 60) / 65 * 320);
  for (std::size_t b = 0; b < decoded.size() / 320; ++b) {
    std::uint8_t* block = &file[60 + b * 65];
    ASSERT_EQ(gsm_decode(g, block, &decoded[b * 320]), 0) << b;
    ASSERT_EQ(gsm_decode(g, block + 33, &decoded[b * 320 + 160]), 0) << b;
  }
  gsm_destroy(g);
  EXPECT_GT(test::BestCorrelation(ToDouble(speech), ToDouble(decoded), 40), 0.75);
}

}  // namespace
}  // namespace vocalet
