#include "mls/ovMLS.h"

#include <algorithm>
#include <cctype>

#include "util/Registry.h"
#include "util/StrUtils.h"
#include "util/ovUtils.h"

std::unique_ptr<TMLSManager> MLSManager;

// ---- Paths ---------------------------------------------------------------------------------

namespace {

struct TMLSPaths {
  std::string ProgramFileName;
  std::string Folders[2];
};
TMLSPaths Paths;

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FolderOf(const std::string& fileName) {  // with its trailing backslash
  const auto slash = fileName.find_last_of("\\/:");
  return slash == std::string::npos ? "" : fileName.substr(0, slash + 1);
}

}  // namespace

const std::string& MLSProgramFileName() {
  if (Paths.ProgramFileName.empty()) {
    char buffer[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    Paths.ProgramFileName = buffer;
  }
  return Paths.ProgramFileName;
}

const std::string& MLSSearchFolder(int which) {
  std::string& folder = Paths.Folders[which == 1 ? 0 : 1];
  if (folder.empty()) {
    folder = which == 1 ? FolderOf(MLSProgramFileName()) + "mls"
                        : ExpandPathMacros("<ProgramFilesDir>\\Quindle\\Shared Files\\MLS");
  }
  return folder;
}

void SetMLSPaths(const std::string& programFileName, const std::string& secondFolder) {
  Paths = TMLSPaths{};
  Paths.ProgramFileName = programFileName;
  Paths.Folders[1] = secondFolder;
}

// ---- Sources -------------------------------------------------------------------------------

namespace {

// A module file, opened for reading and shared with everybody (a translator may have it
// open in an editor).
class TMLSFileStream : public TMLSStream {
 public:
  explicit TMLSFileStream(const std::string& path)
      : Handle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {
    // Like a broken module: the callers fall back to the compiled-in language.
    if (Handle == INVALID_HANDLE_VALUE)
      throw EMLSException("Cannot open file \"" + path + "\".");
  }
  ~TMLSFileStream() override { CloseHandle(Handle); }
  TMLSFileStream(const TMLSFileStream&) = delete;
  TMLSFileStream& operator=(const TMLSFileStream&) = delete;

  std::size_t Read(void* buffer, std::size_t count) override {
    std::size_t total = 0;
    while (total < count) {
      DWORD got = 0;
      const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(count - total, 1 << 20));
      if (!ReadFile(Handle, static_cast<char*>(buffer) + total, ask, &got, nullptr) || got == 0)
        break;
      total += got;
    }
    return total;
  }

  void Skip(std::size_t count) override {
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(count);
    SetFilePointerEx(Handle, distance, nullptr, FILE_CURRENT);
  }

 private:
  HANDLE Handle;
};

// The message of a missing translation. The folders are inserted after the line breaks
// are made, so that a folder such as C:\new\... keeps its backslash and n.
[[noreturn]] void RaiseMissingModule(const std::string& fileName) {
  const std::string first = ExcludeTrailingBackslash(MLSSearchFolder(1));
  const std::string second = MLSSearchFolder(2);
  throw EMLSException(
      ConvertLineBreaks("Failed to load MLS module: \"") + fileName +
      ConvertLineBreaks("\" \\n(Error Code MLS260)\\n\\nSearched folders:\\n   ") + first +
      ConvertLineBreaks("\\n   ") + second);
}

std::string UpperCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

// ---- TMLSModule ----------------------------------------------------------------------------

TMLSModule::TMLSModule(TMLSManager& manager, LCID defaultLCID, std::string name)
    : Manager(manager),
      FDefaultLanguage(static_cast<std::uint8_t>(IndexOfLCID(defaultLCID))),
      FName(std::move(name)) {
  Manager.AddModule(this);
}

TMLSModule::~TMLSModule() { Manager.RemoveModule(this); }

TLanguageSet TMLSModule::AvailableLanguages() {
  if (FAvailable != 0) return FAvailable;
  FAvailable = TLanguageSet{1} << FDefaultLanguage;
  std::string path;
  for (int i = 1; i < MLSLanguageCount; ++i)
    if (FindModuleFile(i, path)) FAvailable |= TLanguageSet{1} << i;
  return FAvailable;
}

bool TMLSModule::FindModuleFile(int languageIndex, std::string& path) {
  const std::string fileName = FName + "_" + LanguageCode(languageIndex) + ".mls";
  for (int folder = 1; folder <= 2; ++folder) {
    const std::string candidate = AddPath(MLSSearchFolder(folder), fileName);
    if (FileExists(candidate)) {
      path = candidate;
      return true;
    }
  }
  path = fileName;
  return false;
}

void TMLSModule::LoadResource() {
  const std::string resource = "MLS_" + UpperCase(FName);
  HRSRC found = FindResourceA(nullptr, resource.c_str(), MAKEINTRESOURCEA(10));  // RT_RCDATA
  HGLOBAL loaded = found ? ::LoadResource(nullptr, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) throw std::runtime_error("Resource " + resource + " not found");
  TMLSMemoryStream stream(data, SizeofResource(nullptr, found));
  LoadStrings(FDefaultLanguage, stream);
}

void TMLSModule::Load(int languageIndex) {
  if (languageIndex == FDefaultLanguage) {
    LoadResource();
    return;
  }
  std::string path;
  if (!FindModuleFile(languageIndex, path)) RaiseMissingModule(path);
  TMLSFileStream stream(path);
  // The texts an older translation lacks show in the compiled-in language, not in the one
  // shown before.
  if (ReadsOlderModules()) LoadResource();
  LoadStrings(languageIndex, stream);
}

// ---- TMLSManager ---------------------------------------------------------------------------

TMLSManager::TMLSManager() { FillLanguageTable(); }

TMLSManager::~TMLSManager() { ReleaseLanguageTable(); }

void TMLSManager::AddModule(TMLSModule* module) { FModules.push_back(module); }

void TMLSManager::RemoveModule(TMLSModule* module) {
  FModules.erase(std::remove(FModules.begin(), FModules.end(), module), FModules.end());
}

void TMLSManager::SetLanguage(int languageIndex) {
  FLanguage = static_cast<std::uint8_t>(languageIndex);
  for (TMLSModule* module : FModules) module->Load(languageIndex);
  // A handler may register or unregister clients; walk a copy.
  const auto clients = FClients;
  for (const auto& client : clients) client.Handler(this);
}

void TMLSManager::SelectLanguage(int languageIndex) {
  if (languageIndex == 0) languageIndex = DefaultLanguage();
  if (languageIndex != FLanguage) SetLanguage(languageIndex);
}

std::uint8_t TMLSManager::DefaultLanguage() {
  if (FDefaultLanguage == 0 && !FModules.empty()) {
    FDefaultLanguage = FModules.front()->DefaultLanguage();
    for (const TMLSModule* module : FModules) {
      if (module->DefaultLanguage() != FDefaultLanguage) {
        FDefaultLanguage = 0;
        break;
      }
    }
  }
  return FDefaultLanguage;
}

TLanguageSet TMLSManager::AvailableLanguages() {
  if (FAvailable != 0) return FAvailable;
  WriteReport();
  TLanguageSet set = AllLanguagesButNone;
  for (TMLSModule* module : FModules) set &= module->AvailableLanguages();
  FAvailable = set;
  FLanguageList.clear();
  for (int i = 0; i < MLSLanguageCount; ++i)
    if (LanguageSetHas(set, i)) FLanguageList.push_back({LanguageNames[i], i});
  return FAvailable;
}

void TMLSManager::RegisterClient(const void* client, TMLSNotifyEvent handler, int handlerId) {
  FClients.push_back({client, handlerId, std::move(handler)});
}

void TMLSManager::UnregisterClient(const void* client, int handlerId) {
  std::erase_if(FClients, [&](const TClient& c) {
    return c.Client == client && c.HandlerId == handlerId;
  });
}

int TMLSManager::ReadLanguageSetting(const std::string& valueName) {
  TRegistry registry;
  int index = 0;
  if (registry.OpenKey(MLSRegistryKey, true) && registry.ValueExists(valueName)) {
    try {
      index = registry.ReadInteger(valueName) & 0xFF;
    } catch (const ERegistryException&) {
      // Not a number: we cannot tell what was meant, so start in the default language
      // rather than guess from the locale.
      return 0;
    }
    // An index past the table was not written by us; treat it as no setting.
    if (index >= MLSLanguageCount) index = 0;
  }
  if (index == 0) index = IndexOfLCID(ConvertDefaultLocale(LOCALE_USER_DEFAULT));
  return index;
}

void TMLSManager::WriteLanguageSetting(const std::string& valueName, int languageIndex) {
  TRegistry registry;
  if (registry.OpenKey(MLSRegistryKey, true)) registry.WriteInteger(valueName, languageIndex);
}

void TMLSManager::WriteReport() {
  const std::string& program = MLSProgramFileName();
  const std::string report = FolderOf(program) + "MLSReport.txt";
  if (!FileExists(report)) return;
  const std::string prefix = program.substr(FolderOf(program).size()) + " - ";

  TLanguageSet all = 0;
  for (TMLSModule* module : FModules) all |= module->AvailableLanguages();
  for (TMLSModule* module : FModules) {
    const TLanguageSet present = module->AvailableLanguages();
    const std::string key = "MLS Module " + module->Name();
    WritePrivateProfileStringA((prefix + "Present Languages").c_str(), key.c_str(),
                               LanguageSetCodes(present).c_str(), report.c_str());
    const TLanguageSet missing = all & ~present;
    if (missing != 0)
      WritePrivateProfileStringA((prefix + "Missing Languages").c_str(), key.c_str(),
                                 LanguageSetCodes(missing).c_str(), report.c_str());
  }
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, report.c_str());  // flush
}
