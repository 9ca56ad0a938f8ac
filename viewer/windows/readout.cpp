// The pixel read-out: while the left button is held on the image, a tooltip
// beside the pointer shows the pixel's column, row and decoded value.
#include <windows.h>

#include "header_parser.h"
#include "readout_rules.h"
#include "resource_ids.h"
#include "viewer_windows.h"

namespace {

int32_t AxisPixel(int bar, int32_t pointer, int32_t client, int32_t zoomed, int32_t bitmapSize) {
  SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_POS};
  GetScrollInfo(MainWindow, bar, &info);
  return PixelUnderPointer({pointer, client, info.nMax, info.nPos, zoomed, ZoomRatio, bitmapSize});
}

void ReadoutText(int32_t x, int32_t y, char* text) {
  const FitsFormat& f = TheFormat;
  if (f.bitpix != 8 && f.bitpix != 16 && f.bitpix != 32) return FormatPositionOnly(x, y, text);
  bool hex = HexToolTip != 0, colour = f.isRGB != 0;
  int formatId = hex ? (colour ? IDS_HEX_RGB : IDS_HEX_MONO) : (colour ? IDS_DEC_RGB : IDS_DEC_MONO);
  char format[50];
  LoadStringA(TheInstance, formatId, format, sizeof format);
  size_t i = size_t{f.imageSzH} * static_cast<uint32_t>(y) + static_cast<uint32_t>(x);
  size_t n = size_t{f.imageSzH} * f.imageSzV;
  double values[3] = {gDoubleBuffer[i], colour ? gDoubleBuffer[n + i] : 0, colour ? gDoubleBuffer[2 * n + i] : 0};
  FormatReadout(format, hex, colour, x, y, values, text);
}

}  // namespace

void OnLButtonDown(POINT point) {
  RECT client;
  GetClientRect(MainWindow, &client);
  int32_t x = AxisPixel(SB_HORZ, point.x, client.right, Width, TheBitmapInfo.bmWidth);
  int32_t y = x < 0 ? -1 : AxisPixel(SB_VERT, point.y, client.bottom, Height, TheBitmapInfo.bmHeight);
  if (y < 0 || gDoubleBuffer == nullptr) {
    ShowWindow(ToolTipWindow, SW_HIDE);
    return;
  }
  char text[kReadoutLength];
  ReadoutText(x, y, text);
  SetCapture(MainWindow);
  ShowToolTip(point, text);
}

void OnMouseMove(POINT point) {
  if (GetCapture() == MainWindow) OnLButtonDown(point);
}

void OnLButtonUp() {
  ReleaseCapture();
  ShowWindow(ToolTipWindow, SW_HIDE);
}

void ShowToolTip(POINT point, const char* text) {
  ClientToScreen(MainWindow, &point);
  HDC dc = GetDC(ToolTipWindow);
  if (dc != nullptr) {
    int saved = SaveDC(dc);
    SetBkColor(dc, GetSysColor(COLOR_INFOBK));
    SIZE size;
    int length = lstrlenA(text);
    GetTextExtentPoint32A(dc, text, length, &size);
    int screenWidth = GetDeviceCaps(dc, HORZRES), screenHeight = GetDeviceCaps(dc, VERTRES);
    if (point.x + size.cx + 3 > screenWidth) point.x = screenWidth - size.cx - 3;
    if (point.y + size.cy + 21 > screenHeight) point.y = point.y - 30 - size.cy;
    SetWindowPos(ToolTipWindow, HWND_TOPMOST, point.x, point.y + 18, size.cx + 3, size.cy + 3,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    TextOutA(dc, 0, 0, text, length);
    RestoreDC(dc, saved);
    ReleaseDC(ToolTipWindow, dc);
  }
  RedrawWindow(MainWindow, nullptr, nullptr, RDW_UPDATENOW);
}
