#include "convert/WavFormatUtils.h"

#include <cstring>

#include "convert/WaveFormat.h"

namespace vocalet {
namespace {

bool ReadId(TStream& s, const char* id) {
  char buf[4];
  return s.Read(buf, 4) == 4 && std::memcmp(buf, id, 4) == 0;
}

bool ReadU32(TStream& s, std::uint32_t& v) {
  std::uint8_t b[4];
  if (s.Read(b, 4) != 4) return false;
  v = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
      static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
  return true;
}

void WriteU32(TStream& s, std::uint32_t v) {
  const std::uint8_t b[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                             static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
  s.Write(b, 4);
}

}  // namespace

bool ReadWaveHeader(TStream& source, std::uint8_t* format, std::uint32_t& dataLength) {
  std::uint32_t length = 0;
  if (!ReadId(source, "RIFF") || !ReadU32(source, length) || !ReadId(source, "WAVE") ||
      !ReadId(source, "fmt ") || !ReadU32(source, length)) {
    return false;
  }
  // The whole 19-byte buffer is read whatever the chunk says, then the position is put right
  // after the chunk: a 16-byte chunk leaves bytes of the next chunk in the buffer's tail.
  std::memset(format, 0, kPcmFormatBufferSize);
  if (source.Read(format, kPcmFormatBufferSize) != kPcmFormatBufferSize) return false;
  if (source.Seek(static_cast<std::int64_t>(length) - static_cast<std::int64_t>(kPcmFormatBufferSize),
                  SeekOrigin::Current) < 0) {
    return false;
  }
  char id[4];
  if (source.Read(id, 4) != 4) return false;
  if (std::memcmp(id, "fact", 4) == 0) {
    if (!ReadU32(source, length) || source.Seek(length, SeekOrigin::Current) < 0 ||
        source.Read(id, 4) != 4) {
      return false;
    }
  }
  if (std::memcmp(id, "data", 4) != 0 || !ReadU32(source, dataLength)) return false;

  const WaveFormatEx f = LoadFormat(format);
  return f.wFormatTag == kWaveFormatPcm && (f.nChannels == 1 || f.nChannels == 2) &&
         static_cast<std::uint64_t>(f.nBlockAlign) * f.nSamplesPerSec == f.nAvgBytesPerSec;
}

void WriteWaveFileHeader(TStream& dest, const std::uint8_t* format) {
  const std::uint16_t cb = LoadFormat(format).cbSize;
  dest.Write("RIFF", 4);
  WriteU32(dest, 0);
  dest.Write("WAVE", 4);
  dest.Write("fmt ", 4);
  WriteU32(dest, 18u + cb);
  dest.Write(format, 18u + cb);
  dest.Write("fact", 4);
  WriteU32(dest, 4);
  WriteU32(dest, 0);
  dest.Write("data", 4);
  WriteU32(dest, 0);
}

void PatchWaveFileHeader(TStream& dest, std::int64_t start, const std::uint8_t* format,
                         std::uint32_t dataLength) {
  const WaveFormatEx f = LoadFormat(format);
  const std::uint32_t cb = f.cbSize;
  const std::uint32_t blocks = f.nBlockAlign != 0 ? dataLength / f.nBlockAlign : dataLength;
  dest.Seek(start + 4, SeekOrigin::Begin);
  WriteU32(dest, dataLength + 50 + cb);
  dest.Seek(38 + cb, SeekOrigin::Current);
  WriteU32(dest, blocks);
  dest.Seek(4, SeekOrigin::Current);
  WriteU32(dest, dataLength);
  dest.Seek(start + 58 + cb + dataLength, SeekOrigin::Begin);
}

}  // namespace vocalet
