// The manager, the four modules and the MLS client, against files in a private folder and
// the English resources linked into this test.
#include "mls/ovMLS.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "mls/MLSModuleBuilder.h"
#include "mls/RegistrySandbox.h"
#include "mls/SoundRecMLS.h"
#include "mls/VocaletMLS.h"
#include "mls/ovMLSDialogs.h"
#include "mls/ovSharedMLS.h"
#include "mls/qdSharedMLS.h"
#include "support/TestFolder.h"
#include "util/ovUtils.h"

namespace {

// A program in its own folder with the four modules, as the entry creates them.
class MLSManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryA((Folder + "\\mls").c_str(), nullptr);
    CreateDirectoryA((Folder + "\\shared").c_str(), nullptr);
    SetMLSPaths(Folder + "\\Vocalet.exe", Folder + "\\shared");
    Manager = std::make_unique<TMLSManager>();
    qd = std::make_unique<TqdSharedMLSModule>(*Manager);
    ov = std::make_unique<TovSharedMLSModule>(*Manager);
    Client = std::make_unique<TMLSClient>(*Manager, *ov);
    vo = std::make_unique<TVocaletMLSModule>(*Manager);
    sr = std::make_unique<TSoundRecMLSModule>(*Manager);
    Manager->RegisterClient(this, [this](TMLSManager* sender) {
      EXPECT_EQ(sender, Manager.get());
      ++Notified;
    });
    ConfirmationTitle = "Confirmation";
    InformationTitle = "Information";
    ErrorTitle = "Error";
  }

  void TearDown() override {
    sr.reset();
    vo.reset();
    Client.reset();
    ov.reset();
    qd.reset();
    Manager.reset();
    SetMLSPaths("", "");
  }

  // A German module file: string i is "<name> de <i>", except where overridden.
  void WriteGerman(const std::string& name, std::size_t count, const std::string& sub = "mls",
                   std::uint16_t language = 3) {
    MLSModuleBuilder m;
    m.language = language;
    for (std::size_t i = 0; i < count; ++i) m.strings.push_back(name + " de " + std::to_string(i));
    if (name == "ovShared") m.strings[21].clear();
    const auto bytes = m.Bytes();
    std::ofstream(Folder + "\\" + sub + "\\" + name + "_deu.mls", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }

  std::string ReportValue(const std::string& section, const std::string& key) {
    char value[256] = {};
    GetPrivateProfileStringA(("Vocalet.exe - " + section).c_str(), key.c_str(), "(none)", value,
                             sizeof value, (Folder + "\\MLSReport.txt").c_str());
    return value;
  }

  TestFolder Temp;
  std::string Folder = Temp.Path();
  std::unique_ptr<TMLSManager> Manager;
  std::unique_ptr<TqdSharedMLSModule> qd;
  std::unique_ptr<TovSharedMLSModule> ov;
  std::unique_ptr<TMLSClient> Client;
  std::unique_ptr<TVocaletMLSModule> vo;
  std::unique_ptr<TSoundRecMLSModule> sr;
  int Notified = 0;
};

TEST_F(MLSManagerTest, LanguageTableComesFromTheLocaleList) {
  EXPECT_EQ(LanguageNames[0], "(Unknown)");
  EXPECT_EQ(LanguageLCIDs[0], 0u);
  EXPECT_EQ(IndexOfLCID(1033), 4);
  EXPECT_EQ(LanguageNames[4].rfind("English", 0), 0u) << LanguageNames[4];
  EXPECT_EQ(PRIMARYLANGID(LANGIDFROMLCID(LanguageLCIDs[3])), LANG_GERMAN);
  EXPECT_EQ(IndexOfLCID(0x0809), 0) << "English (United Kingdom) is not in the table";
  EXPECT_EQ(Manager->DefaultLanguage(), 4);
}

TEST_F(MLSManagerTest, WithoutFilesOnlyTheCompiledInLanguageIsOffered) {
  EXPECT_EQ(Manager->AvailableLanguages(), 1u << 4);
  ASSERT_EQ(Manager->LanguageList().size(), 1u);
  EXPECT_EQ(Manager->LanguageList()[0].Index, 4);
  EXPECT_EQ(Manager->LanguageList()[0].Name, LanguageNames[4]);
  EXPECT_EQ(GetFileAttributesA((Folder + "\\MLSReport.txt").c_str()), INVALID_FILE_ATTRIBUTES)
      << "the report is only filled when it exists";
}

