// Our encoder against libgsm, the reference implementation, bit for bit.
#include <gtest/gtest.h>

extern "C" {
#include <gsm.h>
}

#include "TestWaves.h"
#include "convert/Gsm610Wav49.h"
#include "convert/WaveConvert.h"
#include "convert/WaveFormat.h"

namespace vocalet {
namespace {

// The reference's WAV49 output for the samples, the last block completed with silence.
test::Bytes ReferenceWav49(std::vector<std::int16_t> s) {
  s.resize((s.size() + 319) / 320 * 320, 0);
  gsm g = gsm_create();
  int one = 1;
  gsm_option(g, GSM_OPT_WAV49, &one);
  test::Bytes out(s.size() / 320 * 65);
  for (std::size_t b = 0; b < s.size() / 320; ++b) {
    // In WAV49 mode the first frame of a pair fills 32 bytes and a half, the second the rest.
    gsm_encode(g, &s[b * 320], &out[b * 65]);
    gsm_encode(g, &s[b * 320 + 160], &out[b * 65 + 32]);
  }
  gsm_destroy(g);
  return out;
}

test::Bytes OurWav49(std::vector<std::int16_t> s) {
  s.resize((s.size() + 319) / 320 * 320, 0);
  Gsm610Encoder encoder;
  test::Bytes out(s.size() / 320 * 65);
  for (std::size_t b = 0; b < s.size() / 320; ++b) EncodeWav49Block(encoder, &s[b * 320], &out[b * 65]);
  return out;
}

// Index of the first differing 65-byte block, or -1.
long FirstDifference(const test::Bytes& a, const test::Bytes& b) {
  if (a.size() != b.size()) return -2;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return static_cast<long>(i / 65);
  }
  return -1;
}

void ExpectBitExact(const std::vector<std::int16_t>& s, const char* what) {
  EXPECT_EQ(FirstDifference(OurWav49(s), ReferenceWav49(s)), -1) << what << ": first differing block";
}

TEST(Gsm610Reference, SpeechIsBitExact) {
  const auto speech = test::ReadRaw16(test::TestDataDir() + "/speech8k.raw");
  ASSERT_GT(speech.size(), 8000u * 20) << "speech test data missing";
  ExpectBitExact(speech, "speech");
  // Louder and quieter copies reach other branches of the scaling.
  std::vector<std::int16_t> loud(speech), quiet(speech);
  for (auto& v : loud) v = static_cast<std::int16_t>(std::clamp(v * 6, -32768, 32767));
  for (auto& v : quiet) v = static_cast<std::int16_t>(v / 64);
  ExpectBitExact(loud, "loud speech");
  ExpectBitExact(quiet, "quiet speech");
}

TEST(Gsm610Reference, NoiseIsBitExact) {
  ExpectBitExact(test::Noise(8000 * 40, 1), "full-scale noise");
  ExpectBitExact(test::Noise(8000 * 20, 2, 300), "low noise");
  ExpectBitExact(test::Noise(8000 * 10, 3, 3), "near-silent noise");
}

TEST(Gsm610Reference, SilenceIsBitExact) { ExpectBitExact(std::vector<std::int16_t>(8000 * 10, 0), "silence"); }

TEST(Gsm610Reference, FullScaleSquareIsBitExact) {
  std::vector<std::int16_t> s;
  for (std::size_t period : {2u, 16u, 37u, 80u, 160u, 1001u, 4000u}) {
    const auto part = test::Square(8000 * 4, period);
    s.insert(s.end(), part.begin(), part.end());
  }
  ExpectBitExact(s, "square");
}

TEST(Gsm610Reference, SineSweepIsBitExact) {
  ExpectBitExact(test::Sweep(8000 * 40, 20, 3999, 8000, 32767), "full-scale sweep");
  ExpectBitExact(test::Sweep(8000 * 20, 50, 3500, 8000, 2000), "quiet sweep");
}

// Through the whole converter, 8000 Hz mono 16-bit passes stage 1 unchanged: the data chunk
// must be the reference's output for the whole signal, seams included.
TEST(Gsm610Reference, DataChunkOfAConvertedFileIsTheReferenceOutput) {
  auto speech = test::ReadRaw16(test::TestDataDir() + "/speech8k.raw");
  ASSERT_FALSE(speech.empty());
  while (speech.size() < 2 * 524288 + 1000) speech.insert(speech.end(), speech.begin(), speech.end());
  speech.resize(2 * 524288 + 1000 + 123);
  test::WaveSpec spec;
  spec.fmtLength = 18;
  TMemoryStream source(test::MakeWave(spec, test::Pcm16Bytes(speech))), dest;
  TWaveFormatList converter;
  std::vector<std::uint8_t> format(MaxFormatSize, 0);
  format[0] = kWaveFormatGsm610;
  ASSERT_TRUE(converter.DoubleConvert(source, dest, format.data())) << converter.ErrorMessage;
  const test::Bytes data(dest.Bytes().begin() + 60, dest.Bytes().end());
  EXPECT_EQ(FirstDifference(data, ReferenceWav49(speech)), -1);
}

}  // namespace
}  // namespace vocalet
