// Section numbers refer to GSM 06.10 (clause 4.2, the encoder). Every intermediate is held in
// the width the standard gives it; a "word" narrowing below is deliberate and matches the
// reference arithmetic, including its wrap-arounds.
#include "convert/Gsm610Encoder.h"

#include <algorithm>
#include <cstring>

#include <emmintrin.h>  // SSE2, which every supported processor has

namespace vocalet {
namespace {

using word = std::int16_t;
using longword = std::int32_t;

constexpr longword kMinWord = -32768;
constexpr longword kMaxWord = 32767;
constexpr int kMaxSegment = 128;  // the longest lattice segment (120) in whole vectors

inline word Saturate(longword v) {
  return static_cast<word>(v > kMaxWord ? kMaxWord : (v < kMinWord ? kMinWord : v));
}
inline word Add(longword a, longword b) { return Saturate(a + b); }
inline word Sub(longword a, longword b) { return Saturate(a - b); }
// Q15 product with rounding. No caller passes -32768 for both factors.
inline word MultR(longword a, longword b) { return static_cast<word>((a * b + 16384) >> 15); }
inline word Mult(longword a, longword b) { return static_cast<word>((a * b) >> 15); }
inline word Abs(word a) { return a < 0 ? (a == kMinWord ? static_cast<word>(kMaxWord) : static_cast<word>(-a)) : a; }
inline longword LAdd(longword a, longword b) {
  const std::int64_t s = static_cast<std::int64_t>(a) + b;
  return s > INT32_MAX ? INT32_MAX : (s < INT32_MIN ? INT32_MIN : static_cast<longword>(s));
}
// Left shift that keeps the two's-complement bits, as the fixed-point code expects.
inline longword Shl(longword a, int n) {
  return static_cast<longword>(static_cast<std::uint32_t>(a) << n);
}

inline __m128i Load8(const word* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store8(word* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// MultR of eight words by one: the 32-bit products, rounded and shifted, packed back to words.
inline __m128i MultR8(__m128i r, __m128i x) {
  const __m128i lo = _mm_mullo_epi16(x, r), hi = _mm_mulhi_epi16(x, r);
  const __m128i round = _mm_set1_epi32(16384);
  const __m128i p0 = _mm_srai_epi32(_mm_add_epi32(_mm_unpacklo_epi16(lo, hi), round), 15);
  const __m128i p1 = _mm_srai_epi32(_mm_add_epi32(_mm_unpackhi_epi16(lo, hi), round), 15);
  return _mm_packs_epi32(p0, p1);
}

// The largest Abs over s[0..n-1], found through the extremes so that the loop vectorises:
// Abs(-32768) is 32767, which the saturating Abs of the minimum gives as well.
word MaxAbs(const word* s, int n) {
  word hi = 0, lo = 0;
  for (int k = 0; k < n; ++k) {
    hi = s[k] > hi ? s[k] : hi;
    lo = s[k] < lo ? s[k] : lo;
  }
  const word mag = Abs(lo);
  return hi > mag ? hi : mag;
}

// Number of left shifts that normalise a (a != 0 in every use).
int Norm(longword a) {
  if (a < 0) {
    if (a <= -1073741824) return 0;
    a = ~a;
  }
  if (a == 0) return 31;
  return __builtin_clz(static_cast<std::uint32_t>(a)) - 1;
}

word Asr(word a, int n) {
  if (n >= 16) return static_cast<word>(-(a < 0));
  if (n <= -16) return 0;
  if (n < 0) return static_cast<word>(Shl(a, -n));
  return static_cast<word>(a >> n);
}
word Asl(word a, int n) {
  if (n >= 16) return 0;
  if (n <= -16) return static_cast<word>(-(a < 0));
  if (n < 0) return Asr(a, -n);
  return static_cast<word>(Shl(a, n));
}

// 15-bit fraction num/denum, 0 <= num <= denum.
word Div(word num, word denum) {
  if (num == 0) return 0;
  longword L_num = num;
  const longword L_denum = denum;
  word div = 0;
  for (int k = 0; k < 15; ++k) {
    div = static_cast<word>(div << 1);
    L_num <<= 1;
    if (L_num >= L_denum) {
      L_num -= L_denum;
      ++div;
    }
  }
  return div;
}

// Table 4.1: quantisation of the LARs; Table 4.2: their decoding.
constexpr word kA[8] = {20480, 20480, 20480, 20480, 13964, 15360, 8534, 9036};
constexpr word kB[8] = {0, 0, 2048, -2560, 94, -1792, -341, -1144};
constexpr word kMIC[8] = {-32, -32, -16, -16, -8, -8, -4, -4};
constexpr word kMAC[8] = {31, 31, 15, 15, 7, 7, 3, 3};
constexpr word kINVA[8] = {13107, 13107, 13107, 13107, 19223, 17476, 31454, 29708};
// Table 4.3: LTP gain decision levels and quantised gains.
constexpr word kDLB[4] = {6554, 16384, 26214, 32767};
constexpr word kQLB[4] = {3277, 11469, 21299, 32767};
// Table 4.4: weighting filter impulse response.
constexpr word kH[11] = {-134, -374, 0, 2054, 5741, 8192, 5741, 2054, 0, -374, -134};
// Table 4.5: normalised inverse mantissa; Table 4.6: normalised mantissa.
constexpr word kNRFAC[8] = {29128, 26215, 23832, 21846, 20165, 18725, 17476, 16384};
constexpr word kFAC[8] = {18431, 20479, 22527, 24575, 26623, 28671, 30719, 32767};

// 4.2.4  s: [0..159] IN/OUT (scaled and rescaled in place), L_ACF: [0..8] OUT
void Autocorrelation(word* s, longword* L_ACF) {
  const word smax = MaxAbs(s, 160);
  int scalauto = 0;
  if (smax != 0) scalauto = 4 - Norm(Shl(smax, 16));
  if (scalauto > 0) {
    const word factor = static_cast<word>(16384 >> (scalauto - 1));
    for (int k = 0; k < 160; ++k) s[k] = MultR(s[k], factor);
  }
  // After scaling |s| <= 2048, so each sum stays far inside 32 bits.
  for (int k = 0; k <= 8; ++k) {
    longword sum = 0;
    for (int i = k; i < 160; ++i) sum += static_cast<longword>(s[i]) * s[i - k];
    L_ACF[k] = sum << 1;
  }
  if (scalauto > 0) {
    for (int k = 0; k < 160; ++k) s[k] = static_cast<word>(Shl(s[k], scalauto));
  }
}

// 4.2.5  Schur recursion. r: [0..7] OUT
void ReflectionCoefficients(const longword* L_ACF, word* r) {
  if (L_ACF[0] == 0) {
    for (int i = 0; i < 8; ++i) r[i] = 0;
    return;
  }
  const int temp0 = Norm(L_ACF[0]);
  word ACF[9], P[9], K[9];
  for (int i = 0; i <= 8; ++i) ACF[i] = static_cast<word>(Shl(L_ACF[i], temp0) >> 16);
  for (int i = 1; i <= 7; ++i) K[i] = ACF[i];
  for (int i = 0; i <= 8; ++i) P[i] = ACF[i];
  for (int n = 1; n <= 8; ++n) {
    word* rn = r + (n - 1);
    const word temp = Abs(P[1]);
    if (P[0] < temp) {
      for (int i = n; i <= 8; ++i) r[i - 1] = 0;
      return;
    }
    *rn = Div(temp, P[0]);
    if (P[1] > 0) *rn = static_cast<word>(-*rn);
    if (n == 8) return;
    P[0] = Add(P[0], MultR(P[1], *rn));
    for (int m = 1; m <= 8 - n; ++m) {
      P[m] = Add(P[m + 1], MultR(K[m], *rn));
      K[m] = Add(K[m], MultR(P[m + 1], *rn));
    }
  }
}

// 4.2.6  r: [0..7] IN, LAR: [0..7] OUT (in place)
void TransformToLogAreaRatios(word* r) {
  for (int i = 0; i < 8; ++i) {
    word temp = Abs(r[i]);
    if (temp < 22118) {
      temp = static_cast<word>(temp >> 1);
    } else if (temp < 31130) {
      temp = static_cast<word>(temp - 11059);
    } else {
      temp = static_cast<word>((temp - 26112) << 2);
    }
    r[i] = r[i] < 0 ? static_cast<word>(-temp) : temp;
  }
}

// 4.2.7  LAR: [0..7] IN, LARc: [0..7] OUT
void QuantizeLogAreaRatios(const word* LAR, word* LARc) {
  for (int i = 0; i < 8; ++i) {
    word temp = Mult(kA[i], LAR[i]);
    temp = Add(temp, kB[i]);
    temp = Add(temp, 256);
    temp = static_cast<word>(temp >> 9);
    LARc[i] = static_cast<word>(temp > kMAC[i] ? kMAC[i] - kMIC[i] : (temp < kMIC[i] ? 0 : temp - kMIC[i]));
  }
}

// 4.2.8  LARc: [0..7] IN, LARpp: [0..7] OUT
void DecodeLogAreaRatios(const word* LARc, word* LARpp) {
  for (int i = 0; i < 8; ++i) {
    word temp1 = static_cast<word>(Add(LARc[i], kMIC[i]) << 10);
    temp1 = Sub(temp1, kB[i] * 2);
    temp1 = MultR(kINVA[i], temp1);
    LARpp[i] = Add(temp1, temp1);
  }
}

// 4.2.9.2  LARp: [0..7] IN, rp: [0..7] OUT (in place)
void LogAreaRatiosToReflection(word* LARp) {
  for (int i = 0; i < 8; ++i) {
    const bool negative = LARp[i] < 0;
    const word temp = negative ? (LARp[i] == kMinWord ? static_cast<word>(kMaxWord) : static_cast<word>(-LARp[i]))
                               : LARp[i];
    const word mag = temp < 11059 ? static_cast<word>(temp << 1)
                     : temp < 20070 ? static_cast<word>(temp + 11059)
                                    : Add(temp >> 2, 26112);
    LARp[i] = negative ? static_cast<word>(-mag) : mag;
  }
}

// 4.2.11  Lag and gain of the long-term predictor.
// d: [0..39] IN, dp: [-120..-1] IN
void LtpParameters(const word* d, const word* dp, word& bc_out, word& Nc_out) {
  const word dmax = MaxAbs(d, 40);
  int temp = 0;
  if (dmax != 0) temp = Norm(Shl(dmax, 16));
  const int scal = temp > 6 ? 0 : 6 - temp;

  word wt[40];
  for (int k = 0; k < 40; ++k) wt[k] = static_cast<word>(d[k] >> scal);

  // |wt| < 512 and |dp| <= 32768: 40 products stay inside 32 bits.
  longword L_cross[81];
  for (int lambda = 40; lambda <= 120; ++lambda) {
    const word* past = dp - lambda;
    longword L_result = 0;
    for (int k = 0; k < 40; ++k) L_result += static_cast<longword>(wt[k]) * past[k];
    L_cross[lambda - 40] = L_result;
  }
  // The first lag with the largest correlation wins, and none below zero: the maximum first
  // (a loop without branches), then where it is.
  longword L_max = 0;
  for (int i = 0; i < 81; ++i) L_max = L_cross[i] > L_max ? L_cross[i] : L_max;
  int Nc = 40;
  if (L_max > 0) {
    while (L_cross[Nc - 40] != L_max) ++Nc;
  }
  Nc_out = static_cast<word>(Nc);
  L_max <<= 1;
  L_max >>= (6 - scal);

  longword L_power = 0;
  for (int k = 0; k < 40; ++k) {
    const longword L_temp = dp[k - Nc] >> 3;
    L_power += L_temp * L_temp;
  }
  L_power <<= 1;

  if (L_max <= 0) {
    bc_out = 0;
    return;
  }
  if (L_max >= L_power) {
    bc_out = 3;
    return;
  }
  const int n = Norm(L_power);
  const word R = static_cast<word>(Shl(L_max, n) >> 16);
  const word S = static_cast<word>(Shl(L_power, n) >> 16);
  word bc = 0;
  for (; bc <= 2; ++bc) {
    if (R <= Mult(S, kDLB[bc])) break;
  }
  bc_out = bc;
}

// 4.2.12  d: [0..39] IN, dp: [-120..-1] IN, dpp: [0..39] OUT, e: [0..39] OUT
// Eight at a time: the gains are at most 32767, so MultR8 is exact, and Sub is the saturating
// vector subtraction. dpp may be dp itself: Nc >= 40 keeps the reads before what is written.
void LtpFiltering(word bc, int Nc, const word* dp, const word* d, word* dpp, word* e) {
  const __m128i bp = _mm_set1_epi16(kQLB[bc]);
  for (int k = 0; k < 40; k += 8) {
    const __m128i p = MultR8(bp, Load8(dp + k - Nc));
    Store8(dpp + k, p);
    Store8(e + k, _mm_subs_epi16(Load8(d + k), p));
  }
}

// 4.2.13  e: [-5..45] IN (e[45] is read and weighted by zero), x: [0..39] OUT
// Two taps per 32-bit lane: a load at e[k - 5] gives outputs k, k+2, k+4, k+6, one a sample
// later the odd ones. The sums fit 32 bits (sum |kH| * 32768 < 2^30); the saturating pack is
// Saturate.
void WeightingFilter(const word* e, word* x) {
  __m128i h[6];
  for (int j = 0; j < 6; ++j) {
    const word second = 2 * j + 1 < 11 ? kH[2 * j + 1] : 0;
    h[j] = _mm_set1_epi32(static_cast<std::uint16_t>(kH[2 * j]) | static_cast<std::uint32_t>(static_cast<std::uint16_t>(second)) << 16);
  }
  const __m128i round = _mm_set1_epi32(4096);
  for (int k = 0; k < 40; k += 8) {
    __m128i even = round, odd = round;
    for (int j = 0; j < 6; ++j) {
      even = _mm_add_epi32(even, _mm_madd_epi16(Load8(e + k - 5 + 2 * j), h[j]));
      odd = _mm_add_epi32(odd, _mm_madd_epi16(Load8(e + k - 4 + 2 * j), h[j]));
    }
    even = _mm_srai_epi32(even, 13);
    odd = _mm_srai_epi32(odd, 13);
    Store8(x + k, _mm_packs_epi32(_mm_unpacklo_epi32(even, odd), _mm_unpackhi_epi32(even, odd)));
  }
}

// 4.2.14  x: [0..39] IN, xM: [0..12] OUT
void GridSelection(const word* x, word* xM, word& Mc_out) {
  longword EM = 0;
  int Mc = 0;
  for (int m = 0; m <= 3; ++m) {
    longword L_result = 0;
    for (int i = 0; i <= 12; ++i) {
      const longword temp1 = x[m + 3 * i] >> 2;
      L_result += temp1 * temp1;
    }
    L_result <<= 1;
    if (L_result > EM) {
      Mc = m;
      EM = L_result;
    }
  }
  for (int i = 0; i <= 12; ++i) xM[i] = x[Mc + 3 * i];
  Mc_out = static_cast<word>(Mc);
}

// 4.2.15  Exponent and mantissa of the decoded xmaxc.
void XmaxcToExpMant(word xmaxc, word& exp_out, word& mant_out) {
  word exp = 0;
  if (xmaxc > 15) exp = static_cast<word>((xmaxc >> 3) - 1);
  word mant = static_cast<word>(xmaxc - (exp << 3));
  if (mant == 0) {
    exp = -4;
    mant = 7;
  } else {
    while (mant <= 7) {
      mant = static_cast<word>(mant << 1 | 1);
      --exp;
    }
    mant = static_cast<word>(mant - 8);
  }
  exp_out = exp;
  mant_out = mant;
}

// 4.2.15  xM: [0..12] IN, xMc: [0..12] OUT
void ApcmQuantization(const word* xM, word* xMc, word& mant_out, word& exp_out, word& xmaxc_out) {
  const word xmax = MaxAbs(xM, 13);
  word exp = 0;
  word temp = static_cast<word>(xmax >> 9);
  bool itest = false;
  for (int i = 0; i <= 5; ++i) {
    itest = itest || temp <= 0;
    temp = static_cast<word>(temp >> 1);
    if (!itest) ++exp;
  }
  const word xmaxc = Add(xmax >> (exp + 5), exp << 3);
  word mant = 0;
  XmaxcToExpMant(xmaxc, exp, mant);
  const int temp1 = 6 - exp;
  const word temp2 = kNRFAC[mant];
  for (int i = 0; i <= 12; ++i) {
    word t = static_cast<word>(Shl(xM[i], temp1));
    t = Mult(t, temp2);
    t = static_cast<word>(t >> 12);
    xMc[i] = static_cast<word>(t + 4);
  }
  mant_out = mant;
  exp_out = exp;
  xmaxc_out = xmaxc;
}

// 4.2.16  xMc: [0..12] IN, xMp: [0..12] OUT
void ApcmInverseQuantization(const word* xMc, word mant, word exp, word* xMp) {
  const word temp1 = kFAC[mant];
  const word temp2 = Sub(6, exp);
  const word temp3 = Asl(1, Sub(temp2, 1));
  for (int i = 0; i < 13; ++i) {
    word temp = static_cast<word>((xMc[i] << 1) - 7);
    temp = static_cast<word>(temp << 12);
    temp = MultR(temp1, temp);
    temp = Add(temp, temp3);
    xMp[i] = Asr(temp, temp2);
  }
}

// 4.2.17  xMp: [0..12] IN, ep: [0..39] OUT
void GridPositioning(int Mc, const word* xMp, word* ep) {
  for (int k = 0; k < 40; ++k) ep[k] = 0;
  for (int i = 0; i <= 12; ++i) ep[Mc + 3 * i] = xMp[i];
}

}  // namespace

void Gsm610Encoder::Reset() {
  z1_ = 0;
  L_z2_ = 0;
  mp_ = 0;
  std::memset(u_, 0, sizeof u_);
  std::memset(LARpp_, 0, sizeof LARpp_);
  j_ = 0;
  std::memset(dp0_, 0, sizeof dp0_);
  std::memset(e_, 0, sizeof e_);
}

// 4.2.1 - 4.2.3  s: [0..159] IN, so: [0..159] OUT
void Gsm610Encoder::Preprocess(const word* s, word* so) {
  word z1 = z1_;
  longword L_z2 = L_z2_;
  word mp = mp_;
  for (int k = 0; k < 160; ++k) {
    const word SO = static_cast<word>((s[k] >> 3) * 4);
    const word s1 = static_cast<word>(SO - z1);
    z1 = SO;
    longword L_s2 = static_cast<longword>(s1) * 32768;
    word msp = static_cast<word>(L_z2 >> 15);
    const word lsp = static_cast<word>(L_z2 - Shl(msp, 15));
    L_s2 += MultR(lsp, 32735);
    longword L_temp = static_cast<longword>(msp) * 32735;
    L_z2 = LAdd(L_temp, L_s2);
    L_temp = LAdd(L_z2, 16384);
    msp = MultR(mp, -28180);
    mp = static_cast<word>(L_temp >> 15);
    so[k] = Add(mp, msp);
  }
  z1_ = z1;
  L_z2_ = L_z2;
  mp_ = mp;
}

// 4.2.10  rp: [0..7] IN, s: [0..count-1] IN/OUT
// The lattice has no feedback from its output: stage i turns the forward values d_i[n] and the
// backward values b_i[n] into
//   d_{i+1}[n] = add(d_i[n], mult_r(rp[i], b_i[n-1]))
//   b_{i+1}[n] = add(b_i[n-1], mult_r(rp[i], d_i[n]))
// with b_i[-1] the stage's memory u[i]. Running it a stage at a time over the whole segment,
// rather than a sample at a time through all stages, gives the same numbers with every loop
// free of dependencies between samples, so eight samples go through a stage at once.
// |rp| <= 32767 (LogAreaRatiosToReflection saturates), so mult_r always fits a word and the
// saturating vector add is exactly add().
void Gsm610Encoder::FilterSegment(const word* rp, int count, word* s) {
  alignas(16) word d[kMaxSegment] = {};
  word bufA[kMaxSegment + 8] = {}, bufB[kMaxSegment + 8] = {};  // [0] is b_i[-1], [n + 1] b_i[n]
  word* bIn = bufA;
  word* bOut = bufB;
  std::memcpy(d, s, count * sizeof(word));
  std::memcpy(bIn + 1, s, count * sizeof(word));
  const int blocks = (count + 7) / 8;
  for (int i = 0; i < 8; ++i) {
    const __m128i r = _mm_set1_epi16(rp[i]);
    bIn[0] = u_[i];
    u_[i] = bIn[count];
    for (int k = 0; k < 8 * blocks; k += 8) {
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bIn + k));
      const __m128i dn = _mm_load_si128(reinterpret_cast<const __m128i*>(d + k));
      _mm_store_si128(reinterpret_cast<__m128i*>(d + k), _mm_adds_epi16(dn, MultR8(r, b)));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(bOut + k + 1), _mm_adds_epi16(b, MultR8(r, dn)));
    }
    std::swap(bIn, bOut);
  }
  std::memcpy(s, d, count * sizeof(word));
}

