#include "controls/GaugeLayout.h"

#include <algorithm>
#include <climits>

int GaugeLastColumn(int width) { return std::max((width - 6) / 3 - 2, -1); }

int GaugeLitColumns(int level, int maxLevel, int lastColumn) {
  if (maxLevel <= 0 || lastColumn < 0) return 0;
  if (level == maxLevel) return lastColumn + 1;
  // 64 bits: a level near the top of the int range times the column count overflows.
  long long lit = static_cast<long long>(level) * lastColumn / maxLevel;
  return static_cast<int>(std::clamp<long long>(lit, 0, lastColumn + 1));
}

int GaugePeakX(int peakLevel, int maxLevel, int lastColumn) {
  if (maxLevel <= 0 || lastColumn < 0) return 0;
  long long peak = std::clamp(peakLevel, 0, maxLevel);
  return static_cast<int>((peak * lastColumn / maxLevel + 1) * 3);
}

void TGaugePeak::Advance(int level, int freq) {
  if (Count < INT_MAX) ++Count;
  if (Level < level || Count > freq) {
    Count = 0;
    Level = level;
  }
}
