// Windows tests of the viewer: FITS files in the temporary folder, the
// viewer's registered messages, client pixels read back from a window.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fits_builder.h"

namespace viewertest {

inline std::string TempFile(const std::string& name, const std::string& bytes) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  std::string path = std::string(folder) + name;
  fitstest::WriteFile(path, bytes);
  return path;
}

// The x86_64 build tree, from this test program's place in it
// (<tree>\tests\viewer\<test>.exe).
inline std::string BuildFolder() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p = path;
  for (int i = 0; i < 3; ++i) p = p.substr(0, p.rfind('\\'));
  return p;
}

inline UINT ViewerMessage() {
  return RegisterWindowMessageA("LOOKING_FOR_VIEWER_APP_{FD4EA0C0-ECFC-11d5-B625-ED551C514422}");
}
inline UINT HeaderMessage() {
  return RegisterWindowMessageA("LOOKING_FOR_HEADER_APP_{FD4EA0C0-ECFC-11d5-B625-ED551C514423}");
}

// A load request as any sender makes it.
inline LRESULT SendLoad(HWND header, const std::string& path, ULONG_PTR magic = 0xFEB11966, DWORD length = 271) {
  std::vector<char> payload(length < 271 ? 271 : length, 0);
  memcpy(payload.data() + 16, path.c_str(), path.size() + 1);
  COPYDATASTRUCT request{magic, length, payload.data()};
  DWORD_PTR result = 0;
  SendMessageTimeoutA(header, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&request), SMTO_NORMAL, 20000, &result);
  return static_cast<LRESULT>(result);
}

inline std::string WindowTitle(HWND window) {
  char text[256] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// The client area as 0x00RRGGBB values, row after row from the top.
struct ClientPixels {
  int width = 0, height = 0;
  std::vector<uint32_t> rgb;
  uint32_t at(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
};

inline ClientPixels ReadClient(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  ClientPixels p;
  p.width = client.right;
  p.height = client.bottom;
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), p.width, -p.height, 1, 32, BI_RGB};
  void* bits = nullptr;
  HDC dc = GetDC(window);
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, p.width, p.height, dc, 0, 0, SRCCOPY);
  GdiFlush();
  const uint32_t* px = static_cast<const uint32_t*>(bits);
  p.rgb.assign(px, px + static_cast<size_t>(p.width) * p.height);
  for (auto& v : p.rgb) v &= 0xFFFFFF;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, dc);
  return p;
}

inline uint32_t Grey(int v) { return static_cast<uint32_t>(v) * 0x010101u; }

// Polls until the condition holds or the time is up.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = 15000) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(20)) {
    if (condition()) return true;
  }
  return condition();
}

inline void DeletePlacement() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Corvane\\Kelvra\\Pos"); }

}  // namespace viewertest
