// The thumbnail decoder's samples and pixels: decoding the data unit to
// doubles with running statistics, the automatic display limits, and the
// mapping of every value to a byte of the 32-bit bitmap.
#pragma once
#include <cstddef>
#include <cstdint>

#include "memory_file.h"
#include "thumbnail_header.h"

struct SampleStatistics {
  double minimum;
  double maximum;
  double sum;
};

struct DisplayLimits {
  double lower;
  double upper;
  double step;  // value range of one of the 256 grey levels
};

size_t SampleCount(const ThumbnailHeader& header);

// The running minimum and maximum a decode starts from.
SampleStatistics StartingStatistics(int32_t bitsPerSample);

// Decodes SampleCount(header) samples from the file's position into
// `values` (plane, row, column, in file order). Samples that run past the
// end of the file read with all bits set. False, with `values` untouched,
// for a sample size this reader does not decode (only 8, 16 and 32 bits).
bool DecodeSamples(MemoryFile* file, const ThumbnailHeader& header, double* values, SampleStatistics* statistics);

DisplayLimits ChooseDisplayLimits(const ThumbnailHeader& header, const SampleStatistics& statistics);

// The byte of value v: (v - minimum) / step, clamped to 0-255; NaN gives 0.
uint8_t MapValue(double v, double minimum, double step);

// Fills a bottom-up 32-bit bitmap (blue, green, red, 0; rows of width x 4
// bytes) so that the first row of the file is the top row of the picture.
// One plane is grey; three planes are red, green and blue.
void FillPixels(const double* values, const ThumbnailHeader& header, double minimum, double step, uint8_t* pixels);

// Decodes the samples, chooses the limits and fills the pixels, which
// stay black for a sample size without a reader. Returns the statistics.
SampleStatistics FillThumbnailPixels(MemoryFile* file, const ThumbnailHeader& header, double* values, uint8_t* pixels);

// A value passed to ImageView: truncated toward zero to 64 bits, of which
// the low 32 bits are kept (4294967295.0 becomes -1). Values outside the
// 64-bit range give 0.
int32_t ImageViewArgument(double v);
