// Our stand-in for the platform's audio compression manager: the calls the converter makes,
// with the platform's semantics and result codes, over our own two codecs (PCM to 8000 Hz
// mono 16-bit PCM, and that to GSM 6.10). Conversions are synchronous.
//
// The entry points are virtual so that a test can make any one of them fail.
#pragma once

#include <cstdint>
#include <memory>

namespace vocalet::acm {

using Result = std::uint32_t;

// Result codes, numerically those of the platform.
inline constexpr Result kNoError = 0;
inline constexpr Result kErrError = 1;
inline constexpr Result kErrInvalidHandle = 5;
inline constexpr Result kErrNoMemory = 7;
inline constexpr Result kErrInvalidFlag = 10;
inline constexpr Result kErrInvalidParam = 11;
inline constexpr Result kErrNotPossible = 512;
inline constexpr Result kErrBusy = 513;
inline constexpr Result kErrUnprepared = 514;

// Format suggestion: which fields of the destination are fixed by the caller.
inline constexpr std::uint32_t kSuggestFormatTag = 0x00010000;
inline constexpr std::uint32_t kSuggestChannels = 0x00020000;
inline constexpr std::uint32_t kSuggestSamplesPerSec = 0x00040000;
inline constexpr std::uint32_t kSuggestBitsPerSample = 0x00080000;
inline constexpr std::uint32_t kSuggestFlagsMask = 0x000F0000;

inline constexpr std::uint32_t kOpenQuery = 0x00000001;
inline constexpr std::uint32_t kOpenAsync = 0x00000002;
inline constexpr std::uint32_t kOpenNonRealtime = 0x00000004;

inline constexpr std::uint32_t kSizeSource = 0x00000000;
inline constexpr std::uint32_t kSizeDestination = 0x00000001;

inline constexpr std::uint32_t kConvertBlockAlign = 0x00000004;
inline constexpr std::uint32_t kConvertStart = 0x00000010;
inline constexpr std::uint32_t kConvertEnd = 0x00000020;

inline constexpr std::uint32_t kStatusDone = 0x00010000;
inline constexpr std::uint32_t kStatusPrepared = 0x00020000;
inline constexpr std::uint32_t kStatusInQueue = 0x00100000;

// The platform's ACMSTREAMHEADER layout (84 bytes in a 32-bit program).
struct AcmStreamHeader {
  std::uint32_t cbStruct;
  std::uint32_t fdwStatus;
  std::uintptr_t dwUser;
  std::uint8_t* pbSrc;
  std::uint32_t cbSrcLength;
  std::uint32_t cbSrcLengthUsed;
  std::uintptr_t dwSrcUser;
  std::uint8_t* pbDst;
  std::uint32_t cbDstLength;
  std::uint32_t cbDstLengthUsed;
  std::uintptr_t dwDstUser;
  std::uint32_t dwReservedDriver[10];
};
static_assert(sizeof(void*) != 4 || sizeof(AcmStreamHeader) == 84);

// An open conversion stream; what it is inside belongs to the layer that opened it.
class AcmStream {
 public:
  virtual ~AcmStream() = default;
};
using AcmStreamPtr = std::unique_ptr<AcmStream>;

class AcmLayer {
 public:
  virtual ~AcmLayer() = default;

  // The largest wave format record any of our codecs uses, in bytes.
  virtual std::uint32_t MaxFormatSize();
  // src: a complete format record; dst: cbDst bytes, the fields named by flags set.
  virtual Result FormatSuggest(const std::uint8_t* src, std::uint8_t* dst, std::uint32_t cbDst,
                               std::uint32_t flags);
  virtual Result StreamOpen(AcmStreamPtr& stream, const std::uint8_t* src, const std::uint8_t* dst,
                            std::uint32_t flags);
  virtual Result StreamClose(AcmStreamPtr& stream, std::uint32_t flags);
  virtual Result StreamSize(AcmStream* stream, std::uint32_t input, std::uint32_t& output,
                            std::uint32_t flags);
  virtual Result StreamPrepareHeader(AcmStream* stream, AcmStreamHeader& header, std::uint32_t flags);
  virtual Result StreamUnprepareHeader(AcmStream* stream, AcmStreamHeader& header, std::uint32_t flags);
  virtual Result StreamConvert(AcmStream* stream, AcmStreamHeader& header, std::uint32_t flags);
  virtual Result StreamReset(AcmStream* stream, std::uint32_t flags);
};

// The layer the program uses.
AcmLayer& DefaultAcmLayer();

}  // namespace vocalet::acm
