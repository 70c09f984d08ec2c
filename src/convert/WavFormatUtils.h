// What the program reads from a source RIFF WAVE file and the bytes it writes for a
// converted one. Little-endian throughout.
#pragma once

#include <cstdint>

#include "convert/ByteStream.h"

namespace vocalet {

// Reads from the start of a wave file up to its first sample. format: a 19-byte buffer
// (kPcmFormatBufferSize) that receives the format record. Accepts only PCM with one or two
// channels whose byte rate is block alignment times sample rate, with "fmt " first, at most a
// "fact" chunk after it and then "data". The data length is taken as stated, not checked
// against the file.
bool ReadWaveHeader(TStream& source, std::uint8_t* format, std::uint32_t& dataLength);

// Writes "RIFF" through the data chunk's length at the stream's position, with zero in the
// three places only known at the end (RIFF length, fact value, data length). format: the
// destination record with its cbSize extra bytes.
void WriteWaveFileHeader(TStream& dest, const std::uint8_t* format);

// Fills in the three placeholders of a header written at start for dataLength data bytes and
// leaves the stream at the end of the data.
void PatchWaveFileHeader(TStream& dest, std::int64_t start, const std::uint8_t* format,
                         std::uint32_t dataLength);

}  // namespace vocalet
