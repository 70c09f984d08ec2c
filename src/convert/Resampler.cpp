#include "convert/Resampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <emmintrin.h>  // SSE2, which every supported processor has
#include <memory>
#include <mutex>
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
// The same without the division by I0(beta), for callers that normalise anyway.
double KaiserShape(double u, double half, double beta) {
  const double r = u / half;
  if (r <= -1 || r >= 1) return 0;
  return BesselI0(beta * std::sqrt(1 - r * r));
}
double Kaiser(double u, double half, double beta) { return KaiserShape(u, half, beta) / BesselI0(beta); }

double Sinc(double x) { return x == 0 ? 1.0 : std::sin(kPi * x) / (kPi * x); }

// The coefficient table of a polyphase low-pass: rows phases apart, each of width taps, each
// normalised to a DC gain of 1. Each row starts on a 16-byte boundary, as Dot wants its second
// operand. Designing one takes milliseconds; the last few are kept, as the same rates come
// again and again.
struct FilterTable {
  std::vector<float> storage;
  const float* rows = nullptr;
  std::size_t stride = 0;  // floats from one row to the next
};

std::shared_ptr<const FilterTable> PolyphaseTable(double rate, std::uint32_t phases, std::uint32_t rows, int half) {
  struct Entry {
    double rate;
    std::uint32_t phases, rows;
    int half;
    std::shared_ptr<const FilterTable> table;
  };
  static std::mutex mutex;
  static std::vector<Entry> cache;
  {
    std::lock_guard<std::mutex> lock(mutex);
    for (const Entry& e : cache) {
      if (e.rate == rate && e.phases == phases && e.rows == rows && e.half == half) return e.table;
    }
  }
  const int width = 2 * half;
  const double fc = (kPassEdge + kStopEdge) / 2 / rate;  // cycles per input sample
  const double beta = KaiserBeta(kAttenuationDb);
  auto table = std::make_shared<FilterTable>();
  table->stride = (static_cast<std::size_t>(width) + 3) & ~std::size_t{3};
  table->storage.assign(rows * table->stride + 3, 0.0f);
  float* aligned = table->storage.data();
  while (reinterpret_cast<std::uintptr_t>(aligned) % 16 != 0) ++aligned;
  table->rows = aligned;
  std::vector<double> row(width);
  for (std::uint32_t p = 0; p < rows; ++p) {
    const double frac = static_cast<double>(p) / phases;
    double sum = 0;
    for (int t = 0; t < width; ++t) {
      const double u = t - (half - 1) - frac;
      row[t] = Sinc(2 * fc * u) * KaiserShape(u, half, beta);  // scale irrelevant: normalised below
      sum += row[t];
    }
    for (int t = 0; t < width; ++t) aligned[p * table->stride + t] = static_cast<float>(row[t] / sum);
  }
  std::lock_guard<std::mutex> lock(mutex);
  if (cache.size() >= 4) cache.erase(cache.begin());
  cache.push_back(Entry{rate, phases, rows, half, table});
  return table;
}


// Half length, in input samples, of a Kaiser-windowed low-pass with the given transition.
int HalfLength(double rate, double pass, double stop) {
  const double taps = (kAttenuationDb - 8) / (2.285 * 2 * kPi * (stop - pass) / rate);
  return static_cast<int>(std::ceil(taps / 2));
}

// Four floats side by side: the compiler maps these onto the target's vector registers where
// it has them (SSE on x86-64) and onto plain arithmetic elsewhere. They are only ever local
// variables, never passed to or returned from a function.
typedef float Float4 __attribute__((vector_size(16)));

// A dot product with four independent vector sums, so that the additions do not wait on one
// another. b is 16-byte aligned (a filter row); a is anywhere in the signal.
float Dot(const float* a, const float* b, int n) {
  __m128 s0 = _mm_setzero_ps(), s1 = s0, s2 = s0, s3 = s0;
  int i = 0;
  for (; i + 16 <= n; i += 16) {
    s0 = _mm_add_ps(s0, _mm_mul_ps(_mm_loadu_ps(a + i), _mm_load_ps(b + i)));
    s1 = _mm_add_ps(s1, _mm_mul_ps(_mm_loadu_ps(a + i + 4), _mm_load_ps(b + i + 4)));
    s2 = _mm_add_ps(s2, _mm_mul_ps(_mm_loadu_ps(a + i + 8), _mm_load_ps(b + i + 8)));
    s3 = _mm_add_ps(s3, _mm_mul_ps(_mm_loadu_ps(a + i + 12), _mm_load_ps(b + i + 12)));
  }
  for (; i + 4 <= n; i += 4) s0 = _mm_add_ps(s0, _mm_mul_ps(_mm_loadu_ps(a + i), _mm_load_ps(b + i)));
  alignas(16) float s[4];
  _mm_store_ps(s, _mm_add_ps(_mm_add_ps(s0, s1), _mm_add_ps(s2, s3)));
  float sum = (s[0] + s[1]) + (s[2] + s[3]);
  for (; i < n; ++i) sum += a[i] * b[i];
  return sum;
}

