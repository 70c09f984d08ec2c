// The wave format record as it is stored in a RIFF WAVE file and passed to the compression
// layer: the platform's WAVEFORMATEX byte layout, declared here so that this folder never
// needs the platform headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vocalet {

inline constexpr std::uint16_t kWaveFormatPcm = 1;
inline constexpr std::uint16_t kWaveFormatGsm610 = 49;

#pragma pack(push, 1)
struct WaveFormatEx {
  std::uint16_t wFormatTag;
  std::uint16_t nChannels;
  std::uint32_t nSamplesPerSec;
  std::uint32_t nAvgBytesPerSec;
  std::uint16_t nBlockAlign;
  std::uint16_t wBitsPerSample;
  std::uint16_t cbSize;
};
struct Gsm610WaveFormat {
  WaveFormatEx wfx;
  std::uint16_t wSamplesPerBlock;
};
#pragma pack(pop)
static_assert(sizeof(WaveFormatEx) == 18);
static_assert(sizeof(Gsm610WaveFormat) == 20);

// PCM records live in 19-byte buffers: the record and one spare byte.
inline constexpr std::size_t kPcmFormatBufferSize = 19;

// Format buffers are plain bytes; these copy the record in and out without aliasing them.
inline WaveFormatEx LoadFormat(const void* buffer) {
  WaveFormatEx f;
  std::memcpy(&f, buffer, sizeof f);
  return f;
}
inline void StoreFormat(void* buffer, const WaveFormatEx& f) { std::memcpy(buffer, &f, sizeof f); }

}  // namespace vocalet
