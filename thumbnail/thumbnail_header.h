// The thumbnail decoder's header scan. A FITS header is a run of 80-byte
// ASCII cards in blocks of 2880 bytes (36 cards): the keyword in columns 1-8,
// the value field from column 11. The header ends with the block that holds
// the END card; the data unit, big-endian samples, starts at the next block
// boundary. This reader looks at a fixed set of keywords only, and at the
// first 20 columns of their value fields (columns 11-30).
#pragma once
#include <cstdint>

#include "memory_file.h"

constexpr int kCardLength = 80;
constexpr int kBlockLength = 2880;
constexpr int kKeywordLength = 8;
constexpr int kValueOffset = 10;
constexpr int kValueLength = 20;

// What the keywords of one header set; the starting values are those of a
// header without the keyword.
struct ThumbnailHeader {
  int32_t bitsPerSample = 0;    // magnitude of BITPIX; 0 decodes no samples
  bool negativeBitpix = false;  // with 32 bits: IEEE floating point
  bool colour = false;          // NAXIS = 3: three planes, red, green, blue
  int32_t width = 1;            // NAXIS1
  int32_t height = 1;           // NAXIS2
  double scale = 1.0;           // BSCALE
  double zero = 0.0;            // BZERO
  double black = 0.0;           // BACKGRND, DATAMIN, AVISUMIN, CBLACK
  double white = 0.0;           // RANGE, DATAMAX, AVISUMAX, CWHITE
  bool relativeLevels = false;  // BACKGRND or RANGE: white is relative to black
  bool plugIn = false;          // FITSPLUG
  bool end = false;             // END
};

// Numbers of a value field of kValueLength characters (not NUL-terminated):
// leading white space, an optional sign, decimal digits; a real may go on
// with a fraction and an exponent introduced by E, e, D or d. Reading stops
// at the first character that cannot continue the number; no number reads
// as 0. Integers beyond 32 bits saturate at +-2147483647.
int32_t ReadInteger(const char* field);
double ReadReal(const char* field);

// Matches the card's keyword (all 8 columns, case-sensitive) and applies it.
void ApplyCard(const char* card, ThumbnailHeader* header);

enum class HeaderScan {
  Finished,     // the file is positioned at the first sample
  NoFirstCard,  // the file is shorter than one card
  CardMissing,  // a card after the first is not there whole (no END in time)
};

// Reads the header card by card. The first card is skipped unexamined; the
// cards after END up to the block boundary are still applied.
HeaderScan ScanHeader(MemoryFile* file, ThumbnailHeader* header);

// Settles the values the keywords left: relative levels, a zero scale, and
// the geometry. False when the image has no pixels or its bitmap (4 bytes a
// pixel) or sample buffer (8 bytes a sample) would not fit 32-bit sizes.
bool SettleHeader(ThumbnailHeader* header);

int Planes(const ThumbnailHeader& header);
