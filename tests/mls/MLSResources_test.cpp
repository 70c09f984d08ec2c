// The English modules compiled into the program, read back out of the RCDATA resources as
// the manager reads them: texts verbatim, blanks and "\n" included.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "mls/MLSFile.h"

namespace {

std::string BinFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s = path;
  return s.substr(0, s.find_last_of('\\') + 1);
}

struct Expected {
  const char* Resource;
  int Count;
  std::vector<std::pair<int, std::string>> Texts;
};

const Expected Modules[] = {
    {"MLS_QDSHARED", 20, {{0, "Do you want to make \"%s\" as \\na start page in your Internet browser?"},
                          {9, "This is a Quindle product"},
                          {19, "Displays information in HTML format."}}},
    {"MLS_OVSHARED", 232, {{8, "Confirmation"}, {21, "Error"}, {22, "Cannot create  object."},
                           {32, "Information"}, {62, " %d B"}, {86, "Cancel"},
                           {218, "Processing file %d of %d"}, {231, "Background"}}},
    {"MLS_VOCALET", 55, {{0, "%d Bit"}, {4, "Drag & Attach"}, {22, "Record Message"},
                         {47, "Quindle Vocalet"},
                         {2, "Message duration %d Sec.\\nSize %s. File size %s (Compression "
                             "ratio %d%%)\\nFormat: %s, %s, %s, %s"}}},
    {"MLS_SOUNDREC", 26, {{0, "16 Bit Mono"}, {11, "%d sec."},
                          {25, "Sound Files (*.wav)|*.wav|All Files (*.*)|*.*"}}},
};

void CheckModules(HMODULE module) {
  for (const Expected& m : Modules) {
    SCOPED_TRACE(m.Resource);
    HRSRC found = FindResourceA(module, m.Resource, MAKEINTRESOURCEA(10));
    ASSERT_NE(found, nullptr);
    const DWORD size = SizeofResource(module, found);
    TMLSMemoryStream stream(LockResource(LoadResource(module, found)), size);
    std::vector<std::string> strings(m.Count);
    TMLSFile().ReadModule(stream, 4, m.Count - 1, strings);  // throws on any mismatch
    EXPECT_EQ(stream.Position(), size) << "the module ends at its end signature";
    for (const auto& [index, text] : m.Texts) EXPECT_EQ(strings[index], text) << index;
  }
}

TEST(MLSResources, LinkedIntoThisTest) { CheckModules(nullptr); }

TEST(MLSResources, CompiledIntoVocalet) {
  const std::string exe = BinFolder() + "Vocalet.exe";
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr) << exe;
  CheckModules(module);
  FreeLibrary(module);
}

}  // namespace
