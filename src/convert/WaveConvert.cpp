#include "convert/WaveConvert.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "convert/FileReplace.h"
#include "convert/WavFormatUtils.h"
#include "convert/WaveFormat.h"

namespace vocalet {

std::uint32_t MaxFormatSize = 0;

namespace {

constexpr std::uint32_t kMaxSourceBlock = 1048576;
// Stage 2 consumes whole 320-sample blocks; what is left of one block (under 640 bytes) waits
// in front of the next stage-1 output instead of being dropped.
constexpr std::uint32_t kCarryRoom = 640;

constexpr const char kReadFailed[] = "Source read error";

// Closes whatever is still open when a step fails; the reported failure stays the step's own.
struct OpenStreams {
  acm::AcmLayer& acm;
  acm::AcmStreamPtr first, second;
  ~OpenStreams() {
    if (first) acm.StreamClose(first, 0);
    if (second) acm.StreamClose(second, 0);
  }
};

}  // namespace

TWaveFormatList::TWaveFormatList(acm::AcmLayer& acm) : acm_(acm) { MaxFormatSize = acm_.MaxFormatSize(); }

bool TWaveFormatList::Fail(const char* message, std::uint32_t code) {
  ErrorMessage = message;
  ErrorCode = code;
  return false;
}

bool TWaveFormatList::DoubleConvert(TStream& Source, TStream& Dest, std::uint8_t* DestFormat) {
  std::uint8_t sourceFormat[kPcmFormatBufferSize];
  std::uint32_t dataLength = 0;
  if (!ReadWaveHeader(Source, sourceFormat, dataLength)) {
    if (Source.ReadError() != 0) return Fail(kReadFailed, Source.ReadError());
    return Fail("Source file not PCM format", kSourceNotPcm);
  }

  const std::int64_t start = Dest.Position();

  std::uint8_t midFormat[kPcmFormatBufferSize] = {};
  WaveFormatEx mid{};
  mid.wFormatTag = kWaveFormatPcm;
  mid.nChannels = 1;
  mid.nSamplesPerSec = 8000;
  StoreFormat(midFormat, mid);
  acm::Result r = acm_.FormatSuggest(sourceFormat, midFormat, kPcmFormatBufferSize,
                                     acm::kSuggestFormatTag | acm::kSuggestChannels | acm::kSuggestSamplesPerSec);
  if (r != acm::kNoError) return Fail("Suggest # 1", r);
  r = acm_.FormatSuggest(midFormat, DestFormat, MaxFormatSize, acm::kSuggestFormatTag);
  if (r != acm::kNoError) return Fail("Suggest # 2", r);
  // The header copies the record with its extra bytes: they must lie inside the buffer.
  if (sizeof(WaveFormatEx) + LoadFormat(DestFormat).cbSize > MaxFormatSize) {
    return Fail("Suggest # 2", acm::kErrNotPossible);
  }

  WriteWaveFileHeader(Dest, DestFormat);

  OpenStreams streams{acm_, nullptr, nullptr};
  r = acm_.StreamOpen(streams.first, sourceFormat, midFormat, acm::kOpenNonRealtime);
  if (r != acm::kNoError) return Fail("Open # 1", r);
  r = acm_.StreamOpen(streams.second, midFormat, DestFormat, acm::kOpenNonRealtime);
  if (r != acm::kNoError) return Fail("Open # 2", r);

  // The layer accepted the source, so its block alignment is not 0; the guard keeps a
  // misbehaving layer from dividing by it.
  const std::uint32_t align = std::max<std::uint32_t>(LoadFormat(sourceFormat).nBlockAlign, 1);
  const std::uint32_t blockSize =
      dataLength < kMaxSourceBlock ? dataLength : kMaxSourceBlock - kMaxSourceBlock % align;
  std::uint32_t midSize = 0, outSize = 0;
  acm_.StreamSize(streams.first.get(), blockSize, midSize, acm::kSizeSource);
  const std::uint32_t carriedSize = midSize + kCarryRoom;
  acm_.StreamSize(streams.second.get(), carriedSize, outSize, acm::kSizeSource);

  // One more byte than asked for, so that an empty buffer still has an address.
  std::vector<std::uint8_t> sourceBuffer(blockSize + 1u), midBuffer(midSize + 1u),
      carriedBuffer(carriedSize + 1u), outBuffer(outSize + 1u);

  acm::AcmStreamHeader header1{}, header2{};
  header1.cbStruct = header2.cbStruct = sizeof(acm::AcmStreamHeader);
  header1.pbSrc = sourceBuffer.data();
  header1.cbSrcLength = blockSize;
  header1.pbDst = midBuffer.data();
  header1.cbDstLength = midSize;
  header2.pbSrc = carriedBuffer.data();
  header2.cbSrcLength = carriedSize;
  header2.pbDst = outBuffer.data();
  header2.cbDstLength = outSize;
  r = acm_.StreamPrepareHeader(streams.first.get(), header1, 0);
  if (r != acm::kNoError) return Fail("PrepareHeader # 1", r);
  r = acm_.StreamPrepareHeader(streams.second.get(), header2, 0);
  if (r != acm::kNoError) return Fail("PrepareHeader # 2", r);

  std::uint32_t remaining = dataLength;
  std::uint32_t carried = 0;
  std::uint64_t total = 0;
  bool last = false;
  do {
    const std::uint32_t count = std::min(remaining, blockSize);
    const std::size_t got = Source.Read(sourceBuffer.data(), count);
    // A short read is the end of the file, unless the stream says it failed: converting what
    // came before would pass a cut-off message for a whole one.
    if (Source.ReadError() != 0) return Fail(kReadFailed, Source.ReadError());
    header1.cbSrcLength = static_cast<std::uint32_t>(got);
    // The end of the data, or of the file when the header claims more than there is: both
    // stages then give out what they hold, the last GSM block completed with silence.
    last = remaining - count == 0 || got < count;
    const std::uint32_t end = last ? acm::kConvertEnd : 0;
    r = acm_.StreamConvert(streams.first.get(), header1, acm::kConvertBlockAlign | end);
    if (r != acm::kNoError) return Fail("Convert # 1", r);
    acm_.StreamReset(streams.first.get(), 0);

    const std::uint32_t produced = std::min(header1.cbDstLengthUsed, midSize);
    std::memcpy(carriedBuffer.data() + carried, midBuffer.data(), produced);
    header2.cbSrcLength = carried + produced;
    r = acm_.StreamConvert(streams.second.get(), header2, acm::kConvertBlockAlign | end);
    if (r != acm::kNoError) return Fail("Convert # 2", r);
    acm_.StreamReset(streams.second.get(), 0);

    const std::uint32_t written = std::min(header2.cbDstLengthUsed, outSize);
    Dest.Write(outBuffer.data(), written);
    total += written;
    const std::uint32_t consumed = std::min(header2.cbSrcLengthUsed, header2.cbSrcLength);
    carried = std::min(header2.cbSrcLength - consumed, kCarryRoom);
    std::memmove(carriedBuffer.data(), carriedBuffer.data() + consumed, carried);
    remaining -= count;
  } while (remaining > 0 && !last);

  header1.cbSrcLength = blockSize;
  header1.cbDstLength = midSize;
  r = acm_.StreamUnprepareHeader(streams.first.get(), header1, 0);
  if (r != acm::kNoError) return Fail("UnPrepareHeader # 1", r);
  header2.cbSrcLength = carriedSize;
  header2.cbDstLength = outSize;
  r = acm_.StreamUnprepareHeader(streams.second.get(), header2, 0);
  if (r != acm::kNoError) return Fail("UnPrepareHeader # 2", r);

  r = acm_.StreamClose(streams.first, 0);
  if (r != acm::kNoError) return Fail("Return code Close # 1 in DoubleConvert", r);
  r = acm_.StreamClose(streams.second, 0);
  if (r != acm::kNoError) return Fail("Close # 2", r);

  PatchWaveFileHeader(Dest, start, DestFormat, static_cast<std::uint32_t>(std::min<std::uint64_t>(total, UINT32_MAX)));
  return true;
}

bool CompressWaveFile(const std::string& FileName) { return CompressWaveFile(FileName, acm::DefaultAcmLayer()); }

bool CompressWaveFile(const std::string& FileName, acm::AcmLayer& acm, std::string* error,
                      std::uint32_t* code) {
  auto fail = [error, code](const std::string& why, std::uint32_t errorCode = 0) {
    if (error != nullptr) *error = why;
    if (code != nullptr) *code = errorCode;
    return false;
  };
  try {
    TMemoryStream dest;
    {
      // Read through a file stream rather than loaded whole: the converter only ever reads
      // forward in blocks, and the message need not be held in memory. Closed before the
      // file is replaced (Windows does not rename over an open file).
      TFileReadStream source(FileName);
      if (!source.IsOpen()) return fail("cannot read the file");
      MaxFormatSize = acm.MaxFormatSize();
      std::vector<std::uint8_t> destFormat(std::max<std::uint32_t>(MaxFormatSize, sizeof(WaveFormatEx)), 0);
      destFormat[0] = static_cast<std::uint8_t>(kWaveFormatGsm610);
      destFormat[1] = static_cast<std::uint8_t>(kWaveFormatGsm610 >> 8);
      TWaveFormatList converter(acm);
      if (!converter.DoubleConvert(source, dest, destFormat.data())) {
        return fail(converter.ErrorMessage + " (code " + std::to_string(converter.ErrorCode) + ")",
                    converter.ErrorCode);
      }
    }
    if (!ReplaceFileContents(FileName, dest.Bytes())) return fail("cannot write the compressed file");
    return true;
  } catch (const std::bad_alloc&) {
    return fail("out of memory");
  }
}

}  // namespace vocalet
