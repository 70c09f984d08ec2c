// DoubleConvert on arbitrary bytes: a clear failure or a well-formed GSM 6.10 file, never a
// crash, a hang or an allocation sized by the input.
#include <cstdint>
#include <vector>

#include "ConversionCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vocalet::TMemoryStream source(std::vector<std::uint8_t>(data, data + size));
  ConvertAndCheck(source);
  return 0;
}
