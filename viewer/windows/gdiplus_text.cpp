#include "gdiplus_text.h"

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <vector>

struct GdiplusText::Objects {
  explicit Objects(HDC dc) : graphics(dc), family(L"Courier New"), font(&family, 8, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint) {}
  Gdiplus::Graphics graphics;
  Gdiplus::FontFamily family;
  Gdiplus::Font font;
};

GdiplusText::GdiplusText(HDC dc) : objects_(new Objects(dc)) {}
GdiplusText::~GdiplusText() = default;

void GdiplusText::FillBlack(const RECT& area) {
  Gdiplus::SolidBrush black(Gdiplus::Color(0, 0, 0));
  objects_->graphics.FillRectangle(&black, static_cast<INT>(area.left), static_cast<INT>(area.top),
                                   static_cast<INT>(area.right - area.left), static_cast<INT>(area.bottom - area.top));
}

void GdiplusText::Draw(const char* text, int x, int y, COLORREF colour) {
  int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (length <= 0) return;
  std::vector<wchar_t> wide(length);
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
  Gdiplus::SolidBrush brush(Gdiplus::Color(GetRValue(colour), GetGValue(colour), GetBValue(colour)));
  objects_->graphics.DrawString(wide.data(), -1, &objects_->font,
                                Gdiplus::PointF(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y)), &brush);
}

ULONG_PTR StartGdiplus() {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  return token;
}

void StopGdiplus(ULONG_PTR token) { Gdiplus::GdiplusShutdown(token); }
