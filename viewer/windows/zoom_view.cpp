// The zoomed view: a zoomed copy of the display bitmap, painted centred or
// scrolled with the window's standard bars; the zoom menu and the wheel.
#include <windows.h>

#include "display_mapping.h"
#include "load_request.h"
#include "resource_ids.h"
#include "scroll_bars.h"
#include "view_rules.h"
#include "viewer_windows.h"

HBITMAP TheScaledBitmap = nullptr;
int ZoomRatio = 3, ZoomFit = 1, ZoomOrGridChanged = 0, HexToolTip = 0;
int32_t Width = 0, Height = 0;

namespace {

void SetZoom(int ratio) {
  ZoomRatio = ratio;
  OnSize();
  InvalidateRect(MainWindow, nullptr, TRUE);
  ZoomOrGridChanged = 1;
}

HMENU BuildZoomMenu() {
  HMENU menu = CreatePopupMenu();
  char hex[50];
  LoadStringA(TheInstance, IDS_HEX_MENU, hex, sizeof hex);
  for (const ZoomMenuItem& item : kZoomMenu) {
    if (item.text == nullptr) {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    ZoomItemState state = ZoomMenuItemState(item.id, ZoomRatio, HexToolTip);
    UINT flags = MF_STRING | (state.greyed ? MF_GRAYED : 0) | (state.checked ? MF_CHECKED : 0);
    AppendMenuA(menu, flags, item.id, item.id == kHexMenuId ? hex : item.text);
  }
  return menu;
}

// Paints the visible part of the zoomed copy: centred where it fits, from
// the scroll position where it does not.
void PaintView(HDC dc) {
  HDC memory = CreateCompatibleDC(dc);
  if (memory == nullptr) return;
  int saved = SaveDC(memory);
  SelectObject(memory, TheScaledBitmap);
  RECT client;
  GetClientRect(MainWindow, &client);
  int x = CentredOrigin(client.right, Width), y = CentredOrigin(client.bottom, Height);
  int sx = 0, sy = 0;
  if (x < 0) {
    sx = GetScrollPos(MainWindow, SB_HORZ);
    x = 0;
  }
  if (y < 0) {
    sy = GetScrollPos(MainWindow, SB_VERT);
    y = 0;
  }
  int w = Width > client.right ? client.right : Width;
  int h = Height > client.bottom ? client.bottom : Height;
  BitBlt(dc, x, y, w, h, memory, sx, sy, SRCCOPY);
  RestoreDC(memory, saved);
  DeleteDC(memory);
}

}  // namespace

void OnPaint() {
  // A failed rebuild still settles the paint request (the background is
  // erased, nothing drawn); the flag that asked for the rebuild stays set,
  // so the next paint tries again.
  bool ready = !(NewBitmapData && !NewBitmap()) && !(ZoomOrGridChanged && !NewView());
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(MainWindow, &paint);
  if (dc == nullptr) return;
  if (ready && TheBitmap != nullptr) PaintView(dc);
  EndPaint(MainWindow, &paint);
}

int NewView() {
  if (TheBitmap == nullptr) return 0;
  HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  HDC target = CreateCompatibleDC(nullptr);
  HDC source = CreateCompatibleDC(nullptr);
  int result = 0;
  if (target != nullptr && source != nullptr) {
    int savedTarget = SaveDC(target), savedSource = SaveDC(source);
    SelectObject(source, TheBitmap);
    if (TheScaledBitmap != nullptr) DeleteObject(TheScaledBitmap);
    TheScaledBitmap = CreateCompatibleBitmap(source, Width, Height);
    if (TheScaledBitmap != nullptr) {
      SelectObject(target, TheScaledBitmap);
      SetStretchBltMode(target, COLORONCOLOR);
      StretchBlt(target, 0, 0, Width, Height, source, 0, 0, TheBitmapInfo.bmWidth, TheBitmapInfo.bmHeight, SRCCOPY);
      ZoomOrGridChanged = 0;
      result = 1;
    }
    RestoreDC(source, savedSource);
    RestoreDC(target, savedTarget);
  }
  if (source != nullptr) DeleteDC(source);
  if (target != nullptr) DeleteDC(target);
  SetCursor(previous);
  return result;
}

void OnSize() {
  Height = ZoomedSize(TheBitmapInfo.bmHeight, ZoomRatio);
  Width = ZoomedSize(TheBitmapInfo.bmWidth, ZoomRatio);
  RECT client;
  GetClientRect(MainWindow, &client);
  SetScrollRangeAndPage(MainWindow, SB_VERT, Height, client.bottom);
  // Showing or hiding the vertical bar changes the client width.
  GetClientRect(MainWindow, &client);
  SetScrollRangeAndPage(MainWindow, SB_HORZ, Width, client.right);
}

void OnHScroll(int code, int position) { ScrollBy(MainWindow, SB_HORZ, code, position, ScrollLineStep(ZoomRatio)); }
void OnVScroll(int code, int position) { ScrollBy(MainWindow, SB_VERT, code, position, ScrollLineStep(ZoomRatio)); }

void OnMouseWheel(unsigned keys, int delta, POINT point) {
  int notches = WheelNotches(delta);
  UINT bar = (keys & MK_SHIFT) ? WM_HSCROLL : WM_VSCROLL;
  WPARAM code = notches > 0 ? kPageUp : kPageDown;
  ScreenToClient(MainWindow, &point);
  for (int i = 0; i < (notches < 0 ? -notches : notches); ++i) {
    PostMessageA(MainWindow, bar, code, 0);
    if (keys & MK_LBUTTON) PostMessageA(MainWindow, WM_MOUSEMOVE, keys, MAKELPARAM(point.x, point.y));
  }
}

void OnRButtonUp(POINT point) {
  ClientToScreen(MainWindow, &point);
  HMENU menu = BuildZoomMenu();
  int id = TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD, point.x, point.y, 0, MainWindow,
                          nullptr);
  DestroyMenu(menu);
  if (id == 0) return;
  if (id == kHexMenuId) {
    HexToolTip = !HexToolTip;
    return;
  }
  if (id == kFitMenuId) {
    if (TheBitmap == nullptr) return;  // nothing to fit yet
    ZoomFit = 1;
    RECT client;
    GetClientRect(MainWindow, &client);
    int z = FitZoom(client.right, client.bottom, TheBitmapInfo.bmWidth, TheBitmapInfo.bmHeight, ZoomRatio);
    if (z != ZoomRatio) SetZoom(z);
    return;
  }
  if (id == ZoomRatio) return;
  ZoomFit = 0;
  SetZoom(id);
}
