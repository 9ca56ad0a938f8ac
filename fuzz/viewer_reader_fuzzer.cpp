// Any bytes as a FITS file for the viewer's reader: header, buffers,
// decoding and the display mapping must stay within their memory.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "display_mapping.h"
#include "header_parser.h"
#include "load_request.h"
#include "pixel_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > INT32_MAX) return 0;
  const int32_t length = static_cast<int32_t>(size);
  const int32_t end = FindEndRecord(data, length);
  if (end < 0) return 0;
  const uint32_t headerSize = static_cast<uint32_t>(end) + HEADERRECLENGTH;
  // Keep the images small enough for the fuzzer's memory limit.
  FitsFormat format = ParseHeader(data, headerSize, TheFormat);
  int32_t samples = 0;
  uint32_t bytes = 0;
  if (ImageSizes(format, &samples, &bytes) && samples > (1 << 20)) return 0;
  if (!DoReadStart(data, headerSize, length)) return 0;
  DoReadContinue();
  std::vector<uint8_t> pixels(size_t{TheFormat.imageSzH} * TheFormat.imageSzV * 4);
  LevelSources sources{minP, maxP, sumPV / TheFormat.imageSz, TheFormat.realbitpix, TheFormat.mWhiteLevel,
                       TheFormat.mBlackLevel, TheFormat.fitsplugIn};
  MapSamples(gDoubleBuffer, TheFormat.imageSzH, TheFormat.imageSzV, TheFormat.planes,
             Transfer(minP, AutomaticLevels(sources)), pixels.data());
  FreeLoadedImage();
  return 0;
}
