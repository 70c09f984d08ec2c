#include "convert/Resampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

namespace vocalet {
namespace {

constexpr double kPi = 3.14159265358979323846;
// Stop-band depth the filters are designed for; the requirement is 80 dB, the margin covers
// the Kaiser estimate's slack at the band edge and the float arithmetic.
constexpr double kAttenuationDb = 95.0;
constexpr double kPassEdge = 3400.0;
constexpr double kStopEdge = 4000.0;
constexpr std::size_t kChunkFrames = 4096;
// Above this many phases the filter table would not fit the memory budget; the phase is
// then interpolated between neighbouring rows of a finer table.
constexpr std::uint32_t kMaxExactPhases = 512;
constexpr std::uint32_t kInterpolatedPhases = 512;

double KaiserBeta(double a) { return a > 50 ? 0.1102 * (a - 8.7) : 0.5842 * std::pow(a - 21, 0.4) + 0.07886 * (a - 21); }

double BesselI0(double x) {
  double sum = 1, term = 1;
  for (int k = 1; k < 60; ++k) {
    term *= (x / (2 * k)) * (x / (2 * k));
    sum += term;
    if (term < sum * 1e-17) break;
  }
  return sum;
}

// Kaiser window at offset u of a window reaching zero-weight at |u| = half.
double Kaiser(double u, double half, double beta) {
  const double r = u / half;
  if (r <= -1 || r >= 1) return 0;
  return BesselI0(beta * std::sqrt(1 - r * r)) / BesselI0(beta);
}

double Sinc(double x) { return x == 0 ? 1.0 : std::sin(kPi * x) / (kPi * x); }

// Half length, in input samples, of a Kaiser-windowed low-pass with the given transition.
int HalfLength(double rate, double pass, double stop) {
  const double taps = (kAttenuationDb - 8) / (2.285 * 2 * kPi * (stop - pass) / rate);
  return static_cast<int>(std::ceil(taps / 2));
}

// A dot product the compiler can keep in vector registers: sixteen independent partial sums,
// so that the additions do not wait on one another.
float Dot(const float* a, const float* b, int n) {
  float acc[16] = {};
  int i = 0;
  for (; i + 16 <= n; i += 16) {
    for (int k = 0; k < 16; ++k) acc[k] += a[i + k] * b[i + k];
  }
  for (; i + 8 <= n; i += 8) {
    for (int k = 0; k < 8; ++k) acc[k] += a[i + k] * b[i + k];
  }
  float sum = 0;
  for (int k = 0; k < 8; ++k) sum += acc[k] + acc[k + 8];
  for (; i < n; ++i) sum += a[i] * b[i];
  return sum;
}

}  // namespace

class Resampler::Stage {
 public:
  virtual ~Stage() = default;
  virtual void Push(const float* in, std::size_t n, std::vector<float>& out) = 0;
  // limit: the total number of outputs this stage may have emitted when done.
  virtual void Finish(std::vector<float>& out, std::uint64_t limit) = 0;
  // How far ahead of an output, in this stage's input samples, the filter looks.
  virtual int Reach() const = 0;
};

// Halves the rate. Pass band to 4000 Hz, stop band from rate/2 - 4000 Hz so that nothing folds
// into 0..4000 Hz; the odd taps alone are non-zero.
class Resampler::HalfbandStage : public Resampler::Stage {
 public:
  explicit HalfbandStage(double rate) {
    half_ = HalfLength(rate, 4000, rate / 2 - 4000);
    if (half_ % 2 == 0) ++half_;
    const double beta = KaiserBeta(kAttenuationDb);
    for (int i = 1; i <= half_; i += 2) taps_.push_back(0.5 * Sinc(i / 2.0) * Kaiser(i, half_ + 1, beta));
    const double sum = std::accumulate(taps_.begin(), taps_.end(), 0.0);
    for (float& t : taps_) t = static_cast<float>(t * 0.25 / sum);  // DC gain exactly 1
    buf_.assign(static_cast<std::size_t>(half_), 0.0f);
    base_ = -half_;
  }

  void Push(const float* in, std::size_t n, std::vector<float>& out) override {
    buf_.insert(buf_.end(), in, in + n);
    received_ += static_cast<std::int64_t>(n);
    Emit(out, received_, INT64_MAX);
  }

  void Finish(std::vector<float>& out, std::uint64_t) override {
    buf_.insert(buf_.end(), static_cast<std::size_t>(half_), 0.0f);
    Emit(out, received_ + half_, (received_ + 1) / 2);
  }

  int Reach() const override { return half_; }

