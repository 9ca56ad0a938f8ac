// The header parser: the records of a primary header become the image's
// format, and the pixel buffers are reserved for it.
#pragma once
#include <cstdint>

#include "fits_format.h"

extern uint8_t* gPixelBuffer;   // raw data unit, converted in place by the decoder
extern uint32_t gDataSize;
extern double* gDoubleBuffer;   // one decoded value per sample

// 1 when the record starts with "SIMPLE  =". The value field is not looked at.
int CheckIdentifier(const char* record, const char* indicator, const char* value);

// Value fields (columns 11-30): blanks, an optional sign and decimal digits;
// reals may add a fraction and an exponent. No number reads as 0.
int64_t ParseIntegerValue(const char* field, int length);
double ParseRealValue(const char* field, int length);

// Parses the records between the identifier and END. The BITPIX results and
// the colour flag come from `previous` when the header lacks their records.
FitsFormat ParseHeader(const uint8_t* header, uint32_t headerSize, const FitsFormat& previous);

// Largest image taken: its doubles must fit in 2 GiB.
constexpr uint32_t kMaxSamples = 0x0FFFFFFF;
// Sample count and raw data size of a format; 0 when the geometry is empty,
// negative or too large to reserve.
int ImageSizes(const FitsFormat& format, int32_t* samples, uint32_t* dataSize);

// Parses the header of the file in memory (END record ending at headerSize),
// reserves the buffers and copies the data unit; data missing from a short
// file read as zero bytes. On success the new header, format and buffers
// replace the previous image's and 1 is returned; otherwise nothing changes.
int DoReadStart(const uint8_t* file, uint32_t headerSize, int32_t fileLength);

void FreePixelBuffers();
