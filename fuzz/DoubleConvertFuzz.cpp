// DoubleConvert on arbitrary bytes: a clear failure or a well-formed GSM 6.10 file, never a
// crash, a hang or an allocation sized by the input.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "convert/WaveConvert.h"
#include "convert/WaveFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vocalet::TMemoryStream source(std::vector<std::uint8_t>(data, data + size));
  vocalet::TWaveFormatList converter;
  std::vector<std::uint8_t> format(vocalet::MaxFormatSize, 0);
  format[0] = vocalet::kWaveFormatGsm610;
  vocalet::TMemoryStream dest;
  if (converter.DoubleConvert(source, dest, format.data())) {
    const auto& out = dest.Bytes();
    std::uint32_t riff = 0, dataLength = 0;
    if (out.size() < 60) std::abort();
    std::memcpy(&riff, &out[4], 4);
    std::memcpy(&dataLength, &out[56], 4);
    if (out.size() != 60u + dataLength || riff != dataLength + 52 || dataLength % 65 != 0) std::abort();
  } else if (converter.ErrorMessage.empty()) {
    std::abort();
  }
  return 0;
}
