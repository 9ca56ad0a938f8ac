#include "decode_fits_thumbnail.h"

#include <cstdint>

#include "memory_file.h"
#include "thumbnail_header.h"
#include "thumbnail_pixels.h"
#include "varnex.h"

namespace {

constexpr int32_t kImageViewCode = 3060;
// The reader counts bytes in signed 32 bits; its record and the file share
// one allocation.
constexpr DWORD kMaxFileSize = static_cast<DWORD>(INT32_MAX - sizeof(MemoryFile));

// The whole file in one heap block: the reader's record, then the bytes.
// Null when the file cannot be opened, is empty or too large, or there is
// no memory. A short read leaves the bytes not read out of the data.
MemoryFile* OpenMemoryFile(const char* path) {
  HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  DWORD high = 0;
  const DWORD size = GetFileSize(handle, &high);
  MemoryFile* file = nullptr;
  if (size != 0 && size != INVALID_FILE_SIZE && high == 0 && size <= kMaxFileSize) {
    file = static_cast<MemoryFile*>(HeapAlloc(GetProcessHeap(), 0, sizeof(MemoryFile) + size));
  }
  if (file != nullptr) {
    uint8_t* bytes = reinterpret_cast<uint8_t*>(file + 1);
    DWORD read = 0;
    if (!ReadFile(handle, bytes, size, &read, nullptr)) read = 0;
    *file = MemoryFileOver(bytes, static_cast<int32_t>(read));
  }
  CloseHandle(handle);
  return file;
}

void CloseMemoryFile(MemoryFile* file) { HeapFree(GetProcessHeap(), 0, file); }

void FillBitmapHeader(const ThumbnailHeader& header, BITMAPINFOHEADER* bitmap) {
  *bitmap = BITMAPINFOHEADER{};
  bitmap->biSize = sizeof(BITMAPINFOHEADER);
  bitmap->biWidth = header.width;
  bitmap->biHeight = header.height;  // positive: bottom-up
  bitmap->biPlanes = 1;
  bitmap->biBitCount = 32;
  bitmap->biCompression = BI_RGB;
  bitmap->biSizeImage = DWORD(header.width) * DWORD(header.height) * 4;
}

BITMAPINFO* DecodeMemoryFile(MemoryFile* file, const char* path, HBITMAP* dib, void** pixels) {
  ThumbnailHeader header;
  switch (ScanHeader(file, &header)) {
    case HeaderScan::NoFirstCard:
      MessageBoxA(nullptr, path, "Error Reading first line of Fits File ", MB_OK);
      return nullptr;
    case HeaderScan::CardMissing:
      MessageBoxA(nullptr, "Fits Header", "Error continuing reading", MB_OK);
      return nullptr;
    case HeaderScan::Finished: break;
  }
  if (!SettleHeader(&header)) return nullptr;

  const HANDLE heap = GetProcessHeap();
  auto* info = static_cast<BITMAPINFO*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(BITMAPINFO)));
  if (info == nullptr) return nullptr;
  FillBitmapHeader(header, &info->bmiHeader);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto* values = bits != nullptr ? static_cast<double*>(HeapAlloc(heap, 0, SampleCount(header) * sizeof(double)))
                                 : nullptr;
  if (values == nullptr) {
    if (bitmap != nullptr) DeleteObject(bitmap);
    HeapFree(heap, 0, info);
    return nullptr;
  }
  const SampleStatistics statistics = FillThumbnailPixels(file, header, values, static_cast<uint8_t*>(bits));
  HeapFree(heap, 0, values);
  ImageView(kImageViewCode, path, ImageViewArgument(statistics.maximum), ImageViewArgument(statistics.minimum));
  *dib = bitmap;
  *pixels = bits;
  return info;
}

}  // namespace

BITMAPINFO* DecodeFitsThumbnail(const char* path, HBITMAP* dib, void** pixels) {
  MemoryFile* file = OpenMemoryFile(path);
  if (file == nullptr) {
    MessageBoxA(nullptr, path, "Error Opening", MB_OK);
    return nullptr;
  }
  BITMAPINFO* info = DecodeMemoryFile(file, path, dib, pixels);
  CloseMemoryFile(file);
  return info;
}
