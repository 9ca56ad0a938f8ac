// The thumbnail decoder's header scan: numbers of the value field, keyword
// matching, the card-by-card scan and the settling of the values.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fits_builder.h"
#include "thumbnail_decode.h"

using namespace fitstest;
using thumbtest::DecodeBytes;

namespace {

// A value field of 20 columns.
std::string Field(std::string text) {
  text.resize(kValueLength, ' ');
  return text;
}

TEST(ThumbnailHeader, ReadInteger) {
  struct Row {
    const char* field;
    int32_t expected;
  } rows[] = {
      {"42", 42},       {"   -7", -7},     {"+12", 12},        {"\t5", 5},
      {"12abc", 12},    {"1.9", 1},       {"", 0},            {"T", 0},
      {"- 3", 0},       {"99999999999999999999", 2147483647}, {"-99999999999999999999", -2147483647},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.field);
    EXPECT_EQ(ReadInteger(Field(row.field).c_str()), row.expected);
  }
}

TEST(ThumbnailHeader, ReadReal) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Row {
    const char* field;
    double expected;
  } rows[] = {
      {"1.5D3", 1500},   {"1.5d3", 1500},   {"1.5E3", 1500},      {"2.5e-1", 0.25},   {"-3.25", -3.25},
      {"+.5", 0.5},      {"7.", 7},         {"  12.5 / note", 12.5}, {"1.5E", 1.5},  {"1.5D+", 1.5},
      {"4E+2", 400},     {"1e400", inf},    {"-1e400", -inf},     {"1e-400", 0},      {"", 0},
      {".", 0},          {"-", 0},          {"x1", 0},            {"32768", 32768},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.field);
    EXPECT_EQ(ReadReal(Field(row.field).c_str()), row.expected);
  }
  // A NUL byte ends the number like any other character.
  EXPECT_EQ(ReadReal(std::string("2\0" "5", 3).append(17, ' ').c_str()), 2);
}

// The settled header of a file with these cards after the first.
ThumbnailHeader Settled(const std::vector<std::string>& cards, bool* settled = nullptr) {
  thumbtest::Decoded d = DecodeBytes(File(cards, ""));
  EXPECT_EQ(int(d.scan), int(HeaderScan::Finished));
  if (settled != nullptr) *settled = d.settled;
  return d.header;
}

struct Expected {
  int32_t bits = 0;
  bool negative = false, colour = false;
  int32_t width = 1, height = 1;
  double scale = 1, zero = 0, black = 0, white = 0;
  bool plugIn = false;
};

void ExpectHeader(const ThumbnailHeader& h, const Expected& e) {
  EXPECT_EQ(h.bitsPerSample, e.bits);
  EXPECT_EQ(h.negativeBitpix, e.negative);
  EXPECT_EQ(h.colour, e.colour);
  EXPECT_EQ(h.width, e.width);
  EXPECT_EQ(h.height, e.height);
  EXPECT_EQ(h.scale, e.scale);
  EXPECT_EQ(h.zero, e.zero);
  EXPECT_EQ(h.black, e.black);
  EXPECT_EQ(h.white, e.white);
  EXPECT_EQ(h.plugIn, e.plugIn);
}

TEST(ThumbnailHeader, KeywordsAndSettling) {
  struct Row {
    const char* name;
    std::vector<std::string> cards;
    Expected expected;
  };
  auto with = [](std::vector<std::string> cards, std::initializer_list<std::string> more) {
    cards.insert(cards.end(), more);
    return cards;
  };
  Expected grey16;
  grey16.bits = 16, grey16.width = 3, grey16.height = 2;
  Row rows[] = {
      {"an ordinary header", ImageCards(16, 3, 2), grey16},
      {"no BITPIX and no NAXIS: no bits, one plane, 1 x 1", {}, Expected{}},
      {"negative BITPIX", ImageCards(-32, 3, 2), [] { Expected e; e.bits = 32, e.negative = true, e.width = 3, e.height = 2; return e; }()},
      {"NAXIS 3 means colour", ImageCards(8, 3, 2, 3), [] { Expected e; e.bits = 8, e.colour = true, e.width = 3, e.height = 2; return e; }()},
      {"NAXIS3 alone is not colour", with(ImageCards(16, 3, 2), {Card("NAXIS3", "3")}), grey16},
      {"BACKGRND and RANGE: white relative to black", with(ImageCards(16, 3, 2), {Card("BACKGRND", "100"), Card("RANGE", "50")}),
       [&] { Expected e = grey16; e.black = 100, e.white = 150; return e; }()},
      {"BACKGRND and DATAMAX: white relative to black", with(ImageCards(16, 3, 2), {Card("BACKGRND", "100"), Card("DATAMAX", "500")}),
       [&] { Expected e = grey16; e.black = 100, e.white = 600; return e; }()},
      {"DATAMIN and DATAMAX as they are", with(ImageCards(16, 3, 2), {Card("DATAMIN", "5"), Card("DATAMAX", "500")}),
       [&] { Expected e = grey16; e.black = 5, e.white = 500; return e; }()},
      {"later level cards override earlier ones",
       with(ImageCards(16, 3, 2), {Card("DATAMAX", "10"), Card("CWHITE", "20"), Card("CBLACK", "1"), Card("AVISUMIN", "2"), Card("AVISUMAX", "30")}),
       [&] { Expected e = grey16; e.black = 2, e.white = 30; return e; }()},
      {"BSCALE 0 becomes 1, BZERO with a D exponent", with(ImageCards(16, 3, 2), {Card("BSCALE", "0"), Card("BZERO", "1.5D3")}),
       [&] { Expected e = grey16; e.zero = 1500; return e; }()},
      {"FITSPLUG without a value", with(ImageCards(16, 3, 2), {RawCard("FITSPLUG")}), [&] { Expected e = grey16; e.plugIn = true; return e; }()},
      {"keywords match case and all 8 columns",
       {RawCard("bitpix  =                   16"), RawCard("BITPIXX =                   16"), RawCard(" NAXIS1 =                    5")}, Expected{}},
      {"other keywords have no effect",
       with(ImageCards(16, 3, 2), {Card("IRAF-MIN", "1"), Card("IRAF-MAX", "9"), Card("BUNIT", "'ADU'"), Card("BLANK", "-1")}), grey16},
      {"a value beyond column 30 is not seen", with(ImageCards(16, 3, 2), {RawCard("DATAMAX =                    4" "2")}),
       [&] { Expected e = grey16; e.white = 4; return e; }()},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ExpectHeader(Settled(row.cards), row.expected);
  }
}

