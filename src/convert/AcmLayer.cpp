#include "convert/AcmLayer.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "convert/Gsm610Wav49.h"
#include "convert/Resampler.h"
#include "convert/WaveFormat.h"

namespace vocalet::acm {
namespace {

constexpr std::uint32_t kGsmSourceBlock = kGsmSamplesPerBlock * 2;  // bytes of 16-bit PCM

bool IsIntermediate(const WaveFormatEx& f) {
  return f.wFormatTag == kWaveFormatPcm && f.nChannels == 1 && f.nSamplesPerSec == kTargetRate &&
         f.wBitsPerSample == 16 && f.nBlockAlign == 2 && f.nAvgBytesPerSec == 2 * kTargetRate;
}

WaveFormatEx IntermediateFormat() {
  return WaveFormatEx{kWaveFormatPcm, 1, kTargetRate, 2 * kTargetRate, 2, 16, 0};
}

Gsm610WaveFormat GsmFormat() {
  Gsm610WaveFormat g;
  g.wfx = WaveFormatEx{kWaveFormatGsm610, 1, kTargetRate, kTargetRate * kGsmBlockBytes / kGsmSamplesPerBlock,
                       kGsmBlockBytes, 0, 2};
  g.wSamplesPerBlock = kGsmSamplesPerBlock;
  return g;
}

bool IsGsm(const std::uint8_t* buffer) {
  Gsm610WaveFormat g;
  std::memcpy(&g, buffer, sizeof g);
  const Gsm610WaveFormat want = GsmFormat();
  return g.wfx.wFormatTag == kWaveFormatGsm610 && g.wfx.nChannels == 1 &&
         g.wfx.nSamplesPerSec == kTargetRate && g.wfx.nBlockAlign == kGsmBlockBytes &&
         g.wfx.nAvgBytesPerSec == want.wfx.nAvgBytesPerSec && g.wfx.cbSize >= 2 &&
         g.wSamplesPerBlock == kGsmSamplesPerBlock;
}

class CodecStream : public AcmStream {
 public:
  // Bytes of output that `input` source bytes can produce, the end included.
  virtual std::uint32_t OutputSize(std::uint32_t input) const = 0;
  // Source bytes that fill at most `output` bytes.
  virtual std::uint32_t InputSize(std::uint32_t output) const = 0;
  virtual void Convert(const std::uint8_t* src, std::uint32_t srcLength, std::uint8_t* dst,
                       std::uint32_t dstLength, bool end, std::uint32_t& used, std::uint32_t& produced) = 0;
};

// Stage 1: PCM to 8000 Hz mono 16-bit.
class ResampleStream : public CodecStream {
 public:
  explicit ResampleStream(const WaveFormatEx& src) : resampler_(src), align_(src.nBlockAlign) {}

  std::uint32_t OutputSize(std::uint32_t input) const override {
    const std::uint64_t bytes = 2ull * resampler_.MaxOutput(input / align_);
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(bytes, UINT32_MAX));
  }
  std::uint32_t InputSize(std::uint32_t output) const override {
    const std::uint64_t frames = static_cast<std::uint64_t>(output / 2) * resampler_.SourceRate() / kTargetRate;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(frames * align_, UINT32_MAX));
  }

  void Convert(const std::uint8_t* src, std::uint32_t srcLength, std::uint8_t* dst, std::uint32_t dstLength,
               bool end, std::uint32_t& used, std::uint32_t& produced) override {
    const std::uint32_t frames = srcLength / align_;
    // Samples that did not fit last time go out first; none are ever dropped.
    resampler_.Process(src, frames, pending_);
    if (end) resampler_.Finish(pending_);
    used = end ? srcLength : frames * align_;
    const std::size_t n = std::min<std::size_t>(pending_.size(), dstLength / 2);
    for (std::size_t i = 0; i < n; ++i) {
      dst[2 * i] = static_cast<std::uint8_t>(pending_[i]);
      dst[2 * i + 1] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(pending_[i]) >> 8);
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(n));
    produced = static_cast<std::uint32_t>(2 * n);
  }

 private:
  Resampler resampler_;
  std::uint32_t align_;
  std::vector<std::int16_t> pending_;
};

// Stage 2: 8000 Hz mono 16-bit to GSM 6.10, 320 samples per 65-byte block.
class GsmStream : public CodecStream {
 public:
  std::uint32_t OutputSize(std::uint32_t input) const override {
    return (input / kGsmSourceBlock + (input % kGsmSourceBlock != 0)) * kGsmBlockBytes;
  }
  std::uint32_t InputSize(std::uint32_t output) const override {
    return output / kGsmBlockBytes * kGsmSourceBlock;
  }

