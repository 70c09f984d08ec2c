// The solid bands of a gradient along one side of a rectangle: where each band lies and
// which colour it has. Platform-neutral, so the arithmetic is tested on the host.
#pragma once

#include <vector>

struct TRgb {
  int r = 0, g = 0, b = 0;
  friend bool operator==(const TRgb&, const TRgb&) = default;
};

// Pixels [from, to) along the gradient's length.
struct TGradientBand {
  int from = 0, to = 0;
  TRgb color;
  friend bool operator==(const TGradientBand&, const TGradientBand&) = default;
};

// Bands from the first colour towards the last over `length` pixels. gradations 0 means one
// band per pixel less one; more than 256 are 256; a negative count (or a length of 0 with
// gradations 0) gives no band. The first band already has the colour of step 1, the last
// one exactly the last colour; bands of no width are left out.
std::vector<TGradientBand> GradientBands(int length, int gradations, TRgb first, TRgb last);
