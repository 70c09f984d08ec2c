// What the Easy Launch tests run in: HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE redirected to
// private keys, the shell's desktop and programs folders pointed into a test folder, and
// the English string modules loaded.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TestFolder.h"
#include "mls/RegistrySandbox.h"
#include "mls/ovSharedMLS.h"
#include "toolkit/Forms.h"

// The value names under "Software\Orvane\Uninstall Icons\<title>" of the root.
inline std::vector<std::string> NotesUnder(HKEY root, const std::string& title) {
  std::vector<std::string> names;
  HKEY key = nullptr;
  const std::string path = std::string("Software\\Orvane\\Uninstall Icons\\") + title;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
  char name[1024];
  for (DWORD i = 0, length = sizeof name;
       RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
       ++i, length = sizeof name)
    names.push_back(name);
  RegCloseKey(key);
  return names;
}

// A private key that stands for HKEY_LOCAL_MACHINE (the page's MachineRoot), under the
// real HKEY_CURRENT_USER; made before the HKEY_CURRENT_USER sandbox, which would hide it.
class MachineSandbox {
 public:
  explicit MachineSandbox(bool writable = true) {
    SHDeleteKeyA(HKEY_CURRENT_USER, Path);
    HKEY created = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, Path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created,
                    nullptr);
    if (created) RegCloseKey(created);
    RegOpenKeyExA(HKEY_CURRENT_USER, Path, 0, KEY_ALL_ACCESS, &Key);
    RegOpenKeyExA(HKEY_CURRENT_USER, Path, 0, KEY_READ, &Reader);
    Ok = Key && Reader;
    if (!writable) {
      // A root under which the registry refuses to create or write anything, as it does
      // for a user who may not change the machine's settings. Wine does not check a parent
      // key's access when a key is created below it, so the key is deleted under the open
      // handle instead: every creation below it fails.
      SHDeleteKeyA(HKEY_CURRENT_USER, Path);
    }
  }
  ~MachineSandbox() {
    if (Key) RegCloseKey(Key);
    if (Reader) RegCloseKey(Reader);
    SHDeleteKeyA(HKEY_CURRENT_USER, Path);
  }
  MachineSandbox(const MachineSandbox&) = delete;
  MachineSandbox& operator=(const MachineSandbox&) = delete;

  HKEY Root() const { return Key; }

  std::vector<std::string> Notes(const std::string& title) const { return NotesUnder(Reader, title); }

  bool Ok = false;

 private:
  static constexpr const char* Path = "Software\\VocaletTests\\Machine";
  HKEY Key = nullptr;
  HKEY Reader = nullptr;
};

inline bool FileExists(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

struct EasyLaunchWorld {
  static constexpr const char* ShellFolders =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  static constexpr const char* MapGroups =
      "Software\\Microsoft\\Windows\\CurrentVersion\\GrpConv\\MapGroups";

  explicit EasyLaunchWorld(bool machineWritable = true) : Machine(machineWritable) {
    // The shell keeps the desktop's path from its first use in a process, so every test of
    // the process has the same desktop folder, emptied in between.
    TestFolder::RemoveTree(Root());
    CreateDirectoryA(Root().c_str(), nullptr);
    Desktop = Root() + "\\Desktop";
    Programs = Root() + "\\Start Menu\\Programs";
    QuickLaunch = Root() + "\\Quick Launch";
    CreateDirectoryA(Desktop.c_str(), nullptr);
    CreateDirectoryA((Root() + "\\Start Menu").c_str(), nullptr);
    CreateDirectoryA(Programs.c_str(), nullptr);
    PutString(ShellFolders, "Desktop", Desktop);
    PutString(ShellFolders, "Programs", Programs);
  }
  ~EasyLaunchWorld() { TestFolder::RemoveTree(Root()); }
  void OfferQuickLaunch() { PutString(MapGroups, "Quick Launch", QuickLaunch); }
  static std::string Root() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "vocalet-easylaunch-" + std::to_string(GetCurrentProcessId());
  }

  MachineSandbox Machine;  // first: the user sandbox below hides the real user key
  RegistrySandbox User;
  std::string Desktop, Programs, QuickLaunch;
};

// Loads the English string modules for the life of the object.
struct EnglishTexts {
  EnglishTexts() {
    MLSManager = std::make_unique<TMLSManager>();
    MLS_OVSHARED = std::make_unique<TovSharedMLSModule>(*MLSManager);
    MLS_OVSHARED->Load(4);
  }
  ~EnglishTexts() {
    MLS_OVSHARED.reset();
    MLSManager.reset();
  }
};

// Runs `act` once the modal window that `visible` finds is on screen, from inside its
// modal loop; `show` returns when the window closes.
struct ModalDriver {
  static inline std::function<HWND()> Find;
  static inline std::function<void()> Pending;
  static inline DWORD Deadline = 0;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    HWND h = Find ? Find() : nullptr;
    if (Pending && GetTickCount() > Deadline) {
      // Better a failure that says where it stood than a test that waits for its timeout.
      ADD_FAILURE() << "the modal window did not come up in time: window " << h << ", visible "
                    << (h && IsWindowVisible(h));
      KillTimer(nullptr, id);
      Pending = nullptr;
      if (auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(h))) form->ModalResult = mrCancel;
      return;
    }
    if (!h || !IsWindowVisible(h) || !Pending) return;
    KillTimer(nullptr, id);
    auto run = std::move(Pending);
    Pending = nullptr;
    run();
  }
};

inline void WhileModal(const std::function<HWND()>& visible, std::function<void()> act,
                       const std::function<void()>& show) {
  ModalDriver::Find = visible;
  ModalDriver::Pending = std::move(act);
  ModalDriver::Deadline = GetTickCount() + 20000;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, ModalDriver::Tick);
  show();
  KillTimer(nullptr, timer);
  ModalDriver::Pending = nullptr;
}

inline void Click(TWinControl* control) { SendMessageA(control->Handle(), BM_CLICK, 0, 0); }
