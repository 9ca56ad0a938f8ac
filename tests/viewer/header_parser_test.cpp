#include <gtest/gtest.h>

#include "fits_builder.h"
#include "header_parser.h"

using namespace fitstest;

namespace {

FitsFormat Parse(const std::vector<std::string>& cards, const FitsFormat& previous = FitsFormat{}) {
  std::string header = Card("SIMPLE", "T");
  for (const auto& c : cards) header += c;
  header += EndCard();
  return ParseHeader(reinterpret_cast<const uint8_t*>(header.data()), static_cast<uint32_t>(header.size()), previous);
}

TEST(CheckIdentifier, NeedsSimpleAndEqualsSignOnly) {
  struct Row { std::string card; int expected; } rows[] = {
    {Card("SIMPLE", "T"), 1},
    {Card("SIMPLE", "F"), 1},
    {RawCard("SIMPLE  ="), 1},            // value columns blank
    {RawCard("SIMPLE   T"), 0},           // no "=" in column 9
    {RawCard("SIMPLE= T"), 0},            // keyword not padded
    {Card("simple", "T"), 0},
    {Card("XTENSION", "'IMAGE'"), 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.card);
    const char* c = row.card.c_str();
    EXPECT_EQ(CheckIdentifier(c, c + 8, c + 10), row.expected);
  }
}

TEST(ParseValue, IntegersAndRealsFromTheValueField) {
  struct Row { const char* field; int64_t integer; double real; } rows[] = {
    {"                 512", 512, 512},
    {"  -32", -32, -32},
    {"+7", 7, 7},
    {"  1.5E3", 1, 1500},
    {"  2.5e-1 / comment", 2, 0.25},
    {"  1.5D3", 1, 1.5},                  // no D exponent in this reader
    {"  .5", 0, 0.5},
    {"  'STRING'", 0, 0},
    {"", 0, 0},
    {"  12abc", 12, 12},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.field);
    int length = static_cast<int>(strlen(row.field));
    EXPECT_EQ(ParseIntegerValue(row.field, length), row.integer);
    EXPECT_DOUBLE_EQ(ParseRealValue(row.field, length), row.real);
  }
}

TEST(ParseHeader, ValueBeyondColumn30IsCut) {
  // Columns 11-30 hold 20 characters: the 21st digit is not seen.
  const std::string keyword = "NAXIS1  = ";
  FitsFormat f = Parse({RawCard(keyword + std::string(17, ' ') + "12345")});  // digits from column 28
  EXPECT_EQ(f.imageSzH, 123u);
  f = Parse({RawCard(keyword + std::string(19, ' ') + "12345")});  // from column 30
  EXPECT_EQ(f.imageSzH, 1u);
}

TEST(ParseHeader, KeywordsMatchAllEightColumns) {
  struct Row { std::string card; uint32_t width; int isRGB; } rows[] = {
    {Card("NAXIS1", "640"), 640, 0},
    {RawCard("NAXIS1= 640"), 1, 0},                 // keyword without its padding
    {Card("naxis1", "640"), 1, 0},
    {Card("NAXIS", "3"), 1, 1},
    {Card("NAXIS", "2"), 1, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.card);
    FitsFormat f = Parse({row.card});
    EXPECT_EQ(f.imageSzH, row.width);
    EXPECT_EQ(f.isRGB, row.isRGB);
  }
}

TEST(ParseHeader, SampleFormatFromBitpix) {
  struct Row { int bitpix; int16_t bits; int isFloat; int16_t bytes; } rows[] = {
    {8, 8, 0, 1}, {16, 16, 0, 2}, {32, 32, 0, 4}, {-32, 32, 1, 4}, {-64, 64, 1, 8}, {64, 64, 0, 8},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.bitpix);
    FitsFormat f = Parse({Card("BITPIX", std::to_string(row.bitpix))});
    EXPECT_EQ(f.bitpix, row.bits);
    EXPECT_EQ(f.realbitpix, row.bits);
    EXPECT_EQ(f.isFloat, row.isFloat);
    EXPECT_EQ(f.bytepix, row.bytes);
    EXPECT_EQ(f.realbytepix, row.bytes);
  }
}

