// Signals and wave files for the conversion tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace vocalet::test {

inline constexpr double kPi = 3.14159265358979323846;

using Bytes = std::vector<std::uint8_t>;

inline void PutU16(Bytes& b, unsigned v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void PutU32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
inline void PutId(Bytes& b, const char* id) { b.insert(b.end(), id, id + 4); }
inline std::uint32_t GetU32(const Bytes& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

struct WaveSpec {
  unsigned tag = 1, channels = 1, rate = 8000, bits = 16;
  int fmtLength = 16;          // 16 or 18 (with cbSize 0)
  int factValue = -1;          // a "fact" chunk when >= 0
  int blockAlign = -1;         // -1: channels * bits / 8
  long avgBytes = -1;          // -1: rate * blockAlign
};

inline Bytes MakeWave(const WaveSpec& s, const Bytes& data) {
  const unsigned align = s.blockAlign >= 0 ? static_cast<unsigned>(s.blockAlign) : s.channels * s.bits / 8;
  Bytes b;
  PutId(b, "RIFF");
  PutU32(b, 0);
  PutId(b, "WAVE");
  PutId(b, "fmt ");
  PutU32(b, static_cast<std::uint32_t>(s.fmtLength));
  PutU16(b, s.tag);
  PutU16(b, s.channels);
  PutU32(b, s.rate);
  PutU32(b, s.avgBytes >= 0 ? static_cast<std::uint32_t>(s.avgBytes) : s.rate * align);
  PutU16(b, align);
  PutU16(b, s.bits);
  if (s.fmtLength >= 18) PutU16(b, 0);
  if (s.factValue >= 0) {
    PutId(b, "fact");
    PutU32(b, 4);
    PutU32(b, static_cast<std::uint32_t>(s.factValue));
  }
  PutId(b, "data");
  PutU32(b, static_cast<std::uint32_t>(data.size()));
  b.insert(b.end(), data.begin(), data.end());
  const std::uint32_t riff = static_cast<std::uint32_t>(b.size() - 8);
  std::memcpy(&b[4], &riff, 4);
  return b;
}

inline Bytes Pcm16Bytes(const std::vector<std::int16_t>& s) {
  Bytes b(s.size() * 2);
  for (std::size_t i = 0; i < s.size(); ++i) {
    b[2 * i] = static_cast<std::uint8_t>(s[i]);
    b[2 * i + 1] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(s[i]) >> 8);
  }
  return b;
}

inline std::vector<std::int16_t> Noise(std::size_t n, std::uint32_t seed, int amplitude = 32767) {
  std::vector<std::int16_t> s(n);
  for (auto& v : s) {
    seed = seed * 1664525u + 1013904223u;
    v = static_cast<std::int16_t>(static_cast<int>((seed >> 16) % (2u * amplitude + 1)) - amplitude);
  }
  return s;
}

inline std::vector<std::int16_t> Sine(std::size_t n, double freq, double rate, double amplitude) {
  std::vector<std::int16_t> s(n);
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<std::int16_t>(std::lround(amplitude * std::sin(2 * kPi * freq * i / rate)));
  return s;
}

// Exponential sweep from f0 to f1 over n samples.
inline std::vector<std::int16_t> Sweep(std::size_t n, double f0, double f1, double rate, double amplitude) {
  std::vector<std::int16_t> s(n);
  const double k = std::log(f1 / f0) / n;
  for (std::size_t i = 0; i < n; ++i) {
    const double phase = 2 * kPi * f0 * (std::exp(k * i) - 1) / k / rate;
    s[i] = static_cast<std::int16_t>(std::lround(amplitude * std::sin(phase)));
  }
  return s;
}

inline std::vector<std::int16_t> Square(std::size_t n, std::size_t period) {
  std::vector<std::int16_t> s(n);
  for (std::size_t i = 0; i < n; ++i) s[i] = (i % period) < period / 2 ? 32767 : -32768;
  return s;
}

inline bool ReadFile(const std::string& name, Bytes& out) {
  std::FILE* f = std::fopen(name.c_str(), "rb");
  if (!f) return false;
  out.clear();
  std::uint8_t buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
  std::fclose(f);
  return true;
}

inline bool WriteFile(const std::string& name, const Bytes& data) {
  std::FILE* f = std::fopen(name.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  return std::fclose(f) == 0 && ok;
}

inline std::vector<std::int16_t> ReadRaw16(const std::string& name) {
  Bytes b;
  std::vector<std::int16_t> s;
  if (!ReadFile(name, b)) return s;
  s.resize(b.size() / 2);
  for (std::size_t i = 0; i < s.size(); ++i) s[i] = static_cast<std::int16_t>(b[2 * i] | b[2 * i + 1] << 8);
  return s;
}

inline std::string TestDataDir() {
  const char* d = std::getenv("VOCALET_CONVERT_TESTDATA");
  return d ? d : ".";
}

// Largest normalised cross-correlation of b against a over lags -maxLag..maxLag.
inline double BestCorrelation(const std::vector<double>& a, const std::vector<double>& b, int maxLag) {
  double best = 0;
  const long n = static_cast<long>(std::min(a.size(), b.size()));
  for (int lag = -maxLag; lag <= maxLag; ++lag) {
    double ab = 0, aa = 0, bb = 0;
    for (long i = 0; i < n; ++i) {
      const long j = i + lag;
      if (j < 0 || j >= static_cast<long>(b.size())) continue;
      ab += a[i] * b[j];
      aa += a[i] * a[i];
      bb += b[j] * b[j];
    }
    if (aa > 0 && bb > 0) best = std::max(best, ab / std::sqrt(aa * bb));
  }
  return best;
}

}  // namespace vocalet::test
