// What the viewer knows about the loaded image's header: sample format,
// geometry, scaling and the display levels the header suggests.
#pragma once
#include <cstdint>

// A FITS header is a run of 80-byte ASCII records (cards) in 2880-byte
// blocks; the data unit starts at the first block boundary after END.
constexpr int32_t HEADERSIZE = 2880;
constexpr int32_t HEADERRECLENGTH = 80;

struct FitsFormat {
  int16_t bitpix = 0;       // |BITPIX|
  int16_t realbitpix = 0;   // same value, read by the decoder and titles
  int isFloat = 0;          // BITPIX < 0
  int16_t bytepix = 0;      // bitpix / 8
  int16_t realbytepix = 0;  // same value, used for buffer sizes and steps
  int isRGB = 0;            // NAXIS = 3: three colour planes
  uint16_t planes = 1;
  uint32_t imageSzH = 1;    // NAXIS1
  uint32_t imageSzV = 1;    // NAXIS2
  int32_t imageSz = 0;      // samples of all planes
  double bzero = 0;
  double bscale = 0;        // 0 = absent; the decoder then scales by 1
  double mBlackLevel = 0;
  double mWhiteLevel = 0;
  int bgr = 0;              // levels given as BACKGRND / RANGE
  int fitsplugIn = 0;
  int haveImageData = 0;    // BITPIX, NAXIS, NAXIS1, NAXIS2, BZERO, BSCALE records seen
};

// The format of the image on display.
extern FitsFormat TheFormat;
