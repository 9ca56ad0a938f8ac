// Runs the thumbnail decoder's portable steps over a file held in memory,
// in the order DecodeFitsThumbnail runs them, and keeps every result.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "memory_file.h"
#include "thumbnail_header.h"
#include "thumbnail_pixels.h"

namespace thumbtest {

struct Decoded {
  HeaderScan scan = HeaderScan::CardMissing;
  bool settled = false;  // SettleHeader's answer; the rest is empty without it
  ThumbnailHeader header;
  SampleStatistics statistics{};
  std::vector<double> values;
  std::vector<uint8_t> pixels;  // bottom-up, blue, green, red, 0
};

inline Decoded DecodeBytes(const std::string& bytes) {
  Decoded d;
  MemoryFile file = MemoryFileOver(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int32_t>(bytes.size()));
  d.scan = ScanHeader(&file, &d.header);
  if (d.scan != HeaderScan::Finished) return d;
  d.settled = SettleHeader(&d.header);
  if (!d.settled) return d;
  d.values.assign(SampleCount(d.header), 0.0);
  d.pixels.assign(size_t(d.header.width) * size_t(d.header.height) * 4, 0xAA);
  d.statistics = FillThumbnailPixels(&file, d.header, d.values.data(), d.pixels.data());
  return d;
}

struct Bgr {
  int blue, green, red, reserved;
};

// The pixel of picture row `row` (0 at the top) and column `column`.
inline Bgr PixelAt(const Decoded& d, int row, int column) {
  const size_t offset = (size_t(d.header.height - 1 - row) * size_t(d.header.width) + size_t(column)) * 4;
  return {d.pixels[offset], d.pixels[offset + 1], d.pixels[offset + 2], d.pixels[offset + 3]};
}

}  // namespace thumbtest
