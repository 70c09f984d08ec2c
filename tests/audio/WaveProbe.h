// Reading and writing PCM wave files in tests, and telling whether a recording holds the
// speech that the scripted microphone played.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

struct TWaveProbe {
  bool Valid = false;
  uint16_t FormatTag = 0, Channels = 0, BlockAlign = 0, BitsPerSample = 0;
  uint32_t SamplesPerSec = 0, AvgBytesPerSec = 0;
  std::vector<uint8_t> Data;

  static TWaveProbe Read(const std::string& path) {
    TWaveProbe w;
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 12 || memcmp(b.data(), "RIFF", 4) || memcmp(b.data() + 8, "WAVE", 4)) return w;
    bool fmt = false;
    for (size_t pos = 12; pos + 8 <= b.size();) {
      uint32_t size = U32(&b[pos + 4]);
      size_t body = pos + 8;
      if (body + size > b.size()) size = static_cast<uint32_t>(b.size() - body);
      if (!memcmp(&b[pos], "fmt ", 4) && size >= 16) {
        w.FormatTag = U16(&b[body]);
        w.Channels = U16(&b[body + 2]);
        w.SamplesPerSec = U32(&b[body + 4]);
        w.AvgBytesPerSec = U32(&b[body + 8]);
        w.BlockAlign = U16(&b[body + 12]);
        w.BitsPerSample = U16(&b[body + 14]);
        fmt = true;
      } else if (!memcmp(&b[pos], "data", 4)) {
        w.Data.assign(b.begin() + body, b.begin() + body + size);
      }
      pos = body + size + (size & 1);
    }
    w.Valid = fmt;
    return w;
  }

  // The first channel as values in -1 .. 1.
  std::vector<float> FirstChannel() const {
    std::vector<float> out;
    if (!BlockAlign) return out;
    for (size_t i = 0; i + BlockAlign <= Data.size(); i += BlockAlign) {
      if (BitsPerSample == 8)
        out.push_back((Data[i] - 128) / 128.0f);
      else
        out.push_back(static_cast<int16_t>(Data[i] | (Data[i + 1] << 8)) / 32768.0f);
    }
    return out;
  }

  static uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
  static uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
};

// Writes an 8-bit mono PCM file of `seconds` of a quiet tone.
inline void WriteToneWave(const std::string& path, int seconds, uint32_t rate = 8000) {
  uint32_t n = rate * seconds;
  std::string f = "RIFF";
  auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) f += char((v >> (8 * i)) & 0xFF); };
  auto u16 = [&](uint16_t v) { f += char(v & 0xFF); f += char(v >> 8); };
  u32(36 + n);
  f += "WAVEfmt ";
  u32(16); u16(1); u16(1); u32(rate); u32(rate); u16(1); u16(8);
  f += "data";
  u32(n);
  for (uint32_t i = 0; i < n; ++i) f += char(128 + int(20 * std::sin(i * 0.3)));
  std::ofstream(path, std::ios::binary) << f;
}

// The best normalized correlation of `piece` with any stretch of `reference`.
__attribute__((optimize("O2"))) inline double BestMatch(const float* piece, size_t n,
                                                        const std::vector<float>& reference) {
  double pp = 0;
  for (size_t i = 0; i < n; ++i) pp += double(piece[i]) * piece[i];
  if (pp <= 0 || reference.size() < n) return 0;
  double best = 0, rr = 0;
  for (size_t i = 0; i < n; ++i) rr += double(reference[i]) * reference[i];
  for (size_t off = 0; off + n <= reference.size(); ++off) {
    if (off) rr += double(reference[off + n - 1]) * reference[off + n - 1] -
                   double(reference[off - 1]) * reference[off - 1];
    if (rr <= pp * 1e-4) continue;
    double pr = 0;
    for (size_t i = 0; i < n; ++i) pr += double(piece[i]) * reference[off + i];
    best = std::max(best, pr / std::sqrt(pp * rr));
  }
  return best;
}

// How many of up to `count` loud 20 ms pieces of `recorded`, spread over it, are found in
// `reference` (the spoken text at the same rate) with a correlation above `threshold`. The
// scripted capture is not paced and drops stretches, so pieces are matched, not the whole.
inline std::vector<float> Decimate(const std::vector<float>& s, size_t factor) {
  if (factor <= 1) return s;
  std::vector<float> out;
  for (size_t i = 0; i + factor <= s.size(); i += factor) {
    float sum = 0;
    for (size_t j = i; j < i + factor; ++j) sum += s[j];
    out.push_back(sum / factor);
  }
  return out;
}

inline int PiecesOfSpeechFound(const std::vector<float>& recordedAtRate,
                               const std::vector<float>& referenceAtRate, uint32_t rate,
                               int count, double threshold, std::string* log = nullptr) {
  // Near 8000 Hz is enough to tell speech apart and keeps the search short.
  const size_t factor = std::max<size_t>(rate / 8000, 1);
  const std::vector<float> recorded = Decimate(recordedAtRate, factor);
  const std::vector<float> reference = Decimate(referenceAtRate, factor);
  const size_t n = rate / factor / 50;
  std::vector<size_t> loud;
  for (size_t i = 0; i + n <= recorded.size(); i += n) {
    double e = 0;
    for (size_t j = i; j < i + n; ++j) e += double(recorded[j]) * recorded[j];
    if (std::sqrt(e / n) > 0.05) loud.push_back(i);
  }
  int found = 0;
  for (int k = 0; k < count && !loud.empty(); ++k) {
    size_t at = loud[loud.size() * k / count];
    double m = BestMatch(&recorded[at], n, reference);
    if (log) *log += std::to_string(m).substr(0, 4) + " ";
    if (m > threshold) ++found;
  }
  return found;
}
