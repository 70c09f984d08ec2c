// The language manager and the base of the string modules: which languages every module
// has, where a module's translation is found, loading all modules in one language and
// telling the clients, and the language remembered in the registry.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mls/MLSFile.h"
#include "mls/MLSLanguages.h"

class TMLSManager;

class TMLSModule {
 public:
  // Registers the module with the manager; the compiled-in language is the index of
  // defaultLCID (1033 for every module of this program: index 4).
  TMLSModule(TMLSManager& manager, LCID defaultLCID, std::string name);
  virtual ~TMLSModule();
  TMLSModule(const TMLSModule&) = delete;
  TMLSModule& operator=(const TMLSModule&) = delete;

  std::uint8_t DefaultLanguage() const { return FDefaultLanguage; }
  const std::string& Name() const { return FName; }

  // The compiled-in language and every language with a module file; computed once.
  TLanguageSet AvailableLanguages();
  // The full path of the module file for the language, or false with path = bare file name.
  bool FindModuleFile(int languageIndex, std::string& path);
  // From the resource "MLS_<NAME>" for the compiled-in language, else from the file.
  void Load(int languageIndex);

 protected:
  virtual void LoadStrings(int languageIndex, TMLSStream& stream) = 0;
  // Whether the module reads files of its older, shorter versions; the compiled-in
  // language then fills the strings such a file lacks.
  virtual bool ReadsOlderModules() const { return false; }

 private:
  void LoadResource();
  TMLSManager& Manager;
  std::uint8_t FDefaultLanguage;
  std::string FName;
  TLanguageSet FAvailable = 0;
};

// A module with a fixed number of strings, read by index. A module that grew since its
// first version (of `Oldest` strings) still reads the translations made for an older one.
template <std::size_t N, std::size_t Oldest = N>
class TMLSStringModule : public TMLSModule {
  static_assert(Oldest <= N);

 public:
  static constexpr std::size_t Count = N;
  using TMLSModule::TMLSModule;
  std::array<std::string, N> Strings;

 protected:
  void LoadStrings(int languageIndex, TMLSStream& stream) override {
    TMLSFile().ReadModule(stream, languageIndex, static_cast<int>(N) - 1, Strings,
                          static_cast<int>(Oldest));
  }
  bool ReadsOlderModules() const override { return Oldest < N; }
};

using TMLSNotifyEvent = std::function<void(TMLSManager* Sender)>;

struct TMLSLanguageItem {
  std::string Name;
  int Index;
};

class TMLSManager {
 public:
  TMLSManager();  // fills the language table
  ~TMLSManager();
  TMLSManager(const TMLSManager&) = delete;
  TMLSManager& operator=(const TMLSManager&) = delete;

  const std::vector<TMLSModule*>& Modules() const { return FModules; }
  std::uint8_t Language() const { return FLanguage; }
  // Loads every module in the language and notifies the clients, even when it is current.
  void SetLanguage(int languageIndex);
  // 0 means the default language; a language that is already current is left alone.
  void SelectLanguage(int languageIndex);
  // The compiled-in language common to all modules; 0 when they disagree.
  std::uint8_t DefaultLanguage();
  // The languages that every module has (index 0 never); computed once, with the report.
  TLanguageSet AvailableLanguages();
  // Names of the available languages in ascending index order; filled by AvailableLanguages.
  const std::vector<TMLSLanguageItem>& LanguageList() const { return FLanguageList; }

  // A client is identified by the object and the id of its handler.
  void RegisterClient(const void* client, TMLSNotifyEvent handler, int handlerId = 0);
  void UnregisterClient(const void* client, int handlerId = 0);

  // The language index saved for a program under HKCU "Software\Quindle\MLS"; without
  // one, the index of the user's default locale (0 when it is not in the table).
  int ReadLanguageSetting(const std::string& valueName);
  void WriteLanguageSetting(const std::string& valueName, int languageIndex);

  // Fills "MLSReport.txt" beside the program with each module's present and missing
  // languages, only when that file already exists.
  void WriteReport();

 private:
  friend class TMLSModule;
  void AddModule(TMLSModule* module);
  void RemoveModule(TMLSModule* module);

  struct TClient {
    const void* Client;
    int HandlerId;
    TMLSNotifyEvent Handler;
  };
  std::vector<TMLSModule*> FModules;
  std::vector<TClient> FClients;
  std::uint8_t FLanguage = 0;
  std::uint8_t FDefaultLanguage = 0;
  TLanguageSet FAvailable = 0;
  std::vector<TMLSLanguageItem> FLanguageList;
};

// The program-wide manager, alive from module initialisation to finalisation.
extern std::unique_ptr<TMLSManager> MLSManager;

// The registry key of the saved languages, under HKEY_CURRENT_USER.
inline constexpr const char* MLSRegistryKey = "Software\\Quindle\\MLS";

// The program file whose folder holds "mls" and the report, and the two search folders:
// <program folder>mls, then <ProgramFilesDir>\Quindle\Shared Files\MLS. Filled on first use.
const std::string& MLSProgramFileName();
const std::string& MLSSearchFolder(int which);  // 1 or 2
// Tests place the program elsewhere; empty texts go back to the real ones.
void SetMLSPaths(const std::string& programFileName, const std::string& secondFolder);
