// Registration of vantel.dll through regsvr32, read back from the registry
// key by key, and unregistration. Every test leaves the registry as it found
// it: later tests share the Wine prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include "registry_table.h"
#include "vantel_windows.h"

using namespace thumbtest;

namespace {

const char kTypeLibKey[] = "TypeLib\\" VANTEL_LIBID_TEXT;
const char kInterfaceKey[] = "Interface\\{71861ED9-B2A2-42E3-A4A6-87FA44CFF097}";
const char kForeignHandler[] = ".fit\\shellex\\{00021500-0000-0000-C000-000000000046}";

std::string Expected(const RegistryEntry& entry) {
  return std::string(entry.data) == VANTEL_MODULE_PATH ? VantelPath() : entry.data;
}

void ExpectRegistered() {
  for (const RegistryEntry& entry : kRegistryEntries) {
    SCOPED_TRACE(std::string(entry.key) + (entry.valueName != nullptr ? std::string(" : ") + entry.valueName : ""));
    EXPECT_TRUE(KeyExists(entry.key));
    if (entry.data != nullptr) {
      EXPECT_EQ(RegistryString(entry.key, entry.valueName), Expected(entry));
    }
  }
}

void ExpectUnregistered() {
  for (const RegistryEntry& entry : kRegistryEntries) {
    SCOPED_TRACE(entry.key);
    EXPECT_EQ(KeyExists(entry.key), entry.rule == KeyRule::Kept);
  }
  EXPECT_FALSE(KeyExists(kTypeLibKey));
  EXPECT_FALSE(KeyExists(kInterfaceKey));
}

std::string ModuleFolder() {
  std::string path = VantelPath();
  return path.substr(0, path.find_last_of('\\'));
}

class Registration : public testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(KeyExists("CLSID\\" VANTEL_CLSID_TEXT)) << "registered before the test"; }
  void TearDown() override { Regsvr32("/u "); }
};

TEST_F(Registration, WritesEveryEntryAndTheTypeLibrary) {
  ASSERT_EQ(Regsvr32(""), 0u);
  ExpectRegistered();
  // The entries the shell follows to the module.
  EXPECT_EQ(RegistryString(".fits\\shellex\\{BB2E617C-0920-11d1-9A0B-00C04FC2D6C1}", nullptr),
            "{5BA116C3-6A83-4FFB-8201-D904D2AC7ED0}");
  EXPECT_EQ(RegistryString("CLSID\\" VANTEL_CLSID_TEXT "\\InprocServer32", nullptr), VantelPath());
  EXPECT_EQ(RegistryString("CLSID\\" VANTEL_CLSID_TEXT "\\InprocServer32", "ThreadingModel"), "Apartment");
  // The type library, with the module's folder for help.
  EXPECT_EQ(RegistryString(std::string(kTypeLibKey) + "\\1.0", nullptr), "Fits Thumbnail Type Library");
  EXPECT_EQ(RegistryString(std::string(kTypeLibKey) + "\\1.0\\HELPDIR", nullptr), ModuleFolder());
  EXPECT_EQ(RegistryString(std::string(kTypeLibKey) + "\\1.0\\0\\win64", nullptr), VantelPath());
  EXPECT_EQ(RegistryString(kInterfaceKey, nullptr), "IfitsformatExtractor");
}

TEST_F(Registration, UnregisteringRemovesAllButTheSharedKeys) {
  ASSERT_EQ(Regsvr32(""), 0u);
  ASSERT_EQ(Regsvr32("/u "), 0u);
  ExpectUnregistered();
  EXPECT_TRUE(KeyExists(".fit"));
  EXPECT_TRUE(KeyExists("CLSID"));
  EXPECT_EQ(Regsvr32("/u "), 0u) << "unregistering what is gone succeeds";
}

TEST_F(Registration, RegisteringAgainReplacesTheClassKey) {
  ASSERT_EQ(Regsvr32(""), 0u);
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "CLSID\\" VANTEL_CLSID_TEXT, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "Stray", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2), ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "CLSID\\" VANTEL_CLSID_TEXT "\\Programmable\\Stray", 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "CLSID\\" VANTEL_CLSID_TEXT "\\StrayKey", 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);

  ASSERT_EQ(Regsvr32(""), 0u);
  ExpectRegistered();
  EXPECT_EQ(RegistryString("CLSID\\" VANTEL_CLSID_TEXT, "Stray"), "<missing>");
  EXPECT_FALSE(KeyExists("CLSID\\" VANTEL_CLSID_TEXT "\\Programmable\\Stray"));
  EXPECT_FALSE(KeyExists("CLSID\\" VANTEL_CLSID_TEXT "\\StrayKey"));
}

TEST_F(Registration, AnotherHandlerKeepsTheShellexKey) {
  ASSERT_EQ(Regsvr32(""), 0u);
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, kForeignHandler, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_EQ(Regsvr32("/u "), 0u);
  EXPECT_TRUE(KeyExists(".fit\\shellex"));
  EXPECT_TRUE(KeyExists(kForeignHandler));
  EXPECT_FALSE(KeyExists(".fit\\shellex\\{BB2E617C-0920-11d1-9A0B-00C04FC2D6C1}"));
  EXPECT_FALSE(KeyExists(".fts\\shellex"));
  EXPECT_FALSE(KeyExists(".fits\\shellex"));
  EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, kForeignHandler), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, ".fit\\shellex"), ERROR_SUCCESS);
}

}  // namespace
