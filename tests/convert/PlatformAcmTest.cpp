// The platform's own GSM 6.10 codec against our files.
#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "TestWaves.h"
#include "convert/WaveConvert.h"

namespace vocalet {
namespace {

bool PlatformConvert(const WAVEFORMATEX* from, const WAVEFORMATEX* to, test::Bytes src,
                     test::Bytes& out) {
  HACMSTREAM has = nullptr;
  if (acmStreamOpen(&has, nullptr, const_cast<WAVEFORMATEX*>(from), const_cast<WAVEFORMATEX*>(to),
                    nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) != MMSYSERR_NOERROR) {
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

TEST(PlatformAcm, ThePlatformCodecReadsOurFileAndWritesTheSameOne) {
  test::Samples speech = test::ReadRaw16(test::TestDataDir() + "/speech8k.raw");
  ASSERT_GT(speech.size(), 8000u * 10) << "speech test data missing";
  speech.resize(speech.size() / 320 * 320);  // both coders see the same samples
  const auto dir = std::filesystem::temp_directory_path() / "vocalet_platform_acm";
  std::filesystem::create_directories(dir);
  const std::string wav = (dir / "m.wav").string();
  test::Bytes file;
  ASSERT_TRUE(test::WriteFile(wav, test::MakeWave({}, test::Pcm16Bytes(speech))));
  ASSERT_TRUE(CompressWaveFile(wav));
  ASSERT_TRUE(test::ReadFile(wav, file));
  std::filesystem::remove_all(dir);
  ASSERT_GT(file.size(), 60u);
  const test::Bytes ours(file.begin() + 60, file.end());
  GSM610WAVEFORMAT gsm{};
  std::memcpy(&gsm, &file[20], sizeof gsm);
  WAVEFORMATEX pcm{WAVE_FORMAT_PCM, 1, 8000, 16000, 2, 16, 0};

  test::Bytes decoded;
  ASSERT_TRUE(PlatformConvert(&gsm.wfx, &pcm, ours, decoded));
  EXPECT_EQ(decoded.size(), speech.size() * 2);

  // Same samples, same blocks. The driver completes the format only when cbSize already says 2.
  std::vector<std::uint8_t> suggested(64, 0);
  auto* wfx = reinterpret_cast<WAVEFORMATEX*>(suggested.data());
  wfx->wFormatTag = WAVE_FORMAT_GSM610;
  wfx->cbSize = 2;
  ASSERT_EQ(acmFormatSuggest(nullptr, &pcm, wfx, static_cast<DWORD>(suggested.size()),
                             ACM_FORMATSUGGESTF_WFORMATTAG),
            MMRESULT{MMSYSERR_NOERROR});
  EXPECT_EQ(0, std::memcmp(suggested.data(), &gsm, sizeof gsm)) << "format records differ";
  test::Bytes platform;
  ASSERT_TRUE(PlatformConvert(&pcm, wfx, test::Pcm16Bytes(speech), platform));
  EXPECT_EQ(platform, ours);
}

}  // namespace
}  // namespace vocalet
