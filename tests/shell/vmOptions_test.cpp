// The options store against the real registry (under Wine), HKCU redirected to a sandbox.
#include "shell/vmOptions.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "mls/RegistrySandbox.h"
#include "util/ovUtils.h"

namespace {

const char* const Key = "Software\\Quindle\\Vocalet";

struct VMOptions : ::testing::Test {
  void SetUp() override { ASSERT_TRUE(Sandbox.Ok); }

  // A complete, valid set of values, none of them a default.
  static void StoreNonDefaults() {
    for (const char* name : {"AutoRecord", "AutoPlay", "BeepOnRecord", "GSM610", "Mono", "Bits16"})
      PutString(Key, name, "0");
    for (const char* name : {"HideTips", "AutoClose", "PackOnSend"}) PutString(Key, name, "1");
    for (auto [name, value] : {std::pair{"Quality ", 2}, {"PlainSize", 123456},
                               {"DurationSec", 42}, {"MinWaveLevel", 70}})
      PutDword(Key, name, value);
    PutString(Key, "MsgFileName", "C:\\Msgs\\message1.wav");
  }
  static void ExpectDefaults(const TVMProperties& p) {
    EXPECT_TRUE(p.AutoRecord && p.AutoPlay && p.BeepOnRecord && p.GSM610 && p.Mono && p.Bits16);
    EXPECT_FALSE(p.PackOnSend || p.AutoClose);
    EXPECT_EQ(std::tuple(p.MinWaveLevel, p.Quality), std::tuple(50, 0));
    EXPECT_EQ(p.MsgFileName, GetTempDir() + "vocalet.wav");
  }
  RegistrySandbox Sandbox;
};

TEST_F(VMOptions, FirstStartGivesDefaultsAndOneRunWritesEveryValueInItsType) {
  {
    TVMProperties p;
    ExpectDefaults(p);
    EXPECT_FALSE(p.HideTips);
    EXPECT_FALSE(GetValue(Key, "MsgFileName").Exists) << "loading writes nothing";
  }
  // Booleans as "0" or "1" and the file name as text, the rest as numbers.
  for (const char* name : {"HideTips", "AutoRecord", "AutoPlay", "BeepOnRecord", "AutoClose",
                           "Mono", "GSM610", "PackOnSend", "Bits16", "MsgFileName"})
    EXPECT_EQ(GetValue(Key, name).Type, static_cast<DWORD>(REG_SZ)) << name;
  for (const char* name : {"Quality ", "PlainSize", "DurationSec", "MinWaveLevel"})
    EXPECT_EQ(GetValue(Key, name).Type, static_cast<DWORD>(REG_DWORD)) << name;
  EXPECT_EQ(GetValue(Key, "HideTips").Text, "0");
  ExpectDefaults(TVMProperties());
}

TEST_F(VMOptions, StoredValuesComeBackAndChangesAreSavedOnlyAtTheEnd) {
  StoreNonDefaults();
  {
    TVMProperties p;
    EXPECT_FALSE(p.AutoRecord || p.Bits16);
    EXPECT_TRUE(p.HideTips && p.AutoClose && p.PackOnSend);
    EXPECT_EQ(std::tuple(p.Quality, p.PlainSize, p.DurationSec, p.MinWaveLevel),
              std::tuple(2, 123456, 42, 70));
    EXPECT_EQ(p.MsgFileName, "C:\\Msgs\\message1.wav");
    p.GSM610 = true;
    p.DurationSec = -1;
    EXPECT_EQ(GetValue(Key, "GSM610").Text, "0");
  }
  EXPECT_EQ(GetValue(Key, "GSM610").Text, "1");
  EXPECT_EQ(GetValue(Key, "DurationSec").Number, 0xFFFFFFFFu);
}

TEST_F(VMOptions, AValueOfTheWrongTypeOrAMissingNumberMakesEveryDefaultApply) {
  // What was read before the failure stays: HideTips first, PlainSize after the Booleans.
  const std::pair<std::function<void()>, long> cases[] = {
      {[] { PutDword(Key, "Bits16", 1); }, 0},  // the last Boolean read
      {[] { PutString(Key, "Quality ", "2"); }, 0},
      {[] { PutDword(Key, "MsgFileName", 1); }, 123456},
      {[] { DeleteValue(Key, "MinWaveLevel"); }, 123456}};
  for (const auto& [spoil, plainSize] : cases) {
    StoreNonDefaults();
    spoil();
    TVMProperties p;
    ExpectDefaults(p);
    EXPECT_TRUE(p.HideTips);
    EXPECT_EQ(p.PlainSize, plainSize);
    EXPECT_NE(GetValue(Key, "MsgFileName").Text, p.MsgFileName) << "the defaults stay unwritten";
  }
}

TEST_F(VMOptions, ValuesAreReadStrictly) {
  for (const char* notOne : {"true", "1 "}) {
    StoreNonDefaults();
    PutDword(Key, "Quality ", 256);  // only the low byte counts; "Quality" is another value
    PutDword(Key, "Quality", 3);
    PutString(Key, "AutoClose", notOne);
    TVMProperties p;
    EXPECT_FALSE(p.AutoClose) << notOne;
    EXPECT_EQ(p.Quality, 0);
    EXPECT_EQ(p.MinWaveLevel, 70) << "no failure, no defaults";
  }
}

TEST_F(VMOptions, AMessageNameOfMoreThanTwelveCharactersOrNoneIsReplacedAndWrittenAtOnce) {
  const std::string fallback = GetTempDir() + "vocalet.wav", kept = "D:\\any\\abcdefgh.wav";
  const std::pair<std::string, std::string> cases[] = {
      {kept, kept}, {"D:\\any\\abcdefghi.wav", fallback}, {"C:\\Messages\\", fallback}};
  for (const auto& [stored, used] : cases) {
    StoreNonDefaults();
    PutString(Key, "MsgFileName", stored);
    TVMProperties p;
    EXPECT_EQ(p.MsgFileName, used);
    EXPECT_EQ(GetValue(Key, "MsgFileName").Text, used) << "written back";
    EXPECT_EQ(p.MinWaveLevel, 70) << "the replacement is no failure";
  }
}

}  // namespace
