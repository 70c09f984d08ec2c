// Stage 1 of the compression: any accepted PCM (8 or 16 bits, mono or stereo, 8000 to 48000
// Hz) to 8000 Hz mono 16-bit. Band-limited: flat to 3400 Hz, and whatever lies above 4000 Hz
// in the source is removed before it can fold back into the telephone band.
//
// The filters are centred, so output sample n stands for source time n / 8000 s and a source
// of N frames gives exactly ceil(N * 8000 / rate) samples once Finish has been called.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "convert/WaveFormat.h"

namespace vocalet {

inline constexpr std::uint32_t kResamplerMinRate = 8000;
inline constexpr std::uint32_t kResamplerMaxRate = 48000;
inline constexpr std::uint32_t kTargetRate = 8000;

class Resampler {
 public:
  // True for the formats described above with a consistent block alignment and byte rate.
  static bool Supports(const WaveFormatEx& source);

  explicit Resampler(const WaveFormatEx& source);
  ~Resampler();
  Resampler(const Resampler&) = delete;
  Resampler& operator=(const Resampler&) = delete;

  // Converts `frames` whole frames from src, appending to out.
  void Process(const std::uint8_t* src, std::size_t frames, std::vector<std::int16_t>& out);
  // Ends the input: emits what the filters still hold, up to the exact output length.
  void Finish(std::vector<std::int16_t>& out);
  // The most samples one Process call of `frames` frames followed by Finish can emit.
  std::size_t MaxOutput(std::size_t frames) const;

  std::uint32_t SourceRate() const { return format_.nSamplesPerSec; }

 private:
  class Queue;
  class Stage;
  class HalfbandStage;
  class PolyphaseStage;

  void RunStages(const float* samples, std::size_t count, std::vector<std::int16_t>& out, bool last);

  WaveFormatEx format_;
  std::vector<std::unique_ptr<Stage>> stages_;
  std::uint64_t framesIn_ = 0;
  std::uint64_t samplesOut_ = 0;
  std::size_t tail_ = 0;  // most extra samples a Finish can add
  std::vector<float> mix_;
  std::unique_ptr<Queue> queueA_, queueB_;
  bool finished_ = false;
};

}  // namespace vocalet
