#include "audio/SliderLevels.h"

#include <algorithm>
#include <cmath>

namespace {
// Devices are assumed to run from 0 to 65535; one that reports more is at full level, or the
// unsigned arithmetic below would wrap into negative steps and positions.
uint64_t Held(uint32_t raw) { return std::min<uint64_t>(raw, kFullMixerLevel); }
}  // namespace

int UnlitSteps(uint32_t raw) {
  return static_cast<int>(kIndicatorSteps - Held(raw) * kIndicatorSteps / kFullMixerLevel);
}

int SliderPositionOfLevel(uint32_t raw, int sliderMax) {
  if (sliderMax <= 0) return 0;
  const uint64_t max = static_cast<uint64_t>(sliderMax);
  return static_cast<int>(max - Held(raw) * max / kFullMixerLevel);
}

uint32_t LevelOfSliderPosition(int position, int sliderMax) {
  if (sliderMax <= 0) return 0;
  const int64_t raw = (static_cast<int64_t>(sliderMax) - position) * int64_t{kFullMixerLevel} /
                      sliderMax;
  return static_cast<uint32_t>(std::clamp<int64_t>(raw, 0, kFullMixerLevel));
}

int LevelBarTop(int sliderHeight, int position) {
  // Rounded as the slider rounds: to the nearest, halves to even.
  return static_cast<int>(std::nearbyint(sliderHeight / 100.0 * position));
}
