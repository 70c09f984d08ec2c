// The options store against the real registry (under Wine), HKCU redirected to a sandbox.
#include "shell/vmOptions.h"

#include <gtest/gtest.h>

#include <map>

#include "mls/RegistrySandbox.h"
#include "util/ovUtils.h"

namespace {

const char* const Key = "Software\\Quindle\\Vocalet";

class VMOptions : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Sandbox.Ok); }

  // A complete, valid set of values, none of them a default.
  void StoreNonDefaults() {
    for (const char* name : {"AutoRecord", "AutoPlay", "BeepOnRecord", "GSM610", "Mono",
                             "Bits16"})
      PutString(Key, name, "0");
    for (const char* name : {"HideTips", "AutoClose", "PackOnSend"}) PutString(Key, name, "1");
    PutDword(Key, "Quality ", 2);
    PutDword(Key, "PlainSize", 123456);
    PutDword(Key, "DurationSec", 42);
    PutDword(Key, "MinWaveLevel", 70);
    PutString(Key, "MsgFileName", "C:\\Msgs\\message1.wav");
  }

  static void ExpectDefaults(const TVMProperties& p) {
    EXPECT_TRUE(p.AutoRecord);
    EXPECT_TRUE(p.AutoPlay);
    EXPECT_TRUE(p.BeepOnRecord);
    EXPECT_TRUE(p.GSM610);
    EXPECT_FALSE(p.PackOnSend);
    EXPECT_FALSE(p.AutoClose);
    EXPECT_TRUE(p.Mono);
    EXPECT_TRUE(p.Bits16);
    EXPECT_EQ(p.MinWaveLevel, 50);
    EXPECT_EQ(p.Quality, 0);
    EXPECT_EQ(p.MsgFileName, GetTempDir() + "vocalet.wav");
  }

  RegistrySandbox Sandbox;
};

TEST_F(VMOptions, FirstStartGivesDefaultsAndOneRunWritesAllFourteenValues) {
  {
    TVMProperties p;
    ExpectDefaults(p);
    EXPECT_FALSE(p.HideTips);
    EXPECT_EQ(p.PlainSize, 0);
    EXPECT_EQ(p.DurationSec, 0);
    EXPECT_FALSE(GetValue(Key, "MsgFileName").Exists) << "loading writes nothing";
  }
  // Exactly the fourteen values, each of its type. (The registry lists values by name, so
  // the order of writing cannot be seen here.)
  struct Expected { DWORD Type; std::string Text; DWORD Number; };
  const std::map<std::string, Expected> expected = {
      {"HideTips", {REG_SZ, "0", 0}},     {"AutoRecord", {REG_SZ, "1", 0}},
      {"AutoPlay", {REG_SZ, "1", 0}},     {"BeepOnRecord", {REG_SZ, "1", 0}},
      {"AutoClose", {REG_SZ, "0", 0}},    {"Mono", {REG_SZ, "1", 0}},
      {"GSM610", {REG_SZ, "1", 0}},       {"PackOnSend", {REG_SZ, "0", 0}},
      {"Bits16", {REG_SZ, "1", 0}},       {"Quality ", {REG_DWORD, "", 0}},
      {"PlainSize", {REG_DWORD, "", 0}},  {"MsgFileName", {REG_SZ, GetTempDir() + "vocalet.wav", 0}},
      {"DurationSec", {REG_DWORD, "", 0}}, {"MinWaveLevel", {REG_DWORD, "", 50}}};
  std::map<std::string, StoredValue> stored;
  HKEY key = OpenTestKey(Key);
  char name[64];
  for (DWORD i = 0, length = sizeof name;
       RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
       ++i, length = sizeof name)
    stored[name] = GetValue(Key, name);
  RegCloseKey(key);
  EXPECT_EQ(stored.size(), 14u);
  for (const auto& [valueName, e] : expected) {
    ASSERT_TRUE(stored.count(valueName)) << valueName;
    const StoredValue& v = stored[valueName];
    EXPECT_EQ(v.Type, e.Type) << valueName;
    if (v.Type == REG_DWORD) EXPECT_EQ(v.Number, e.Number) << valueName;
    else EXPECT_EQ(v.Text, e.Text) << valueName;
  }
}

