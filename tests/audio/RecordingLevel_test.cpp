// What the recorder panel makes of a saved recording: nothing recorded, silence, or sound.
#include "audio/RecordingLevel.h"

#include <gtest/gtest.h>

#include "convert/TestWaves.h"

namespace {

using vocalet::test::Bytes;
using vocalet::test::MakeWave;
using vocalet::test::Pcm16Bytes;
using vocalet::test::WaveParams;

WaveParams Format(unsigned channels, unsigned bits) {
  WaveParams p;
  p.channels = channels;
  p.bits = bits;
  return p;
}

TEST(RecordingLevel, JudgesEmptySilentAndSound) {
  Bytes statesMore = MakeWave(Format(1, 16), {});
  statesMore[40] = 0xE8;  // the data chunk claims 1000 bytes that never came
  statesMore[41] = 0x03;
  Bytes gsm = MakeWave(Format(1, 16), Pcm16Bytes({5000, -5000}));
  gsm[20] = 0x31;  // a format tag that is not PCM: not ours to judge
  struct TCase {
    const char* name;
    Bytes file;
    TRecordingContent expected;
  } cases[] = {
      {"no data", MakeWave(Format(1, 16), {}), TRecordingContent::Empty},
      {"stated data missing", statesMore, TRecordingContent::Empty},
      {"half a 16-bit sample", MakeWave(Format(1, 16), {0x10}), TRecordingContent::Empty},
      {"16-bit zeros", MakeWave(Format(1, 16), Pcm16Bytes({0, 0, 0, 0})), TRecordingContent::Silent},
      {"16-bit at -50 dBFS", MakeWave(Format(1, 16), Pcm16Bytes({103, -103, 50})),
       TRecordingContent::Silent},
      {"16-bit one sample above", MakeWave(Format(1, 16), Pcm16Bytes({0, 104, 0})),
       TRecordingContent::Sound},
      {"16-bit one sample below", MakeWave(Format(1, 16), Pcm16Bytes({0, 0, -104})),
       TRecordingContent::Sound},
      {"16-bit full scale negative", MakeWave(Format(1, 16), Pcm16Bytes({-32768})),
       TRecordingContent::Sound},
      {"8-bit centre", MakeWave(Format(1, 8), {128, 128, 128}), TRecordingContent::Silent},
      {"8-bit one step", MakeWave(Format(1, 8), {128, 127, 128}), TRecordingContent::Sound},
      {"stereo, sound on the right only",
       MakeWave(Format(2, 16), Pcm16Bytes({0, 0, 0, 2000})), TRecordingContent::Sound},
      {"not a wave", Bytes{'R', 'I', 'F', 'F'}, TRecordingContent::Sound},
      {"compressed", gsm, TRecordingContent::Sound},
  };
  for (const auto& c : cases) {
    vocalet::TMemoryStream stream(c.file);
    EXPECT_EQ(JudgeRecording(stream), c.expected) << c.name;
  }
}

}  // namespace
