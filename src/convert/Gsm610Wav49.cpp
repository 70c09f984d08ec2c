#include "convert/Gsm610Wav49.h"

namespace vocalet {
namespace {

class BitWriter {
 public:
  explicit BitWriter(std::uint8_t* out) : out_(out) {}
  void Put(unsigned value, int bits) {
    acc_ |= static_cast<std::uint32_t>(value & ((1u << bits) - 1)) << count_;
    count_ += bits;
    while (count_ >= 8) {
      *out_++ = static_cast<std::uint8_t>(acc_);
      acc_ >>= 8;
      count_ -= 8;
    }
  }
  void Flush() {
    if (count_ > 0) *out_++ = static_cast<std::uint8_t>(acc_);
    acc_ = 0;
    count_ = 0;
  }

 private:
  std::uint8_t* out_;
  std::uint32_t acc_ = 0;
  int count_ = 0;
};

void PutFrame(BitWriter& w, const Gsm610Frame& f) {
  static constexpr int kLarBits[8] = {6, 6, 5, 5, 4, 4, 3, 3};
  for (int i = 0; i < 8; ++i) w.Put(static_cast<unsigned>(f.LARc[i]), kLarBits[i]);
  for (int k = 0; k < 4; ++k) {
    w.Put(static_cast<unsigned>(f.Nc[k]), 7);
    w.Put(static_cast<unsigned>(f.bc[k]), 2);
    w.Put(static_cast<unsigned>(f.Mc[k]), 2);
    w.Put(static_cast<unsigned>(f.xmaxc[k]), 6);
    for (int i = 0; i < 13; ++i) w.Put(static_cast<unsigned>(f.xMc[13 * k + i]), 3);
  }
}

}  // namespace

void PackWav49Block(const Gsm610Frame& first, const Gsm610Frame& second, std::uint8_t* block) {
  BitWriter w(block);
  PutFrame(w, first);
  PutFrame(w, second);
  w.Flush();
}

void EncodeWav49Block(Gsm610Encoder& encoder, const std::int16_t* s, std::uint8_t* block) {
  Gsm610Frame first, second;
  encoder.EncodeFrame(s, first);
  encoder.EncodeFrame(s + kGsmSamplesPerFrame, second);
  PackWav49Block(first, second, block);
}

}  // namespace vocalet
