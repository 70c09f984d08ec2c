#include "UnixMailer.h"

#include <cstring>

#include "util/StrUtils.h"

namespace {

FARPROC NtdllEntry(const char* name) {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll ? GetProcAddress(ntdll, name) : nullptr;
}

std::wstring Widen(const std::string& ansi) {
  if (ansi.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  return wide;
}

std::string ToUtf8(const std::string& ansi) {
  std::wstring wide = Widen(ansi);
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                              0, nullptr, nullptr);
  std::string utf8(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n,
                      nullptr, nullptr);
  return utf8;
}

// kernel32's wine_get_unix_file_name: a Unix path in the Unix encoding, allocated on the
// process heap; "" when the path has none.
std::string UnixPathOf(const std::string& path) {
  using TGetUnixName = char*(CDECL*)(const WCHAR*);
  auto getName = reinterpret_cast<TGetUnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!getName) return {};
  std::wstring wide = Widen(path);
  char* unixName = getName(wide.c_str());
  if (!unixName) return {};
  std::string result = unixName;
  HeapFree(GetProcessHeap(), 0, unixName);
  return result;
}

}  // namespace

bool RunningUnderWine() { return NtdllEntry("wine_get_version") != nullptr; }

bool IsWineBuiltin(HMODULE module) {
  // Wine marks its own PE modules right after the DOS header.
  static const char kSignature[] = "Wine builtin DLL";
  if (!module) return false;
  auto base = reinterpret_cast<const char*>(module);
  auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew < 0x40 + 16) return false;
  return std::memcmp(base + 0x40, kSignature, sizeof kSignature - 1) == 0;
}

std::vector<std::string> XdgEmailArguments(const TMailDescription& mail,
                                           const std::vector<std::string>& unixFiles) {
  std::vector<std::string> args{"--utf8"};
  if (!mail.Subject.empty()) args.insert(args.end(), {"--subject", ToUtf8(mail.Subject)});
  std::string body = ReplaceAll(ToUtf8(mail.Text), "\r\n", "\n");
  if (!body.empty()) args.insert(args.end(), {"--body", body});
  for (const std::string& file : unixFiles) args.insert(args.end(), {"--attach", file});
  // xdg-email takes the recipient's address only; a name alone cannot be mailed to.
  if (!mail.ToAddr.empty()) args.push_back(ToUtf8(mail.ToAddr));
  return args;
}

int SendThroughXdgEmail(const TMailDescription& mail) {
  // ntdll's __wine_unix_spawnvp runs a Unix program found on the Unix PATH, with the
  // arguments as given; a bare name given to CreateProcess would not be searched there.
  using TSpawn = int(WINAPI*)(char* const argv[], int wait);
  auto spawn = reinterpret_cast<TSpawn>(reinterpret_cast<void*>(NtdllEntry("__wine_unix_spawnvp")));
  if (!spawn) return -1;

  std::vector<std::string> unixFiles;
  for (const std::string& file : mail.Files) {
    std::string unixName = UnixPathOf(file);
    if (unixName.empty()) return -1;
    unixFiles.push_back(unixName);
  }
  std::vector<std::string> args = XdgEmailArguments(mail, unixFiles);
  args.insert(args.begin(), "xdg-email");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  // Waiting tells a missing or failing mail program apart from a started one.
  return spawn(argv.data(), 1);
}
