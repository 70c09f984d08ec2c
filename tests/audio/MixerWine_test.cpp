// The mixer functions against Wine's own mixer (it needs the scripted sound device of the
// test's HOME): speakers with volume and mute, one wave-out source whose controls take
// writes but read 0; no peak meter, no wave input, no MUX.
#include <gtest/gtest.h>

#include "audio/MixerUtils.h"

namespace {

struct WineMixer : ::testing::Test {
  void SetUp() override {
    ASSERT_GT(mixerGetNumDevs(), 0u) << "no mixer device: HOME lacks the scripted .asoundrc";
    saved = GetVolumePercent(mlMaster);
  }
  void TearDown() override {
    SetVolumePercent(mlMaster, saved);
    SetMute(mlMaster, false);
  }
  int saved = 100;
};

TEST_F(WineMixer, MasterAndWaveOutputControlsAreFoundWrittenAndReadBack) {
  TFader master;
  ASSERT_TRUE(master.Open(mlMaster));
  EXPECT_EQ(master.Control.Bounds.dwMaximum, 65535u);
  for (auto [set, read] : {std::pair{50, 49}, {100, 100}, {0, 0}}) {
    ASSERT_TRUE(SetVolumePercent(mlMaster, set));
    EXPECT_EQ(GetVolumePercent(mlMaster), read) << set;
  }
  TMuteSwitch mute;
  ASSERT_TRUE(mute.Open(mlMaster));
  for (bool on : {true, false}) {
    ASSERT_TRUE(SetMute(mlMaster, on));
    ASSERT_TRUE(mute.Update());
    EXPECT_EQ(mute.Muted, on);
  }
  TFader wave;
  ASSERT_TRUE(wave.Open(mlWaveOut));
  EXPECT_NE(wave.Control.dwControlID, master.Control.dwControlID);
  EXPECT_TRUE(SetVolumePercent(mlWaveOut, 80));
  EXPECT_TRUE(SetMute(mlWaveOut, false));
}

TEST_F(WineMixer, WhatWineLacksIsNotFoundAndTouchesNothing) {
  TPeakMeter play, rec;
  EXPECT_FALSE(play.OpenPlayback());
  EXPECT_FALSE(rec.OpenRecording());
  EXPECT_FALSE(play.Update());
  TFader mic;
  EXPECT_FALSE(mic.Open(mlMicrophone));
  TRecordingSourceList list;
  EXPECT_FALSE(list.Open());
  EXPECT_FALSE(SelectMicrophone());
  // The master volume has control identifier 0 under Wine: an empty one would reach it.
  EXPECT_EQ(GetVolumePercent(mlMaster), saved);
}

}  // namespace
