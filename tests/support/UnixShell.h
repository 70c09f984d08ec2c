// A shell command on the Unix side of Wine (xdotool, cp, ln): false when it could not run or,
// waited for, failed.
#pragma once

#include <windows.h>

#include <string>

inline bool UnixShell(std::string command, bool wait = true) {
  using TSpawn = int(WINAPI*)(char* const argv[], int wait);
  auto spawn = reinterpret_cast<TSpawn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "__wine_unix_spawnvp")));
  char sh[] = "sh", c[] = "-c";
  char* argv[] = {sh, c, command.data(), nullptr};
  return spawn && spawn(argv, wait) == 0;
}
