// Redirects HKEY_CURRENT_USER of this process to a fresh, private key for the life of the
// object, so that tests use the real registry without touching the user's settings.
#pragma once

#include <windows.h>
#include <shlwapi.h>

#include <string>

class RegistrySandbox {
 public:
  RegistrySandbox() {
    SHDeleteKeyA(HKEY_CURRENT_USER, Path);
    RegCreateKeyExA(HKEY_CURRENT_USER, Path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &Key,
                    nullptr);
    Ok = Key && RegOverridePredefKey(HKEY_CURRENT_USER, Key) == ERROR_SUCCESS;
  }
  ~RegistrySandbox() {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    if (Key) RegCloseKey(Key);
    SHDeleteKeyA(HKEY_CURRENT_USER, Path);
  }
  RegistrySandbox(const RegistrySandbox&) = delete;
  RegistrySandbox& operator=(const RegistrySandbox&) = delete;

  bool Ok = false;

 private:
  static constexpr const char* Path = "Software\\VocaletTests\\Sandbox";
  HKEY Key = nullptr;
};

// Small direct registry helpers for arranging and checking, independent of TRegistry.
inline HKEY OpenTestKey(const char* path) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                  nullptr);
  return key;
}

inline void PutString(const char* path, const char* name, const std::string& value) {
  HKEY key = OpenTestKey(path);
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
}

inline void PutDword(const char* path, const char* name, DWORD value) {
  HKEY key = OpenTestKey(path);
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
  RegCloseKey(key);
}

inline void DeleteValue(const char* path, const char* name) {
  HKEY key = OpenTestKey(path);
  RegDeleteValueA(key, name);
  RegCloseKey(key);
}

struct StoredValue {
  bool Exists = false;
  DWORD Type = 0;
  std::string Text;
  DWORD Number = 0;
};

inline StoredValue GetValue(const char* path, const char* name) {
  StoredValue v;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return v;
  BYTE data[1024] = {};
  DWORD size = sizeof data - 1;
  if (RegQueryValueExA(key, name, nullptr, &v.Type, data, &size) == ERROR_SUCCESS) {
    v.Exists = true;
    if (v.Type == REG_DWORD) memcpy(&v.Number, data, 4);
    else v.Text = reinterpret_cast<const char*>(data);
  }
  RegCloseKey(key);
  return v;
}
