#include "display_mapping.h"

#include <cmath>

double HalfFullScale(int realbitpix) {
  switch (realbitpix) {
    case 8: return 127.5;
    case 16: return 32767.5;
    default: return 2147483647.5;
  }
}

Levels AutomaticLevels(LevelSources& s) {
  if (s.avgPV == 0) s.avgPV = HalfFullScale(s.realbitpix);
  Levels l;
  l.white = s.maxP / ((s.maxP / (s.avgPV - s.minP)) * 0.15);
  l.black = l.white / s.maxP * s.minP;
  if (s.mWhiteLevel != 0 && s.mWhiteLevel < l.white && !s.fitsplugIn) {
    if (s.mWhiteLevel > s.avgPV) l = {s.mWhiteLevel, s.mBlackLevel};
  } else {
    if (l.white > s.maxP) l = {s.maxP, s.minP};
    if (s.fitsplugIn) l = {s.maxP, s.minP};
  }
  if (l.white <= l.black) l.white = (l.white - l.black) * 0.5 + l.black;
  return l;
}

Transfer::Transfer(double minimum, Levels levels) : minP(minimum) {
  double s = (levels.white - levels.black) * 0.00390625;
  if (s == 0) s = 1;
  gain = 1 / s;
}

void MapSamples(const double* values, uint32_t width, uint32_t height, int planes, const Transfer& transfer,
                uint8_t* pixels) {
  const size_t rowBytes = size_t{width} * 4;
  for (int p = 0; p < planes; ++p) {
    // Colour planes go to red, green, blue; in memory a pixel is B, G, R, 0.
    const int channel = planes == 3 ? 2 - p : 0;
    for (uint32_t r = 0; r < height; ++r) {
      uint8_t* row = pixels + size_t{height - 1 - r} * rowBytes;
      for (uint32_t c = 0; c < width; ++c) {
        uint8_t v = transfer(*values++);
        uint8_t* px = row + 4 * c;
        if (planes == 3) {
          px[channel] = v;
        } else {
          px[0] = px[1] = px[2] = v;
          px[3] = 0;
        }
      }
    }
  }
}

int FitZoom(int clientWidth, int clientHeight, uint32_t imageWidth, uint32_t imageHeight, int current) {
  if (imageWidth == 0 || imageHeight == 0) return current;
  double zh = std::floor((clientWidth + 1.0) / imageWidth * 100);
  double zv = std::floor((clientHeight + 1.0) / imageHeight * 100);
  double z = zh < zv ? zh : zv;
  if (z < 1) return 1;
  if (z > 1e9) return 1000000000;
  return static_cast<int>(z);
}
