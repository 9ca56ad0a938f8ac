// fitsformatExtractor: the shell hands it a file name (IPersistFile::Load)
// and a size (IExtractImage::GetLocation), then calls Extract, which decodes
// the file and draws it, shrunk to fit, into a white bitmap of that size.
#include "extractor.h"

#include <shobjidl.h>

#include <climits>
#include <cstring>
#include <cwchar>
#include <new>

#include "ansi_code_page.h"
#include "decode_fits_thumbnail.h"
#include "module_lock.h"
#include "thumbnail_fit.h"

namespace {

constexpr size_t kPathSize = 500;
// The size until GetLocation gives one: the shell's usual thumbnail.
constexpr ThumbnailSize kStartingSize = {96, 96};

// The ANSI code page of the calling thread, chosen once per process.
UINT FileNameCodePage() {
  static const UINT codePage = [] {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    if (HasThreadCodePage(version.dwPlatformId, version.dwMajorVersion)) return UINT{CP_THREAD_ACP};
    char text[7] = "";
    if (GetLocaleInfoA(GetThreadLocale(), LOCALE_IDEFAULTANSICODEPAGE, text, sizeof text) == 0) text[0] = '\0';
    return UINT{CodePageFromLocaleText(text, GetACP())};
  }();
  return codePage;
}

HRESULT NotImplemented(const char* method) {
  MessageBoxA(nullptr, method, nullptr, MB_OK);
  return E_NOTIMPL;
}

// Draws the picture, shrunk to fit, into the top-left corner of a white
// bitmap of the box's size in the screen's format. Null when GDI fails.
HBITMAP DrawThumbnail(const BITMAPINFO* info, const void* pixels, ThumbnailSize box) {
  HDC dc = CreateCompatibleDC(nullptr);
  if (dc == nullptr) return nullptr;
  HBITMAP bitmap = CreateBitmap(box.width, box.height, GetDeviceCaps(dc, PLANES), GetDeviceCaps(dc, BITSPIXEL), nullptr);
  HGDIOBJ previous = bitmap != nullptr ? SelectObject(dc, bitmap) : nullptr;
  bool drawn = false;
  if (previous != nullptr && previous != HGDI_ERROR) {
    const ThumbnailSize picture = {info->bmiHeader.biWidth, info->bmiHeader.biHeight};
    const ThumbnailSize fit = FitThumbnail(picture, box);
    drawn = PatBlt(dc, 0, 0, box.width, box.height, WHITENESS) && SetStretchBltMode(dc, HALFTONE) != 0 &&
            SetBrushOrgEx(dc, 0, 0, nullptr) &&
            // A picture that shrinks to no rows or columns leaves nothing to draw.
            (fit.width <= 0 || fit.height <= 0 ||
             StretchDIBits(dc, 0, 0, fit.width, fit.height, 0, 0, picture.width, picture.height, pixels, info,
                           DIB_RGB_COLORS, SRCCOPY) > 0);
    SelectObject(dc, previous);
  }
  DeleteDC(dc);
  if (!drawn && bitmap != nullptr) {
    DeleteObject(bitmap);
    bitmap = nullptr;
  }
  return bitmap;
}

class fitsformatExtractor final : public IPersistFile, public IExtractImage2 {
 public:
  static HRESULT Create(IUnknown* outer, REFIID riid, void** out) {
    auto* object = new (std::nothrow) fitsformatExtractor(outer);
    if (object == nullptr) return E_OUTOFMEMORY;
    // Held across the query so that an object nobody takes is destroyed.
    object->inner_.AddRef();
    HRESULT hr = object->inner_.QueryInterface(riid, out);
    object->inner_.Release();
    return hr;
  }

  // IUnknown of both interfaces: the controlling unknown's, which is the
  // outer object's when aggregated.
  STDMETHODIMP QueryInterface(REFIID riid, void** out) override { return controlling_->QueryInterface(riid, out); }
  STDMETHODIMP_(ULONG) AddRef() override { return controlling_->AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return controlling_->Release(); }

  // IPersistFile: only Load is of use to a thumbnail.
  STDMETHODIMP GetClassID(CLSID*) override { return NotImplemented("GetClassID"); }
  STDMETHODIMP IsDirty() override { return NotImplemented("IsDirty"); }
  STDMETHODIMP Load(LPCOLESTR name, DWORD) override;
  STDMETHODIMP Save(LPCOLESTR, BOOL) override { return NotImplemented("Save"); }
  STDMETHODIMP SaveCompleted(LPCOLESTR) override { return NotImplemented("SaveCompleted"); }
  STDMETHODIMP GetCurFile(LPOLESTR*) override { return NotImplemented("GetCurFile"); }

