// The mixer functions against Wine's own mixer, which needs the scripted sound device of
// the test's HOME (without an ALSA device Wine offers no mixer at all). Wine's device 0 has
// one destination, the speakers ("Master Volume", volume and mute), with one wave-out
// source whose volume and mute accept writes but always read 0; no peak meter, no wave
// input, no MUX.
#include <gtest/gtest.h>

#include "audio/MixerUtils.h"
#include "toolkit/ExtCtrls.h"

namespace {

class WineMixer : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(mixerGetNumDevs(), 0u) << "no mixer device: HOME lacks the scripted .asoundrc";
    savedVolume_ = GetVolumePercent(mlMaster);
  }
  void TearDown() override {
    SetVolumePercent(mlMaster, savedVolume_);
    SetMute(mlMaster, false);
  }
  int savedVolume_ = 100;
};

TEST_F(WineMixer, MasterVolumeIsWrittenAndReadBack) {
  TFader master;
  ASSERT_TRUE(master.Open(mlMaster));
  EXPECT_EQ(master.Control.Bounds.dwMaximum, 65535u);
  ASSERT_TRUE(SetVolumePercent(mlMaster, 50));
  EXPECT_EQ(GetVolumePercent(mlMaster), 49);
  ASSERT_TRUE(master.Update());
  EXPECT_EQ(master.Position, 32767u);
  ASSERT_TRUE(SetVolumePercent(mlMaster, 100));
  EXPECT_EQ(GetVolumePercent(mlMaster), 100);
  ASSERT_TRUE(SetVolumePercent(mlMaster, 0));
  EXPECT_EQ(GetVolumePercent(mlMaster), 0);
}

TEST_F(WineMixer, MasterMuteIsWrittenAndReadBack) {
  TMuteSwitch mute;
  ASSERT_TRUE(mute.Open(mlMaster));
  ASSERT_TRUE(SetMute(mlMaster, true));
  ASSERT_TRUE(mute.Update());
  EXPECT_TRUE(mute.Muted);
  ASSERT_TRUE(SetMute(mlMaster, false));
  ASSERT_TRUE(mute.Update());
  EXPECT_FALSE(mute.Muted);
}

TEST_F(WineMixer, WaveOutputControlsAreFoundAndTakeWrites) {
  TFader wave;
  ASSERT_TRUE(wave.Open(mlWaveOut));
  TFader master;
  ASSERT_TRUE(master.Open(mlMaster));
  EXPECT_NE(wave.Control.dwControlID, master.Control.dwControlID);
  EXPECT_TRUE(SetVolumePercent(mlWaveOut, 80));
  TMuteSwitch waveMute;
  ASSERT_TRUE(waveMute.Open(mlWaveOut));
  EXPECT_TRUE(SetMute(mlWaveOut, false));
  EXPECT_TRUE(waveMute.Update());
  EXPECT_FALSE(waveMute.Muted);
}

TEST_F(WineMixer, WhatWineLacksIsNotFound) {
  TPeakMeter play, rec;
  EXPECT_FALSE(play.OpenPlayback());
  EXPECT_FALSE(rec.OpenRecording());
  EXPECT_FALSE(play.Update());
  TFader mic;
  EXPECT_FALSE(mic.Open(mlMicrophone));
  TRecordingSourceList list;
  EXPECT_FALSE(list.Open());
  EXPECT_FALSE(SelectMicrophone());
  // Nothing of it touched the master volume, which has control identifier 0 under Wine.
  EXPECT_EQ(GetVolumePercent(mlMaster), savedVolume_);
}

TEST_F(WineMixer, ListeningObjectOpensWithItsWindow) {
  int calls = 0;
  TFader master([&](TMixerLineControl*) { ++calls; });
  ASSERT_TRUE(master.Window);
  ASSERT_TRUE(master.Open(mlMaster));
  // Wine sends no change messages; one posted by hand refreshes the object.
  SetVolumePercent(mlMaster, 30);
  PostMessageA(master.Window->Handle(), MM_MIXM_CONTROL_CHANGE, 0, 0);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  EXPECT_EQ(calls, 1);
  // Wine keeps the volume as a fraction: the raw value can come back one lower.
  EXPECT_NEAR(double(master.Position), 30.0 * 65535 / 100, 1.0);
}

}  // namespace
