// The mixer's raw levels as the level slider window and the main window's indicators show
// them: unlit steps of a 15-step indicator, the slider's position (top is loudest) and back,
// and where the level bar's lit part begins. Raw levels run from 0 to 65535.
#pragma once

#include <cstdint>

constexpr uint32_t kFullMixerLevel = 65535;
constexpr int kIndicatorSteps = 15;

// 0 at full level, 15 at silence.
int UnlitSteps(uint32_t raw);
// The slider's position for a raw level: sliderMax at silence, 0 at full level.
int SliderPositionOfLevel(uint32_t raw, int sliderMax);
// The raw level a slider position writes. Not the exact inverse of the above: with a
// maximum of 100, position 50 writes 32767, which reads back as 51.
uint32_t LevelOfSliderPosition(int position, int sliderMax);
// The first row of the level bar's lit part, for a slider of this height at this position.
int LevelBarTop(int sliderHeight, int position);
