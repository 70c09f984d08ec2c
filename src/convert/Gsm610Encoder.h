// GSM 06.10 full-rate speech encoder (RPE-LTP), in the standard's fixed-point arithmetic so
// that every frame is bit for bit what the reference coder produces.
#pragma once

#include <cstdint>

namespace vocalet {

// The 76 parameters of one 20 ms frame (160 samples at 8000 Hz), before bit packing.
struct Gsm610Frame {
  std::int16_t LARc[8];   // log-area ratios, coded
  std::int16_t Nc[4];     // LTP lag per sub-frame, 40..120
  std::int16_t bc[4];     // LTP gain per sub-frame, 0..3
  std::int16_t Mc[4];     // RPE grid position, 0..3
  std::int16_t xmaxc[4];  // block amplitude, 0..63
  std::int16_t xMc[52];   // 13 RPE pulses per sub-frame, 0..7
};

class Gsm610Encoder {
 public:
  Gsm610Encoder() { Reset(); }
  void Reset();
  // s: [0..159] IN, 16-bit linear PCM (only the top 13 bits are used, as in the standard).
  void EncodeFrame(const std::int16_t* s, Gsm610Frame& frame);

 private:
  void Preprocess(const std::int16_t* s, std::int16_t* so);
  void ShortTermAnalysis(const std::int16_t* LARc, std::int16_t* s);
  void FilterSegment(const std::int16_t* rp, int count, std::int16_t* s);

  // Pre-processing memory (offset compensation and pre-emphasis).
  std::int16_t z1_;
  std::int32_t L_z2_;
  std::int16_t mp_;
  // Short-term analysis lattice memory and the decoded LARs of this and the previous frame.
  std::int16_t u_[8];
  std::int16_t LARpp_[2][8];
  int j_;
  // Reconstructed short-term residual: [0..119] the past, [120..279] the frame being coded.
  std::int16_t dp0_[280];
  // RPE input with 5 zero samples on each side for the weighting filter: [5..44] used, the
  // rest stays zero ([50] is read eight at a time and weighted by zero).
  std::int16_t e_[56];
};

}  // namespace vocalet
