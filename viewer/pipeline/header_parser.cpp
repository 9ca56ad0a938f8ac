#include "header_parser.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "load_request.h"
#include "report.h"

FitsFormat TheFormat;
uint8_t* gPixelBuffer = nullptr;
uint32_t gDataSize = 0;
double* gDoubleBuffer = nullptr;

namespace {

constexpr int kKeywordLength = 8;
constexpr int kValueOffset = 10;  // column 11
constexpr int kValueLength = 20;  // columns 11-30

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the number at the start of text: [sign] digits, and for reals an
// optional fraction and exponent. Only the parts that are complete count.
int NumberLength(const char* text, int length, bool real) {
  int i = 0;
  if (i < length && (text[i] == '+' || text[i] == '-')) ++i;
  int digits = 0;
  while (i < length && IsDigit(text[i])) ++i, ++digits;
  if (real && i < length && text[i] == '.') {
    int fraction = 0;
    int j = i + 1;
    while (j < length && IsDigit(text[j])) ++j, ++fraction;
    if (digits + fraction > 0) i = j, digits += fraction;
  }
  if (digits == 0) return 0;
  if (real && i < length && (text[i] == 'E' || text[i] == 'e')) {
    int j = i + 1;
    if (j < length && (text[j] == '+' || text[j] == '-')) ++j;
    int exponent = 0;
    while (j < length && IsDigit(text[j])) ++j, ++exponent;
    if (exponent > 0) i = j;
  }
  return i;
}

int SkipBlanks(const char* field, int length) {
  int i = 0;
  while (i < length && (field[i] == ' ' || field[i] == '\t')) ++i;
  return i;
}

}  // namespace

int CheckIdentifier(const char* record, const char* indicator, const char*) {
  return memcmp(record, "SIMPLE  ", kKeywordLength) == 0 && indicator[0] == '=';
}

int64_t ParseIntegerValue(const char* field, int length) {
  int start = SkipBlanks(field, length);
  int end = start + NumberLength(field + start, length - start, false);
  int64_t value = 0;
  bool negative = false;
  for (int i = start; i < end; ++i) {
    if (field[i] == '-') negative = true;
    else if (IsDigit(field[i]) && value < INT64_MAX / 10 - 9) value = value * 10 + (field[i] - '0');
  }
  return negative ? -value : value;
}

double ParseRealValue(const char* field, int length) {
  int start = SkipBlanks(field, length);
  int count = NumberLength(field + start, length - start, true);
  if (count == 0) return 0.0;
  char number[kValueLength + 1];
  memcpy(number, field + start, count);
  number[count] = '\0';
  return strtod(number, nullptr);
}

FitsFormat ParseHeader(const uint8_t* header, uint32_t headerSize, const FitsFormat& previous) {
  FitsFormat f;  // geometry 1 x 1, no scaling, no levels
  f.bitpix = previous.bitpix;
  f.realbitpix = previous.realbitpix;
  f.isFloat = previous.isFloat;
  f.bytepix = previous.bytepix;
  f.realbytepix = previous.realbytepix;
  f.isRGB = previous.isRGB;

  uint32_t records = headerSize / HEADERRECLENGTH;
  for (uint32_t r = 1; r + 1 < records; ++r) {
    const char* card = reinterpret_cast<const char*>(header) + r * HEADERRECLENGTH;
    const char* value = card + kValueOffset;
    auto is = [card](const char* keyword) { return memcmp(card, keyword, kKeywordLength) == 0; };
    if (is("BITPIX  ")) {
      auto v = static_cast<int16_t>(ParseIntegerValue(value, kValueLength));
      f.bitpix = static_cast<int16_t>(v < 0 ? -v : v);
      f.isFloat = v < 0;
      f.realbitpix = f.bitpix;
      f.bytepix = f.realbytepix = static_cast<int16_t>(f.bitpix / 8);
      ++f.haveImageData;
    } else if (is("NAXIS   ")) {
      f.isRGB = ParseIntegerValue(value, kValueLength) == 3;
      ++f.haveImageData;
    } else if (is("NAXIS1  ")) {
      f.imageSzH = static_cast<uint32_t>(ParseIntegerValue(value, kValueLength));
      ++f.haveImageData;
    } else if (is("NAXIS2  ")) {
      f.imageSzV = static_cast<uint32_t>(ParseIntegerValue(value, kValueLength));
      ++f.haveImageData;
    } else if (is("BZERO   ")) {
      f.bzero = ParseRealValue(value, kValueLength);
      ++f.haveImageData;
    } else if (is("BSCALE  ")) {
      f.bscale = ParseRealValue(value, kValueLength);
      ++f.haveImageData;
    } else if (is("BACKGRND")) {
      f.mBlackLevel = ParseRealValue(value, kValueLength);
      f.bgr = 1;
    } else if (is("RANGE   ")) {
      f.mWhiteLevel = ParseRealValue(value, kValueLength);
      f.bgr = 1;
    } else if (is("DATAMIN ") || is("AVISUMIN") || is("CBLACK  ")) {
      f.mBlackLevel = ParseRealValue(value, kValueLength);
    } else if (is("DATAMAX ") || is("AVISUMAX") || is("CWHITE  ")) {
      f.mWhiteLevel = ParseRealValue(value, kValueLength);
    } else if (is("FITSPLUG")) {
      f.fitsplugIn = 1;
    }
  }

  if (f.bgr) {
    if (f.mWhiteLevel < f.mBlackLevel) {
      double black = f.mWhiteLevel;
      f.mWhiteLevel = f.mBlackLevel + f.mWhiteLevel;
      f.mBlackLevel = black;
    } else {
      f.mWhiteLevel = f.mBlackLevel + f.mWhiteLevel;
    }
  }
  f.planes = f.isRGB ? 3 : 1;
  return f;
}

