// The in-process COM server of the thumbnail extension: the module entry
// point, the lock count, the class factory of fitsformatExtractor, and the
// registration of its registry entries and type library.
#include <windows.h>
#include <shlwapi.h>

#include <cstring>
#include <new>

#include "extractor.h"
#include "identifiers.h"
#include "module_lock.h"
#include "registry_table.h"

namespace {

HINSTANCE TheModule;
LONG LockCount;
CRITICAL_SECTION FactoryLock;  // guards the first creation of CachedFactory
IClassFactory* CachedFactory;  // holds one reference of its own

class ExtractorFactory final : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory)) return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  // Beyond the cache's own reference, the factory keeps the module locked.
  STDMETHODIMP_(ULONG) AddRef() override {
    const LONG refs = InterlockedIncrement(&refs_);
    if (refs == 2) LockModule();
    return ULONG(refs);
  }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG refs = InterlockedDecrement(&refs_);
    if (refs == 1) UnlockModule();
    if (refs == 0) delete this;
    return ULONG(refs);
  }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr && !IsEqualIID(riid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    return fitsformatExtractor_CreateInstance(outer, riid, out);
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock) {
      LockModule();
    } else {
      UnlockModule();
    }
    return S_OK;
  }

 private:
  LONG refs_ = 1;
};

HRESULT ModulePath(char (&path)[MAX_PATH]) {
  const DWORD length = GetModuleFileNameA(TheModule, path, MAX_PATH);
  if (length == 0) return HRESULT_FROM_WIN32(GetLastError());
  if (length >= MAX_PATH) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
  return S_OK;
}

// Registry entries.

HRESULT WriteEntry(const RegistryEntry& entry, const char* modulePath) {
  if (entry.rule == KeyRule::Replaced) {
    const LSTATUS status = SHDeleteKeyA(HKEY_CLASSES_ROOT, entry.key);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return HRESULT_FROM_WIN32(status);
  }
  HKEY key;
  LSTATUS status =
      RegCreateKeyExA(HKEY_CLASSES_ROOT, entry.key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  if (entry.data != nullptr) {
    const char* data = strcmp(entry.data, VANTEL_MODULE_PATH) == 0 ? modulePath : entry.data;
    status = RegSetValueExA(key, entry.valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                            static_cast<DWORD>(strlen(data) + 1));
  }
  RegCloseKey(key);
  return HRESULT_FROM_WIN32(status);
}

HRESULT WriteRegistryEntries(const char* modulePath) {
  for (const RegistryEntry& entry : kRegistryEntries) {
    const HRESULT hr = WriteEntry(entry, modulePath);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

// Removes the entry's value, then its key unless the key is kept or still
// holds other keys. Whatever is missing already counts as removed.
void RemoveEntry(const RegistryEntry& entry) {
  if (entry.rule == KeyRule::Kept) return;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, entry.key, 0, KEY_READ | KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  if (entry.valueName != nullptr) RegDeleteValueA(key, entry.valueName);
  DWORD subkeys = 0;
  const LSTATUS status =
      RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr);
  RegCloseKey(key);
  if (status == ERROR_SUCCESS && subkeys == 0) RegDeleteKeyA(HKEY_CLASSES_ROOT, entry.key);
}

void RemoveRegistryEntries() {
  for (size_t i = sizeof kRegistryEntries / sizeof kRegistryEntries[0]; i-- > 0;) RemoveEntry(kRegistryEntries[i]);
}

// The type library: resource TYPELIB 1 of the module, or a .tlb file of the
// same name beside it.

ITypeLib* LoadModuleTypeLib(const char* modulePath, wchar_t (&loadedFrom)[MAX_PATH]) {
  if (MultiByteToWideChar(CP_ACP, 0, modulePath, -1, loadedFrom, MAX_PATH) == 0) return nullptr;
  ITypeLib* library = nullptr;
  if (SUCCEEDED(LoadTypeLib(loadedFrom, &library))) return library;
  wchar_t* name = wcsrchr(loadedFrom, L'\\');
  wchar_t* dot = wcsrchr(name != nullptr ? name : loadedFrom, L'.');
  if (dot == nullptr || (dot - loadedFrom) + 5 > MAX_PATH) return nullptr;
  wcscpy(dot, L".tlb");
  return SUCCEEDED(LoadTypeLib(loadedFrom, &library)) ? library : nullptr;
}

HRESULT RegisterTypeLibrary(const char* modulePath) {
  wchar_t path[MAX_PATH];
  ITypeLib* library = LoadModuleTypeLib(modulePath, path);
  if (library == nullptr) return TYPE_E_CANTLOADLIBRARY;
  // The help folder is the module's folder.
  wchar_t folder[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, modulePath, -1, folder, MAX_PATH);
  wchar_t* name = wcsrchr(folder, L'\\');
  if (name != nullptr) *name = L'\0';
  const HRESULT hr = RegisterTypeLib(library, path, folder);
  library->Release();
  return hr;
}

void UnregisterTypeLibrary(const char* modulePath) {
  wchar_t path[MAX_PATH];
  ITypeLib* library = LoadModuleTypeLib(modulePath, path);
  if (library == nullptr) return;
  TLIBATTR* attributes = nullptr;
  if (SUCCEEDED(library->GetLibAttr(&attributes))) {
    UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum, attributes->lcid,
                      attributes->syskind);
    library->ReleaseTLibAttr(attributes);
  }
  library->Release();
}

}  // namespace

void LockModule() { InterlockedIncrement(&LockCount); }
void UnlockModule() { InterlockedDecrement(&LockCount); }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    TheModule = instance;
    InitializeCriticalSection(&FactoryLock);
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    if (CachedFactory != nullptr) CachedFactory->Release();
    CachedFactory = nullptr;
    DeleteCriticalSection(&FactoryLock);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (!IsEqualCLSID(clsid, CLSID_fitsformatExtractor)) return CLASS_E_CLASSNOTAVAILABLE;
  EnterCriticalSection(&FactoryLock);
  if (CachedFactory == nullptr) CachedFactory = new (std::nothrow) ExtractorFactory;
  IClassFactory* factory = CachedFactory;
  LeaveCriticalSection(&FactoryLock);
  if (factory == nullptr) return E_OUTOFMEMORY;
  return factory->QueryInterface(riid, out);
}

STDAPI DllCanUnloadNow() { return InterlockedCompareExchange(&LockCount, 0, 0) == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
  char path[MAX_PATH];
  HRESULT hr = ModulePath(path);
  if (SUCCEEDED(hr)) hr = WriteRegistryEntries(path);
  if (SUCCEEDED(hr)) hr = RegisterTypeLibrary(path);
  return hr;
}

STDAPI DllUnregisterServer() {
  RemoveRegistryEntries();
  char path[MAX_PATH];
  if (SUCCEEDED(ModulePath(path))) UnregisterTypeLibrary(path);
  return S_OK;
}
