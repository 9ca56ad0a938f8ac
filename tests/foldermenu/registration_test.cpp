// Registration and unregistration of KLVXP in the real registry: through
// regsvr32 as the installer runs it, and through the exports in this process
// where the exact result matters.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "klvxp_module.h"

namespace klvxptest {
namespace {

using namespace std::string_literals;

HKEY Root(const RegistryEntry& entry) {
  return entry.root == RegistryRoot::ClassesRoot ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE;
}

// Every row of the table, with its replacements, as the registry holds it.
void ExpectTableWritten(const std::string& fileType, bool approval) {
  for (const RegistryEntry& entry : kRegistryEntries) {
    std::string key = ExpandRegistryText(entry.key, fileType, KlvxpPath());
    std::string name = entry.valueName != nullptr ? ExpandRegistryText(entry.valueName, fileType, KlvxpPath()) : "";
    SCOPED_TRACE(key + " : " + name);
    wintest::RegistryValue value;
    bool present = wintest::ReadRegistryValue(Root(entry), key, entry.valueName != nullptr ? name.c_str() : nullptr,
                                              &value);
    if (entry.rule == RegistryRule::ApprovalValue && !approval) {
      EXPECT_FALSE(present);
      continue;
    }
    ASSERT_TRUE(present);
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    // The module path may differ in case only.
    EXPECT_STRCASEEQ(ValueText(value).c_str(), ExpandRegistryText(entry.data, fileType, KlvxpPath()).c_str());
  }
}

// Every key and value of the table is gone again.
void ExpectTableRemoved(const std::string& fileType) {
  for (const RegistryEntry& entry : kRegistryEntries) {
    std::string key = ExpandRegistryText(entry.key, fileType, KlvxpPath());
    SCOPED_TRACE(key);
    if (entry.rule == RegistryRule::ApprovalValue) {
      EXPECT_EQ(DefaultValue(Root(entry), key, kClsidText), "(absent)");
    } else {
      EXPECT_FALSE(wintest::KeyExists(Root(entry), key));
    }
  }
}

using Registration = RegistryTest;

TEST_F(Registration, Regsvr32WritesTheTableAndRemovesIt) {
  MapFit(kFileType);
  ASSERT_EQ(Regsvr32("/s"), 0u);
  ExpectTableWritten(kFileType, true);
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, ClassKey()), "KLVXP ContextMenu Shell Extension");
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, HandlerKey(kFileType)), kClsidText);
  EXPECT_EQ(DefaultValue(HKEY_LOCAL_MACHINE, kApprovedKey, kClsidText), "KLVXP Shell Extension");

  ASSERT_EQ(Regsvr32("/u /s"), 0u);
  ExpectTableRemoved(kFileType);
  // Keys that are not the module's own stay; the emptied ShellEx goes.
  EXPECT_TRUE(wintest::KeyExists(HKEY_CLASSES_ROOT, "CLSID"));
  EXPECT_TRUE(wintest::KeyExists(HKEY_CLASSES_ROOT, kFileType));
  EXPECT_FALSE(wintest::KeyExists(HKEY_CLASSES_ROOT, kFileType + "\\ShellEx"s));
}

TEST_F(Registration, FileTypeOfFit) {
  const struct {
    const char* label;
    DWORD type;
    std::string bytes;
    HRESULT expected;
    std::string fileType;  // where the handler key goes, or where nothing may appear
  } rows[] = {
      {"string", REG_SZ, kFileType + "\0"s, S_OK, kFileType},
      {"expandable string", REG_EXPAND_SZ, kFileType + "\0"s, S_OK, kFileType},
      {"multi-string", REG_MULTI_SZ, kFileType + "\0\0"s, S_OK, kFileType},
      {"39 characters", REG_SZ, FileType39() + '\0', S_OK, FileType39()},
      {"40 characters", REG_SZ, FileType40() + '\0', E_INVALIDARG, FileType40()},
      {"number", REG_DWORD, "\x01\0\0\0"s, E_INVALIDARG, kFileType},
      {"empty string", REG_SZ, "\0"s, E_INVALIDARG, ""},
      {"backslash", REG_SZ, kFileType + "\\Nested\0"s, E_INVALIDARG, kFileType + "\\Nested"s},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    MapFit(row.type, row.bytes);
    HRESULT hr = Module().DllRegisterServer();
    EXPECT_EQ(hr, row.expected);
    if (row.expected == S_OK) {
      ExpectTableWritten(row.fileType, true);
      EXPECT_EQ(Module().DllUnregisterServer(), S_OK);
      ExpectTableRemoved(row.fileType);
    } else {
      EXPECT_TRUE(NothingRegistered(row.fileType));
      EXPECT_EQ(Module().DllUnregisterServer(), E_INVALIDARG);
    }
  }
}

