// kelvra-thumb [--size N] FILE... --out DIR: asks the thumbnail handler
// registered for each file's extension for a thumbnail, the way the shell
// does (CoCreateInstance, IPersistFile::Load, GetLocation, Extract), and
// saves it as DIR\NAME.png through GDI+. Prints each PNG written; reports
// on stderr what failed for a file, with the text of any message box the
// handler showed (the tool closes those boxes). Exit code 0 when every file
// gave a thumbnail, 1 when one failed, 2 for a wrong command line.
#include <windows.h>
#include <gdiplus.h>
#include <shobjidl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "arguments.h"

namespace {

// The shell looks thumbnail handlers up under the IID of IExtractImage.
const char kThumbnailHandlerKey[] = "shellex\\{BB2E617C-0920-11d1-9A0B-00C04FC2D6C1}";

std::wstring Wide(const std::string& text) {
  const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(n > 0 ? n : 1, L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], n);
  wide.resize(wcslen(wide.c_str()));
  return wide;
}

std::string Hex(HRESULT hr) {
  char text[16];
  snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

// Closes the message boxes this process shows and keeps their texts, so
// that a handler's error box neither blocks the tool nor gets lost.
// Plain Win32 threads and locks: the 32-bit build's runtime has no
// std::thread, and this tool runs on the oldest systems too.
class BoxCloser {
 public:
  BoxCloser() {
    InitializeCriticalSection(&lock_);
    thread_ = CreateThread(nullptr, 0, Watch, this, 0, nullptr);
  }
  ~BoxCloser() {
    InterlockedExchange(&stop_, 1);
    if (thread_ != nullptr) {
      WaitForSingleObject(thread_, INFINITE);
      CloseHandle(thread_);
    }
    DeleteCriticalSection(&lock_);
  }
  std::string TakeTexts() {
    EnterCriticalSection(&lock_);
    std::string texts;
    texts.swap(texts_);
    LeaveCriticalSection(&lock_);
    return texts;
  }

 private:
  static BOOL CALLBACK CloseIfBox(HWND window, LPARAM self) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (process != GetCurrentProcessId() || strcmp(className, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    char caption[256] = "", text[1024] = "";
    GetWindowTextA(window, caption, sizeof caption);
    GetDlgItemTextA(window, 0xFFFF, text, sizeof text);  // the box's static text
    reinterpret_cast<BoxCloser*>(self)->Record(std::string("\"") + caption + "\": " + text);
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    return TRUE;
  }
  void Record(const std::string& box) {
    EnterCriticalSection(&lock_);
    texts_ += (texts_.empty() ? "" : "; ") + box;
    LeaveCriticalSection(&lock_);
  }
  static DWORD WINAPI Watch(void* self) {
    auto* closer = static_cast<BoxCloser*>(self);
    while (InterlockedCompareExchange(&closer->stop_, 0, 0) == 0) {
      EnumWindows(CloseIfBox, reinterpret_cast<LPARAM>(closer));
      Sleep(50);
    }
    return 0;
  }

  LONG volatile stop_ = 0;
  CRITICAL_SECTION lock_;
  std::string texts_;
  HANDLE thread_ = nullptr;
};

bool HandlerFor(const std::string& path, CLSID* handler) {
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || path.find_first_of("\\/", dot) != std::string::npos) return false;
  const std::string key = path.substr(dot) + "\\" + kThumbnailHandlerKey;
  char text[64];
  LONG size = sizeof text;
  if (RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), text, &size) != ERROR_SUCCESS) return false;
  std::wstring wide = Wide(text);
  return SUCCEEDED(CLSIDFromString(&wide[0], handler));
}

bool PngEncoder(CLSID* encoder) {
  UINT count = 0, bytes = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
  std::vector<BYTE> buffer(bytes);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (wcscmp(codecs[i].MimeType, L"image/png") == 0) {
      *encoder = codecs[i].Clsid;
      return true;
    }
  }
  return false;
}

bool SavePng(HBITMAP bitmap, const std::string& path) {
  CLSID encoder;
  if (!PngEncoder(&encoder)) return false;
  Gdiplus::Bitmap image(bitmap, nullptr);
  return image.GetLastStatus() == Gdiplus::Ok && image.Save(Wide(path).c_str(), &encoder, nullptr) == Gdiplus::Ok;
}

