// Our encoder against libgsm, the reference implementation, bit for bit.
#include <gtest/gtest.h>

extern "C" {
#include <gsm.h>
}

#include "TestWaves.h"
#include "convert/WaveConvert.h"
#include "convert/WaveFormat.h"

namespace vocalet {
namespace {

using test::Samples;

// The reference's WAV49 output, the last block completed with silence.
test::Bytes ReferenceWav49(Samples s) {
  s.resize((s.size() + 319) / 320 * 320, 0);
  gsm g = gsm_create();
  int one = 1;
  gsm_option(g, GSM_OPT_WAV49, &one);
  test::Bytes out(s.size() / 320 * 65);
  for (std::size_t b = 0; b < s.size() / 320; ++b) {
    // The first frame of a pair fills 32 bytes and a half, the second the rest.
    gsm_encode(g, &s[b * 320], &out[b * 65]);
    gsm_encode(g, &s[b * 320 + 160], &out[b * 65 + 32]);
  }
  gsm_destroy(g);
  return out;
}

// 8000 Hz mono passes the first stage unchanged: the data chunk is the GSM stage's output.
TEST(Gsm610Reference, TheDataChunkIsTheReferenceOutputBitForBit) {
  const Samples speech = test::Speech();
  ASSERT_GT(speech.size(), 8000u * 20) << "speech test data missing";
  Samples loud(speech), quiet(speech), square, seams;
  for (auto& v : loud) v = std::int16_t(std::clamp(v * 6, -32768, 32767));
  for (auto& v : quiet) v = std::int16_t(v / 64);
  for (std::size_t period : {2u, 37u, 160u, 4000u}) {
    const Samples part = test::Square(8000 * 4, period);
    square.insert(square.end(), part.begin(), part.end());
  }
  while (seams.size() < 2 * 524288 + 1123) seams.insert(seams.end(), speech.begin(), speech.end());
  seams.resize(2 * 524288 + 1123);
  const std::pair<const char*, Samples> signals[] = {
      {"speech across two 1 MiB seams", seams},
      {"loud speech", loud},
      {"quiet speech", quiet},
      {"full-scale noise", test::Noise(8000 * 20, 1)},
      {"near-silent noise", test::Noise(8000 * 10, 3, 3)},
      {"silence", Samples(8000 * 5, 0)},
      {"full-scale square", square},
      {"full-scale sweep", test::Tone(8000 * 40, 20, 3999, 8000, 32767)},
  };
  for (const auto& [what, s] : signals) {
    SCOPED_TRACE(what);
    TMemoryStream source(test::MakeWave({.fmtLength = 18}, test::Pcm16Bytes(s))), dest;
    TWaveFormatList converter;
    std::vector<std::uint8_t> format(MaxFormatSize, 0);
    format[0] = kWaveFormatGsm610;
    ASSERT_TRUE(converter.DoubleConvert(source, dest, format.data())) << converter.ErrorMessage;
    const test::Bytes data(dest.Bytes().begin() + 60, dest.Bytes().end()), ref = ReferenceWav49(s);
    ASSERT_EQ(data.size(), ref.size());
    const auto at = std::mismatch(data.begin(), data.end(), ref.begin()).first;
    EXPECT_TRUE(at == data.end()) << "first differing block " << (at - data.begin()) / 65;
  }
}

}  // namespace
}  // namespace vocalet
