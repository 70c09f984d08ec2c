#include "util/Registry.h"

#include <vector>

TRegistry::TRegistry(HKEY root) : root_(root) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY root) {
  CloseKey();
  root_ = root;
}

void TRegistry::CloseKey() {
  if (current_) RegCloseKey(current_);
  current_ = nullptr;
  path_.clear();
}

void TRegistry::ChangeKey(HKEY key, const std::string& path) {
  CloseKey();
  current_ = key;
  path_ = path;
}

HKEY TRegistry::BaseKeyFor(bool relative) const {
  return (relative && current_) ? current_ : root_;
}

static bool SplitRelative(std::string& key) {
  bool relative = key.empty() || key[0] != '\\';
  if (!relative) key.erase(0, 1);
  return relative;
}

bool TRegistry::OpenKey(const std::string& keyIn, bool canCreate) {
  std::string key = keyIn;
  bool relative = SplitRelative(key);
  HKEY base = BaseKeyFor(relative);
  HKEY h = nullptr;
  LONG rc;
  if (canCreate) {
    rc = RegCreateKeyExA(base, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                         nullptr, &h, nullptr);
  } else {
    rc = RegOpenKeyExA(base, key.c_str(), 0, KEY_ALL_ACCESS, &h);
  }
  if (rc != ERROR_SUCCESS) return false;
  std::string path = (relative && current_) ? path_ + "\\" + key : key;
  ChangeKey(h, path);
  return true;
}

bool TRegistry::KeyExists(const std::string& keyIn) {
  std::string key = keyIn;
  bool relative = SplitRelative(key);
  HKEY h = nullptr;
  if (RegOpenKeyExA(BaseKeyFor(relative), key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
    return false;
  RegCloseKey(h);
  return true;
}

DWORD TRegistry::GetDataType(const std::string& name) {
  DWORD type = REG_NONE;
  if (RegQueryValueExA(BaseKeyFor(true), name.c_str(), nullptr, &type, nullptr, nullptr) !=
      ERROR_SUCCESS)
    return REG_NONE;
  return type;
}

bool TRegistry::ValueExists(const std::string& name) {
  DWORD type = 0;
  return RegQueryValueExA(BaseKeyFor(true), name.c_str(), nullptr, &type, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

static std::string InvalidType(const std::string& name) {
  return "Invalid data type for '" + name + "'";
}

std::string TRegistry::ReadString(const std::string& name) {
  DWORD type = 0, size = 0;
  HKEY key = BaseKeyFor(true);
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return std::string();
  if (type != REG_SZ && type != REG_EXPAND_SZ) throw ERegistryException(InvalidType(name));
  std::vector<char> buf(size + 1, '\0');
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()),
                       &size) != ERROR_SUCCESS)
    throw ERegistryException("Failed to get data for '" + name + "'");
  return std::string(buf.data());  // up to the first NUL
}

int TRegistry::ReadInteger(const std::string& name) {
  DWORD type = 0, value = 0, size = sizeof value;
  LONG rc = RegQueryValueExA(BaseKeyFor(true), name.c_str(), nullptr, &type,
                             reinterpret_cast<BYTE*>(&value), &size);
  if (rc == ERROR_FILE_NOT_FOUND) throw ERegistryException("Failed to get data for '" + name + "'");
  if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value)
    throw ERegistryException(InvalidType(name));
  return static_cast<int>(value);
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  if (RegSetValueExA(BaseKeyFor(true), name.c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
    throw ERegistryException("Failed to set data for '" + name + "'");
}

void TRegistry::WriteInteger(const std::string& name, int value) {
  DWORD v = static_cast<DWORD>(value);
  if (RegSetValueExA(BaseKeyFor(true), name.c_str(), 0, REG_DWORD,
                     reinterpret_cast<const BYTE*>(&v), sizeof v) != ERROR_SUCCESS)
    throw ERegistryException("Failed to set data for '" + name + "'");
}

bool TRegistryEx::OpenKeyReadOnly(const std::string& keyIn) {
  std::string key = keyIn;
  bool relative = SplitRelative(key);
  HKEY h = nullptr;
  if (RegOpenKeyExA(BaseKeyFor(relative), key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
    return false;
  std::string path = (relative && CurrentKey()) ? CurrentPath() + "\\" + key : key;
  ChangeKey(h, path);
  return true;
}

std::string ReadRegString(HKEY root, const std::string& key, const std::string& name,
                          const std::string& def) {
  TRegistryEx reg(root);
  std::string result = def;
  if (reg.OpenKeyReadOnly(key)) {
    if (reg.ValueExists(name)) result = reg.ReadString(name);
    reg.CloseKey();
  }
  return result;
}
