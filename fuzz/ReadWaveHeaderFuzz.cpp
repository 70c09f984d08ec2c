// ReadWaveHeader on arbitrary bytes: it may refuse, but never read outside the stream or
// accept a header that breaks its own rules.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "convert/WavFormatUtils.h"
#include "convert/WaveFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vocalet::TMemoryStream stream(std::vector<std::uint8_t>(data, data + size));
  std::uint8_t format[vocalet::kPcmFormatBufferSize];
  std::uint32_t dataLength = 0;
  if (vocalet::ReadWaveHeader(stream, format, dataLength)) {
    const vocalet::WaveFormatEx f = vocalet::LoadFormat(format);
    if (f.wFormatTag != vocalet::kWaveFormatPcm || (f.nChannels != 1 && f.nChannels != 2) ||
        static_cast<std::uint64_t>(f.nBlockAlign) * f.nSamplesPerSec != f.nAvgBytesPerSec) {
      std::abort();
    }
  }
  return 0;
}
