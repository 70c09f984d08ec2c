#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "TestWaves.h"
#include "convert/Resampler.h"

namespace vocalet {
namespace {

WaveFormatEx Pcm(unsigned rate, unsigned channels = 1, unsigned bits = 16) {
  const unsigned align = channels * bits / 8;
  return WaveFormatEx{kWaveFormatPcm, static_cast<std::uint16_t>(channels), rate, rate * align,
                      static_cast<std::uint16_t>(align), static_cast<std::uint16_t>(bits), 0};
}

std::vector<std::int16_t> Convert(const WaveFormatEx& f, const test::Bytes& data, std::size_t chunkFrames = 0) {
  Resampler r(f);
  std::vector<std::int16_t> out;
  const std::size_t frames = data.size() / f.nBlockAlign;
  if (chunkFrames == 0) chunkFrames = frames;
  for (std::size_t at = 0; at < frames; at += chunkFrames) {
    r.Process(data.data() + at * f.nBlockAlign, std::min(chunkFrames, frames - at), out);
  }
  r.Finish(out);
  return out;
}

// Amplitude of the component at freq in the middle of the output (away from the ends).
double Amplitude(const std::vector<std::int16_t>& y, double freq) {
  const std::size_t skip = 400, n = y.size() - 2 * skip;
  double c = 0, s = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double w = 2 * test::kPi * freq * static_cast<double>(skip + i) / 8000;
    c += y[skip + i] * std::cos(w);
    s += y[skip + i] * std::sin(w);
  }
  return 2 * std::sqrt(c * c + s * s) / static_cast<double>(n);
}

double MiddleRms(const std::vector<std::int16_t>& y) {
  const std::size_t skip = 400;
  double sum = 0;
  for (std::size_t i = skip; i < y.size() - skip; ++i) sum += static_cast<double>(y[i]) * y[i];
  return std::sqrt(sum / static_cast<double>(y.size() - 2 * skip));
}

const unsigned kRates[] = {11025, 12000, 16000, 22050, 24000, 32000, 37800, 44100, 44101, 48000};

TEST(Resampler, PassBandIsFlatWithinATenthOfADecibelTo3400Hz) {
  const double amplitude = 20000;
  double worst = 0;
  for (unsigned rate : kRates) {
    for (double f : {60.0, 300.0, 1000.0, 2000.0, 2900.0, 3300.0, 3400.0}) {
      const auto in = test::Sine(rate, f, rate, amplitude);
      const auto out = Convert(Pcm(rate), test::Pcm16Bytes(in));
      const double db = 20 * std::log10(Amplitude(out, f) / amplitude);
      worst = std::max(worst, std::fabs(db));
      EXPECT_LT(std::fabs(db), 0.1) << rate << " Hz source, " << f << " Hz";
    }
  }
  std::printf("pass band: largest deviation %.4f dB\n", worst);
}

TEST(Resampler, ContentAbove4000HzIsAttenuatedByAtLeast80dB) {
  const double amplitude = 32000;
  double worst = -1000;
  for (unsigned rate : kRates) {
    for (double f : {4000.0, 4100.0, 4500.0, 6000.0, 7000.0, 9000.0, 11000.0, 12500.0, 16000.0, 19000.0, 22000.0, 23900.0}) {
      if (f >= rate / 2.0) continue;
      const auto in = test::Sine(rate, f, rate, amplitude);
      const auto out = Convert(Pcm(rate), test::Pcm16Bytes(in));
      // Everything left in the output is folded-back energy (a sine's RMS is amplitude/sqrt 2).
      const double db = 20 * std::log10(std::max(MiddleRms(out), 1e-3) * std::sqrt(2.0) / amplitude);
      worst = std::max(worst, db);
      EXPECT_LT(db, -80) << rate << " Hz source, " << f << " Hz";
    }
  }
  std::printf("stop band: weakest attenuation %.1f dB\n", -worst);
}

// GSM coding makes audible residue of even a lone least significant bit: a steady tone above
// 4000 Hz has to come out as exact silence, not merely far down.
TEST(Resampler, TurnsASteadySixKilohertzToneAt44100HzIntoExactSilence) {
  for (unsigned channels : {1u, 2u}) {
    for (double amplitude : {16384.0, 32767.0}) {
      const auto tone = test::Sine(44100, 6000, 44100, amplitude);
      std::vector<std::int16_t> in;
      for (std::int16_t v : tone) in.insert(in.end(), channels, v);
      const auto out = Convert(Pcm(44100, channels), test::Pcm16Bytes(in));
      const auto stray = std::count_if(out.begin() + 400, out.end() - 400, [](std::int16_t v) { return v != 0; });
      EXPECT_EQ(stray, 0) << channels << " channel(s), amplitude " << amplitude;
    }
  }
}

TEST(Resampler, GivesExactlyTheSamplesOfTheSourceDurationWhateverTheChunks) {
  for (unsigned rate : kRates) {
    for (std::size_t frames : {0u, 1u, 5u, 441u, 4095u, 4096u, 4097u, 30011u}) {
      const auto in = test::Noise(frames, rate + frames, 20000);
      const auto whole = Convert(Pcm(rate), test::Pcm16Bytes(in));
      EXPECT_EQ(whole.size(), (frames * 8000 + rate - 1) / rate) << rate << " " << frames;
      const auto chunked = Convert(Pcm(rate), test::Pcm16Bytes(in), 1237);
      EXPECT_EQ(chunked, whole) << rate << " " << frames;
    }
  }
}

TEST(Resampler, KeepsAnEightKilohertzMonoSourceUnchanged) {
  const auto in = test::Noise(5000, 7);
  EXPECT_EQ(Convert(Pcm(8000), test::Pcm16Bytes(in)), in);
}

TEST(Resampler, MixesStereoToMonoWithoutClipping) {
  for (unsigned rate : {8000u, 44100u}) {
    // Both channels at full scale: the mix is the same full-scale signal, not wrapped around.
    const auto square = test::Square(rate, 200);
    test::Bytes both;
    for (auto v : square) {
      const test::Bytes b = test::Pcm16Bytes({v, v});
      both.insert(both.end(), b.begin(), b.end());
    }
    EXPECT_EQ(Convert(Pcm(rate, 2), both), Convert(Pcm(rate), test::Pcm16Bytes(square))) << rate;

    // Opposite channels cancel.
    const auto sine = test::Sine(rate, 500, rate, 30000);
    test::Bytes opposite;
    for (auto v : sine) {
      const test::Bytes b = test::Pcm16Bytes({v, static_cast<std::int16_t>(-v)});
      opposite.insert(opposite.end(), b.begin(), b.end());
    }
    for (auto v : Convert(Pcm(rate, 2), opposite)) ASSERT_EQ(v, 0) << rate;
  }
}

TEST(Resampler, ReadsEightBitSamplesAsUnsigned) {
  for (unsigned channels : {1u, 2u}) {
    EXPECT_EQ(Convert(Pcm(8000, channels, 8), test::Bytes(100 * channels, 128)),
              std::vector<std::int16_t>(100, 0));
    const test::Bytes extremes = channels == 1 ? test::Bytes{0, 255, 128} : test::Bytes{0, 0, 255, 255, 128, 128};
    EXPECT_EQ(Convert(Pcm(8000, channels, 8), extremes), (std::vector<std::int16_t>{-32768, 32512, 0}));
  }
  // An 8-bit sine through the filters keeps its level like a 16-bit one.
  test::Bytes eight;
  for (auto v : test::Sine(22050, 1000, 22050, 100)) eight.push_back(static_cast<std::uint8_t>(128 + v));
  const double a = Amplitude(Convert(Pcm(22050, 1, 8), eight), 1000);
  EXPECT_NEAR(a, 100 * 256, 100 * 256 * 0.02);
}

TEST(Resampler, SupportsOnlyWhatItCanConvert) {
  EXPECT_TRUE(Resampler::Supports(Pcm(8000)));
  EXPECT_TRUE(Resampler::Supports(Pcm(48000, 2, 8)));
  EXPECT_FALSE(Resampler::Supports(Pcm(7999)));
  EXPECT_FALSE(Resampler::Supports(Pcm(48001)));
  EXPECT_FALSE(Resampler::Supports(Pcm(44100, 1, 24)));
  EXPECT_FALSE(Resampler::Supports(Pcm(44100, 3)));
  WaveFormatEx zeroAlign = Pcm(8000);
  zeroAlign.nBlockAlign = 0;
  zeroAlign.nAvgBytesPerSec = 0;
  EXPECT_FALSE(Resampler::Supports(zeroAlign));
}

}  // namespace
}  // namespace vocalet
