// HKEY_CURRENT_USER of this process redirected to a fresh private key while it lives, and
// helpers that arrange and check values without TRegistry.
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

inline HKEY OpenTestKey(const char* path) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  return key;
}
inline void PutValue(const char* path, const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key = OpenTestKey(path);
  RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}
inline void PutString(const char* path, const char* name, const std::string& value) {
  PutValue(path, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}
inline void PutDword(const char* path, const char* name, DWORD value) {
  PutValue(path, name, REG_DWORD, &value, 4);
}
inline void DeleteValue(const char* path, const char* name) {
  HKEY key = OpenTestKey(path);
  RegDeleteValueA(key, name);
  RegCloseKey(key);
}

struct StoredValue {
  bool Exists = false;
  DWORD Type = 0, Number = 0;
  std::string Text;
};
inline StoredValue GetValue(const char* path, const char* name) {
  StoredValue v;
  BYTE data[1024] = {};
  DWORD size = sizeof data - 1;
  v.Exists = RegGetValueA(HKEY_CURRENT_USER, path, name, RRF_RT_ANY, &v.Type, data, &size) ==
             ERROR_SUCCESS;
  if (v.Type == REG_DWORD) memcpy(&v.Number, data, 4);
  else v.Text = reinterpret_cast<const char*>(data);
  return v;
}
