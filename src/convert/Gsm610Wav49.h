// The WAVE_FORMAT_GSM610 block layout: two frames of 260 bits each in one 65-byte block,
// fields in the standard's order, least significant bit first.
#pragma once

#include <cstdint>

#include "convert/Gsm610Encoder.h"

namespace vocalet {

inline constexpr int kGsmSamplesPerFrame = 160;
inline constexpr int kGsmSamplesPerBlock = 320;
inline constexpr int kGsmBlockBytes = 65;

// block: [0..64] OUT
void PackWav49Block(const Gsm610Frame& first, const Gsm610Frame& second, std::uint8_t* block);

// Encodes 320 samples (s: [0..319] IN) into one block (block: [0..64] OUT).
void EncodeWav49Block(Gsm610Encoder& encoder, const std::int16_t* s, std::uint8_t* block);

}  // namespace vocalet