std::int16_t Sample16(const std::uint8_t* p) {
  std::int16_t v;
  std::memcpy(&v, p, 2);
  return v;
}

}  // namespace

// A first-in first-out run of samples: appended at the back without being zeroed first, taken
// from the front without moving what stays until the room is needed again.
class Resampler::Queue {
 public:
  // Room for n more samples at the back, which the caller writes.
  float* Append(std::size_t n) {
    if (end_ + n > cap_) Make(n);
    float* p = data_.get() + end_;
    end_ += n;
    return p;
  }
  void Drop(std::size_t n) { begin_ += n; }
  void Clear() { begin_ = end_ = 0; }
  const float* Data() const { return data_.get() + begin_; }
  std::size_t Size() const { return end_ - begin_; }

 private:
  void Make(std::size_t n) {
    const std::size_t size = end_ - begin_;
    if (size + n > cap_ / 2) {
      const std::size_t cap = std::max<std::size_t>(2 * (size + n), 1024);
      std::unique_ptr<float[]> data(new float[cap]);
      if (size > 0) std::memcpy(data.get(), data_.get() + begin_, size * sizeof(float));
      data_ = std::move(data);
      cap_ = cap;
    } else if (size > 0) {
      std::memmove(data_.get(), data_.get() + begin_, size * sizeof(float));
    }
    begin_ = 0;
    end_ = size;
  }

  std::unique_ptr<float[]> data_;
  std::size_t begin_ = 0, end_ = 0, cap_ = 0;
};

class Resampler::Stage {
 public:
  virtual ~Stage() = default;
  virtual void Push(const float* in, std::size_t n, Queue& out) = 0;
  // limit: the total number of outputs this stage may have emitted when done.
  virtual void Finish(Queue& out, std::uint64_t limit) = 0;
  // How far ahead of an output, in this stage's input samples, the filter looks.
  virtual int Reach() const = 0;
};

// Halves the rate. Pass band to 4000 Hz, stop band from rate/2 - 4000 Hz so that nothing folds
// into 0..4000 Hz; besides the centre only the odd taps are non-zero.
//
// Output j is 0.5 x[2j] plus, for each odd tap 2k+1, h(k) (x[2j-2k-1] + x[2j+2k+1]). The input
// is kept split into its even and odd samples, so that each tap is a pass over contiguous
// memory.
class Resampler::HalfbandStage : public Resampler::Stage {
 public:
  explicit HalfbandStage(double rate) {
    half_ = HalfLength(rate, 4000, rate / 2 - 4000);
    if (half_ % 2 == 0) ++half_;
    const double beta = KaiserBeta(kAttenuationDb);
    for (int i = 1; i <= half_; i += 2) taps_.push_back(0.5 * Sinc(i / 2.0) * Kaiser(i, half_ + 1, beta));
    const double sum = std::accumulate(taps_.begin(), taps_.end(), 0.0);
    for (float& t : taps_) t = static_cast<float>(t * 0.25 / sum);  // DC gain exactly 1
    K_ = static_cast<int>(taps_.size());
    std::fill_n(odd_.Append(static_cast<std::size_t>(K_)), K_, 0.0f);  // x[-2K+1], x[-2K+3] .. x[-1]
    oddBase_ = -K_;
  }

  void Push(const float* in, std::size_t n, Queue& out) override {
    Split(in, n);
    Emit(out, INT64_MAX);
  }

  void Finish(Queue& out, std::uint64_t) override {
    const std::int64_t total = received_;
    const std::vector<float> zeros(static_cast<std::size_t>(half_) + 1, 0.0f);
    Split(zeros.data(), zeros.size());
    Emit(out, (total + 1) / 2);
  }

  int Reach() const override { return half_; }

 private:
  void Split(const float* in, std::size_t n) {
    std::size_t i = 0;
    if (n > 0 && received_ % 2 != 0) *odd_.Append(1) = in[i++];
    const std::size_t pairs = (n - i) / 2;
    float* ev = even_.Append(pairs);
    float* od = odd_.Append(pairs);
    for (std::size_t p = 0; p < pairs; ++p) {
      ev[p] = in[i + 2 * p];
      od[p] = in[i + 2 * p + 1];
    }
    i += 2 * pairs;
    if (i < n) *even_.Append(1) = in[i];
    received_ += static_cast<std::int64_t>(n);
  }

