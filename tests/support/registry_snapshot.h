// Windows tests: records a registry key with everything below it (or that
// it is absent), or a single value, and puts it back on destruction, so that
// tests which register servers leave the registry as they found it.
#pragma once
#include <windows.h>
#include <shlwapi.h>

#include <string>
#include <utility>
#include <vector>

namespace wintest {

struct RegistryValue {
  std::string name;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

// Reads a value; false when it is not there.
inline bool ReadRegistryValue(HKEY root, const std::string& key, const char* name, RegistryValue* value) {
  HKEY handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  LONG status = RegQueryValueExA(handle, name, nullptr, &value->type, nullptr, &size);
  if (status == ERROR_SUCCESS) {
    value->data.resize(size);
    status = RegQueryValueExA(handle, name, nullptr, &value->type, value->data.data(), &size);
    value->data.resize(size);
  }
  RegCloseKey(handle);
  value->name = name != nullptr ? name : "";
  return status == ERROR_SUCCESS;
}

inline bool KeyExists(HKEY root, const std::string& key) {
  HKEY handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

class RegistryKeySnapshot {
 public:
  RegistryKeySnapshot(HKEY root, std::string key) : root_(root), key_(std::move(key)) {
    HKEY handle;
    existed_ = RegOpenKeyExA(root_, key_.c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS;
    if (existed_) {
      Read(handle, &tree_);
      RegCloseKey(handle);
    }
  }
  ~RegistryKeySnapshot() {
    SHDeleteKeyA(root_, key_.c_str());
    if (existed_) Write(root_, key_, tree_);
  }
  RegistryKeySnapshot(const RegistryKeySnapshot&) = delete;
  RegistryKeySnapshot& operator=(const RegistryKeySnapshot&) = delete;

 private:
  struct Tree {
    std::vector<RegistryValue> values;
    std::vector<std::pair<std::string, Tree>> subkeys;
  };

  static void Read(HKEY handle, Tree* tree) {
    for (DWORD i = 0;; ++i) {
      char name[16384];
      DWORD nameLength = sizeof name, type = 0, size = 0;
      if (RegEnumValueA(handle, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
      RegistryValue value{name, type, std::vector<BYTE>(size)};
      nameLength = sizeof name;
      RegEnumValueA(handle, i, name, &nameLength, nullptr, &type, value.data.data(), &size);
      value.data.resize(size);
      tree->values.push_back(value);
    }
    for (DWORD i = 0;; ++i) {
      char name[256];
      DWORD nameLength = sizeof name;
      if (RegEnumKeyExA(handle, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      HKEY child;
      if (RegOpenKeyExA(handle, name, 0, KEY_READ, &child) != ERROR_SUCCESS) continue;
      tree->subkeys.emplace_back(name, Tree{});
      Read(child, &tree->subkeys.back().second);
      RegCloseKey(child);
    }
  }

  static void Write(HKEY root, const std::string& key, const Tree& tree) {
    HKEY handle;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) != ERROR_SUCCESS) {
      return;
    }
    for (const RegistryValue& value : tree.values) {
      RegSetValueExA(handle, value.name.c_str(), 0, value.type, value.data.data(), static_cast<DWORD>(value.data.size()));
    }
    for (const auto& [name, subtree] : tree.subkeys) Write(handle, name, subtree);
    RegCloseKey(handle);
  }

  HKEY root_;
  std::string key_;
  bool existed_ = false;
  Tree tree_;
};

// One value of a key. The key is removed afterwards only when it did not
// exist before.
class RegistryValueSnapshot {
 public:
  RegistryValueSnapshot(HKEY root, std::string key, std::string name) : root_(root), key_(std::move(key)) {
    keyExisted_ = KeyExists(root_, key_);
    existed_ = ReadRegistryValue(root_, key_, name.c_str(), &value_);
    value_.name = std::move(name);
  }
  ~RegistryValueSnapshot() {
    if (!keyExisted_) {
      SHDeleteKeyA(root_, key_.c_str());
      return;
    }
    HKEY handle;
    if (RegOpenKeyExA(root_, key_.c_str(), 0, KEY_SET_VALUE, &handle) != ERROR_SUCCESS) return;
    if (existed_) {
      RegSetValueExA(handle, value_.name.c_str(), 0, value_.type, value_.data.data(),
                     static_cast<DWORD>(value_.data.size()));
    } else {
      RegDeleteValueA(handle, value_.name.c_str());
    }
    RegCloseKey(handle);
  }
  RegistryValueSnapshot(const RegistryValueSnapshot&) = delete;
  RegistryValueSnapshot& operator=(const RegistryValueSnapshot&) = delete;

 private:
  HKEY root_;
  std::string key_;
  bool keyExisted_;
  bool existed_;
  RegistryValue value_;
};

}  // namespace wintest