  void Convert(const std::uint8_t* src, std::uint32_t srcLength, std::uint8_t* dst, std::uint32_t dstLength,
               bool end, std::uint32_t& used, std::uint32_t& produced) override {
    const std::uint32_t room = dstLength / kGsmBlockBytes;
    std::uint32_t blocks = std::min(srcLength / kGsmSourceBlock, room);
    std::int16_t pcm[kGsmSamplesPerBlock];
    for (std::uint32_t b = 0; b < blocks; ++b) {
      Load(src + b * kGsmSourceBlock, kGsmSamplesPerBlock, pcm);
      EncodeWav49Block(encoder_, pcm, dst + b * kGsmBlockBytes);
    }
    used = blocks * kGsmSourceBlock;
    const std::uint32_t rest = srcLength - used;
    if (end && rest < kGsmSourceBlock && blocks < room) {
      // The last samples of the message: completed with silence rather than lost.
      if (rest >= 2) {
        std::fill(pcm, pcm + kGsmSamplesPerBlock, 0);
        Load(src + used, rest / 2, pcm);
        EncodeWav49Block(encoder_, pcm, dst + blocks * kGsmBlockBytes);
        ++blocks;
      }
      used = srcLength;
    }
    produced = blocks * kGsmBlockBytes;
  }

 private:
  static void Load(const std::uint8_t* p, std::uint32_t count, std::int16_t* out) {
    for (std::uint32_t i = 0; i < count; ++i) out[i] = static_cast<std::int16_t>(p[2 * i] | p[2 * i + 1] << 8);
  }
  Gsm610Encoder encoder_;
};

CodecStream* AsCodec(AcmStream* stream) { return dynamic_cast<CodecStream*>(stream); }

}  // namespace

std::uint32_t AcmLayer::MaxFormatSize() { return sizeof(Gsm610WaveFormat); }

Result AcmLayer::FormatSuggest(const std::uint8_t* src, std::uint8_t* dst, std::uint32_t cbDst,
                               std::uint32_t flags) {
  if (src == nullptr || dst == nullptr) return kErrInvalidParam;
  if ((flags & ~kSuggestFlagsMask) != 0) return kErrInvalidFlag;
  const WaveFormatEx s = LoadFormat(src);
  if (s.wFormatTag != kWaveFormatPcm) return kErrNotPossible;
  WaveFormatEx want{};
  if (cbDst >= sizeof want) {
    want = LoadFormat(dst);
  } else {
    std::memcpy(&want, dst, std::min<std::size_t>(cbDst, sizeof want));
  }
  const std::uint16_t tag = (flags & kSuggestFormatTag) ? want.wFormatTag : kWaveFormatPcm;

  if (tag == kWaveFormatPcm) {
    const WaveFormatEx out = IntermediateFormat();
    if (!Resampler::Supports(s)) return kErrNotPossible;
    if ((flags & kSuggestChannels) && want.nChannels != out.nChannels) return kErrNotPossible;
    if ((flags & kSuggestSamplesPerSec) && want.nSamplesPerSec != out.nSamplesPerSec) return kErrNotPossible;
    if ((flags & kSuggestBitsPerSample) && want.wBitsPerSample != out.wBitsPerSample) return kErrNotPossible;
    if (cbDst < 16) return kErrNotPossible;
    std::memcpy(dst, &out, std::min<std::size_t>(cbDst, sizeof out));
    return kNoError;
  }
  if (tag == kWaveFormatGsm610) {
    const Gsm610WaveFormat out = GsmFormat();
    if (!IsIntermediate(s)) return kErrNotPossible;
    if ((flags & kSuggestChannels) && want.nChannels != out.wfx.nChannels) return kErrNotPossible;
    if ((flags & kSuggestSamplesPerSec) && want.nSamplesPerSec != out.wfx.nSamplesPerSec) return kErrNotPossible;
    if ((flags & kSuggestBitsPerSample) && want.wBitsPerSample != 0) return kErrNotPossible;
    if (cbDst < sizeof out) return kErrNotPossible;
    std::memcpy(dst, &out, sizeof out);
    return kNoError;
  }
  return kErrNotPossible;
}

Result AcmLayer::StreamOpen(AcmStreamPtr& stream, const std::uint8_t* src, const std::uint8_t* dst,
                            std::uint32_t flags) {
  if (src == nullptr || dst == nullptr) return kErrInvalidParam;
  if ((flags & ~(kOpenQuery | kOpenAsync | kOpenNonRealtime)) != 0) return kErrInvalidFlag;
  if (flags & kOpenAsync) return kErrNotPossible;  // every conversion here is synchronous
  const WaveFormatEx s = LoadFormat(src);
  const WaveFormatEx d = LoadFormat(dst);
  const bool resample = Resampler::Supports(s) && IsIntermediate(d);
  const bool encode = IsIntermediate(s) && d.wFormatTag == kWaveFormatGsm610 && IsGsm(dst);
  if (!resample && !encode) return kErrNotPossible;
  if (flags & kOpenQuery) return kNoError;
  try {
    if (resample) {
      stream = std::make_unique<ResampleStream>(s);
    } else {
      stream = std::make_unique<GsmStream>();
    }
  } catch (const std::bad_alloc&) {
    return kErrNoMemory;
  }
  return kNoError;
}

