#include "audio/RecordingLevel.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "convert/WavFormatUtils.h"

TRecordingContent JudgeRecording(vocalet::TStream& waveFile) {
  std::uint8_t format[19] = {};
  std::uint32_t dataLength = 0;
  if (!vocalet::ReadWaveHeader(waveFile, format, dataLength)) return TRecordingContent::Sound;
  if ((format[0] | (format[1] << 8)) != 1) return TRecordingContent::Sound;  // not PCM
  const unsigned channels = format[2] | (format[3] << 8);
  const unsigned blockAlign = format[12] | (format[13] << 8);
  const unsigned bits = format[14] | (format[15] << 8);
  if ((bits != 8 && bits != 16) || channels == 0 || blockAlign < channels * bits / 8)
    return TRecordingContent::Sound;

  // Whole blocks only; the stated length of a recording cut short may run past the file.
  std::vector<std::uint8_t> buffer(std::max(1u, 65536u / blockAlign) * blockAlign);
  std::uint32_t left = dataLength;
  bool anyBlock = false;
  while (left >= blockAlign) {
    const std::size_t ask = std::min<std::size_t>(buffer.size(), left - left % blockAlign);
    const std::size_t got = waveFile.Read(buffer.data(), ask);
    const std::size_t blocks = got / blockAlign;
    if (blocks == 0) break;
    anyBlock = true;
    for (std::size_t b = 0; b < blocks; ++b) {
      const std::uint8_t* block = buffer.data() + b * blockAlign;
      for (unsigned c = 0; c < channels; ++c) {
        int level;
        if (bits == 8) {
          level = (block[c] - 128) * 256;  // 8-bit samples are unsigned around 128
        } else {
          const std::uint8_t* s = block + 2 * c;
          level = static_cast<std::int16_t>(s[0] | (s[1] << 8));
        }
        if (std::abs(level) > SilentPeak) return TRecordingContent::Sound;
      }
    }
    if (got < ask) break;
    left -= static_cast<std::uint32_t>(got);
  }
  return anyBlock ? TRecordingContent::Silent : TRecordingContent::Empty;
}
