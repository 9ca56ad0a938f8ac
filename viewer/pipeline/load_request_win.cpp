// WM_COPYDATA to the header window: one load request.
#include <windows.h>

#include "load_request.h"
#include "viewer_windows.h"

int OnCopyDataH(const COPYDATASTRUCT* request) {
  if (!LoadRequestValid(request->dwData, request->lpData, request->cbData)) return 0;
  SetForegroundWindow(HeaderWindow);
  int imageReplaced = 0;
  if (!TakeLoadRequest(request->lpData, request->cbData, &imageReplaced)) return 0;
  InvalidateRect(HeaderWindow, nullptr, TRUE);
  if (imageReplaced) InvalidateRect(MainWindow, nullptr, TRUE);
  return 1;
}
