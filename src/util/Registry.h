// The registry class of our window layer: a root key, a current key and its path.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

class ERegistryException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TRegistry {
 public:
  explicit TRegistry(HKEY root = HKEY_CURRENT_USER);
  virtual ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY RootKey() const { return root_; }
  void SetRootKey(HKEY root);
  HKEY CurrentKey() const { return current_; }
  const std::string& CurrentPath() const { return path_; }

  // A key with a leading backslash is absolute; otherwise it is relative to the open key.
  bool OpenKey(const std::string& key, bool canCreate);
  void CloseKey();
  bool KeyExists(const std::string& key);
  bool ValueExists(const std::string& name);
  DWORD GetDataType(const std::string& name);  // REG_NONE when missing

  // A missing value reads as ""; a value of another type raises ERegistryException.
  std::string ReadString(const std::string& name);
  // A missing value or one of another type raises ERegistryException.
  int ReadInteger(const std::string& name);
  void WriteString(const std::string& name, const std::string& value);
  void WriteInteger(const std::string& name, int value);

 protected:
  // Makes a freshly opened handle the current key and closes the previous one.
  void ChangeKey(HKEY key, const std::string& path);
  HKEY BaseKeyFor(bool relative) const;

 private:
  HKEY root_;
  HKEY current_ = nullptr;
  std::string path_;
};

class TRegistryEx : public TRegistry {
 public:
  using TRegistry::TRegistry;
  // Opens an existing key with read access only; never creates it.
  bool OpenKeyReadOnly(const std::string& key);
};

// The value's string when the key exists and holds it, else the default.
std::string ReadRegString(HKEY root, const std::string& key, const std::string& name,
                          const std::string& def);
