#include "thumbnail_pixels.h"

#include <cmath>
#include <cstring>

namespace {

// Blank samples of real images (NaN, infinities) count as 0, as an empty sky
// would, so that they cannot blacken the whole picture through the sum.
double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

// Combines n bytes, most significant first, as the reader delivers them: a
// missing byte (-1) sets every bit from its place down, so a sample that
// runs past the end of the file has all bits set.
uint32_t TakeBigEndian(MemoryFile* file, int n) {
  uint32_t word = 0;
  for (int i = 0; i < n; ++i) word = (word << 8) | static_cast<uint32_t>(TakeByte(file));
  return word;
}

double Sample8(MemoryFile* file, const ThumbnailHeader&, size_t, const SampleStatistics&) {
  return static_cast<uint8_t>(TakeBigEndian(file, 1));
}

double Sample16(MemoryFile* file, const ThumbnailHeader& header, size_t index, const SampleStatistics& s) {
  uint16_t word = static_cast<uint16_t>(TakeBigEndian(file, 2));
  double raw = header.zero == 0.0 ? double(word) : double(static_cast<int16_t>(word));
  double v = Finite(raw * header.scale + header.zero);
  // A value far above everything before it is taken for a fault of the
  // data; the first sample has nothing before it and is always kept.
  if (index > 0 && (s.maximum + 32767.0) < v) v = 0.0;
  return v;
}

double Sample32(MemoryFile* file, const ThumbnailHeader& header, size_t, const SampleStatistics& s) {
  uint32_t word = TakeBigEndian(file, 4);
  double raw;
  if (header.negativeBitpix) {
    float f;
    memcpy(&f, &word, sizeof f);
    raw = f;
  } else {
    raw = header.zero == 0.0 ? double(word) : double(static_cast<int32_t>(word));
  }
  double v = Finite(raw * header.scale + header.zero);
  if (!((s.maximum + v) < 4294967295.0 || s.maximum < 0.0)) v = 0.0;
  return v;
}

template <typename SampleReader>
void DecodeAll(MemoryFile* file, const ThumbnailHeader& header, double* values, SampleStatistics* s,
               SampleReader read) {
  const size_t n = SampleCount(header);
  for (size_t i = 0; i < n; ++i) {
    double v = read(file, header, i, *s);
    values[i] = v;
    if (v < s->minimum) s->minimum = v;
    if (v > s->maximum) s->maximum = v;
    s->sum += v;
  }
}

}  // namespace

size_t SampleCount(const ThumbnailHeader& header) {
  return size_t(header.width) * size_t(header.height) * size_t(Planes(header));
}

SampleStatistics StartingStatistics(int32_t bitsPerSample) {
  switch (bitsPerSample) {
    case 8: return {65535.0, -65535.0, 0.0};
    case 16:
    case 32: return {4294967295.0, -4294967295.0, 0.0};
    default: return {4294967295.0, 0.0, 0.0};
  }
}

bool DecodeSamples(MemoryFile* file, const ThumbnailHeader& header, double* values, SampleStatistics* statistics) {
  *statistics = StartingStatistics(header.bitsPerSample);
  switch (header.bitsPerSample) {
    case 8: DecodeAll(file, header, values, statistics, Sample8); return true;
    case 16: DecodeAll(file, header, values, statistics, Sample16); return true;
    case 32: DecodeAll(file, header, values, statistics, Sample32); return true;
    default: return false;
  }
}

DisplayLimits ChooseDisplayLimits(const ThumbnailHeader& header, const SampleStatistics& s) {
  const double minimum = s.minimum, maximum = s.maximum;
  const double n = double(header.width) * double(header.height) * double(Planes(header));
  double mean = s.sum / n;
  const double half = (maximum - minimum) / 2;
  if (mean == 0 && half == 0) {
    const double top = header.bitsPerSample == 8 ? 255.0 : header.bitsPerSample == 16 ? 65535.0 : 4294967295.0;
    mean = top / 2;
  } else if (mean == 0) {
    mean = half;
  }
  double upper = maximum / ((maximum / (mean - minimum)) * 0.15);
  double lower = (upper / maximum) * minimum;
  if (header.white != 0 && header.white < upper && !header.plugIn) {
    if (header.white > mean) {
      upper = header.white;
      lower = header.black;
    }
  } else if (upper > maximum) {
    upper = maximum;
    lower = minimum;
  }
  if (header.plugIn) {
    upper = maximum;
    lower = minimum;
  }
  if (upper <= lower) upper = lower + (upper - lower) / 2;
  double step = (upper - lower) / 256;
  if (step == 0) step = 1;
  return {lower, upper, step};
}

uint8_t MapValue(double v, double minimum, double step) {
  double q = (v - minimum) / step;
  if (!(q >= 0)) return 0;  // negative or NaN
  if (q > 255) return 255;
  return static_cast<uint8_t>(q);
}

void FillPixels(const double* values, const ThumbnailHeader& header, double minimum, double step, uint8_t* pixels) {
  const size_t width = size_t(header.width), height = size_t(header.height);
  const int planes = Planes(header);
  // Byte offsets within a pixel: blue, green, red, reserved.
  static const int kGreyChannels[] = {0, 1, 2};
  static const int kColourChannels[] = {2, 1, 0};  // planes red, green, blue
  for (int plane = 0; plane < planes; ++plane) {
    const double* planeValues = values + plane * width * height;
    for (size_t r = 0; r < height; ++r) {
      uint8_t* row = pixels + (height - 1 - r) * width * 4;
      for (size_t c = 0; c < width; ++c) {
        uint8_t byte = MapValue(planeValues[r * width + c], minimum, step);
        if (planes == 1) {
          for (int channel : kGreyChannels) row[4 * c + channel] = byte;
        } else {
          row[4 * c + kColourChannels[plane]] = byte;
        }
      }
    }
  }
  for (size_t i = 0; i < width * height; ++i) pixels[4 * i + 3] = 0;
}

SampleStatistics FillThumbnailPixels(MemoryFile* file, const ThumbnailHeader& header, double* values, uint8_t* pixels) {
  SampleStatistics statistics;
  if (DecodeSamples(file, header, values, &statistics)) {
    DisplayLimits limits = ChooseDisplayLimits(header, statistics);
    FillPixels(values, header, statistics.minimum, limits.step, pixels);
  } else {
    memset(pixels, 0, size_t(header.width) * size_t(header.height) * 4);
  }
  return statistics;
}

int32_t ImageViewArgument(double v) {
  // Conversions outside the 64-bit range are undefined in C++; x86 gives
  // the "integer indefinite" 0x8000000000000000 there, whose low half is 0.
  if (!(v > -9223372036854775808.0 && v < 9223372036854775808.0)) return 0;
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(v))));
}
