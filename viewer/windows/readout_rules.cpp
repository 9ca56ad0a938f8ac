#include "readout_rules.h"

#include <cmath>
#include <cstdio>

int32_t PixelUnderPointer(const ReadoutAxis& a) {
  if (a.zoomRatio < 1) return -1;
  int64_t pixel;
  if (a.barMax > a.client) {  // scrolled
    if (a.pointer > a.client) return -1;
    pixel = (int64_t{a.barPos} + a.pointer) * 100 / a.zoomRatio;
  } else {  // centred
    int32_t origin = a.client / 2 - a.zoomed / 2;
    if (a.pointer < origin) return -1;
    pixel = (int64_t{a.pointer} - origin) * 100 / a.zoomRatio;
  }
  if (pixel < 0 || pixel > int64_t{a.bitmapSize} - 1) return -1;
  return static_cast<int32_t>(pixel);
}

namespace {

// The integer part for %X, kept within what a 32-bit value can show.
unsigned HexValue(double v) {
  if (!(v == v)) return 0;
  if (v >= 4294967295.0) return 0xFFFFFFFFu;
  if (v <= -2147483648.0) return 0x80000000u;
  return static_cast<unsigned>(static_cast<int64_t>(v));
}

}  // namespace

void FormatReadout(const char* format, bool hex, bool colour, int32_t x, int32_t y, const double* v, char* text) {
  if (hex && colour) {
    snprintf(text, kReadoutLength, format, x, y, HexValue(v[0]), HexValue(v[1]), HexValue(v[2]));
  } else if (hex) {
    snprintf(text, kReadoutLength, format, x, y, HexValue(v[0]));
  } else if (colour) {
    snprintf(text, kReadoutLength, format, x, y, v[0], v[1], v[2]);
  } else {
    snprintf(text, kReadoutLength, format, x, y, v[0]);
  }
}

void FormatPositionOnly(int32_t x, int32_t y, char* text) { snprintf(text, kReadoutLength, "%i, %i", x, y); }
