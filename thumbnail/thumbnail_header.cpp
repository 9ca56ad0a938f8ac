#include "thumbnail_header.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsExponentMark(char c) { return c == 'E' || c == 'e' || c == 'D' || c == 'd'; }

// Skips white space and reads an optional sign; returns the next position.
int SkipToDigits(const char* field, bool* negative) {
  int i = 0;
  while (i < kValueLength && IsSpace(field[i])) ++i;
  *negative = i < kValueLength && field[i] == '-';
  if (i < kValueLength && (field[i] == '-' || field[i] == '+')) ++i;
  return i;
}

// Appends the digits at field[i..] to text; returns the next position.
int CopyDigits(const char* field, int i, char* text, int* n) {
  while (i < kValueLength && IsDigit(field[i])) text[(*n)++] = field[i++];
  return i;
}

enum class Effect { Bitpix, Background, Range, Black, White, Width, Height, Axes, Scale, Zero, PlugIn, End };

struct KeywordEffect {
  char keyword[kKeywordLength + 1];
  Effect effect;
};

constexpr KeywordEffect kKeywords[] = {
    {"BITPIX  ", Effect::Bitpix}, {"BACKGRND", Effect::Background}, {"RANGE   ", Effect::Range},
    {"DATAMIN ", Effect::Black},  {"DATAMAX ", Effect::White},      {"AVISUMIN", Effect::Black},
    {"AVISUMAX", Effect::White},  {"CBLACK  ", Effect::Black},      {"CWHITE  ", Effect::White},
    {"NAXIS1  ", Effect::Width},  {"NAXIS2  ", Effect::Height},     {"NAXIS   ", Effect::Axes},
    {"BSCALE  ", Effect::Scale},  {"BZERO   ", Effect::Zero},       {"FITSPLUG", Effect::PlugIn},
    {"END     ", Effect::End},
};

}  // namespace

int32_t ReadInteger(const char* field) {
  bool negative;
  int i = SkipToDigits(field, &negative);
  int64_t value = 0;
  for (; i < kValueLength && IsDigit(field[i]); ++i) {
    value = value * 10 + (field[i] - '0');
    if (value > INT32_MAX) value = INT32_MAX;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

double ReadReal(const char* field) {
  bool negative;
  int i = SkipToDigits(field, &negative);
  char text[kValueLength + 2];
  int n = 0;
  i = CopyDigits(field, i, text, &n);
  if (i < kValueLength && field[i] == '.') {
    text[n++] = '.';
    i = CopyDigits(field, i + 1, text, &n);
  }
  if (n == 0 || (n == 1 && text[0] == '.')) return 0.0;
  bool negativeExponent = false;
  if (i < kValueLength && IsExponentMark(field[i])) {
    int j = i + 1;
    char sign = j < kValueLength && (field[j] == '-' || field[j] == '+') ? field[j++] : 0;
    if (j < kValueLength && IsDigit(field[j])) {
      text[n++] = 'e';
      if (sign == '-') text[n++] = '-';
      negativeExponent = sign == '-';
      CopyDigits(field, j, text, &n);
    }
  }
  double value = 0.0;
  // The mantissa has at most 20 characters, so only the exponent can take
  // the number out of range: too small is 0, too large is infinite.
  if (std::from_chars(text, text + n, value).ec == std::errc::result_out_of_range) {
    value = negativeExponent ? 0.0 : HUGE_VAL;
  }
  return negative ? -value : value;
}

void ApplyCard(const char* card, ThumbnailHeader* header) {
  const char* field = card + kValueOffset;
  for (const auto& k : kKeywords) {
    if (memcmp(card, k.keyword, kKeywordLength) != 0) continue;
    switch (k.effect) {
      case Effect::Bitpix: {
        int32_t bitpix = ReadInteger(field);
        header->bitsPerSample = bitpix < 0 ? -bitpix : bitpix;
        header->negativeBitpix = bitpix < 0;
        break;
      }
      case Effect::Background:
        header->black = ReadReal(field);
        header->relativeLevels = true;
        break;
      case Effect::Range:
        header->white = ReadReal(field);
        header->relativeLevels = true;
        break;
      case Effect::Black: header->black = ReadReal(field); break;
      case Effect::White: header->white = ReadReal(field); break;
      case Effect::Width: header->width = ReadInteger(field); break;
      case Effect::Height: header->height = ReadInteger(field); break;
      case Effect::Axes: header->colour = ReadInteger(field) == 3; break;
      case Effect::Scale: header->scale = ReadReal(field); break;
      case Effect::Zero: header->zero = ReadReal(field); break;
      case Effect::PlugIn: header->plugIn = true; break;
      case Effect::End: header->end = true; break;
    }
    return;
  }
}

HeaderScan ScanHeader(MemoryFile* file, ThumbnailHeader* header) {
  char card[kCardLength];
  if (ReadMemoryFile(file, card, kCardLength) < kCardLength) return HeaderScan::NoFirstCard;
  int64_t count = kCardLength;
  for (;;) {
    if (count % kBlockLength == 0 && header->end) return HeaderScan::Finished;
    if (ReadMemoryFile(file, card, kCardLength) < kCardLength) return HeaderScan::CardMissing;
    count += kCardLength;
    ApplyCard(card, header);
  }
}

bool SettleHeader(ThumbnailHeader* header) {
  if (header->relativeLevels) header->white = header->black + header->white;
  if (header->scale == 0.0) header->scale = 1.0;
  if (header->width <= 0 || header->height <= 0) return false;
  const uint64_t pixels = uint64_t(header->width) * uint64_t(header->height);
  return pixels <= UINT32_MAX / 4 && pixels <= UINT32_MAX / (8 * uint64_t(Planes(*header)));
}

int Planes(const ThumbnailHeader& header) { return header.colour ? 3 : 1; }
