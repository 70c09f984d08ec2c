// What a DoubleConvert run may end with, checked by the conversion fuzzers: a clear failure,
// or a well-formed GSM 6.10 file whose lengths agree.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "convert/WaveConvert.h"
#include "convert/WaveFormat.h"

// Runs the conversion of source into a memory stream; aborts on a malformed result or an
// unexplained failure, and returns whether it succeeded.
inline bool ConvertAndCheck(vocalet::TStream& source) {
  vocalet::TWaveFormatList converter;
  std::vector<std::uint8_t> format(vocalet::MaxFormatSize, 0);
  format[0] = vocalet::kWaveFormatGsm610;
  vocalet::TMemoryStream dest;
  const bool ok = converter.DoubleConvert(source, dest, format.data());
  if (ok) {
    const auto& out = dest.Bytes();
    std::uint32_t riff = 0, dataLength = 0;
    if (out.size() < 60) std::abort();
    std::memcpy(&riff, &out[4], 4);
    std::memcpy(&dataLength, &out[56], 4);
    if (out.size() != 60u + dataLength || riff != dataLength + 52 || dataLength % 65 != 0) std::abort();
  } else if (converter.ErrorMessage.empty()) {
    std::abort();
  }
  return ok;
}