Result AcmLayer::StreamClose(AcmStreamPtr& stream, std::uint32_t flags) {
  if (!stream || !AsCodec(stream.get())) return kErrInvalidHandle;
  if (flags != 0) return kErrInvalidFlag;
  stream.reset();
  return kNoError;
}

Result AcmLayer::StreamSize(AcmStream* stream, std::uint32_t input, std::uint32_t& output, std::uint32_t flags) {
  CodecStream* codec = AsCodec(stream);
  if (codec == nullptr) return kErrInvalidHandle;
  if (flags == kSizeSource) {
    output = codec->OutputSize(input);
  } else if (flags == kSizeDestination) {
    output = codec->InputSize(input);
  } else {
    return kErrInvalidFlag;
  }
  return kNoError;
}

Result AcmLayer::StreamPrepareHeader(AcmStream* stream, AcmStreamHeader& header, std::uint32_t flags) {
  if (AsCodec(stream) == nullptr) return kErrInvalidHandle;
  if (flags != 0) return kErrInvalidFlag;
  if (header.cbStruct < sizeof(AcmStreamHeader)) return kErrInvalidParam;
  if ((header.pbSrc == nullptr && header.cbSrcLength != 0) || (header.pbDst == nullptr && header.cbDstLength != 0)) {
    return kErrInvalidParam;
  }
  if (header.fdwStatus & kStatusPrepared) return kNoError;
  // Remember the buffers' sizes: converting more, or unpreparing other sizes, is refused.
  header.dwReservedDriver[0] = header.cbSrcLength;
  header.dwReservedDriver[1] = header.cbDstLength;
  header.fdwStatus = kStatusPrepared;
  return kNoError;
}

Result AcmLayer::StreamUnprepareHeader(AcmStream* stream, AcmStreamHeader& header, std::uint32_t flags) {
  if (AsCodec(stream) == nullptr) return kErrInvalidHandle;
  if (flags != 0) return kErrInvalidFlag;
  if (header.cbStruct < sizeof(AcmStreamHeader)) return kErrInvalidParam;
  if (!(header.fdwStatus & kStatusPrepared)) return kErrUnprepared;
  if (header.cbSrcLength != header.dwReservedDriver[0] || header.cbDstLength != header.dwReservedDriver[1]) {
    return kErrInvalidParam;
  }
  header.fdwStatus &= ~(kStatusPrepared | kStatusDone);
  return kNoError;
}

Result AcmLayer::StreamConvert(AcmStream* stream, AcmStreamHeader& header, std::uint32_t flags) {
  CodecStream* codec = AsCodec(stream);
  if (codec == nullptr) return kErrInvalidHandle;
  if ((flags & ~(kConvertBlockAlign | kConvertStart | kConvertEnd)) != 0) return kErrInvalidFlag;
  if (header.cbStruct < sizeof(AcmStreamHeader)) return kErrInvalidParam;
  if (!(header.fdwStatus & kStatusPrepared)) return kErrUnprepared;
  if (header.cbSrcLength > header.dwReservedDriver[0] || header.cbDstLength > header.dwReservedDriver[1]) {
    return kErrInvalidParam;
  }
  header.fdwStatus &= ~kStatusDone;
  std::uint32_t used = 0, produced = 0;
  try {
    codec->Convert(header.pbSrc, header.cbSrcLength, header.pbDst, header.cbDstLength,
                   (flags & kConvertEnd) != 0, used, produced);
  } catch (const std::bad_alloc&) {
    return kErrNoMemory;
  }
  header.cbSrcLengthUsed = used;
  header.cbDstLengthUsed = produced;
  header.fdwStatus |= kStatusDone;
  return kNoError;
}

Result AcmLayer::StreamReset(AcmStream* stream, std::uint32_t flags) {
  if (AsCodec(stream) == nullptr) return kErrInvalidHandle;
  if (flags != 0) return kErrInvalidFlag;
  // Nothing is ever queued; the codecs' memory of the signal stays, as it must across blocks.
  return kNoError;
}

AcmLayer& DefaultAcmLayer() {
  static AcmLayer layer;
  return layer;
}

}  // namespace vocalet::acm