TEST_F(Registration, NoFileTypeMeansNothingWrittenOrRemoved) {
  UnmapFit();
  EXPECT_EQ(Module().DllRegisterServer(), E_INVALIDARG);
  EXPECT_EQ(Module().DllUnregisterServer(), E_INVALIDARG);
  EXPECT_TRUE(NothingRegistered(kFileType));

  // A ".fit" key without a default value, as the thumbnail extension makes it.
  MapFit(kFileType);
  ASSERT_EQ(Module().DllRegisterServer(), S_OK);
  HKEY fit;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".fit", 0, KEY_ALL_ACCESS, &fit), ERROR_SUCCESS);
  RegDeleteValueA(fit, nullptr);
  RegCloseKey(fit);
  EXPECT_EQ(Module().DllUnregisterServer(), E_INVALIDARG);
  ExpectTableWritten(kFileType, true);

  UnmapFit();
  EXPECT_EQ(Module().DllUnregisterServer(), E_INVALIDARG);
  ExpectTableWritten(kFileType, true);
}

TEST_F(Registration, RegisteringAgainReplacesTheKeys) {
  MapFit(kFileType);
  ASSERT_EQ(Module().DllRegisterServer(), S_OK);
  // Leftovers of an older registration, and an approval value with other data.
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, (ClassKey() + "\\LocalServer32").c_str(), 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, HandlerKey(kFileType).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "Stale", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
  RegCloseKey(key);
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kApprovedKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  RegSetValueExA(key, kClsidText, 0, REG_SZ, reinterpret_cast<const BYTE*>("old"), 4);
  RegCloseKey(key);

  ASSERT_EQ(Module().DllRegisterServer(), S_OK);
  EXPECT_FALSE(wintest::KeyExists(HKEY_CLASSES_ROOT, ClassKey() + "\\LocalServer32"));
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, HandlerKey(kFileType), "Stale"), "(absent)");
  EXPECT_EQ(DefaultValue(HKEY_LOCAL_MACHINE, kApprovedKey, kClsidText), "KLVXP Shell Extension");
  ExpectTableWritten(kFileType, true);
}

TEST_F(Registration, UnregisteringKeepsOtherHandlers) {
  MapFit(kFileType);
  ASSERT_EQ(Module().DllRegisterServer(), S_OK);
  const std::string other = kFileType + "\\ShellEx\\ContextMenuHandlers\\Other"s;
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, other.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);

  EXPECT_EQ(Module().DllUnregisterServer(), S_OK);
  ExpectTableRemoved(kFileType);
  EXPECT_TRUE(wintest::KeyExists(HKEY_CLASSES_ROOT, other));
}

TEST_F(Registration, UnregisteringWhatIsNotThereSucceeds) {
  MapFit(kFileType);
  EXPECT_EQ(Module().DllUnregisterServer(), S_OK);
  EXPECT_EQ(Module().DllUnregisterServer(), S_OK);
  EXPECT_TRUE(NothingRegistered(kFileType));
}

// Wine reports the Windows version of its per-program setting; regsvr32
// alone runs as Windows 98 here.
TEST_F(Registration, Windows98GetsEverythingButTheApprovalValue) {
  const char kAppDefaults[] = "Software\\Wine\\AppDefaults\\regsvr32.exe";
  wintest::RegistryKeySnapshot appDefaults(HKEY_CURRENT_USER, kAppDefaults);
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kAppDefaults, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6);
  RegCloseKey(key);
  MapFit(kFileType);

  ASSERT_EQ(Regsvr32("/s"), 0u);
  ExpectTableWritten(kFileType, false);

  // An approval value written by an NT registration stays on unregistration.
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kApprovedKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  RegSetValueExA(key, kClsidText, 0, REG_SZ, reinterpret_cast<const BYTE*>("nt"), 3);
  RegCloseKey(key);
  ASSERT_EQ(Regsvr32("/u /s"), 0u);
  EXPECT_FALSE(wintest::KeyExists(HKEY_CLASSES_ROOT, ClassKey()));
  EXPECT_FALSE(wintest::KeyExists(HKEY_CLASSES_ROOT, HandlerKey(kFileType)));
  EXPECT_EQ(DefaultValue(HKEY_LOCAL_MACHINE, kApprovedKey, kClsidText), "nt");
}

TEST_F(Registration, ComActivatesTheRegisteredClass) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  MapFit(kFileType);
  ASSERT_EQ(Module().DllRegisterServer(), S_OK);
  IContextMenu* menu = nullptr;
  EXPECT_EQ(CoCreateInstance(kClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IContextMenu, reinterpret_cast<void**>(&menu)),
            S_OK);
  ASSERT_NE(menu, nullptr);
  menu->Release();

  ASSERT_EQ(Module().DllUnregisterServer(), S_OK);
  menu = reinterpret_cast<IContextMenu*>(1);
  EXPECT_EQ(CoCreateInstance(kClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IContextMenu, reinterpret_cast<void**>(&menu)),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(menu, nullptr);
  CoUninitialize();
}

}  // namespace
}  // namespace klvxptest
