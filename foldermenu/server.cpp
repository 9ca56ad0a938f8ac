// In-process server entry points. The class this module serves is not built
// yet: it hands out no class object and registers nothing.
#include <windows.h>

STDAPI DllCanUnloadNow() { return S_OK; }
STDAPI DllGetClassObject(REFCLSID, REFIID, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  return CLASS_E_CLASSNOTAVAILABLE;
}
STDAPI DllRegisterServer() { return S_OK; }
STDAPI DllUnregisterServer() { return S_OK; }
