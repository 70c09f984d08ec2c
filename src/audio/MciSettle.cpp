#include "audio/MciSettle.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <vector>

#include "util/Handles.h"

namespace {

using TNtQueryInformationThread = LONG(NTAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
constexpr int kThreadQuerySetWin32StartAddress = 9;

// Threads of this process whose start routine lies in `module`.
std::vector<KernelHandle> ThreadsStartedIn(HMODULE module) {
  std::vector<KernelHandle> found;
  MODULEINFO info{};
  if (!GetModuleInformation(GetCurrentProcess(), module, &info, sizeof info)) return found;
  auto query = reinterpret_cast<TNtQueryInformationThread>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread")));
  if (!query) return found;
  FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot) return found;
  const auto* base = static_cast<const char*>(info.lpBaseOfDll);
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL ok = Thread32First(snapshot.get(), &entry); ok;
       ok = Thread32Next(snapshot.get(), &entry)) {
    if (entry.th32OwnerProcessID != GetCurrentProcessId() ||
        entry.th32ThreadID == GetCurrentThreadId())
      continue;
    KernelHandle thread(
        OpenThread(THREAD_QUERY_INFORMATION | SYNCHRONIZE, FALSE, entry.th32ThreadID));
    if (!thread) continue;
    void* start = nullptr;
    if (query(thread.get(), kThreadQuerySetWin32StartAddress, &start, sizeof start, nullptr) != 0)
      continue;
    const auto* s = static_cast<const char*>(start);
    if (s >= base && s < base + info.SizeOfImage) found.push_back(std::move(thread));
  }
  return found;
}

}  // namespace

bool RunningUnderWine() {
  static const bool wine =
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

void WaitForWaveDriverThreads(DWORD timeoutMs) {
  if (!RunningUnderWine()) return;
  HMODULE driver = GetModuleHandleA("mciwave.dll");
  if (!driver) return;
  std::vector<KernelHandle> threads = ThreadsStartedIn(driver);
  if (threads.empty()) return;
  std::vector<HANDLE> handles;
  for (auto& t : threads) handles.push_back(t.get());
  // More than MAXIMUM_WAIT_OBJECTS driver threads does not happen; wait for the first ones.
  if (handles.size() > MAXIMUM_WAIT_OBJECTS) handles.resize(MAXIMUM_WAIT_OBJECTS);
  WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), TRUE, timeoutMs);
}
