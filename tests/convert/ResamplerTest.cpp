#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "TestWaves.h"
#include "convert/Resampler.h"

namespace vocalet {
namespace {

using test::Samples;

WaveFormatEx Pcm(unsigned rate, unsigned channels = 1, unsigned bits = 16) {
  const unsigned align = channels * bits / 8;
  return WaveFormatEx{kWaveFormatPcm, std::uint16_t(channels), rate, rate * align,
                      std::uint16_t(align), std::uint16_t(bits), 0};
}

Samples Convert(const WaveFormatEx& f, const test::Bytes& data, std::size_t chunkFrames = 0) {
  Resampler r(f);
  Samples out;
  const std::size_t frames = data.size() / f.nBlockAlign;
  if (chunkFrames == 0) chunkFrames = frames;
  for (std::size_t at = 0; at < frames; at += chunkFrames) {
    r.Process(data.data() + at * f.nBlockAlign, std::min(chunkFrames, frames - at), out);
  }
  r.Finish(out);
  return out;
}

Samples Mono(unsigned rate, const Samples& s) { return Convert(Pcm(rate), test::Pcm16Bytes(s)); }

test::Bytes Stereo(const Samples& left, const Samples& right) {
  Samples both;
  for (std::size_t i = 0; i < left.size(); ++i) both.insert(both.end(), {left[i], right[i]});
  return test::Pcm16Bytes(both);
}

// Amplitude of the component at freq, away from the ends.
double Amplitude(const Samples& y, double freq) {
  const std::size_t skip = 400, n = y.size() - 2 * skip;
  double c = 0, s = 0;
  const double w = 2 * std::numbers::pi * freq / 8000;
  for (std::size_t i = skip; i < skip + n; ++i) {
    c += y[i] * std::cos(w * double(i));
    s += y[i] * std::sin(w * double(i));
  }
  return 2 * std::sqrt(c * c + s * s) / double(n);
}

const unsigned kRates[] = {11025, 12000, 16000, 22050, 24000, 32000, 37800, 44100, 44101, 48000};

TEST(Resampler, PassBandIsFlatWithinATenthOfADecibelTo3400Hz) {
  for (unsigned rate : kRates) {
    for (double f : {60.0, 300.0, 1000.0, 2000.0, 2900.0, 3300.0, 3400.0}) {
      const double a = Amplitude(Mono(rate, test::Tone(rate, f, f, rate, 20000)), f);
      EXPECT_LT(std::fabs(20 * std::log10(a / 20000)), 0.1) << rate << " Hz source, " << f << " Hz";
    }
  }
}

TEST(Resampler, ContentAbove4000HzIsAttenuatedByAtLeast80dB) {
  for (unsigned rate : kRates) {
    for (double f : {4000, 4100, 4500, 6000, 7000, 9000, 11000, 12500, 16000, 19000, 22000,
                     23900}) {
      if (f >= rate / 2.0) continue;
      const Samples out = Mono(rate, test::Tone(rate, f, f, rate, 32000));
      // All that is left is folded-back energy; a sine's RMS is amplitude / sqrt 2.
      double sum = 0;
      for (std::size_t i = 400; i < out.size() - 400; ++i) sum += double(out[i]) * out[i];
      const double rms = std::sqrt(sum / double(out.size() - 800));
      EXPECT_LT(20 * std::log10(std::max(rms, 1e-3) * std::sqrt(2.0) / 32000), -80)
          << rate << " Hz source, " << f << " Hz";
    }
  }
}

// GSM coding makes audible residue of even a lone least significant bit.
TEST(Resampler, TurnsASteadySixKilohertzToneAt44100HzIntoExactSilence) {
  const Samples tone = test::Tone(44100, 6000, 6000, 44100, 32767);
  for (const Samples& out : {Mono(44100, tone), Convert(Pcm(44100, 2), Stereo(tone, tone))}) {
    EXPECT_EQ(std::count(out.begin() + 400, out.end() - 400, 0), long(out.size()) - 800);
  }
}

TEST(Resampler, GivesExactlyTheSamplesOfTheSourceDurationWhateverTheChunks) {
  for (unsigned rate : kRates) {
    for (std::size_t frames : {0u, 1u, 5u, 441u, 4095u, 4096u, 4097u, 30011u}) {
      const test::Bytes in = test::Pcm16Bytes(test::Noise(frames, rate + frames, 20000));
      const Samples whole = Convert(Pcm(rate), in);
      EXPECT_EQ(whole.size(), (frames * 8000 + rate - 1) / rate) << rate << " " << frames;
      EXPECT_EQ(Convert(Pcm(rate), in, 1237), whole) << rate << " " << frames;
    }
  }
}

TEST(Resampler, MixesStereoToMonoWithoutClipping) {
  for (unsigned rate : {8000u, 44100u}) {
    const Samples square = test::Square(rate, 200);  // full scale: must not wrap around
    EXPECT_EQ(Convert(Pcm(rate, 2), Stereo(square, square)), Mono(rate, square)) << rate;
    Samples sine = test::Tone(rate, 500, 500, rate, 30000), negated(sine);
    for (auto& v : negated) v = std::int16_t(-v);
    const Samples out = Convert(Pcm(rate, 2), Stereo(sine, negated));  // both channels count
    EXPECT_EQ(std::count(out.begin(), out.end(), 0), long(out.size())) << rate;
  }
}

TEST(Resampler, ReadsEightBitSamplesAsUnsigned) {
  EXPECT_EQ(Convert(Pcm(8000, 1, 8), test::Bytes{0, 255, 128}), (Samples{-32768, 32512, 0}));
  EXPECT_EQ(Convert(Pcm(8000, 2, 8), test::Bytes{0, 0, 255, 255, 128, 128}),
            (Samples{-32768, 32512, 0}));
}

}  // namespace
}  // namespace vocalet
