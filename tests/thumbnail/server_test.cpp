// vantel.dll as a COM server, loaded the way COM loads it: the exports, the
// class factory, the module lock count, aggregation, the interfaces of the
// object, and the type library and version kept in the module.
#include <windows.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include "identifiers.h"
#include "vantel_windows.h"

using namespace thumbtest;

namespace {

const IID IID_IfitsformatExtractor = {0x71861ED9, 0xB2A2, 0x42E3, {0xA4, 0xA6, 0x87, 0xFA, 0x44, 0xCF, 0xF0, 0x97}};
const GUID LIBID_VANTELFORMATLib = {0x1C2128A2, 0x2159, 0x45E5, {0xB5, 0xD3, 0xD7, 0xCF, 0x3B, 0xFB, 0x1D, 0xD5}};

using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFunction = HRESULT(STDAPICALLTYPE*)();

class Server : public testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExA(VantelPath().c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    ASSERT_NE(module_, nullptr) << VantelPath() << " error " << GetLastError();
    getClassObject_ = reinterpret_cast<GetClassObjectFunction>(reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
    canUnloadNow_ = reinterpret_cast<CanUnloadNowFunction>(reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
    ASSERT_NE(getClassObject_, nullptr);
    ASSERT_NE(canUnloadNow_, nullptr);
    ASSERT_EQ(canUnloadNow_(), S_OK) << "an earlier test left the module locked";
  }
  void TearDown() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  IClassFactory* Factory() {
    IClassFactory* factory = nullptr;
    EXPECT_EQ(getClassObject_(CLSID_fitsformatExtractor, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    return factory;
  }

  HMODULE module_ = nullptr;
  GetClassObjectFunction getClassObject_ = nullptr;
  CanUnloadNowFunction canUnloadNow_ = nullptr;
};

TEST_F(Server, ClassObjectOnlyForItsClass) {
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(getClassObject_(IID_IUnknown, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(getClassObject_(CLSID_fitsformatExtractor, IID_IClassFactory, nullptr), E_POINTER);
  out = reinterpret_cast<void*>(1);
  EXPECT_EQ(getClassObject_(CLSID_fitsformatExtractor, IID_IPersistFile, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
}

TEST_F(Server, OneCachedFactory) {
  IClassFactory* first = Factory();
  IUnknown* second = nullptr;
  ASSERT_EQ(getClassObject_(CLSID_fitsformatExtractor, IID_IUnknown, reinterpret_cast<void**>(&second)), S_OK);
  EXPECT_EQ(static_cast<IUnknown*>(first), second);
  second->Release();
  first->Release();
}

TEST_F(Server, CanUnloadNowFollowsTheLocks) {
  IClassFactory* factory = Factory();
  EXPECT_EQ(canUnloadNow_(), S_FALSE) << "while a factory reference is held";
  IUnknown* object = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)), S_OK);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  factory->Release();
  EXPECT_EQ(canUnloadNow_(), S_FALSE) << "while an object and a server lock live";
  object->Release();
  EXPECT_EQ(canUnloadNow_(), S_FALSE) << "while a server lock lives";
  factory = Factory();
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  factory->Release();
  EXPECT_EQ(canUnloadNow_(), S_OK) << "after the last release";
}

TEST_F(Server, ObjectThatNobodyTakesIsNotKept) {
  IClassFactory* factory = Factory();
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);
  factory->Release();
  EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(Server, Interfaces) {
  IClassFactory* factory = Factory();
  IPersistFile* file = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
  factory->Release();

  IUnknown* unknown = nullptr;
  ASSERT_EQ(file->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  EXPECT_EQ(unknown, static_cast<IUnknown*>(file)) << "IUnknown is the IPersistFile pointer";
  unknown->Release();

  IExtractImage* extract = nullptr;
  IExtractImage2* extract2 = nullptr;
  ASSERT_EQ(file->QueryInterface(IID_IExtractImage, reinterpret_cast<void**>(&extract)), S_OK);
  ASSERT_EQ(extract->QueryInterface(IID_IExtractImage2, reinterpret_cast<void**>(&extract2)), S_OK);
  EXPECT_EQ(static_cast<IExtractImage*>(extract2), extract);
  ASSERT_EQ(extract2->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  EXPECT_EQ(unknown, static_cast<IUnknown*>(file));
  unknown->Release();

  const IID* refused[] = {&IID_IPersist, &IID_IfitsformatExtractor, &IID_IDispatch, &IID_IClassFactory};
  for (const IID* iid : refused) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(extract->QueryInterface(*iid, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
  }
  EXPECT_EQ(file->QueryInterface(IID_IPersistFile, nullptr), E_POINTER);

  extract2->Release();
  extract->Release();
  EXPECT_EQ(canUnloadNow_(), S_FALSE);
  EXPECT_EQ(file->Release(), 0u);
  EXPECT_EQ(canUnloadNow_(), S_OK);
}

// An outer object that aggregates the extractor and counts its references.
class Outer : public IUnknown {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    if (IsEqualIID(riid, IID_IUnknown)) {
      *out = this;
      AddRef();
      return S_OK;
    }
    return inner->QueryInterface(riid, out);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }

  ULONG refs = 1;
  IUnknown* inner = nullptr;
};

TEST_F(Server, Aggregation) {
  IClassFactory* factory = Factory();
  Outer outer;
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->CreateInstance(&outer, IID_IPersistFile, &out), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(out, nullptr);
  ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)), S_OK);
  factory->Release();
  EXPECT_EQ(outer.refs, 1u) << "creating the inner object takes no outer reference";

  IPersistFile* file = nullptr;
  ASSERT_EQ(outer.QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
  EXPECT_EQ(outer.refs, 2u) << "the inner interfaces count on the outer object";
  IUnknown* identity = nullptr;
  ASSERT_EQ(file->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
  EXPECT_EQ(identity, static_cast<IUnknown*>(&outer)) << "the identity is the outer object's";
  identity->Release();
  file->Release();
  EXPECT_EQ(outer.refs, 1u);

  IUnknown* innerAgain = nullptr;
  ASSERT_EQ(outer.inner->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&innerAgain)), S_OK);
  EXPECT_EQ(innerAgain, outer.inner) << "the inner unknown answers for itself";
  innerAgain->Release();

  EXPECT_EQ(canUnloadNow_(), S_FALSE);
  EXPECT_EQ(outer.inner->Release(), 0u);
  EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST(VantelModule, TypeLibraryInTheModule) {
  ITypeLib* library = nullptr;
  ASSERT_EQ(LoadTypeLib(Wide(VantelPath()).c_str(), &library), S_OK);
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
  EXPECT_TRUE(IsEqualGUID(attributes->guid, LIBID_VANTELFORMATLib));
  EXPECT_EQ(attributes->wMajorVerNum, 1);
  EXPECT_EQ(attributes->wMinorVerNum, 0);
  library->ReleaseTLibAttr(attributes);

  BSTR name = nullptr, help = nullptr;
  ASSERT_EQ(library->GetDocumentation(-1, &name, &help, nullptr, nullptr), S_OK);
  EXPECT_STREQ(name, L"VANTELFORMATLib");
  EXPECT_STREQ(help, L"Fits Thumbnail Type Library");
  SysFreeString(name);
  SysFreeString(help);

  ITypeInfo* coclass = nullptr;
  ASSERT_EQ(library->GetTypeInfoOfGuid(CLSID_fitsformatExtractor, &coclass), S_OK);
  ASSERT_EQ(coclass->GetDocumentation(MEMBERID_NIL, &name, &help, nullptr, nullptr), S_OK);
  EXPECT_STREQ(name, L"fitsformatExtractor");
  EXPECT_STREQ(help, L"Fits Thumbnail Extractor Class");
  SysFreeString(name);
  SysFreeString(help);
  TYPEATTR* type = nullptr;
  ASSERT_EQ(coclass->GetTypeAttr(&type), S_OK);
  EXPECT_EQ(type->typekind, TKIND_COCLASS);
  EXPECT_NE(type->wTypeFlags & TYPEFLAG_FCANCREATE, 0);
  EXPECT_EQ(type->cImplTypes, 1);
  coclass->ReleaseTypeAttr(type);
  HREFTYPE reference;
  ITypeInfo* defaultInterface = nullptr;
  ASSERT_EQ(coclass->GetRefTypeOfImplType(0, &reference), S_OK);
  ASSERT_EQ(coclass->GetRefTypeInfo(reference, &defaultInterface), S_OK);
  ASSERT_EQ(defaultInterface->GetTypeAttr(&type), S_OK);
  EXPECT_TRUE(IsEqualGUID(type->guid, IID_IfitsformatExtractor));
  EXPECT_EQ(type->typekind, TKIND_DISPATCH);
  EXPECT_NE(type->wTypeFlags & TYPEFLAG_FDUAL, 0);
  EXPECT_EQ(type->cFuncs, 7) << "IDispatch's methods only";
  defaultInterface->ReleaseTypeAttr(type);
  // The interface half of the dual interface: for OLE automation, from IDispatch.
  ITypeInfo* vtableSide = nullptr;
  ASSERT_EQ(defaultInterface->GetRefTypeOfImplType(-1, &reference), S_OK);
  ASSERT_EQ(defaultInterface->GetRefTypeInfo(reference, &vtableSide), S_OK);
  ASSERT_EQ(vtableSide->GetTypeAttr(&type), S_OK);
  EXPECT_EQ(type->typekind, TKIND_INTERFACE);
  EXPECT_NE(type->wTypeFlags & TYPEFLAG_FOLEAUTOMATION, 0);
  EXPECT_EQ(type->cImplTypes, 1);
  vtableSide->ReleaseTypeAttr(type);
  ITypeInfo* base = nullptr;
  ASSERT_EQ(vtableSide->GetRefTypeOfImplType(0, &reference), S_OK);
  ASSERT_EQ(vtableSide->GetRefTypeInfo(reference, &base), S_OK);
  ASSERT_EQ(base->GetTypeAttr(&type), S_OK);
  EXPECT_TRUE(IsEqualGUID(type->guid, IID_IDispatch));
  base->ReleaseTypeAttr(type);
  base->Release();
  vtableSide->Release();
  ASSERT_EQ(defaultInterface->GetDocumentation(MEMBERID_NIL, &name, &help, nullptr, nullptr), S_OK);
  EXPECT_STREQ(name, L"IfitsformatExtractor");
  EXPECT_STREQ(help, L"Fits Thumbnail Plugin");
  SysFreeString(name);
  SysFreeString(help);
  defaultInterface->Release();
  coclass->Release();
  library->Release();
}

TEST(VantelModule, VersionResource) {
  const std::string path = VantelPath();
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  ASSERT_GT(size, 0u);
  std::vector<char> data(size);
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, data.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00000002u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000000u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00000001u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000002u);
  char* description = nullptr;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\StringFileInfo\\040904B0\\FileDescription",
                             reinterpret_cast<void**>(&description), &length));
  EXPECT_STREQ(description, "FITS Thumbnail Format");
}

}  // namespace