TEST(ThumbnailHeader, EndAsFifthCardStillReadsTheRestOfTheBlock) {
  std::string header = RawCard("SIMPLE  =                    T") + Card("BITPIX", "8") + Card("NAXIS1", "2") +
                       Card("NAXIS2", "1") + EndCard() + Card("DATAMAX", "77") + Card("NAXIS1", "3");
  thumbtest::Decoded d = DecodeBytes(PadBlock(header) + PadBlock(Samples8({10, 20, 30}), '\0'));
  ASSERT_EQ(int(d.scan), int(HeaderScan::Finished));
  EXPECT_EQ(d.header.white, 77);
  EXPECT_EQ(d.header.width, 3);
  // The samples start at the block boundary.
  EXPECT_EQ(d.values, (std::vector<double>{10, 20, 30}));
}

TEST(ThumbnailHeader, HeaderOverTwoBlocks) {
  std::vector<std::string> cards = ImageCards(8, 2, 1);
  for (int i = 0; i < 40; ++i) cards.push_back(Card("HISTORY", "x"));
  std::string file = File(cards, Samples8({5, 6}));
  ASSERT_EQ(Header(cards).size(), 2u * kBlockLength);
  thumbtest::Decoded d = DecodeBytes(file);
  ASSERT_EQ(int(d.scan), int(HeaderScan::Finished));
  EXPECT_EQ(d.values, (std::vector<double>{5, 6}));
}

TEST(ThumbnailHeader, ScanFailures) {
  std::string noEnd = PadBlock(Card("SIMPLE", "T") + Card("BITPIX", "8"));
  struct Row {
    const char* name;
    std::string file;
    HeaderScan expected;
  } rows[] = {
      {"an empty file", "", HeaderScan::NoFirstCard},
      {"a file of 50 bytes", std::string(50, 'A'), HeaderScan::NoFirstCard},
      {"exactly one card", Card("SIMPLE", "T"), HeaderScan::CardMissing},
      {"no END in two blocks", noEnd + noEnd, HeaderScan::CardMissing},
      {"END only in the first card, which is not examined", PadBlock(EndCard() + Card("BITPIX", "8")) + std::string(100, '\0'),
       HeaderScan::CardMissing},
      {"the file ends within a card", Card("SIMPLE", "T") + Card("BITPIX", "8").substr(0, 40), HeaderScan::CardMissing},
      {"END with its block cut short", Card("SIMPLE", "T") + EndCard(), HeaderScan::CardMissing},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(int(DecodeBytes(row.file).scan), int(row.expected));
  }
}

TEST(ThumbnailHeader, GeometryLimits) {
  struct Row {
    std::string width, height;
    int naxis;
    bool settles;
  } rows[] = {
      {"0", "5", 2, false},
      {"5", "-1", 2, false},
      {"23170", "23170", 2, true},    // 8 bytes a sample stay within 32 bits
      {"23171", "23171", 2, false},
      {"13377", "13377", 3, true},    // three planes
      {"13378", "13378", 3, false},
      {"2147483647", "2147483647", 3, false},
      {"99999999999999999999", "2", 2, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.width + " x " + row.height + (row.naxis == 3 ? " x 3" : ""));
    std::vector<std::string> cards = {Card("BITPIX", "8"), Card("NAXIS", std::to_string(row.naxis)),
                                      Card("NAXIS1", row.width), Card("NAXIS2", row.height)};
    const std::string bytes = Header(cards);
    MemoryFile file = MemoryFileOver(reinterpret_cast<const uint8_t*>(bytes.data()), int32_t(bytes.size()));
    ThumbnailHeader header;
    ASSERT_EQ(int(ScanHeader(&file, &header)), int(HeaderScan::Finished));
    EXPECT_EQ(SettleHeader(&header), row.settles);
  }
}

TEST(ThumbnailHeader, MissingAxesGiveOnePixel) {
  bool settled = false;
  ThumbnailHeader h = Settled({Card("BITPIX", "8")}, &settled);
  EXPECT_TRUE(settled);
  EXPECT_EQ(h.width, 1);
  EXPECT_EQ(h.height, 1);
}

}  // namespace
