// The manager and the four modules against files in a private folder and the English resources.
#include "mls/ovMLS.h"

#include <gtest/gtest.h>

#include <fstream>

#include "mls/MLSFixture.h"
#include "mls/MLSModuleBuilder.h"
#include "mls/RegistrySandbox.h"
#include "mls/ovMLSDialogs.h"
#include "util/ovUtils.h"

namespace {

class MLSManagerTest : public MLSFixture {
 protected:
  void SetUp() override {
    MLSFixture::SetUp();
    Client = std::make_unique<TMLSClient>(*Manager, *ov);
    Manager->RegisterClient(this, [this](TMLSManager*) { ++Notified; });
    ConfirmationTitle = "Confirmation";
    InformationTitle = "Information";
    ErrorTitle = "Error";
  }
  // A German module file: string i is "<name> de <i>"; ovShared's string 21 is empty.
  void WriteGerman(const std::string& name, std::size_t count, const std::string& sub = "mls") {
    MLSModuleBuilder m;
    m.language = German;
    for (std::size_t i = 0; i < count; ++i) m.strings.push_back(name + " de " + std::to_string(i));
    if (name == "ovShared") m.strings[21].clear();
    const auto bytes = m.Bytes();
    std::ofstream(Folder + "\\" + sub + "\\" + name + "_deu.mls", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  void WriteAllGerman() {
    for (auto [name, count] : {std::pair{"qdShared", 20}, {"ovShared", 232}, {"Vocalet", 55},
                               {"SoundRec", 26}})
      WriteGerman(name, count);
  }

  // The text of the error that switching to German raises, "" when none does.
  std::string GermanError() {
    try {
      Manager->SetLanguage(German);
    } catch (const EMLSException& e) {
      return e.what();
    }
    return "";
  }

  std::string ReportValue(const std::string& section, const std::string& key) {
    char value[256] = {};
    GetPrivateProfileStringA(("Vocalet.exe - " + section).c_str(), key.c_str(), "(none)", value,
                             sizeof value, (Folder + "\\MLSReport.txt").c_str());
    return value;
  }

  std::unique_ptr<TMLSClient> Client;
  int Notified = 0;
};

// The English compiled in, read to the last string; "\n" verbatim.
TEST_F(MLSManagerTest, EnglishComesFromTheResourcesAsWritten) {
  Manager->SetLanguage(English);
  EXPECT_EQ(ov->Strings[231], "Background");
  EXPECT_EQ(vo->Strings[2], "Message duration %d Sec.\\nSize %s. File size %s (Compression ratio "
                            "%d%%)\\nFormat: %s, %s, %s, %s");
  EXPECT_EQ(sr->Strings[25], "Sound Files (*.wav)|*.wav|All Files (*.*)|*.*");
}

TEST_F(MLSManagerTest, WithoutFilesOnlyTheCompiledInLanguageIsOffered) {
  EXPECT_EQ(Manager->AvailableLanguages(), 1u << English);
  EXPECT_EQ(GetFileAttributesA((Folder + "\\MLSReport.txt").c_str()), INVALID_FILE_ATTRIBUTES)
      << "the report is only filled when it exists";
}

TEST_F(MLSManagerTest, LanguageMissingForOneModuleIsNotOfferedAndReported) {
  WriteGerman("qdShared", 20);
  WriteGerman("ovShared", 232, "shared");  // the second folder counts as well
  WriteGerman("Vocalet", 55);
  std::ofstream(Folder + "\\MLSReport.txt").close();
  EXPECT_EQ(Manager->AvailableLanguages(), 1u << English);
  EXPECT_EQ(ReportValue("Present Languages", "MLS Module Vocalet"), "deu, enu");
  EXPECT_EQ(ReportValue("Missing Languages", "MLS Module SoundRec"), "deu");
  EXPECT_EQ(ReportValue("Missing Languages", "MLS Module Vocalet"), "(none)");
}

TEST_F(MLSManagerTest, SwitchingReplacesAllTablesAndCaptionsAtOnce) {
  WriteAllGerman();
  EXPECT_EQ(Manager->AvailableLanguages(), (1u << German) | (1u << English));
  EXPECT_EQ(vo->Strings[0], "") << "nothing is loaded before the first language";
  Manager->SelectLanguage(German);
  EXPECT_EQ(qd->Strings[19], "qdShared de 19");
  EXPECT_EQ(sr->Strings[0], "SoundRec de 0");
  EXPECT_EQ(ConfirmationTitle, "ovShared de 8");
  EXPECT_EQ(InformationTitle, "ovShared de 32");
  EXPECT_EQ(ErrorTitle, "Error") << "an empty translation keeps the English caption";
  Manager->SelectLanguage(German);  // the same again: nobody is told
  EXPECT_EQ(Notified, 1);
  Manager->SelectLanguage(0);  // the default language, from the resources
  EXPECT_EQ(vo->Strings[47], "Quindle Vocalet");
  EXPECT_EQ(ConfirmationTitle, "Confirmation");
  EXPECT_EQ(Notified, 2);
}

TEST_F(MLSManagerTest, MissingFileNamesTheFileAndBothFolders) {
  WriteGerman("qdShared", 20);
  Manager->SelectLanguage(English);
  EXPECT_EQ(GermanError(),
            "Failed to load MLS module: \"ovShared_deu.mls\" \r\n(Error Code MLS260)\r\n\r\n"
            "Searched folders:\r\n   " + Folder + "\\mls\r\n   " + Folder + "\\shared");
  EXPECT_EQ(Manager->Language(), German) << "set before loading";
  EXPECT_EQ(qd->Strings[0], "qdShared de 0");
  EXPECT_EQ(vo->Strings[0], "%d Bit") << "later modules keep their strings";
  EXPECT_EQ(Notified, 1) << "no client is told of a failed switch";
}

// The codes themselves are read on the host; here a file on disk, cut short or held.
TEST_F(MLSManagerTest, BrokenOrHeldFileFails) {
  WriteAllGerman();
  std::ofstream(Folder + "\\mls\\qdShared_deu.mls", std::ios::binary) << "MLS\x01\x03";
  EXPECT_NE(GermanError().find("(Error Code MLS252)"), std::string::npos);
  WriteGerman("qdShared", 20);
  // Another program holds the file without sharing it.
  HANDLE held = CreateFileA((Folder + "\\mls\\SoundRec_deu.mls").c_str(), GENERIC_READ, 0,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_NE(GermanError(), "");
  CloseHandle(held);
}

TEST_F(MLSManagerTest, OlderVocaletTranslationShowsEnglishForTheTextsItLacks) {
  WriteAllGerman();
  Manager->SetLanguage(English);
  const auto english = vo->Strings;
  WriteGerman("Vocalet", 48);  // made before strings 48 and on existed
  Manager->SetLanguage(German);
  EXPECT_EQ(vo->Strings[47], "Vocalet de 47");
  for (std::size_t i = 48; i < TVocaletMLSModule::Count; ++i)
    EXPECT_EQ(vo->Strings[i], english[i]) << i;
  WriteGerman("Vocalet", 56);  // a later version's, with strings we do not know
  EXPECT_NE(GermanError(), "");
}

TEST_F(MLSManagerTest, LanguageSettingComesBackAsWrittenOrFromTheUserLocale) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.Ok);
  auto read = [&] { return Manager->ReadLanguageSetting("VocaletTest"); };
  EXPECT_EQ(LanguageLCIDs[read()], GetUserDefaultLCID()) << "nothing saved yet";
  PutDword(MLSRegistryKey, "VocaletTest", 0x0109);  // only the low byte counts
  EXPECT_EQ(read(), 9);
  for (DWORD unusable : {0u, 200u}) {  // 200: past the table
    PutDword(MLSRegistryKey, "VocaletTest", unusable);
    EXPECT_EQ(LanguageLCIDs[read()], GetUserDefaultLCID()) << unusable;
  }
  // Text cannot be told apart from a mistake: the default language, not the locale's.
  PutString(MLSRegistryKey, "VocaletTest", "3");
  EXPECT_EQ(read(), 0);
}

}  // namespace