TEST_F(MLSManagerTest, LanguageMissingForOneModuleIsNotOfferedAndReported) {
  WriteGerman("qdShared", 20);
  WriteGerman("ovShared", 232, "shared");  // the second folder counts as well
  WriteGerman("Vocalet", 55);
  std::ofstream(Folder + "\\MLSReport.txt").close();
  EXPECT_EQ(Manager->AvailableLanguages(), 1u << 4);
  EXPECT_EQ(ReportValue("Present Languages", "MLS Module Vocalet"), "deu, enu");
  EXPECT_EQ(ReportValue("Present Languages", "MLS Module SoundRec"), "enu");
  EXPECT_EQ(ReportValue("Missing Languages", "MLS Module SoundRec"), "deu");
  EXPECT_EQ(ReportValue("Missing Languages", "MLS Module Vocalet"), "(none)");
}

TEST_F(MLSManagerTest, SwitchingReplacesAllTablesAndCaptionsAtOnce) {
  for (auto [name, count] : {std::pair{"qdShared", 20}, {"ovShared", 232}, {"Vocalet", 55},
                            {"SoundRec", 26}})
    WriteGerman(name, count);
  EXPECT_EQ(Manager->AvailableLanguages(), (1u << 3) | (1u << 4));
  ASSERT_EQ(Manager->LanguageList().size(), 2u);
  EXPECT_EQ(Manager->LanguageList()[0].Index, 3);

  EXPECT_EQ(vo->Strings[0], "") << "nothing is loaded before the first language";
  Manager->SelectLanguage(3);
  EXPECT_EQ(Manager->Language(), 3);
  EXPECT_EQ(qd->Strings[19], "qdShared de 19");
  EXPECT_EQ(vo->Strings[47], "Vocalet de 47");
  EXPECT_EQ(sr->Strings[0], "SoundRec de 0");
  EXPECT_EQ(ConfirmationTitle, "ovShared de 8");
  EXPECT_EQ(InformationTitle, "ovShared de 32");
  EXPECT_EQ(ErrorTitle, "Error") << "an empty translation keeps the English caption";
  EXPECT_EQ(Notified, 1);

  Manager->SelectLanguage(0);  // the default language, from the resources
  EXPECT_EQ(Manager->Language(), 4);
  EXPECT_EQ(vo->Strings[47], "Quindle Vocalet");
  EXPECT_EQ(ErrorTitle, "Error");
  EXPECT_EQ(ConfirmationTitle, "Confirmation");
  EXPECT_EQ(Notified, 2);
}

TEST_F(MLSManagerTest, SelectingTheCurrentLanguageNeitherReloadsNorNotifies) {
  Manager->SelectLanguage(4);
  EXPECT_EQ(Notified, 1);
  vo->Strings[0] = "changed";
  Manager->SelectLanguage(4);
  Manager->SelectLanguage(0);
  EXPECT_EQ(Notified, 1);
  EXPECT_EQ(vo->Strings[0], "changed");
  Manager->SetLanguage(4);
  EXPECT_EQ(Notified, 2);
  EXPECT_EQ(vo->Strings[0], "%d Bit");
}

TEST_F(MLSManagerTest, MissingFileNamesTheFileAndBothFolders) {
  WriteGerman("qdShared", 20);
  Manager->SelectLanguage(4);
  try {
    Manager->SelectLanguage(3);
    FAIL() << "no error";
  } catch (const EMLSException& e) {
    EXPECT_EQ(std::string(e.what()),
              "Failed to load MLS module: \"ovShared_deu.mls\" \r\n(Error Code MLS260)\r\n\r\n"
              "Searched folders:\r\n   " + Folder + "\\mls\r\n   " + Folder + "\\shared");
  }
  EXPECT_EQ(Manager->Language(), 3) << "set before loading";
  EXPECT_EQ(qd->Strings[0], "qdShared de 0");
  EXPECT_EQ(vo->Strings[0], "%d Bit") << "later modules keep their strings";
  EXPECT_EQ(Notified, 1) << "no client is told of a failed switch";
}

TEST_F(MLSManagerTest, FileOfAnotherLanguageFailsWithItsCode) {
  WriteGerman("qdShared", 20, "mls", 7);
  try {
    Manager->SetLanguage(3);
    FAIL() << "no error";
  } catch (const EMLSException& e) {
    EXPECT_NE(std::string(e.what()).find("(Error Code MLS252)"), std::string::npos);
  }
}