// 4.2.8 - 4.2.10  LARc: [0..7] IN, s: [0..159] IN/OUT
void Gsm610Encoder::ShortTermAnalysis(const word* LARc, word* s) {
  word* LARpp_j = LARpp_[j_];
  j_ ^= 1;
  const word* LARpp_j_1 = LARpp_[j_];
  DecodeLogAreaRatios(LARc, LARpp_j);

  // 4.2.9.1  The coefficients move from the previous frame's to this frame's over the
  // first 40 samples.
  word LARp[8];
  for (int i = 0; i < 8; ++i) {
    LARp[i] = Add(LARpp_j_1[i] >> 2, LARpp_j[i] >> 2);
    LARp[i] = Add(LARp[i], LARpp_j_1[i] >> 1);
  }
  LogAreaRatiosToReflection(LARp);
  FilterSegment(LARp, 13, s);

  for (int i = 0; i < 8; ++i) LARp[i] = Add(LARpp_j_1[i] >> 1, LARpp_j[i] >> 1);
  LogAreaRatiosToReflection(LARp);
  FilterSegment(LARp, 14, s + 13);

  for (int i = 0; i < 8; ++i) {
    LARp[i] = Add(LARpp_j_1[i] >> 2, LARpp_j[i] >> 2);
    LARp[i] = Add(LARp[i], LARpp_j[i] >> 1);
  }
  LogAreaRatiosToReflection(LARp);
  FilterSegment(LARp, 13, s + 27);

  for (int i = 0; i < 8; ++i) LARp[i] = LARpp_j[i];
  LogAreaRatiosToReflection(LARp);
  FilterSegment(LARp, 120, s + 40);
}

