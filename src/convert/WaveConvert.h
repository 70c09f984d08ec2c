// Compression of the message: PCM wave file to GSM 6.10 in two stages through the compression
// layer (PCM to 8000 Hz mono 16-bit, then to GSM 6.10).
#pragma once

#include <cstdint>
#include <string>

#include "convert/AcmLayer.h"
#include "convert/ByteStream.h"

namespace vocalet {

// The compression layer's largest format record, in bytes: the size of a destination format
// buffer. Obtained again whenever a converter is created and by CompressWaveFile.
extern std::uint32_t MaxFormatSize;

// ErrorCode of a source that is not accepted: not PCM (a message compressed before, say).
constexpr std::uint32_t kSourceNotPcm = 1;

class TWaveFormatList {
 public:
  explicit TWaveFormatList(acm::AcmLayer& acm = acm::DefaultAcmLayer());

  // Converts the wave file at Source's position into a complete RIFF WAVE file written from
  // Dest's position. DestFormat: MaxFormatSize bytes with wFormatTag set; receives the full
  // destination format. On failure ErrorCode and ErrorMessage name the failing step and Dest
  // holds a partial file. A read that Source reports as failed fails the conversion (the
  // stream's error code), where a short read alone is the end of the data.
  bool DoubleConvert(TStream& Source, TStream& Dest, std::uint8_t* DestFormat);

  // kSourceNotPcm for a source that is not accepted, the platform's error code for a failed
  // read, otherwise the layer's result code of the failing call.
  std::uint32_t ErrorCode = 0;
  std::string ErrorMessage;

 private:
  bool Fail(const char* message, std::uint32_t code);

  acm::AcmLayer& acm_;
};

// Compresses the wave file to GSM 6.10. The new file is written beside it and takes its name
// only once complete; on any failure the file is left as it was and nothing is left beside it.
bool CompressWaveFile(const std::string& FileName);
// The same through a given layer; error, when given, receives why it failed, and code the
// converter's ErrorCode (0 when the file itself could not be read or written).
bool CompressWaveFile(const std::string& FileName, acm::AcmLayer& acm, std::string* error = nullptr,
                      std::uint32_t* code = nullptr);

}  // namespace vocalet
