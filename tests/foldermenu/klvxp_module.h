// Shared by the KLVXP tests under Windows: the module from the build tree
// with its exports, regsvr32 as a child process, and a fixture that leaves
// the registry as it found it.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "registry_entries.h"
#include "registry_snapshot.h"

namespace klvxptest {

// {60EBFDD7-9706-4289-8E24-FFDA3E4D3844}
const CLSID kClsid = {0x60ebfdd7, 0x9706, 0x4289, {0x8e, 0x24, 0xff, 0xda, 0x3e, 0x4d, 0x38, 0x44}};
constexpr char kApprovedKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
constexpr char kFileType[] = "KLVXPTest.FitFile";

inline std::string ClassKey() { return std::string("CLSID\\") + kClsidText; }
inline std::string HandlerKey(const std::string& fileType) {
  return fileType + "\\ShellEx\\ContextMenuHandlers\\KLVXP";
}

// The DLL of the build tree, as a full path (KLVXP_RELATIVE_PATH is relative
// to this test's own directory).
inline std::string KlvxpPath() {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path = self;
  path = path.substr(0, path.rfind('\\') + 1) + KLVXP_RELATIVE_PATH;
  char full[MAX_PATH];
  GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  return full;
}

// The module, loaded once for the whole test process.
struct Klvxp {
  HMODULE module;
  HRESULT(STDAPICALLTYPE* DllCanUnloadNow)();
  HRESULT(STDAPICALLTYPE* DllGetClassObject)(REFCLSID, REFIID, void**);
  HRESULT(STDAPICALLTYPE* DllRegisterServer)();
  HRESULT(STDAPICALLTYPE* DllUnregisterServer)();
};

template <typename Function>
void Bind(HMODULE module, const char* name, Function* function) {
  *function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

inline const Klvxp& Module() {
  static const Klvxp klvxp = [] {
    Klvxp k{LoadLibraryA(KlvxpPath().c_str()), nullptr, nullptr, nullptr, nullptr};
    Bind(k.module, "DllCanUnloadNow", &k.DllCanUnloadNow);
    Bind(k.module, "DllGetClassObject", &k.DllGetClassObject);
    Bind(k.module, "DllRegisterServer", &k.DllRegisterServer);
    Bind(k.module, "DllUnregisterServer", &k.DllUnregisterServer);
    return k;
  }();
  return klvxp;
}

// Runs a command line and returns its exit code (or -1 when it cannot start).
inline DWORD RunProcess(const std::string& commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return static_cast<DWORD>(-1);
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = static_cast<DWORD>(-1);
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

inline DWORD Regsvr32(const char* options) {
  return RunProcess(std::string("regsvr32.exe ") + options + " \"" + KlvxpPath() + "\"");
}

// A string value's data up to its first terminator.
inline std::string ValueText(const wintest::RegistryValue& value) {
  std::string text(value.data.begin(), value.data.end());
  return text.substr(0, text.find('\0'));
}

// A value (the default one without a name) as text, or "(absent)".
inline std::string DefaultValue(HKEY root, const std::string& key, const char* name = nullptr) {
  wintest::RegistryValue value;
  if (!wintest::ReadRegistryValue(root, key, name, &value)) return "(absent)";
  return ValueText(value);
}

// Restores, after each test, everything registration may touch: the ".fit"
// mapping, the class key, the approval value and the file-type keys the
// tests map ".fit" to.
class RegistryTest : public ::testing::Test {
 protected:
  static std::string FileType39() { return std::string(kFileType) + std::string(39 - strlen(kFileType), 'x'); }
  static std::string FileType40() { return FileType39() + 'x'; }

  // Maps ".fit" to a raw default value of the given type and bytes.
  void MapFit(DWORD type, const std::string& bytes) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, ".fit", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    LONG status = RegSetValueExA(key, nullptr, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    ASSERT_EQ(status, ERROR_SUCCESS);
  }
  void MapFit(const std::string& fileType) { MapFit(REG_SZ, fileType + '\0'); }
  void UnmapFit() { SHDeleteKeyA(HKEY_CLASSES_ROOT, ".fit"); }

  // True when neither the class key, the approval value nor a handler key
  // under `fileType` is in the registry.
  static bool NothingRegistered(const std::string& fileType) {
    return !wintest::KeyExists(HKEY_CLASSES_ROOT, ClassKey()) &&
           DefaultValue(HKEY_LOCAL_MACHINE, kApprovedKey, kClsidText) == "(absent)" &&
           !wintest::KeyExists(HKEY_CLASSES_ROOT, fileType.empty() ? "ShellEx" : fileType + "\\ShellEx");
  }

 private:
  std::vector<std::unique_ptr<wintest::RegistryKeySnapshot>> Snapshots() {
    std::vector<std::unique_ptr<wintest::RegistryKeySnapshot>> all;
    for (const std::string& key : {std::string(".fit"), ClassKey(), std::string(kFileType), FileType39(),
                                   FileType40(), std::string("ShellEx")}) {
      all.push_back(std::make_unique<wintest::RegistryKeySnapshot>(HKEY_CLASSES_ROOT, key));
    }
    return all;
  }

  wintest::RegistryValueSnapshot approval_{HKEY_LOCAL_MACHINE, kApprovedKey, kClsidText};
  std::vector<std::unique_ptr<wintest::RegistryKeySnapshot>> snapshots_ = Snapshots();
};

}  // namespace klvxptest
