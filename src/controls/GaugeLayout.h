// Where the volume gauge draws: its columns, how many are lit, where the peak marker stands
// and how the peak is held. Plain arithmetic, shared by the control and its host tests.
#pragma once

// The gauge of width W has columns k = 1 .. S + 1 at x = 3 + 3k, between the end marks at
// x 0..3 and W-6..W-3, where S = (W - 6) div 3 - 2. Returns S, at least -1 (no columns).
int GaugeLastColumn(int width);

inline int GaugeColumnX(int k) { return 3 + 3 * k; }

// Lit columns for `level` of `maxLevel`: proportional and truncated, one more (S + 1) for a
// full gauge; always within 0 .. S + 1. Nothing is lit while maxLevel is not positive.
int GaugeLitColumns(int level, int maxLevel, int lastColumn);

// x of the peak marker for `peakLevel`, or 0 when there is no place for one.
int GaugePeakX(int peakLevel, int maxLevel, int lastColumn);

// The highest recent level, held for `freq` level changes that do not exceed it.
struct TGaugePeak {
  int Level = 0;
  int Count = 0;  // level changes since the peak was last set
  void Advance(int level, int freq);
};