  void Emit(Queue& out, std::int64_t limit) {
    // Output j needs x[2j] and the odd samples up to x[2j + 2K - 1].
    const std::int64_t byOdd = oddBase_ + static_cast<std::int64_t>(odd_.Size()) - (K_ - 1);
    const std::int64_t byEven = evenBase_ + static_cast<std::int64_t>(even_.Size());
    const std::int64_t end = std::min({limit, byOdd, byEven});
    if (end > next_) {
      const std::size_t count = static_cast<std::size_t>(end - next_);
      const float* ev = even_.Data() + (next_ - evenBase_);
      const float* od = odd_.Data() + (next_ - K_ - oddBase_);  // od[i + K - k - 1], od[i + K + k]
      float* y = out.Append(count);
      // Sixteen outputs at a time stay in registers while the taps go by.
      std::size_t i0 = 0;
      for (; i0 + 16 <= count; i0 += 16) {
        Float4 acc[4];
        for (int v = 0; v < 4; ++v) {
          std::memcpy(&acc[v], ev + i0 + 4 * v, 16);
          acc[v] *= 0.5f;
        }
        for (int k = 0; k < K_; ++k) {
          const float h = taps_[k];
          const float* before = od + i0 + (K_ - k - 1);
          const float* after = od + i0 + (K_ + k);
          for (int v = 0; v < 4; ++v) {
            Float4 b, a;
            std::memcpy(&b, before + 4 * v, 16);
            std::memcpy(&a, after + 4 * v, 16);
            acc[v] += h * (b + a);
          }
        }
        std::memcpy(y + i0, acc, sizeof acc);
      }
      for (std::size_t i = i0; i < count; ++i) {
        float acc = 0.5f * ev[i];
        for (int k = 0; k < K_; ++k) acc += taps_[k] * (od[i + K_ - k - 1] + od[i + K_ + k]);
        y[i] = acc;
      }
      next_ = end;
    }
    // Keep what later outputs still need.
    if (next_ > evenBase_) {
      const std::int64_t drop = std::min<std::int64_t>(next_ - evenBase_, static_cast<std::int64_t>(even_.Size()));
      even_.Drop(static_cast<std::size_t>(drop));
      evenBase_ += drop;
    }
    if (next_ - K_ > oddBase_) {
      const std::int64_t drop = std::min<std::int64_t>(next_ - K_ - oddBase_, static_cast<std::int64_t>(odd_.Size()));
      odd_.Drop(static_cast<std::size_t>(drop));
      oddBase_ += drop;
    }
  }

  int half_ = 0;
  int K_ = 0;
  std::vector<float> taps_;
  Queue even_, odd_;  // x[2m] from m = evenBase_, x[2m+1] from m = oddBase_
  std::int64_t evenBase_ = 0, oddBase_ = 0;
  std::int64_t received_ = 0;
  std::int64_t next_ = 0;  // next output index
};

// Rational rate change L/M to 8000 Hz with a polyphase windowed-sinc low-pass: pass band to
// 3400 Hz, stop band from 4000 Hz.
class Resampler::PolyphaseStage : public Resampler::Stage {
 public:
  PolyphaseStage(double rate, std::uint32_t L, std::uint32_t M) : L_(L), step_(M / L), rest_(M % L) {
    half_ = HalfLength(rate, kPassEdge, kStopEdge);
    width_ = 2 * half_;
    interpolate_ = L > kMaxExactPhases;
    phases_ = interpolate_ ? kInterpolatedPhases : L;
    const std::uint32_t rows = interpolate_ ? phases_ + 1 : phases_;
    tableOwner_ = PolyphaseTable(rate, phases_, rows, half_);
    table_ = tableOwner_->rows;
    stride_ = tableOwner_->stride;
    std::fill_n(buf_.Append(static_cast<std::size_t>(half_ - 1)), half_ - 1, 0.0f);
    base_ = -(half_ - 1);
  }

  void Push(const float* in, std::size_t n, Queue& out) override {
    if (n > 0) std::memcpy(buf_.Append(n), in, n * sizeof(float));
    received_ += static_cast<std::int64_t>(n);
    Emit(out, received_, UINT64_MAX);
  }

  void Finish(Queue& out, std::uint64_t limit) override {
    std::fill_n(buf_.Append(static_cast<std::size_t>(half_)), half_, 0.0f);
    Emit(out, received_ + half_, limit);
  }

  int Reach() const override { return half_; }

