// Windows tests: a minimal IDataObject that offers a list of files as
// CF_HDROP, the way the shell hands a selection to a context-menu handler.
// It counts the media it hands out and the ones released again.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

namespace wintest {

// A DROPFILES block followed by the paths, each terminated, and a final
// terminator; in UTF-16 when `wide` is set, as the shell of Windows NT does.
inline HGLOBAL MakeDropFiles(const std::vector<std::string>& paths, bool wide) {
  std::vector<BYTE> names;
  for (const std::string& path : paths) {
    for (char c : path + '\0') {
      names.push_back(static_cast<BYTE>(c));
      if (wide) names.push_back(0);  // the test paths are ASCII
    }
  }
  names.resize(names.size() + (wide ? 2 : 1), 0);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names.size());
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = wide;
  memcpy(drop + 1, names.data(), names.size());
  GlobalUnlock(memory);
  return memory;
}

class HdropDataObject : public IDataObject {
 public:
  // With offerHdrop false the object offers no format at all.
  HdropDataObject(std::vector<std::string> paths, bool wide = false, bool offerHdrop = true)
      : paths_(std::move(paths)), wide_(wide), offerHdrop_(offerHdrop) {}

  int MediaGiven() const { return given_; }
  int MediaReleased() const { return releaseTracker_.released; }

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != IID_IDataObject) return E_NOINTERFACE;
    *ppv = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
  }
  // Lives on the test's stack: the count is not used for its lifetime.
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override { return --refs_; }

  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
    HRESULT hr = QueryGetData(format);
    if (FAILED(hr)) return hr;
    // With a releaser in the medium, ReleaseStgMedium calls it instead of
    // freeing the list (this object frees its lists itself), so the counts
    // show whether the handler released every medium it got.
    lists_.push_back(MakeDropFiles(paths_, wide_));
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = lists_.back();
    medium->pUnkForRelease = &releaseTracker_;
    ++given_;
    return S_OK;
  }
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryGetData(FORMATETC* format) override {
    if (!offerHdrop_ || format->cfFormat != CF_HDROP) return DV_E_FORMATETC;
    if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
    if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    return S_OK;
  }
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    out->ptd = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA** out) override {
    *out = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
  }

  ~HdropDataObject() {
    for (HGLOBAL list : lists_) GlobalFree(list);
  }

 private:
  // Receives ReleaseStgMedium's call for each medium handed out.
  struct ReleaseTracker : public IUnknown {
    int released = 0;
    STDMETHODIMP QueryInterface(REFIID, void** ppv) override {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override {
      ++released;
      return 1;
    }
  };

  std::vector<std::string> paths_;
  bool wide_, offerHdrop_;
  ULONG refs_ = 1;
  int given_ = 0;
  std::vector<HGLOBAL> lists_;
  ReleaseTracker releaseTracker_;
};

}  // namespace wintest