TEST_F(VMOptions, StoredValuesComeBackAndChangesAreSavedAtTheEnd) {
  StoreNonDefaults();
  {
    TVMProperties p;
    EXPECT_FALSE(p.AutoRecord);
    EXPECT_TRUE(p.HideTips);
    EXPECT_TRUE(p.AutoClose);
    EXPECT_TRUE(p.PackOnSend);
    EXPECT_FALSE(p.Bits16);
    EXPECT_EQ(p.Quality, 2);
    EXPECT_EQ(p.PlainSize, 123456);
    EXPECT_EQ(p.DurationSec, 42);
    EXPECT_EQ(p.MinWaveLevel, 70);
    EXPECT_EQ(p.MsgFileName, "C:\\Msgs\\message1.wav");
    p.GSM610 = true;
    p.DurationSec = -1;
    EXPECT_EQ(GetValue(Key, "GSM610").Text, "0") << "nothing is saved before the end";
  }
  EXPECT_EQ(GetValue(Key, "GSM610").Text, "1");
  EXPECT_EQ(GetValue(Key, "DurationSec").Number, 0xFFFFFFFFu);
}

TEST_F(VMOptions, BooleanStoredAsNumberMakesEveryDefaultApply) {
  StoreNonDefaults();
  PutDword(Key, "Bits16", 1);  // the last Boolean read
  TVMProperties p;
  ExpectDefaults(p);
  EXPECT_TRUE(p.HideTips) << "read before the failure";
  EXPECT_EQ(p.PlainSize, 0) << "not read yet when the load failed";
  EXPECT_EQ(GetValue(Key, "MsgFileName").Text, "C:\\Msgs\\message1.wav") << "nothing written";
}

TEST_F(VMOptions, NumberOrTextOfTheOtherTypeMakesEveryDefaultApply) {
  StoreNonDefaults();
  PutString(Key, "Quality ", "2");
  TVMProperties quality;
  ExpectDefaults(quality);
  EXPECT_TRUE(quality.HideTips);

  StoreNonDefaults();
  PutDword(Key, "MsgFileName", 1);
  TVMProperties message;
  ExpectDefaults(message);
  EXPECT_EQ(message.PlainSize, 123456) << "read before the failure";
}

TEST_F(VMOptions, MissingIntegerKeepsWhatWasReadBeforeIt) {
  StoreNonDefaults();
  DeleteValue(Key, "MinWaveLevel");
  TVMProperties p;
  ExpectDefaults(p);
  EXPECT_TRUE(p.HideTips);
  EXPECT_EQ(p.PlainSize, 123456);
  EXPECT_EQ(p.DurationSec, 42);
}

TEST_F(VMOptions, ValuesReadStrictly) {
  StoreNonDefaults();
  PutDword(Key, "Quality ", 256);  // only the low byte counts
  PutString(Key, "AutoClose", "true");
  PutString(Key, "PackOnSend", "1 ");
  TVMProperties p;
  EXPECT_EQ(p.Quality, 0);
  EXPECT_FALSE(p.AutoClose);
  EXPECT_FALSE(p.PackOnSend);
  EXPECT_EQ(p.MinWaveLevel, 70) << "no failure, no defaults";

  PutDword(Key, "Quality", 3);  // without the trailing space it is another value
  PutDword(Key, "Quality ", 3);
  EXPECT_EQ(TVMProperties().Quality, 3);
}

TEST_F(VMOptions, MessageFileNameOfTwelveCharactersIsKeptThirteenReplacedAtOnce) {
  StoreNonDefaults();
  PutString(Key, "MsgFileName", "D:\\any\\where\\abcdefgh.wav");  // 12
  EXPECT_EQ(TVMProperties().MsgFileName, "D:\\any\\where\\abcdefgh.wav");

  PutString(Key, "MsgFileName", "D:\\any\\where\\abcdefghi.wav");  // 13
  TVMProperties p;
  EXPECT_EQ(p.MsgFileName, GetTempDir() + "vocalet.wav");
  EXPECT_EQ(GetValue(Key, "MsgFileName").Text, GetTempDir() + "vocalet.wav") << "written back";
  EXPECT_EQ(p.MinWaveLevel, 70) << "the replacement is no failure";
}

TEST_F(VMOptions, MessageFileNameWithoutNameIsReplaced) {
  StoreNonDefaults();
  DeleteValue(Key, "MsgFileName");
  EXPECT_EQ(TVMProperties().MsgFileName, GetTempDir() + "vocalet.wav");
  PutString(Key, "MsgFileName", "C:\\Messages\\");
  EXPECT_EQ(TVMProperties().MsgFileName, GetTempDir() + "vocalet.wav");
}

}  // namespace
