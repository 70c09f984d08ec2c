// Signals and wave files for the conversion tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

namespace vocalet::test {

using Bytes = std::vector<std::uint8_t>;
using Samples = std::vector<std::int16_t>;

inline void PutLe(Bytes& b, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
inline std::uint32_t GetU32(const Bytes& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

struct WaveParams {
  unsigned tag = 1, channels = 1, rate = 8000, bits = 16;
  int fmtLength = 16;   // 16, or more: cbSize 0 and zeros
  int factValue = -1;   // a "fact" chunk when >= 0
  int blockAlign = -1;  // -1: channels * bits / 8
  long avgBytes = -1;   // -1: rate * blockAlign
};

inline Bytes Chunk(const char* id, const Bytes& body) {
  Bytes b(id, id + 4);
  PutLe(b, std::uint32_t(body.size()), 4);
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

inline Bytes MakeWave(const WaveParams& s, const Bytes& data) {
  const unsigned align = s.blockAlign >= 0 ? unsigned(s.blockAlign) : s.channels * s.bits / 8;
  const unsigned avg = s.avgBytes >= 0 ? unsigned(s.avgBytes) : s.rate * align;
  Bytes fmt, fact, wave = {'W', 'A', 'V', 'E'};
  for (auto [v, n] : {std::pair{s.tag, 2}, {s.channels, 2}, {s.rate, 4}, {avg, 4}, {align, 2},
                      {s.bits, 2}}) {
    PutLe(fmt, v, n);
  }
  fmt.resize(std::size_t(s.fmtLength), 0);
  auto add = [&wave](const Bytes& chunk) { wave.insert(wave.end(), chunk.begin(), chunk.end()); };
  add(Chunk("fmt ", fmt));
  PutLe(fact, std::uint32_t(s.factValue), 4);
  if (s.factValue >= 0) add(Chunk("fact", fact));
  add(Chunk("data", data));
  return Chunk("RIFF", wave);
}

inline Bytes Pcm16Bytes(const Samples& s) {
  Bytes b;
  for (std::int16_t v : s) PutLe(b, std::uint16_t(v), 2);
  return b;
}

inline Samples Noise(std::size_t n, std::uint32_t seed, int amplitude = 32767) {
  Samples s(n);
  for (auto& v : s) {
    seed = seed * 1664525u + 1013904223u;
    v = static_cast<std::int16_t>(int((seed >> 16) % (2u * amplitude + 1)) - amplitude);
  }
  return s;
}

// From f0 to f1 Hz, exponentially, over n samples; a steady tone when they are equal.
inline Samples Tone(std::size_t n, double f0, double f1, double rate, double amplitude) {
  Samples s(n);
  const double k = std::log(f1 / f0) / double(n), w = 2 * std::numbers::pi * f0 / rate;
  for (std::size_t i = 0; i < n; ++i) {
    const double phase = k == 0 ? w * double(i) : w * (std::exp(k * double(i)) - 1) / k;
    s[i] = std::int16_t(std::lround(amplitude * std::sin(phase)));
  }
  return s;
}

inline Samples Square(std::size_t n, std::size_t period) {
  Samples s(n);
  for (std::size_t i = 0; i < n; ++i) s[i] = (i % period) < period / 2 ? 32767 : -32768;
  return s;
}

inline bool ReadFile(const std::string& name, Bytes& out) {
  std::ifstream f(name, std::ios::binary);
  out.assign(std::istreambuf_iterator<char>(f), {});
  return f.is_open();
}

inline bool WriteFile(const std::string& name, const Bytes& data) {
  std::ofstream f(name, std::ios::binary);
  f.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
  return bool(f.flush());
}

inline Samples ReadRaw16(const std::string& name) {
  Bytes b;
  ReadFile(name, b);
  Samples s(b.size() / 2);
  for (std::size_t i = 0; i < s.size(); ++i) s[i] = std::int16_t(b[2 * i] | b[2 * i + 1] << 8);
  return s;
}

// The speech made at build time: 8000 Hz mono 16-bit.
inline Samples Speech() {
  const char* d = std::getenv("VOCALET_CONVERT_TESTDATA");
  return ReadRaw16(std::string(d ? d : ".") + "/speech8k.raw");
}

}  // namespace vocalet::test
