// Rebuilds the display bitmap from the decoded image under the current
// levels (or new ones, by the load-levels mode).
#include <windows.h>

#include <cstdio>

#include "display_mapping.h"
#include "header_parser.h"
#include "load_request.h"
#include "pixel_decoder.h"
#include "report.h"
#include "resource_ids.h"
#include "viewer_windows.h"

double ScaleBrightness = 0, ScaleContrast = 0;
int AutoOn = 0, OneTime = 0;
HBITMAP TheBitmap = nullptr;
BITMAP TheBitmapInfo = {};

namespace {

void ChooseLevels() {
  if (OneTime || (AutoOn == 0 && firstLoad)) {
    OneTime = 0;
    firstLoad = 0;
    LevelSources sources{minP, maxP, avgPV, TheFormat.realbitpix, TheFormat.mWhiteLevel, TheFormat.mBlackLevel,
                         TheFormat.fitsplugIn};
    Levels levels = AutomaticLevels(sources);
    avgPV = sources.avgPV;
    ScaleBrightness = levels.white;
    ScaleContrast = levels.black;
  } else if (AutoOn == 2) {
    ScaleBrightness = maxP;
    ScaleContrast = minP;
  }
}

void FitToWindow() {
  RECT client;
  GetClientRect(MainWindow, &client);
  ZoomRatio = FitZoom(client.right, client.bottom, TheFormat.imageSzH, TheFormat.imageSzV, ZoomRatio);
  OnSize();
  InvalidateRect(MainWindow, nullptr, TRUE);
  ZoomOrGridChanged = 1;
}

}  // namespace

void SetMainTitle() {
  char format[100];
  char title[150];
  LoadStringA(TheInstance, IDS_TITLE_FORMAT, format, sizeof format);
  // snprintf cuts a title that a long file name would make too long.
  snprintf(title, sizeof title, format, sfname, static_cast<int>(TheFormat.imageSzH),
           static_cast<int>(TheFormat.imageSzV), static_cast<int>(TheFormat.realbitpix));
  SetWindowTextA(MainWindow, title);
}

namespace {

HBITMAP CreateDisplayBitmap(HDC memory, void** pixels) {
  BITMAPINFO info = {};
  BITMAPINFOHEADER& h = info.bmiHeader;
  h.biSize = sizeof h;
  h.biWidth = static_cast<LONG>(TheFormat.imageSzH);
  h.biHeight = static_cast<LONG>(TheFormat.imageSzV);  // positive: bottom-up
  h.biPlanes = 1;
  h.biBitCount = 32;
  h.biCompression = BI_RGB;
  h.biSizeImage = TheFormat.imageSzH * TheFormat.imageSzV * 4;
  return CreateDIBSection(memory, &info, DIB_RGB_COLORS, pixels, nullptr, 0);
}

}  // namespace

int NewBitmap() {
  if (gDoubleBuffer == nullptr) return 0;
  avgPV = sumPV / (static_cast<double>(TheFormat.imageSzH) * TheFormat.imageSzV * (TheFormat.isRGB ? 3 : 1));
  ChooseLevels();
  if (ZoomFit) FitToWindow();
  SetMainTitle();

  HDC windowDc = GetDC(MainWindow);
  HDC memory = CreateCompatibleDC(windowDc);
  ReleaseDC(MainWindow, windowDc);
  void* pixels = nullptr;
  if (memory != nullptr) {
    if (TheBitmap != nullptr) DeleteObject(TheBitmap);
    TheBitmap = CreateDisplayBitmap(memory, &pixels);
  }
  if (memory == nullptr || TheBitmap == nullptr || pixels == nullptr) {
    if (memory != nullptr) DeleteDC(memory);
    ReportFailure("NewBitmap", "CreateDibSection failed");
    return 0;
  }
  MapSamples(gDoubleBuffer, TheFormat.imageSzH, TheFormat.imageSzV, TheFormat.planes,
             Transfer(minP, {ScaleBrightness, ScaleContrast}), static_cast<uint8_t*>(pixels));
  DeleteDC(memory);
  if (GetObjectA(TheBitmap, sizeof TheBitmapInfo, &TheBitmapInfo) == 0) {
    ReportFailure("NewBitmap", "GetObject failed");
    return 0;
  }

  NewBitmapData = 0;
  ZoomOrGridChanged = 1;
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  GetWindowPlacement(MainWindow, &placement);
  OnSize();
  SetWindowPlacement(MainWindow, &placement);
  // The read-out fields show the levels this rebuild chose.
  InvalidateRect(dBrightness, nullptr, FALSE);
  InvalidateRect(dContrast, nullptr, FALSE);
  return 1;
}