  // IExtractImage2.
  STDMETHODIMP GetLocation(LPWSTR, DWORD, DWORD*, const SIZE* size, DWORD, DWORD* flags) override;
  STDMETHODIMP Extract(HBITMAP* out) override;
  STDMETHODIMP GetDateStamp(FILETIME* stamp) override;

 private:
  // The unknown that owns the object's lifetime; an aggregating object
  // holds this one, every other caller gets the IPersistFile pointer.
  class InnerUnknown final : public IUnknown {
   public:
    explicit InnerUnknown(fitsformatExtractor* object) : object_(object) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override { return object_->InnerQueryInterface(riid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return ++object_->refs_; }
    STDMETHODIMP_(ULONG) Release() override {
      ULONG refs = --object_->refs_;
      if (refs == 0) delete object_;
      return refs;
    }

   private:
    fitsformatExtractor* object_;
  };

  explicit fitsformatExtractor(IUnknown* outer) : inner_(this), controlling_(outer != nullptr ? outer : &inner_) {
    LockModule();
  }
  ~fitsformatExtractor() { UnlockModule(); }

  HRESULT InnerQueryInterface(REFIID riid, void** out);

  ULONG refs_ = 0;  // plain: the object lives in one apartment
  InnerUnknown inner_;
  IUnknown* controlling_;
  ThumbnailSize size_ = kStartingSize;
  char path_[kPathSize] = "";
};

HRESULT fitsformatExtractor::InnerQueryInterface(REFIID riid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(riid, IID_IPersistFile)) {
    *out = static_cast<IPersistFile*>(this);
  } else if (IsEqualIID(riid, IID_IExtractImage)) {
    *out = static_cast<IExtractImage*>(this);
  } else if (IsEqualIID(riid, IID_IExtractImage2)) {
    *out = static_cast<IExtractImage2*>(this);
  } else if (IsEqualIID(riid, IID_IUnknown)) {
    *out = controlling_ == &inner_ ? static_cast<IUnknown*>(static_cast<IPersistFile*>(this)) : &inner_;
  } else {
    return E_NOINTERFACE;
  }
  static_cast<IUnknown*>(*out)->AddRef();
  return S_OK;
}

STDMETHODIMP fitsformatExtractor::Load(LPCOLESTR name, DWORD) {
  if (name == nullptr) return E_FAIL;
  const size_t length = wcslen(name);
  if (length >= INT_MAX / 2) return E_FAIL;
  const int size = static_cast<int>(2 * (length + 1));
  char* ansi = new (std::nothrow) char[size];
  if (ansi == nullptr) return E_OUTOFMEMORY;
  HRESULT hr = E_FAIL;
  if (WideCharToMultiByte(FileNameCodePage(), 0, name, -1, ansi, size, nullptr, nullptr) > 0 &&
      strlen(ansi) < kPathSize) {
    strcpy(path_, ansi);
    hr = S_OK;
  }
  delete[] ansi;
  return hr;
}

STDMETHODIMP fitsformatExtractor::GetLocation(LPWSTR, DWORD, DWORD*, const SIZE* size, DWORD, DWORD* flags) {
  if (size == nullptr || flags == nullptr) return E_POINTER;
  size_ = {size->cx, size->cy};
  return (*flags & IEIFLAG_ASYNC) != 0 ? E_PENDING : S_OK;
}

STDMETHODIMP fitsformatExtractor::Extract(HBITMAP* out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  HBITMAP dib = nullptr;
  void* pixels = nullptr;
  BITMAPINFO* info = DecodeFitsThumbnail(path_, &dib, &pixels);
  if (info == nullptr) return E_FAIL;
  HBITMAP thumbnail = DrawThumbnail(info, pixels, size_);
  DeleteObject(dib);
  HeapFree(GetProcessHeap(), 0, info);
  *out = thumbnail;
  return thumbnail != nullptr ? S_OK : E_FAIL;
}

STDMETHODIMP fitsformatExtractor::GetDateStamp(FILETIME* stamp) {
  if (stamp == nullptr) return E_POINTER;
  HANDLE file = CreateFileA(path_, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return E_FAIL;
  FILETIME written;
  const BOOL ok = GetFileTime(file, nullptr, nullptr, &written);
  CloseHandle(file);
  if (!ok) return E_FAIL;
  *stamp = written;
  return S_OK;
}

}  // namespace

HRESULT fitsformatExtractor_CreateInstance(IUnknown* outer, REFIID riid, void** out) {
  *out = nullptr;
  return fitsformatExtractor::Create(outer, riid, out);
}
