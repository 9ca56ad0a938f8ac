// The header window: the loaded file's header records as text, and the
// viewer's mailbox for load requests from other processes.
#include <windows.h>

#include "gdiplus_text.h"
#include "header_parser.h"
#include "header_rules.h"
#include "load_request.h"
#include "scroll_bars.h"
#include "viewer_windows.h"

namespace {

int16_t cxClient = 0, cyClient = 0;
int32_t charsClient = 0, linesClient = 0;
int32_t WidthH = 0, HeightH = 0;
const uint8_t* TheHeader = nullptr;

int FirstInstanceH() {
  HDC screen = GetDC(HeaderWindow);
  int height = MulDiv(12, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(HeaderWindow, screen);
  HFONT font = CreateFontA(height, 0, 0, 0, 0, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Courier New");
  if (font == nullptr) {
    MessageBoxA(nullptr, "Font creation failed!", "Error", MB_OK | MB_ICONEXCLAMATION);
    return 0;
  }
  DeleteObject(g_hfFont);
  g_hfFont = hf = font;
  HDC dc = GetDC(HeaderWindow);
  HGDIOBJ previous = SelectObject(dc, font);
  TEXTMETRICA metrics;
  GetTextMetricsA(dc, &metrics);
  cxChar = metrics.tmAveCharWidth;
  cyChar = metrics.tmHeight + metrics.tmExternalLeading;
  SelectObject(dc, previous);
  ReleaseDC(HeaderWindow, dc);
  return 1;
}

// The first size arrives during creation, before HeaderWindow is stored:
// the window the message is for is used then.
void OnSizeH(HWND window) {
  HeightH = static_cast<int32_t>(gHeadersize / 80 + 1) * cyChar;
  WidthH = 80 * cxChar;
  RECT client;
  GetClientRect(window, &client);
  SetScrollRangeAndPage(window, SB_VERT, HeightH, client.bottom);
  SetScrollRangeAndPage(window, SB_HORZ, WidthH, client.right);
  RECT outer;
  GetWindowRect(window, &outer);
  HeaderHeight = outer.bottom - outer.top;
}

int NewHeader() {
  if (WholeHeader == nullptr) return 0;
  SetMainTitle();
  TheHeader = WholeHeader;
  delete[] CopyDataBufferH;
  CopyDataBufferH = nullptr;
  NewHeaderData = 0;
  OnSizeH(HeaderWindow);
  return 1;
}

void OnPaintH(HWND window) {
  bool haveHeader = !NewHeaderData || NewHeader();
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (dc == nullptr) return;
  if (haveHeader && TheHeader != nullptr) {
    RECT client;
    GetClientRect(window, &client);
    GdiplusText text(dc);
    text.FillBlack(client);
    int32_t column = HeaderFirstColumn(GetScrollPos(window, SB_HORZ), cxChar, charsClient);
    HeaderRows rows = HeaderVisibleRows(GetScrollPos(window, SB_VERT), cyChar, linesClient, gHeadersize / 80);
    for (int32_t r = rows.first, i = 0; r < rows.end; ++r, ++i) {
      HeaderLine(reinterpret_cast<const char*>(TheHeader) + 80 * r, column, aHeaderRec);
      text.Draw(aHeaderRec, 0, i * cyChar, RGB(255, 255, 255));
    }
  }
  EndPaint(window, &paint);
}

void OnHScrollH(HWND window, int code, int position) { ScrollBy(window, SB_HORZ, code, position, cxChar); }
void OnVScrollH(HWND window, int code, int position) { ScrollBy(window, SB_VERT, code, position, cyChar); }

void OnSizeMessage(HWND window, LPARAM lParam) {
  cxClient = static_cast<int16_t>(LOWORD(lParam));
  cyClient = static_cast<int16_t>(HIWORD(lParam));
  linesClient = cyChar > 0 ? cyClient / cyChar : 0;
  charsClient = cxChar > 0 ? cxClient / cxChar : 0;
  OnSizeH(window);
}

}  // namespace

LRESULT CALLBACK HeaderWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: FirstInstanceH(); return 0;
    case WM_SIZE: OnSizeMessage(window, lParam); return 0;
    case WM_PAINT: OnPaintH(window); return 0;
    case WM_CLOSE: ShowWindow(window, SW_HIDE); return 0;
    case WM_COPYDATA: return OnCopyDataH(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case 16: OnAbout(); return 0;
        case 32: return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
      }
    case WM_HSCROLL: OnHScrollH(window, LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_VSCROLL: OnVScrollH(window, LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MOUSEWHEEL: return 0;
    default:
      if (message == LOOKING_FOR_HEADER_APP) return LOOKING_FOR_HEADER_APP;
      return DefWindowProcA(window, message, wParam, lParam);
  }
}
