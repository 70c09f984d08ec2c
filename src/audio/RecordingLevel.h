// What a saved recording holds: nothing, only silence, or sound. Platform-neutral, so that
// the judgement is tested on the host with waves made to measure.
#pragma once

#include "convert/ByteStream.h"

enum class TRecordingContent { Empty, Silent, Sound };

// The loudest sample at or below this (in 16-bit units, 32767 full scale) is under -50 dBFS.
inline constexpr int SilentPeak = 103;

// Judges a PCM wave file as the recorder saved it, read from its start; it stops at the
// first loud sample. A recording without a single
// sample is Empty; one whose every sample stays below -50 dBFS is Silent. A file whose header
// this does not understand is taken as Sound: only what is known to be wrong is refused.
TRecordingContent JudgeRecording(vocalet::TStream& waveFile);
