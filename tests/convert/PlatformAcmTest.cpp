// The platform's own GSM 6.10 codec (through its audio compression manager) against our files.
#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "TestWaves.h"
#include "convert/WaveConvert.h"

namespace vocalet {
namespace {

// Converts all of src in one go through the platform's codec from one format to the other.
bool PlatformConvert(const WAVEFORMATEX* from, const WAVEFORMATEX* to, test::Bytes src, test::Bytes& out) {
  HACMSTREAM has = nullptr;
  if (acmStreamOpen(&has, nullptr, const_cast<WAVEFORMATEX*>(from), const_cast<WAVEFORMATEX*>(to), nullptr, 0, 0,
                    ACM_STREAMOPENF_NONREALTIME) != MMSYSERR_NOERROR) {
    return false;
  }
  DWORD size = 0;
  acmStreamSize(has, static_cast<DWORD>(src.size()), &size, ACM_STREAMSIZEF_SOURCE);
  out.assign(size + 65536, 0);
  ACMSTREAMHEADER h{};
  h.cbStruct = sizeof h;
  h.pbSrc = src.data();
  h.cbSrcLength = static_cast<DWORD>(src.size());
  h.pbDst = out.data();
  h.cbDstLength = static_cast<DWORD>(out.size());
  bool ok = acmStreamPrepareHeader(has, &h, 0) == MMSYSERR_NOERROR &&
            acmStreamConvert(has, &h, ACM_STREAMCONVERTF_BLOCKALIGN) == MMSYSERR_NOERROR;
  if (ok) out.resize(h.cbDstLengthUsed);
  acmStreamUnprepareHeader(has, &h, 0);
  acmStreamClose(has, 0);
  return ok;
}

class PlatformAcmTest : public ::testing::Test {
 protected:
  void SetUp() override {
    speech_ = test::ReadRaw16(test::TestDataDir() + "/speech8k.raw");
    ASSERT_GT(speech_.size(), 8000u * 10) << "speech test data missing";
    speech_.resize(speech_.size() / 320 * 320);  // whole blocks: both coders see the same samples
    dir_ = std::filesystem::temp_directory_path() / "vocalet_platform_acm";
    std::filesystem::create_directories(dir_);
    const std::string wav = (dir_ / "m.wav").string();
    ASSERT_TRUE(test::WriteFile(wav, test::MakeWave(test::WaveSpec{}, test::Pcm16Bytes(speech_))));
    ASSERT_TRUE(CompressWaveFile(wav));
    ASSERT_TRUE(test::ReadFile(wav, file_));
    ASSERT_GT(file_.size(), 60u);
    std::memcpy(&gsm_, &file_[20], sizeof gsm_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::vector<std::int16_t> speech_;
  std::filesystem::path dir_;
  test::Bytes file_;
  GSM610WAVEFORMAT gsm_{};
  WAVEFORMATEX pcm_{WAVE_FORMAT_PCM, 1, 8000, 16000, 2, 16, 0};
};

TEST_F(PlatformAcmTest, ThePlatformDecoderReadsOurFileAsTheSameSpeech) {
  test::Bytes decoded;
  ASSERT_TRUE(PlatformConvert(&gsm_.wfx, &pcm_, test::Bytes(file_.begin() + 60, file_.end()), decoded));
  EXPECT_EQ(decoded.size(), speech_.size() * 2);
  std::vector<double> a(speech_.begin(), speech_.end()), b(decoded.size() / 2);
  for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<std::int16_t>(decoded[2 * i] | decoded[2 * i + 1] << 8);
  const double c = test::BestCorrelation(a, b, 40);
  std::printf("platform decoder: correlation with the input speech %.3f\n", c);
  EXPECT_GT(c, 0.75);
}

TEST_F(PlatformAcmTest, ThePlatformEncoderSuggestsAndWritesTheSameBlocks) {
  // The platform's GSM driver completes the format only when cbSize already says 2.
  std::vector<std::uint8_t> suggested(64, 0);
  auto* wfx = reinterpret_cast<WAVEFORMATEX*>(suggested.data());
  wfx->wFormatTag = WAVE_FORMAT_GSM610;
  wfx->cbSize = 2;
  ASSERT_EQ(acmFormatSuggest(nullptr, &pcm_, wfx, static_cast<DWORD>(suggested.size()), ACM_FORMATSUGGESTF_WFORMATTAG),
            static_cast<MMRESULT>(MMSYSERR_NOERROR));
  EXPECT_EQ(0, std::memcmp(suggested.data(), &gsm_, sizeof gsm_)) << "our GSM 6.10 format record differs";
  test::Bytes platform;
  ASSERT_TRUE(PlatformConvert(&pcm_, wfx, test::Pcm16Bytes(speech_), platform));
  EXPECT_EQ(platform, test::Bytes(file_.begin() + 60, file_.end()));
}

}  // namespace
}  // namespace vocalet
