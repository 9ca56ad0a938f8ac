#include "pixel_decoder.h"

#include <cmath>
#include <cstring>

#include "header_parser.h"

double minP = 0, maxP = 0, sumPV = 0, avgPV = 0;

namespace {

// Blank pixels of real images (NaN, infinities) show as 0, as an empty sky
// would, instead of poisoning the statistics.
inline double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

inline void Count(double v) {
  if (v > maxP) maxP = v;
  if (v < minP) minP = v;
  sumPV += v;
}

uint32_t SampleCount() {
  return uint32_t{TheFormat.planes} * TheFormat.imageSzV * TheFormat.imageSzH;
}

void StartStatistics(double min, double max) {
  minP = min;
  maxP = max;
  sumPV = 0;
  avgPV = 0;
}

}  // namespace

void ReadSomeData8(int32_t, uint8_t* raw) {
  StartStatistics(255, 0);
  uint32_t n = SampleCount();
  for (uint32_t i = 0; i < n; ++i) {
    double v = raw[i];
    gDoubleBuffer[i] = v;
    Count(v);
  }
}

void ReadSomeData(int32_t length, uint8_t* raw) {
  StartStatistics(4294967295.0, -4294967295.0);
  if (TheFormat.bscale == 0) TheFormat.bscale = 1;
  for (int32_t i = 0; i + 1 < length; i += 2) {
    uint8_t high = raw[i];
    raw[i] = raw[i + 1];
    raw[i + 1] = high;
  }
  const double bscale = TheFormat.bscale, bzero = TheFormat.bzero;
  const bool isSigned = bzero != 0;
  uint32_t n = SampleCount();
  for (uint32_t i = 0; i < n; ++i) {
    uint16_t word;
    memcpy(&word, raw + 2 * i, 2);
    int32_t sample = isSigned && word >= 0x8000 ? int32_t{word} - 0x10000 : int32_t{word};
    double v = Finite(sample * bscale + bzero);
    // The very first sample has no maximum to compare with and is kept.
    if (i > 0 && v > maxP + 32767) v = 0;
    gDoubleBuffer[i] = v;
    Count(v);
  }
}

void ReadSomeData32(int32_t, uint8_t* raw) {
  StartStatistics(4294967295.0, -4294967295.0);
  if (TheFormat.bscale == 0) TheFormat.bscale = 1;
  const double bscale = TheFormat.bscale, bzero = TheFormat.bzero;
  const bool isFloat = TheFormat.isFloat, isSigned = bzero != 0;
  uint32_t n = SampleCount();
  for (uint32_t i = 0; i < n; ++i) {
    uint8_t* p = raw + 4 * i;
    uint32_t word = uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
    memcpy(p, &word, 4);
    double raw_value;
    if (isFloat) {
      float f;
      memcpy(&f, &word, 4);
      raw_value = f;
    } else if (isSigned) {
      raw_value = word >= 0x80000000u ? static_cast<double>(word) - 4294967296.0 : word;
    } else {
      raw_value = word;
    }
    double v = Finite(raw_value * bscale + bzero);
    if (maxP >= 0 && !(v + maxP < 4294967295.0)) v = 0;
    gDoubleBuffer[i] = v;
    Count(v);
  }
}

void DoReadContinue() {
  minP = 4294967295.0;
  maxP = 0.0;
  switch (TheFormat.realbitpix) {
    case 8: ReadSomeData8(static_cast<int32_t>(gDataSize), gPixelBuffer); break;
    case 16: ReadSomeData(static_cast<int32_t>(gDataSize), gPixelBuffer); break;
    case 32: ReadSomeData32(static_cast<int32_t>(gDataSize), gPixelBuffer); break;
    default:
      // No reader for this sample size: the picture is empty, never garbage.
      memset(gDoubleBuffer, 0, sizeof(double) * SampleCount());
      break;
  }
}