TEST(ParseHeader, MissingRecordsTakeDefaultsButKeepPreviousSampleFormat) {
  FitsFormat previous = Parse({Card("BITPIX", "-32"), Card("NAXIS", "3"), Card("NAXIS1", "9"), Card("BZERO", "5")});
  FitsFormat f = Parse({}, previous);
  EXPECT_EQ(f.realbitpix, 32);
  EXPECT_EQ(f.isFloat, 1);
  EXPECT_EQ(f.isRGB, 1);
  EXPECT_EQ(f.planes, 3);
  EXPECT_EQ(f.imageSzH, 1u);
  EXPECT_EQ(f.imageSzV, 1u);
  EXPECT_EQ(f.bzero, 0.0);
  EXPECT_EQ(f.bscale, 0.0);
}

TEST(ParseHeader, NaxisThreeMeansThreePlanesWhateverNaxis3Says) {
  FitsFormat f = Parse({Card("NAXIS", "3"), Card("NAXIS1", "4"), Card("NAXIS2", "5"), Card("NAXIS3", "7")});
  EXPECT_EQ(f.planes, 3);
  f = Parse({Card("NAXIS", "1"), Card("NAXIS1", "4")});
  EXPECT_EQ(f.planes, 1);
  EXPECT_EQ(f.imageSzV, 1u);
}

TEST(ParseHeader, LevelKeywords) {
  struct Row { const char* name; std::vector<std::string> cards; double black, white; int bgr, plug; } rows[] = {
    {"background and range", {Card("BACKGRND", "100"), Card("RANGE", "200")}, 100, 300, 1, 0},
    {"range below background", {Card("BACKGRND", "100"), Card("RANGE", "50")}, 50, 150, 1, 0},
    {"range alone", {Card("RANGE", "500")}, 0, 500, 1, 0},
    {"last black keyword wins", {Card("DATAMIN", "10"), Card("CBLACK", "20")}, 20, 0, 0, 0},
    {"reverse order", {Card("CBLACK", "20"), Card("DATAMIN", "10")}, 10, 0, 0, 0},
    {"white keywords", {Card("AVISUMAX", "7"), Card("CWHITE", "9"), Card("DATAMAX", "8")}, 0, 8, 0, 0},
    {"background with datamax", {Card("BACKGRND", "100"), Card("DATAMAX", "500")}, 100, 600, 1, 0},
    {"fitsplug", {RawCard("FITSPLUG")}, 0, 0, 0, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    FitsFormat f = Parse(row.cards);
    EXPECT_DOUBLE_EQ(f.mBlackLevel, row.black);
    EXPECT_DOUBLE_EQ(f.mWhiteLevel, row.white);
    EXPECT_EQ(f.bgr, row.bgr);
    EXPECT_EQ(f.fitsplugIn, row.plug);
  }
}

TEST(ParseHeader, CountsImageRecordsWithRepeats) {
  FitsFormat f = Parse({Card("BITPIX", "16"), Card("NAXIS", "2"), Card("NAXIS1", "4"), Card("NAXIS2", "5"),
                        Card("BZERO", "0"), Card("BSCALE", "1"), Card("BITPIX", "16")});
  EXPECT_EQ(f.haveImageData, 7);
  int32_t samples = 0;
  uint32_t bytes = 0;
  ASSERT_EQ(ImageSizes(f, &samples, &bytes), 1);
  EXPECT_EQ(samples, 20);
  EXPECT_EQ(bytes, 40u);
}

TEST(ImageSizes, RefusesEmptyNegativeAndOversizedImages) {
  struct Row { const char* name; uint32_t w, h; uint16_t planes; int16_t bytes; int ok; } rows[] = {
    {"ordinary", 640, 480, 1, 2, 1},
    {"colour", 100, 100, 3, 4, 1},
    {"zero width", 0, 10, 1, 2, 0},
    {"negative width", static_cast<uint32_t>(-5), 10, 1, 2, 0},
    {"product beyond 32 bits", 65536, 65536, 1, 1, 0},
    {"colour product beyond the cap", 20000, 20000, 3, 1, 0},
    {"largest accepted", kMaxSamples, 1, 1, 1, 1},
    {"one more", kMaxSamples + 1, 1, 1, 1, 0},
    {"bytes beyond 32 bits", kMaxSamples, 1, 1, 32, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    FitsFormat f;
    f.imageSzH = row.w;
    f.imageSzV = row.h;
    f.planes = row.planes;
    f.realbytepix = row.bytes;
    int32_t samples = 0;
    uint32_t bytes = 0;
    EXPECT_EQ(ImageSizes(f, &samples, &bytes), row.ok);
  }
}

}  // namespace
