// The viewer process: one instance, its windows, the message loop.
#include <windows.h>

#include "gdiplus_text.h"
#include "viewer_windows.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  ScreenSz = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (!FirstInstance()) return 0;
  ULONG_PTR gdiplus = StartGdiplus();
  if (!InitInstance(instance, show)) {
    StopGdiplus(gdiplus);
    return 0;
  }
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) != 0) DispatchMessageA(&message);
  ExitInstance();
  StopGdiplus(gdiplus);
  return 1;
}
