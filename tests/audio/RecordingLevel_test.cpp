// What the recorder panel makes of a saved recording: nothing recorded, silence, or sound.
#include "audio/RecordingLevel.h"

#include <gtest/gtest.h>

#include "convert/TestWaves.h"

namespace {

using namespace vocalet::test;

Bytes Wave(const Bytes& data, unsigned channels = 1, unsigned bits = 16) {
  WaveParams p;
  p.channels = channels;
  p.bits = bits;
  return MakeWave(p, data);
}

TEST(RecordingLevel, JudgesEmptySilentAndSound) {
  Bytes statesMore = Wave({});
  statesMore[40] = 0xE8;  // the data chunk claims 1000 bytes that never came
  statesMore[41] = 0x03;
  Bytes gsm = Wave(Pcm16Bytes({5000, -5000}));
  gsm[20] = 0x31;  // a format tag that is not PCM: not ours to judge
  using C = TRecordingContent;
  const struct {
    const char* name;
    Bytes file;
    C expected;
  } cases[] = {
      {"no data", Wave({}), C::Empty},
      {"stated data missing", statesMore, C::Empty},
      {"half a 16-bit sample", Wave({0x10}), C::Empty},
      {"16-bit zeros", Wave(Pcm16Bytes({0, 0, 0, 0})), C::Silent},
      {"16-bit at -50 dBFS", Wave(Pcm16Bytes({103, -103, 50})), C::Silent},
      {"16-bit one sample above", Wave(Pcm16Bytes({0, 104, 0})), C::Sound},
      {"16-bit one sample below", Wave(Pcm16Bytes({0, 0, -104})), C::Sound},
      {"16-bit full scale negative", Wave(Pcm16Bytes({-32768})), C::Sound},
      {"8-bit centre", Wave({128, 128, 128}, 1, 8), C::Silent},
      {"8-bit one step", Wave({128, 127, 128}, 1, 8), C::Sound},
      {"stereo, sound on the right only", Wave(Pcm16Bytes({0, 0, 0, 2000}), 2), C::Sound},
      {"not a wave", Bytes{'R', 'I', 'F', 'F'}, C::Sound},
      {"compressed", gsm, C::Sound},
  };
  for (const auto& c : cases) {
    vocalet::TMemoryStream stream(c.file);
    EXPECT_EQ(JudgeRecording(stream), c.expected) << c.name;
  }
}

}  // namespace