 private:
  // Output j is 0.5 x[2j] plus, for each odd tap 2k+1, h(k) (x[2j-2k-1] + x[2j+2k+1]). With
  // the odd samples split out, each tap becomes one pass over contiguous memory.
  void Emit(std::vector<float>& out, std::int64_t avail, std::int64_t limit) {
    const std::int64_t room = avail - 1 - half_;
    if (room < 0) return;
    const std::int64_t end = std::min(limit, room / 2 + 1);
    if (end > next_) {
      const std::size_t count = static_cast<std::size_t>(end - next_);
      const int K = static_cast<int>(taps_.size());
      const float* x = buf_.data() - base_;  // x[n] for base_ <= n < avail
      even_.resize(count);
      odd_.resize(count + 2 * K - 1);
      for (std::size_t i = 0; i < count; ++i) even_[i] = x[2 * (next_ + static_cast<std::int64_t>(i))];
      const std::int64_t firstOdd = next_ - K;
      for (std::size_t t = 0; t < odd_.size(); ++t) odd_[t] = x[2 * (firstOdd + static_cast<std::int64_t>(t)) + 1];
      const std::size_t at = out.size();
      out.resize(at + count);
      float* y = out.data() + at;
      for (std::size_t i = 0; i < count; ++i) y[i] = 0.5f * even_[i];
      for (int k = 0; k < K; ++k) {
        const float h = taps_[k];
        const float* before = odd_.data() + (K - k - 1);
        const float* after = odd_.data() + (K + k);
        for (std::size_t i = 0; i < count; ++i) y[i] += h * (before[i] + after[i]);
      }
      next_ = end;
    }
    const std::int64_t keep = 2 * next_ - half_;
    if (keep > base_) {
      buf_.erase(buf_.begin(), buf_.begin() + (keep - base_));
      base_ = keep;
    }
  }

  int half_ = 0;
  std::vector<float> taps_;
  std::vector<float> buf_;
  std::int64_t base_ = 0;      // input index of buf_[0]
  std::int64_t received_ = 0;
  std::int64_t next_ = 0;      // next output index
  std::vector<float> even_, odd_;
};

// Rational rate change L/M to 8000 Hz with a polyphase windowed-sinc low-pass: pass band to
// 3400 Hz, stop band from 4000 Hz.
class Resampler::PolyphaseStage : public Resampler::Stage {
 public:
  PolyphaseStage(double rate, std::uint32_t L, std::uint32_t M) : L_(L), M_(M) {
    half_ = HalfLength(rate, kPassEdge, kStopEdge);
    width_ = 2 * half_;
    interpolate_ = L > kMaxExactPhases;
    phases_ = interpolate_ ? kInterpolatedPhases : L;
    const std::uint32_t rows = interpolate_ ? phases_ + 1 : phases_;
    const double fc = (kPassEdge + kStopEdge) / 2 / rate;  // cycles per input sample
    const double beta = KaiserBeta(kAttenuationDb);
    table_.resize(static_cast<std::size_t>(rows) * width_);
    for (std::uint32_t p = 0; p < rows; ++p) {
      const double frac = static_cast<double>(p) / phases_;
      double sum = 0;
      std::vector<double> row(width_);
      for (int t = 0; t < width_; ++t) {
        const double u = t - (half_ - 1) - frac;
        row[t] = 2 * fc * Sinc(2 * fc * u) * Kaiser(u, half_, beta);
        sum += row[t];
      }
      for (int t = 0; t < width_; ++t) table_[p * width_ + t] = static_cast<float>(row[t] / sum);
    }
    buf_.assign(static_cast<std::size_t>(half_ - 1), 0.0f);
    base_ = -(half_ - 1);
  }

  void Push(const float* in, std::size_t n, std::vector<float>& out) override {
    buf_.insert(buf_.end(), in, in + n);
    received_ += static_cast<std::int64_t>(n);
    Emit(out, received_, UINT64_MAX);
  }

  void Finish(std::vector<float>& out, std::uint64_t limit) override {
    buf_.insert(buf_.end(), static_cast<std::size_t>(half_), 0.0f);
    Emit(out, received_ + half_, limit);
  }

  int Reach() const override { return half_; }

 private:
  void Emit(std::vector<float>& out, std::int64_t avail, std::uint64_t limit) {
    while (emitted_ < limit && ip_ + half_ < avail) {
      const float* x = buf_.data() + (ip_ - (half_ - 1) - base_);
      float y;
      if (interpolate_) {
        const double pos = static_cast<double>(phase_) * phases_ / L_;
        const std::uint32_t p = static_cast<std::uint32_t>(pos);
        const float w = static_cast<float>(pos - p);
        const float y0 = Dot(x, &table_[static_cast<std::size_t>(p) * width_], width_);
        const float y1 = Dot(x, &table_[static_cast<std::size_t>(p + 1) * width_], width_);
        y = y0 + w * (y1 - y0);
      } else {
        y = Dot(x, &table_[static_cast<std::size_t>(phase_) * width_], width_);
      }
      out.push_back(y);
      ++emitted_;
      phase_ += M_;
      ip_ += phase_ / L_;
      phase_ %= L_;
    }
    const std::int64_t keep = ip_ - (half_ - 1);
    if (keep > base_) {
      const std::int64_t drop = std::min<std::int64_t>(keep - base_, static_cast<std::int64_t>(buf_.size()));
      buf_.erase(buf_.begin(), buf_.begin() + drop);
      base_ += drop;
    }
  }