int ImageSizes(const FitsFormat& format, int32_t* samples, uint32_t* dataSize) {
  // Axes arrive as unsigned 32-bit values, so a negative NAXISn is huge here.
  uint64_t count = uint64_t{format.imageSzH} * format.imageSzV * format.planes;
  if (count == 0 || count > kMaxSamples || format.realbytepix < 0) return 0;
  uint64_t bytes = count * static_cast<uint64_t>(format.realbytepix);
  if (bytes > UINT32_MAX) return 0;
  *samples = static_cast<int32_t>(count);
  *dataSize = static_cast<uint32_t>(bytes);
  return 1;
}

namespace {

// Reserves the raw and decoded buffers of an image and copies its data unit;
// bytes beyond the end of the file read as 0.
int AllocatePixelBuffer(int32_t samples, uint32_t dataSize, const uint8_t* file, int32_t fileLength,
                        uint32_t dataOffset, uint8_t** pixels, double** values) {
  *pixels = new (std::nothrow) uint8_t[dataSize > 0 ? dataSize : 1];
  *values = new (std::nothrow) double[samples];
  if (*pixels == nullptr || *values == nullptr) {
    delete[] *pixels;
    delete[] *values;
    return 0;
  }
  uint32_t available = static_cast<uint32_t>(fileLength) > dataOffset ? fileLength - dataOffset : 0;
  uint32_t copied = available < dataSize ? available : dataSize;
  memcpy(*pixels, file + dataOffset, copied);
  memset(*pixels + copied, 0, dataSize - copied);
  return 1;
}

}  // namespace

int DoReadStart(const uint8_t* file, uint32_t headerSize, int32_t fileLength) {
  const char* first = reinterpret_cast<const char*>(file);
  if (!CheckIdentifier(first, first + 8, first + 10)) {
    ShowNotFitsBox();
    ReportFailure("DoReadStart", "FITS identifier not found");
    return 0;
  }
  FitsFormat format = ParseHeader(file, headerSize, TheFormat);
  uint32_t dataSize = 0;
  if (!ImageSizes(format, &format.imageSz, &dataSize)) {
    ReportFailure("DoReadStart", "image size out of range");
    return 0;
  }
  uint8_t* header = new (std::nothrow) uint8_t[headerSize];
  uint32_t blocks = (headerSize + HEADERSIZE - 1) / HEADERSIZE;
  uint8_t* pixels = nullptr;
  double* values = nullptr;
  if (header == nullptr ||
      !AllocatePixelBuffer(format.imageSz, dataSize, file, fileLength, blocks * HEADERSIZE, &pixels, &values)) {
    delete[] header;
    ReportFailure("DoReadStart", "pixel buffer creation failed");
    return 0;
  }
  memcpy(header, file, headerSize);

  FreePixelBuffers();
  delete[] WholeHeader;
  WholeHeader = header;
  gHeadersize = headerSize;
  headerBlocks = static_cast<int32_t>(blocks);
  TheFormat = format;
  gPixelBuffer = pixels;
  gDoubleBuffer = values;
  gDataSize = dataSize;
  return 1;
}

void FreePixelBuffers() {
  delete[] gPixelBuffer;
  gPixelBuffer = nullptr;
  delete[] gDoubleBuffer;
  gDoubleBuffer = nullptr;
}
