#include "controls/GradientBands.h"

std::vector<TGradientBand> GradientBands(int length, int gradations, TRgb first, TRgb last) {
  int n = gradations == 0 ? length - 1 : gradations;
  if (n > 256) n = 256;  // at most 256 fills, whatever the size
  if (n == 0) n = 1;
  std::vector<TGradientBand> bands;
  if (n < 0) return bands;
  int bottom = 0;
  for (int i = 1; i <= n; ++i) {
    // 64-bit: a tall control times 256 steps stays exact.
    int edge = static_cast<int>(static_cast<long long>(i) * length / n);
    if (edge <= bottom) continue;
    // Integer division truncates toward zero, also for a channel that falls.
    auto step = [&](int from, int to) { return from + (to - from) * i / n; };
    bands.push_back({bottom, edge, {step(first.r, last.r), step(first.g, last.g),
                                    step(first.b, last.b)}});
    bottom = edge;
  }
  return bands;
}
