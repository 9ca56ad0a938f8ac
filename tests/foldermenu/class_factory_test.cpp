// The server's exports, its class factory, the object's interfaces and
// aggregation, and the lock count that DllCanUnloadNow reports.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "klvxp_module.h"

namespace klvxptest {
namespace {

IClassFactory* Factory() {
  IClassFactory* factory = nullptr;
  EXPECT_EQ(Module().DllGetClassObject(kClsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  return factory;
}

// An outer object that aggregates the menu object and exposes its
// IContextMenu as its own.
class Outer : public IUnknown {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (riid == IID_IUnknown) {
      *ppv = static_cast<IUnknown*>(this);
      AddRef();
      return S_OK;
    }
    if (riid == IID_IContextMenu) return inner->QueryInterface(riid, ppv);
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }

  ULONG refs = 1;
  IUnknown* inner = nullptr;
};

TEST(DllGetClassObject, RefusesOtherClassesAndNullOut) {
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(Module().DllGetClassObject(IID_IContextMenu, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(Module().DllGetClassObject(kClsid, IID_IClassFactory, nullptr), E_POINTER);
  out = reinterpret_cast<void*>(1);
  EXPECT_EQ(Module().DllGetClassObject(kClsid, IID_IContextMenu, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
}

TEST(DllGetClassObject, HandsOutOneCachedFactory) {
  IClassFactory* first = Factory();
  IUnknown* second = nullptr;
  ASSERT_EQ(Module().DllGetClassObject(kClsid, IID_IUnknown, reinterpret_cast<void**>(&second)), S_OK);
  EXPECT_EQ(static_cast<IUnknown*>(first), second);
  second->Release();
  first->Release();
  EXPECT_EQ(Module().DllCanUnloadNow(), S_OK);
}

TEST(ClassFactory, CreateInstanceFailures) {
  IClassFactory* factory = Factory();
  ASSERT_NE(factory, nullptr);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IContextMenu, nullptr), E_POINTER);

  Outer outer;
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->CreateInstance(&outer, IID_IContextMenu, &out), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(out, nullptr);

  out = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  factory->Release();
  EXPECT_EQ(Module().DllCanUnloadNow(), S_OK) << "an object that failed its query must be gone";
}

TEST(ClassFactory, ObjectIdentityAndInterfaces) {
  IClassFactory* factory = Factory();
  IShellExtInit* init = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IShellExtInit, reinterpret_cast<void**>(&init)), S_OK);
  factory->Release();

  IContextMenu* menu = nullptr;
  ASSERT_EQ(init->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu)), S_OK);
  IUnknown* fromInit = nullptr;
  IUnknown* fromMenu = nullptr;
  ASSERT_EQ(init->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromInit)), S_OK);
  ASSERT_EQ(menu->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromMenu)), S_OK);
  EXPECT_EQ(fromInit, fromMenu);
  EXPECT_EQ(fromInit, static_cast<IUnknown*>(init)) << "IShellExtInit is the object's identity";

  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(menu->QueryInterface(IID_IContextMenu2, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(menu->QueryInterface(IID_IContextMenu, nullptr), E_POINTER);

  fromInit->Release();
  fromMenu->Release();
  menu->Release();
  EXPECT_EQ(init->Release(), 0u);
}

TEST(ClassFactory, AggregatedObjectDelegatesToItsOuter) {
  IClassFactory* factory = Factory();
  Outer outer;
  ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)), S_OK);
  factory->Release();
  ASSERT_NE(outer.inner, nullptr);

  IContextMenu* menu = nullptr;
  ASSERT_EQ(outer.QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu)), S_OK);
  EXPECT_EQ(outer.refs, 2u) << "the inner object's interfaces count on the outer object";
  IUnknown* identity = nullptr;
  ASSERT_EQ(menu->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
  EXPECT_EQ(identity, static_cast<IUnknown*>(&outer));
  EXPECT_EQ(outer.refs, 3u);
  identity->Release();
  menu->Release();
  EXPECT_EQ(outer.refs, 1u);

  EXPECT_EQ(Module().DllCanUnloadNow(), S_FALSE);
  EXPECT_EQ(outer.inner->Release(), 0u);
  EXPECT_EQ(Module().DllCanUnloadNow(), S_OK);
}

TEST(DllCanUnloadNow, FollowsObjectsLocksAndFactoryReferences) {
  ASSERT_EQ(Module().DllCanUnloadNow(), S_OK);
  IClassFactory* factory = Factory();
  EXPECT_EQ(Module().DllCanUnloadNow(), S_FALSE) << "a client holds the factory";

  IContextMenu* menu = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IContextMenu, reinterpret_cast<void**>(&menu)), S_OK);
  factory->Release();
  EXPECT_EQ(Module().DllCanUnloadNow(), S_FALSE) << "a menu object lives";
  menu->Release();
  EXPECT_EQ(Module().DllCanUnloadNow(), S_OK);

  factory = Factory();
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  factory->Release();
  EXPECT_EQ(Module().DllCanUnloadNow(), S_FALSE) << "the server is locked";
  factory = Factory();
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  factory->Release();
  EXPECT_EQ(Module().DllCanUnloadNow(), S_OK);
}

}  // namespace
}  // namespace klvxptest