TEST_F(MLSManagerTest, TruncatedFileFailsWithACode) {
  WriteGerman("qdShared", 20);
  const std::string path = Folder + "\\mls\\qdShared_deu.mls";
  auto codeAfterCut = [&](long size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFilePointer(file, size, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
    try {
      Manager->SetLanguage(3);
    } catch (const EMLSException& e) {
      const std::string text = e.what();
      return text.substr(text.find("(Error Code ") + 12, 6);
    }
    return std::string("no error");
  };
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  const long size = static_cast<long>(GetFileSize(file, nullptr));
  CloseHandle(file);
  EXPECT_EQ(codeAfterCut(size - 3), "MLS255");  // the end signature is gone
  EXPECT_EQ(codeAfterCut(size - 10), "MLS254");  // inside the last string
  EXPECT_EQ(codeAfterCut(20), "MLS253");   // inside the description
  EXPECT_EQ(codeAfterCut(5), "MLS252");    // inside the language index
}

TEST_F(MLSManagerTest, FileThatCannotBeOpenedFailsLikeABrokenOne) {
  WriteGerman("qdShared", 20);
  WriteGerman("ovShared", 232);
  WriteGerman("Vocalet", 55);
  WriteGerman("SoundRec", 26);
  // Another program holds the file without sharing it.
  HANDLE held = CreateFileA((Folder + "\\mls\\SoundRec_deu.mls").c_str(), GENERIC_READ, 0,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_THROW(Manager->SetLanguage(3), EMLSException);
  CloseHandle(held);
}

TEST_F(MLSManagerTest, OlderVocaletTranslationShowsEnglishForTheTextsItLacks) {
  WriteGerman("qdShared", 20);
  WriteGerman("ovShared", 232);
  WriteGerman("SoundRec", 26);
  WriteGerman("Vocalet", 55);
  Manager->SetLanguage(4);
  const auto english = vo->Strings;
  Manager->SetLanguage(3);
  ASSERT_EQ(vo->Strings[48], "Vocalet de 48");
  WriteGerman("Vocalet", 48);  // a translation made before strings 48 and on existed
  Manager->SetLanguage(3);
  EXPECT_EQ(vo->Strings[47], "Vocalet de 47");
  for (std::size_t i = 48; i < TVocaletMLSModule::Count; ++i)
    EXPECT_EQ(vo->Strings[i], english[i]) << i;
  // A module of another program's later version, with strings we do not know, is refused.
  WriteGerman("Vocalet", 56);
  EXPECT_THROW(Manager->SetLanguage(3), EMLSException);
}

TEST_F(MLSManagerTest, ModulesThatDisagreeHaveNoCommonDefault) {
  EXPECT_EQ(Manager->DefaultLanguage(), 4);
  TMLSManager other;
  TVocaletMLSModule english(other);
  struct German : TMLSStringModule<1> {
    explicit German(TMLSManager& m) : TMLSStringModule(m, 1031, "German") {}
  } german(other);
  EXPECT_EQ(german.DefaultLanguage(), 3);
  EXPECT_EQ(other.DefaultLanguage(), 0);
  EXPECT_EQ(other.Modules().size(), 2u);
}

TEST_F(MLSManagerTest, ModulesLeaveTheManagerAndClientsUnregister) {
  sr.reset();
  EXPECT_EQ(Manager->Modules().size(), 3u);
  EXPECT_EQ(Manager->Modules().back(), vo.get());
  Client.reset();
  Manager->UnregisterClient(this);
  ErrorTitle = "unchanged";
  Manager->SetLanguage(4);
  EXPECT_EQ(ErrorTitle, "unchanged");
  EXPECT_EQ(Notified, 0);
}

class LanguageSetting : public MLSManagerTest {
 protected:
  void SetUp() override {
    MLSManagerTest::SetUp();
    ASSERT_TRUE(Sandbox.Ok);
  }
  int Read() { return Manager->ReadLanguageSetting("VocaletTest"); }
  RegistrySandbox Sandbox;
};

TEST_F(LanguageSetting, SavedIndexComesBackAsWritten) {
  Manager->WriteLanguageSetting("VocaletTest", 3);
  const StoredValue v = GetValue(MLSRegistryKey, "VocaletTest");
  EXPECT_EQ(v.Type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(v.Number, 3u);
  EXPECT_EQ(Read(), 3);
  PutDword(MLSRegistryKey, "VocaletTest", 0x0109);  // only the low byte counts
  EXPECT_EQ(Read(), 9);
}

TEST_F(LanguageSetting, WithoutAUsableIndexTheUserLocaleDecides) {
  const int userLanguage = IndexOfLCID(ConvertDefaultLocale(LOCALE_USER_DEFAULT));
  EXPECT_EQ(Read(), userLanguage);
  PutDword(MLSRegistryKey, "VocaletTest", 0);
  EXPECT_EQ(Read(), userLanguage);
  PutDword(MLSRegistryKey, "VocaletTest", 200);  // past the table
  EXPECT_EQ(Read(), userLanguage);
}

TEST_F(LanguageSetting, IndexStoredAsTextStartsInTheDefaultLanguage) {
  PutString(MLSRegistryKey, "VocaletTest", "3");
  EXPECT_EQ(Read(), 0);
  Manager->SelectLanguage(Read());
  EXPECT_EQ(Manager->Language(), 4);
}

}  // namespace