// Runs the shell's sequence on the handler and returns the bitmap, or null
// with the reason in `failure`.
HBITMAP ExtractThumbnail(IExtractImage* extractor, const std::string& fullPath, int side, BoxCloser* boxes,
                         std::string* failure) {
  IPersistFile* file = nullptr;
  HRESULT hr = extractor->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (FAILED(hr)) {
    *failure = "the handler has no IPersistFile (" + Hex(hr) + ")";
    return nullptr;
  }
  hr = file->Load(Wide(fullPath).c_str(), STGM_READ);
  file->Release();
  if (FAILED(hr)) {
    *failure = "Load failed (" + Hex(hr) + ")";
    return nullptr;
  }
  wchar_t location[MAX_PATH] = L"";
  DWORD priority = IEIT_PRIORITY_NORMAL, flags = IEIFLAG_ASYNC;
  const SIZE size = {side, side};
  hr = extractor->GetLocation(location, MAX_PATH, &priority, &size, 32, &flags);
  if (FAILED(hr) && hr != E_PENDING) {
    *failure = "GetLocation failed (" + Hex(hr) + ")";
    return nullptr;
  }
  HBITMAP bitmap = nullptr;
  hr = extractor->Extract(&bitmap);
  const std::string shown = boxes->TakeTexts();
  if (FAILED(hr) || bitmap == nullptr) {
    *failure = "Extract failed (" + Hex(hr) + ")" + (shown.empty() ? "" : ", the handler showed " + shown);
    if (bitmap != nullptr) DeleteObject(bitmap);
    return nullptr;
  }
  return bitmap;
}

// One file; returns what failed, or an empty text.
std::string Render(const std::string& path, int side, const std::string& outPath, BoxCloser* boxes) {
  char fullPath[MAX_PATH];
  const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, fullPath, nullptr);
  if (length == 0 || length >= MAX_PATH) return "the path is too long";
  CLSID handler;
  if (!HandlerFor(fullPath, &handler)) return "no thumbnail handler is registered for its extension";
  IExtractImage* extractor = nullptr;
  const HRESULT hr = CoCreateInstance(handler, nullptr, CLSCTX_INPROC_SERVER, IID_IExtractImage,
                                      reinterpret_cast<void**>(&extractor));
  if (FAILED(hr)) return "CoCreateInstance of the handler failed (" + Hex(hr) + ")";
  std::string failure;
  HBITMAP bitmap = ExtractThumbnail(extractor, fullPath, side, boxes, &failure);
  extractor->Release();
  if (bitmap == nullptr) return failure;
  const bool saved = SavePng(bitmap, outPath);
  DeleteObject(bitmap);
  return saved ? "" : "cannot write " + outPath;
}

}  // namespace

int main(int argc, char** argv) {
  ThumbArguments arguments;
  std::string error;
  if (!ParseArguments(std::vector<std::string>(argv + 1, argv + argc), &arguments, &error)) {
    fprintf(stderr, "kelvra-thumb: %s\nusage: kelvra-thumb [--size N] FILE... --out DIR\n", error.c_str());
    return 2;
  }
  if (FAILED(CoInitialize(nullptr))) {
    fprintf(stderr, "kelvra-thumb: CoInitialize failed\n");
    return 1;
  }
  Gdiplus::GdiplusStartupInput gdiplusInput;
  ULONG_PTR gdiplus = 0;
  Gdiplus::GdiplusStartup(&gdiplus, &gdiplusInput, nullptr);
  int failures = 0;
  {
    BoxCloser boxes;
    for (const std::string& file : arguments.files) {
      const std::string outPath = OutputPath(arguments.outDir, file);
      const std::string failure = Render(file, arguments.size, outPath, &boxes);
      if (failure.empty()) {
        printf("%s\n", outPath.c_str());
      } else {
        fprintf(stderr, "kelvra-thumb: %s: %s\n", file.c_str(), failure.c_str());
        ++failures;
      }
      fflush(stdout);
      fflush(stderr);
    }
  }
  Gdiplus::GdiplusShutdown(gdiplus);
  CoUninitialize();
  return failures == 0 ? 0 : 1;
}
