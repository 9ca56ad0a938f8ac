// Any bytes as a FITS file for the thumbnail decoder: header scan, samples,
// limits and pixels must stay within their memory.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "memory_file.h"
#include "thumbnail_header.h"
#include "thumbnail_pixels.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > INT32_MAX) return 0;
  MemoryFile file = MemoryFileOver(data, static_cast<int32_t>(size));
  ThumbnailHeader header;
  if (ScanHeader(&file, &header) != HeaderScan::Finished || !SettleHeader(&header)) return 0;
  const size_t samples = SampleCount(header);
  if (samples > (1u << 20)) return 0;  // within the fuzzer's memory limit
  std::vector<double> values(samples);
  std::vector<uint8_t> pixels(size_t(header.width) * size_t(header.height) * 4);
  FillThumbnailPixels(&file, header, values.data(), pixels.data());
  return 0;
}