  std::uint32_t L_, M_;
  int half_ = 0, width_ = 0;
  bool interpolate_ = false;
  std::uint32_t phases_ = 1;
  std::vector<float> table_;
  std::vector<float> buf_;
  std::int64_t base_ = 0;
  std::int64_t received_ = 0;
  std::uint64_t emitted_ = 0;
  std::int64_t ip_ = 0;        // integer part of the next output's input position
  std::uint32_t phase_ = 0;    // its fraction, in units of 1/L
};

bool Resampler::Supports(const WaveFormatEx& f) {
  if (f.wFormatTag != kWaveFormatPcm) return false;
  if (f.nChannels != 1 && f.nChannels != 2) return false;
  if (f.wBitsPerSample != 8 && f.wBitsPerSample != 16) return false;
  if (f.nBlockAlign != f.nChannels * f.wBitsPerSample / 8) return false;
  if (f.nSamplesPerSec < kResamplerMinRate || f.nSamplesPerSec > kResamplerMaxRate) return false;
  return f.nAvgBytesPerSec == f.nSamplesPerSec * f.nBlockAlign;
}

Resampler::Resampler(const WaveFormatEx& source) : format_(source) {
  const std::uint32_t rate = source.nSamplesPerSec;
  if (rate == kTargetRate) return;
  // Halve cheaply while there is room for a transition band above 4000 Hz, then make the
  // exact step with the long filter at the lowest rate.
  std::uint32_t halvings = 0;
  double current = rate;
  double delay = 0;
  while (current >= 18000) {
    auto stage = std::make_unique<HalfbandStage>(current);
    delay += stage->Reach() * std::pow(2.0, halvings);
    stages_.push_back(std::move(stage));
    current /= 2;
    ++halvings;
  }
  std::uint64_t L = static_cast<std::uint64_t>(kTargetRate) << halvings, M = rate;
  const std::uint64_t g = std::gcd(L, M);
  L /= g;
  M /= g;
  auto stage = std::make_unique<PolyphaseStage>(current, static_cast<std::uint32_t>(L), static_cast<std::uint32_t>(M));
  delay += stage->Reach() * std::pow(2.0, halvings);
  stages_.push_back(std::move(stage));
  tail_ = static_cast<std::size_t>(2 * delay * kTargetRate / rate) + 8 * stages_.size() + 8;
}

Resampler::~Resampler() = default;

std::size_t Resampler::MaxOutput(std::size_t frames) const {
  return static_cast<std::size_t>(static_cast<std::uint64_t>(frames) * kTargetRate / format_.nSamplesPerSec) +
         tail_ + 2;
}

void Resampler::RunStages(std::vector<float>& samples, std::vector<std::int16_t>& out, bool last) {
  const std::uint64_t limit =
      (framesIn_ * kTargetRate + format_.nSamplesPerSec - 1) / format_.nSamplesPerSec;
  for (auto& stage : stages_) {
    work_.clear();
    if (last) {
      if (!samples.empty()) stage->Push(samples.data(), samples.size(), work_);
      stage->Finish(work_, limit);
    } else {
      stage->Push(samples.data(), samples.size(), work_);
    }
    samples.swap(work_);
  }
  for (float v : samples) {
    const float r = v >= 0 ? v + 0.5f : v - 0.5f;
    out.push_back(static_cast<std::int16_t>(r >= 32767.0f ? 32767 : (r <= -32768.0f ? -32768 : static_cast<int>(r))));
  }
  samplesOut_ += samples.size();
}

void Resampler::Process(const std::uint8_t* src, std::size_t frames, std::vector<std::int16_t>& out) {
  const bool stereo = format_.nChannels == 2;
  const bool wide = format_.wBitsPerSample == 16;
  while (frames > 0) {
    const std::size_t n = std::min(frames, kChunkFrames);
    mix_.resize(n);
    float* m = mix_.data();
    if (wide) {
      // Little-endian 16-bit samples, as in the file and in memory on every target.
      const std::size_t count = n * format_.nChannels;
      wide_.resize(count);
      std::memcpy(wide_.data(), src, count * 2);
      const std::int16_t* w = wide_.data();
      if (stereo) {
        for (std::size_t i = 0; i < n; ++i) m[i] = 0.5f * (static_cast<float>(w[2 * i]) + static_cast<float>(w[2 * i + 1]));
      } else {
        for (std::size_t i = 0; i < n; ++i) m[i] = w[i];
      }
    } else if (stereo) {
      // 8-bit PCM is unsigned with its zero at 128.
      for (std::size_t i = 0; i < n; ++i) m[i] = 128.0f * static_cast<float>(src[2 * i] + src[2 * i + 1] - 256);
    } else {
      for (std::size_t i = 0; i < n; ++i) m[i] = 256.0f * static_cast<float>(src[i] - 128);
    }
    framesIn_ += n;
    RunStages(mix_, out, false);
    src += n * format_.nBlockAlign;
    frames -= n;
  }
}

void Resampler::Finish(std::vector<std::int16_t>& out) {
  if (finished_) return;
  finished_ = true;
  mix_.clear();
  RunStages(mix_, out, true);
}

}  // namespace vocalet
