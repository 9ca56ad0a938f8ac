// KLVXP's in-process COM server: the entry point, the module lock count, the
// cached class factory of CFitsViewMenu, and the registration that attaches
// the class to the file type of ".fit".
#include "server.h"

#include <shlwapi.h>

#include <atomic>
#include <new>
#include <string>

#include "file_type_value.h"
#include "fits_view_menu.h"
#include "registry_entries.h"

HINSTANCE g_moduleInstance = nullptr;

namespace {

LONG volatile g_lockCount = 0;
CRITICAL_SECTION g_classTableLock;  // guards the first creation of the factory

}  // namespace

void DllAddRef() { InterlockedIncrement(&g_lockCount); }
void DllRelease() { InterlockedDecrement(&g_lockCount); }

namespace {

// The module keeps one reference to its factory for its whole life; while
// anyone else holds one too, the factory holds a module lock.
class ClassFactory final : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != IID_IClassFactory) return E_NOINTERFACE;
    *ppv = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override {
    LONG refs = InterlockedIncrement(&m_refs);
    if (refs == 2) DllAddRef();
    return refs;
  }
  STDMETHODIMP_(ULONG) Release() override {
    LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 1) DllRelease();
    if (refs == 0) delete this;
    return refs;
  }

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (outer != nullptr && riid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    return CFitsViewMenu_CreateInstance(outer, riid, ppv);
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock) {
      DllAddRef();
    } else {
      DllRelease();
    }
    return S_OK;
  }

 private:
  LONG volatile m_refs = 1;
};

std::atomic<ClassFactory*> g_cachedFactory{nullptr};

// --- Registration --------------------------------------------------------

HKEY RootKey(RegistryRoot root) { return root == RegistryRoot::ClassesRoot ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE; }

// The file type of ".fit". The key must open for writing as well: a mapping
// this user cannot change is not one to register under.
bool ReadFitFileType(std::string* fileType) {
  static_assert(kValueString == REG_SZ && kValueExpandString == REG_EXPAND_SZ && kValueMultiString == REG_MULTI_SZ,
                "value types");
  HKEY key;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ".fit", 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) return false;
  BYTE data[kFileTypeBufferSize];
  DWORD type = REG_NONE, size = sizeof data;
  LONG status = RegQueryValueExA(key, nullptr, nullptr, &type, data, &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS && FileTypeFromValue(type, data, size, fileType);
}

// Shell extensions need approving only from Windows NT 4.0 on.
bool IsNt4OrLater() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 4;
}

LONG SetStringValue(HKEY root, const std::string& key, const char* valueName, const std::string& data) {
  HKEY handle;
  LONG status = RegCreateKeyExA(root, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                                &handle, nullptr);
  if (status != ERROR_SUCCESS) return status;
  status = RegSetValueExA(handle, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(data.size() + 1));
  RegCloseKey(handle);
  return status;
}

// Deletes a key and everything below it; a key that is not there counts as
// deleted.
LONG DeleteKeyTree(HKEY root, const std::string& key) {
  DWORD status = SHDeleteKeyA(root, key.c_str());
  return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : static_cast<LONG>(status);
}

bool KeyIsEmpty(HKEY root, const std::string& key) {
  HKEY handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  DWORD subkeys = 0, values = 0;
  LONG status = RegQueryInfoKeyA(handle, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                                 nullptr, nullptr, nullptr);
  RegCloseKey(handle);
  return status == ERROR_SUCCESS && subkeys == 0 && values == 0;
}

// The replacements of one registration or unregistration.
struct Replacements {
  std::string fileType;
  std::string modulePath;
  std::string Expand(const char* text) const { return ExpandRegistryText(text, fileType, modulePath); }
};

HRESULT WriteEntry(const RegistryEntry& entry, const Replacements& replacements) {
  HKEY root = RootKey(entry.root);
  std::string key = replacements.Expand(entry.key);
  std::string valueName = entry.valueName != nullptr ? replacements.Expand(entry.valueName) : "";
  const char* name = entry.valueName != nullptr ? valueName.c_str() : nullptr;
  std::string data = replacements.Expand(entry.data);
  switch (entry.rule) {
    case RegistryRule::ReplacedKey:
      if (LONG status = DeleteKeyTree(root, key); status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
      return HRESULT_FROM_WIN32(SetStringValue(root, key, name, data));
    case RegistryRule::InsideKey:
      return HRESULT_FROM_WIN32(SetStringValue(root, key, name, data));
    case RegistryRule::ApprovalValue:
      if (IsNt4OrLater()) SetStringValue(root, key, name, data);
      return S_OK;
  }
  return E_UNEXPECTED;
}

HRESULT RemoveEntry(const RegistryEntry& entry, const Replacements& replacements) {
  HKEY root = RootKey(entry.root);
  std::string key = replacements.Expand(entry.key);
  switch (entry.rule) {
    case RegistryRule::ReplacedKey:
      if (LONG status = DeleteKeyTree(root, key); status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
      for (const std::string& parent : RemovableParents(key)) {
        if (!KeyIsEmpty(root, parent) || RegDeleteKeyA(root, parent.c_str()) != ERROR_SUCCESS) break;
      }
      return S_OK;
    case RegistryRule::InsideKey:
      return S_OK;  // went with its key
    case RegistryRule::ApprovalValue:
      if (IsNt4OrLater()) {
        HKEY handle;
        if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | KEY_WRITE, &handle) == ERROR_SUCCESS) {
          RegDeleteValueA(handle, replacements.Expand(entry.valueName).c_str());
          RegCloseKey(handle);
        }
      }
      return S_OK;
  }
  return E_UNEXPECTED;
}

// Writes or removes every row of kRegistryEntries, in order, stopping at the
// first failure. Without a usable file type for ".fit" nothing is touched.
HRESULT UpdateMenuRegistration(bool registering) {
  Replacements replacements;
  if (!ReadFitFileType(&replacements.fileType)) return E_INVALIDARG;
  char module[MAX_PATH];
  DWORD length = GetModuleFileNameA(g_moduleInstance, module, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
  replacements.modulePath = module;
  for (const RegistryEntry& entry : kRegistryEntries) {
    HRESULT hr = registering ? WriteEntry(entry, replacements) : RemoveEntry(entry, replacements);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_moduleInstance = instance;
    InitializeCriticalSection(&g_classTableLock);
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    if (ClassFactory* factory = g_cachedFactory.exchange(nullptr)) factory->Release();
    DeleteCriticalSection(&g_classTableLock);
  }
  return TRUE;
}

STDAPI DllCanUnloadNow() { return g_lockCount == 0 ? S_OK : S_FALSE; }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (clsid != CLSID_FitsViewMenu) return CLASS_E_CLASSNOTAVAILABLE;
  ClassFactory* factory = g_cachedFactory.load();
  if (factory == nullptr) {
    EnterCriticalSection(&g_classTableLock);
    factory = g_cachedFactory.load();
    if (factory == nullptr) {
      factory = new (std::nothrow) ClassFactory();
      g_cachedFactory.store(factory);
    }
    LeaveCriticalSection(&g_classTableLock);
    if (factory == nullptr) return E_OUTOFMEMORY;
  }
  return factory->QueryInterface(riid, ppv);
}

STDAPI DllRegisterServer() { return UpdateMenuRegistration(true); }

STDAPI DllUnregisterServer() { return UpdateMenuRegistration(false); }
