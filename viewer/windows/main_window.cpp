// The main window: its tool strip, the message dispatch, always-on-top and
// the About box.
#include <windows.h>

#include "resource_ids.h"
#include "viewer_windows.h"

int32_t cxChar = 0, cyChar = 0;
HWND bViewHeader, bHideHeader, bBrighten, bDim, bNormal, bContrastUp, bContrastDown, bAutoBrCr, bAutoOn, bAutoOffR,
    bAutoOffL, dBrightness, dContrast;

namespace {

struct StripControl {
  int id;
  HWND* handle;
  bool button;  // else a read-out field
  int x, y, width, height;
  bool visible;
  int face;     // bitmap resource, 0 for the fields
};

// In the order of creation; ids 10/11/12 and 1/2 share their places.
const StripControl kStrip[] = {
  {9, &bAutoBrCr, true, 5, 5, 60, 20, true, IDB_AUTO_RANGE},
  {21, &dContrast, false, 65, 5, 92, 20, true, 0},
  {20, &dBrightness, false, 157, 5, 92, 20, true, 0},
  {5, &bNormal, true, 249, 5, 60, 20, true, IDB_FULL_RANGE},
  {10, &bAutoOn, true, 5, 25, 60, 20, true, IDB_AUTO_LOAD},
  {12, &bAutoOffR, true, 5, 25, 60, 20, false, IDB_RAW_LOAD},
  {11, &bAutoOffL, true, 5, 25, 60, 20, false, IDB_LOCK_LOAD},
  {7, &bContrastDown, true, 65, 25, 46, 20, true, IDB_BLACK_LEFT},
  {6, &bContrastUp, true, 111, 25, 46, 20, true, IDB_BLACK_RIGHT},
  {4, &bDim, true, 157, 25, 46, 20, true, IDB_WHITE_LEFT},
  {3, &bBrighten, true, 203, 25, 46, 20, true, IDB_WHITE_RIGHT},
  {1, &bViewHeader, true, 249, 25, 60, 20, true, IDB_HEADER_ON},
  {2, &bHideHeader, true, 249, 25, 60, 20, false, IDB_HEADER_OFF},
};

void OnCreate(HWND window) {
  // MainWindow is still null here: these are the screen's metrics, kept only
  // when the header font cannot be made.
  HDC dc = GetDC(MainWindow);
  TEXTMETRICA metrics;
  GetTextMetricsA(dc, &metrics);
  cxChar = metrics.tmAveCharWidth;
  cyChar = metrics.tmHeight + metrics.tmExternalLeading;
  ReleaseDC(MainWindow, dc);

  for (const StripControl& c : kStrip) {
    DWORD style = WS_CHILD | (c.visible ? WS_VISIBLE : 0) | (c.button ? BS_OWNERDRAW : SS_OWNERDRAW);
    *c.handle = CreateWindowExA(0, c.button ? "Button" : "Static", nullptr, style, c.x, c.y, c.width, c.height,
                                window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), TheInstance, nullptr);
  }
}

void OnDrawItem(const DRAWITEMSTRUCT* item) {
  if (item->CtlID == 20) return UpdateBr(item);
  if (item->CtlID == 21) return UpdateCr(item);
  for (const StripControl& c : kStrip) {
    if (static_cast<UINT>(c.id) == item->CtlID && c.face != 0) {
      DrawMyButton(item, c.face);
      return;
    }
  }
}

void OnCommand(WPARAM wParam) {
  if (HIWORD(wParam) != 0) return;
  int id = LOWORD(wParam);
  switch (id) {
    case 1: ShowHeader(); break;
    case 2: HideHeader(); break;
    default: OnLevelCommand(id); break;
  }
}

// Mouse positions are unsigned 16-bit: left of or above the client area
// they arrive as large numbers, which count as outside the image.
POINT MousePoint(LPARAM lParam) {
  return {static_cast<LONG>(LOWORD(lParam)), static_cast<LONG>(HIWORD(lParam))};
}

}  // namespace

int DrawMyButton(const DRAWITEMSTRUCT* item, int bitmapId) {
  HBITMAP face = LoadBitmapA(TheInstance, MAKEINTRESOURCEA(bitmapId));
  BITMAP size = {};
  GetObjectA(face, sizeof size, &size);
  HDC memory = CreateCompatibleDC(item->hDC);
  HGDIOBJ previous = SelectObject(memory, face);
  BitBlt(item->hDC, 0, 0, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
  DeleteObject(face);
  return 0;
}

void OnOnTop() {
  bool wasTopmost = (GetWindowLongA(MainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  SetWindowPos(MainWindow, wasTopmost ? HWND_NOTOPMOST : HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  CheckMenuItem(GetSystemMenu(MainWindow, FALSE), 32, MF_BYCOMMAND | (wasTopmost ? MF_UNCHECKED : MF_CHECKED));
}

void OnAbout() {
  char caption[50] = {};
  char text[512] = {};
  LoadStringA(TheInstance, IDS_ABOUT_CAPTION, caption, sizeof caption);
  LoadStringA(TheInstance, IDS_ABOUT_TEXT, text, sizeof text);
  MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONINFORMATION);
}

LRESULT CALLBACK ViewerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: OnCreate(window); return 0;
    case WM_DESTROY:
      SetRegistryPos();
      PostQuitMessage(0);
      return 0;
    case WM_MOVE: SetHeaderWindow(); return 0;
    case WM_SIZE:
      OnSize();
      SetHeaderWindow();
      return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_DRAWITEM: OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return 0;
    case WM_COPYDATA: OnOnTop(); return 1;
    case WM_COMMAND: OnCommand(wParam); return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case 16: OnAbout(); return 0;
        case 32: OnOnTop(); return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
      }
    case WM_HSCROLL: OnHScroll(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_VSCROLL: OnVScroll(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_MOUSEMOVE: OnMouseMove(MousePoint(lParam)); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(MousePoint(lParam)); return 0;
    case WM_LBUTTONUP: OnLButtonUp(); return 0;
    case WM_RBUTTONUP: OnRButtonUp(MousePoint(lParam)); return 0;
    case WM_MOUSEWHEEL:
      OnMouseWheel(LOWORD(wParam), static_cast<int16_t>(HIWORD(wParam)), MousePoint(lParam));
      return 0;
    default:
      if (message == LOOKING_FOR_VIEWER_APP) return LOOKING_FOR_VIEWER_APP;
      return DefWindowProcA(window, message, wParam, lParam);
  }
}