 private:
  void Emit(Queue& out, std::int64_t avail, std::uint64_t limit) {
    while (emitted_ < limit && ip_ + half_ < avail) {
      const float* x = buf_.Data() + (ip_ - (half_ - 1) - base_);
      float y;
      if (interpolate_) {
        const double pos = static_cast<double>(phase_) * phases_ / L_;
        const std::uint32_t p = static_cast<std::uint32_t>(pos);
        const float w = static_cast<float>(pos - p);
        const float y0 = Dot(x, table_ + p * stride_, width_);
        const float y1 = Dot(x, table_ + (p + 1) * stride_, width_);
        y = y0 + w * (y1 - y0);
      } else {
        y = Dot(x, table_ + phase_ * stride_, width_);
      }
      *out.Append(1) = y;
      ++emitted_;
      // M / L in whole steps and a remainder: no division per output.
      ip_ += step_;
      phase_ += rest_;
      if (phase_ >= L_) {
        phase_ -= L_;
        ++ip_;
      }
    }
    const std::int64_t keep = ip_ - (half_ - 1);
    if (keep > base_) {
      const std::int64_t drop = std::min<std::int64_t>(keep - base_, static_cast<std::int64_t>(buf_.Size()));
      buf_.Drop(static_cast<std::size_t>(drop));
      base_ += drop;
    }
  }

  std::uint32_t L_;
  std::int64_t step_;
  std::uint32_t rest_;
  int half_ = 0, width_ = 0;
  bool interpolate_ = false;
  std::uint32_t phases_ = 1;
  std::shared_ptr<const FilterTable> tableOwner_;
  const float* table_ = nullptr;
  std::size_t stride_ = 0;
  Queue buf_;
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

Resampler::Resampler(const WaveFormatEx& source)
    : format_(source), queueA_(std::make_unique<Queue>()), queueB_(std::make_unique<Queue>()) {
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

void Resampler::RunStages(const float* samples, std::size_t count, std::vector<std::int16_t>& out, bool last) {
  const std::uint64_t limit =
      (framesIn_ * kTargetRate + format_.nSamplesPerSec - 1) / format_.nSamplesPerSec;
  // Each stage reads the previous one's output and writes into the other of two queues.
  Queue* queues[2] = {queueA_.get(), queueB_.get()};
  int which = 0;
  for (auto& stage : stages_) {
    Queue& q = *queues[which];
    which ^= 1;
    q.Clear();
    if (count > 0 || !last) stage->Push(samples, count, q);
    if (last) stage->Finish(q, limit);
    samples = q.Data();
    count = q.Size();
  }
  const std::size_t at = out.size();
  out.resize(at + count);
  std::int16_t* o = out.data() + at;
  for (std::size_t i = 0; i < count; ++i) {
    const float v = samples[i];
    const float r = v >= 0 ? v + 0.5f : v - 0.5f;
    o[i] = static_cast<std::int16_t>(r >= 32767.0f ? 32767 : (r <= -32768.0f ? -32768 : static_cast<int>(r)));
  }
  samplesOut_ += count;
}

void Resampler::Process(const std::uint8_t* src, std::size_t frames, std::vector<std::int16_t>& out) {
  const bool stereo = format_.nChannels == 2;
  const bool wide = format_.wBitsPerSample == 16;
  while (frames > 0) {
    const std::size_t n = std::min(frames, kChunkFrames);
    mix_.resize(n);
    float* m = mix_.data();
    if (wide && stereo) {
      // Little-endian 16-bit samples, as in the file and in memory on every target. The sum of
      // a frame's two samples is exact in 32 bits: four frames at a time.
      const std::uint8_t* w = src;
      std::size_t i = 0;
      const __m128i ones = _mm_set1_epi16(1);
      const __m128 half = _mm_set1_ps(0.5f);
      for (; i + 4 <= n; i += 4) {
        const __m128i pair = _mm_loadu_si128(reinterpret_cast<const __m128i*>(w + 4 * i));
        _mm_storeu_ps(m + i, _mm_mul_ps(half, _mm_cvtepi32_ps(_mm_madd_epi16(pair, ones))));
      }
      for (; i < n; ++i) m[i] = 0.5f * static_cast<float>(Sample16(w + 4 * i) + Sample16(w + 4 * i + 2));
    } else if (wide) {
      for (std::size_t i = 0; i < n; ++i) m[i] = static_cast<float>(Sample16(src + 2 * i));
    } else if (stereo) {
      // 8-bit PCM is unsigned with its zero at 128.
      for (std::size_t i = 0; i < n; ++i) m[i] = 128.0f * static_cast<float>(src[2 * i] + src[2 * i + 1] - 256);
    } else {
      for (std::size_t i = 0; i < n; ++i) m[i] = 256.0f * static_cast<float>(src[i] - 128);
    }
    framesIn_ += n;
    RunStages(mix_.data(), n, out, false);
    src += n * format_.nBlockAlign;
    frames -= n;
  }
}

void Resampler::Finish(std::vector<std::int16_t>& out) {
  if (finished_) return;
  finished_ = true;
  RunStages(nullptr, 0, out, true);
}

}  // namespace vocalet