void Gsm610Encoder::EncodeFrame(const word* s, Gsm610Frame& frame) {
  word so[160];
  Preprocess(s, so);

  // 4.2.4 - 4.2.7  LPC analysis.
  longword L_ACF[9];
  Autocorrelation(so, L_ACF);
  word r[8];
  ReflectionCoefficients(L_ACF, r);
  TransformToLogAreaRatios(r);
  QuantizeLogAreaRatios(r, frame.LARc);

  ShortTermAnalysis(frame.LARc, so);

  word* dp = dp0_ + 120;
  for (int k = 0; k < 4; ++k) {
    word* d = so + k * 40;
    word* dpp = dp;  // the prediction shares the slot its reconstruction will take
    LtpParameters(d, dp, frame.bc[k], frame.Nc[k]);
    LtpFiltering(frame.bc[k], frame.Nc[k], dp, d, dpp, e_ + 5);

    word x[40], xM[13], xMp[13], mant = 0, exp = 0;
    WeightingFilter(e_ + 5, x);
    GridSelection(x, xM, frame.Mc[k]);
    ApcmQuantization(xM, frame.xMc + 13 * k, mant, exp, frame.xmaxc[k]);
    ApcmInverseQuantization(frame.xMc + 13 * k, mant, exp, xMp);
    GridPositioning(frame.Mc[k], xMp, e_ + 5);

    for (int i = 0; i < 40; i += 8) Store8(dp + i, _mm_adds_epi16(Load8(e_ + 5 + i), Load8(dpp + i)));
    dp += 40;
  }
  std::memmove(dp0_, dp0_ + 160, 120 * sizeof(word));
}

}  // namespace vocalet
