// The thumbnail decoder's samples, display limits and pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fits_builder.h"
#include "thumbnail_decode.h"

using namespace fitstest;
using thumbtest::Bgr;
using thumbtest::Decoded;
using thumbtest::DecodeBytes;
using thumbtest::PixelAt;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// A one-row image of `count` samples with the extra cards; `data` is taken
// as it is, so that a short data unit ends the file.
std::string Row(int bitpix, int count, const std::string& data, std::vector<std::string> extra = {}) {
  std::vector<std::string> cards = ImageCards(bitpix, count, 1);
  cards.insert(cards.end(), extra.begin(), extra.end());
  return Header(cards) + data;
}

struct SampleCase {
  const char* name;
  std::string file;
  std::vector<double> expected;
};

template <size_t N>
void ExpectDecodedValues(const SampleCase (&cases)[N]) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Decoded d = DecodeBytes(c.file);
    ASSERT_TRUE(d.settled);
    EXPECT_EQ(d.values, c.expected);
  }
}

TEST(ThumbnailSamples, ValuesByKind) {
  const std::string bzero32768 = Card("BZERO", "32768");
  const SampleCase cases[] = {
      {"8 bits ignore BSCALE and BZERO", Row(8, 3, Samples8({200, 0, 255}), {Card("BSCALE", "2"), Card("BZERO", "10")}), {200, 0, 255}},
      {"16 bits without BZERO are unsigned", Row(16, 2, Samples16({0xFFFF, 0x8000})), {65535, 32768}},
      {"16 bits with BZERO 32768 are signed", Row(16, 3, Samples16({0xFFFF, 0x8000, 0}), {bzero32768}), {32767, 0, 32768}},
      {"16 bits scaled", Row(16, 2, Samples16({10, -4}), {Card("BSCALE", "2"), Card("BZERO", "100")}), {120, 92}},
      {"16 bits: far above the largest so far becomes 0", Row(16, 5, Samples16({1000, 1001, 999, 40000, 33767})), {1000, 1001, 999, 0, 33767}},
      {"16 bits: the first sample is always kept", Row(16, 2, Samples16({65000, 100})), {65000, 100}},
      {"32 bits without BZERO are unsigned", Row(32, 2, Samples32({5, 0x80000000})), {5, 2147483648.0}},
      {"32 bits: a sum reaching 2^32 - 1 becomes 0", Row(32, 3, Samples32({5, 0xFFFFFFFF, 4294967289})), {5, 0, 4294967289.0}},
      {"32 bits: all ones first is kept", Row(32, 1, Samples32({0xFFFFFFFF})), {4294967295.0}},
      {"32 bits with BZERO are signed", Row(32, 1, Samples32({-3}), {Card("BZERO", "1")}), {-2}},
      {"floating point", Row(-32, 2, SamplesFloat({1.0f, -2.5f})), {1.0, -2.5}},
      {"floating point scaled", Row(-32, 1, SamplesFloat({1.0f}), {Card("BSCALE", "3"), Card("BZERO", "10")}), {13}},
      {"floating point blanks count as 0", Row(-32, 4, SamplesFloat({NAN, 5.0f, INFINITY, -INFINITY})), {0, 5, 0, 0}},
      {"floating point guard", Row(-32, 2, SamplesFloat({3e9f, 2e9f})), {3e9, 0}},
      {"16 bits overflowing to infinity count as 0", Row(16, 1, Samples16({2}), {Card("BSCALE", "1e308"), Card("BZERO", "1e308")}), {0}},
  };
  ExpectDecodedValues(cases);
}

TEST(ThumbnailSamples, TruncatedDataReadsWithAllBitsSet) {
  const std::string bzero32768 = Card("BZERO", "32768");
  const SampleCase cases[] = {
      {"8 bits", Row(8, 4, Samples8({7, 9})), {7, 9, 255, 255}},
      {"8 bits, no data unit at all", Row(8, 2, ""), {255, 255}},
      {"16 bits without BZERO: 65535, then the guard", Row(16, 4, Samples16({1000, 2000})), {1000, 2000, 0, 0}},
      {"16 bits, a sample cut in half", Row(16, 2, Samples16({0x8000}) + "\x12", {bzero32768}), {0, 32767}},
      {"32 bits unsigned: the guard", Row(32, 2, Samples32({5}) + "\x01\x02"), {5, 0}},
      {"32 bits, first sample missing", Row(32, 1, ""), {4294967295.0}},
      {"floating point: all ones is a NaN, counted as 0", Row(-32, 2, SamplesFloat({4.0f})), {4, 0}},
  };
  ExpectDecodedValues(cases);
}

TEST(ThumbnailSamples, StatisticsOverAllPlanes) {
  Decoded d = DecodeBytes(File(ImageCards(8, 2, 1, 3), Samples8({10, 60, 20, 30, 40, 50})));
  EXPECT_EQ(d.statistics.minimum, 10);
  EXPECT_EQ(d.statistics.maximum, 60);
  EXPECT_EQ(d.statistics.sum, 210);
}

TEST(ThumbnailSamples, StartingStatistics) {
  struct Row {
    int32_t bits;
    double minimum, maximum;
  } rows[] = {{8, 65535, -65535}, {16, 4294967295.0, -4294967295.0}, {32, 4294967295.0, -4294967295.0},
              {64, 4294967295.0, 0}, {0, 4294967295.0, 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.bits);
    SampleStatistics s = StartingStatistics(row.bits);
    EXPECT_EQ(s.minimum, row.minimum);
    EXPECT_EQ(s.maximum, row.maximum);
    EXPECT_EQ(s.sum, 0);
  }
}

TEST(ThumbnailLimits, OrderOfOperations) {
  struct Row {
    const char* name;
    int32_t bits, width;
    bool colour;
    double black, white;
    bool plugIn;
    SampleStatistics statistics;
    DisplayLimits expected;
  } rows[] = {
      {"three planes share the limits", 8, 1, true, 0, 0, false, {10, 30, 60}, {10, 30, 0.078125}},
      {"white level above the mean and below upper", 8, 3, false, 20, 80, false, {0, 100, 110}, {20, 80, 0.234375}},
      {"white level at or below the mean: both stay", 8, 3, false, 20, 30, false, {0, 100, 110},
       {0, 244.44444444444443, 0.954861111111111}},
      {"white level above upper: clamped to the data", 8, 3, false, 20, 500, false, {0, 100, 110}, {0, 100, 0.390625}},
      {"FITSPLUG takes the data range", 8, 3, false, 20, 80, true, {0, 100, 110}, {0, 100, 0.390625}},
      {"mean 0: half the range instead", 16, 2, false, 0, 0, false, {-10, 10, 0}, {-10, 10, 0.078125}},
      {"equal samples: a step of 1", 8, 4, false, 0, 0, false, {5, 5, 20}, {0, 0, 1}},
      {"no samples with FITSPLUG: upper below lower", 64, 1, false, 0, 0, true, {4294967295.0, 0, 0},
       {4294967295.0, 2147483647.5, -8388607.998046875}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ThumbnailHeader h;
    h.bitsPerSample = row.bits;
    h.width = row.width;
    h.colour = row.colour;
    h.black = row.black;
    h.white = row.white;
    h.plugIn = row.plugIn;
    DisplayLimits limits = ChooseDisplayLimits(h, row.statistics);
    EXPECT_DOUBLE_EQ(limits.lower, row.expected.lower);
    EXPECT_DOUBLE_EQ(limits.upper, row.expected.upper);
    EXPECT_DOUBLE_EQ(limits.step, row.expected.step);
  }
}

TEST(ThumbnailLimits, AllZeroSamplesGiveNoLimits) {
  // Mean and half range are 0: the mean becomes half of the sample type's
  // top, and 0 / 0 leaves the limits undefined; the picture is black.
  ThumbnailHeader h;
  h.bitsPerSample = 16;
  DisplayLimits limits = ChooseDisplayLimits(h, {0, 0, 0});
  EXPECT_TRUE(std::isnan(limits.step)) << limits.step;
}

TEST(ThumbnailPixels, MapValue) {
  struct Row {
    double v, minimum, step;
    int expected;
  } rows[] = {{10, 10, 1, 0},     {20, 10, 0.078125, 128}, {30, 10, 0.078125, 255}, {5, 10, 1, 0},
              {265.5, 10, 1, 255}, {264.99, 10, 1, 254},   {kNaN, 0, 1, 0},         {1, 0, kNaN, 0},
              {1, 2, -1, 1}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.v << " from " << row.minimum << " by " << row.step);
    EXPECT_EQ(MapValue(row.v, row.minimum, row.step), row.expected);
  }
}

void ExpectEveryPixel(const Decoded& d, Bgr expected) {
  for (int r = 0; r < d.header.height; ++r) {
    for (int c = 0; c < d.header.width; ++c) {
      Bgr p = PixelAt(d, r, c);
      ASSERT_EQ(p.blue, expected.blue) << "row " << r << " column " << c;
      ASSERT_EQ(p.green, expected.green) << "row " << r << " column " << c;
      ASSERT_EQ(p.red, expected.red) << "row " << r << " column " << c;
      ASSERT_EQ(p.reserved, expected.reserved) << "row " << r << " column " << c;
    }
  }
}

TEST(ThumbnailPixels, ThreeConstantPlanes) {
  std::vector<int> planes;
  for (int value : {10, 20, 30}) planes.insert(planes.end(), 6, value);
  Decoded d = DecodeBytes(File(ImageCards(8, 3, 2, 3), Samples8(planes)));
  ExpectEveryPixel(d, {255, 128, 0, 0});
}

TEST(ThumbnailPixels, BlackPictures) {
  struct Case {
    const char* name;
    std::string file;
    double minimum, maximum;
  } cases[] = {
      {"8 bits, all samples equal", File(ImageCards(8, 3, 2), Samples8({9, 9, 9, 9, 9, 9})), 9, 9},
      {"16 bits, all samples 0", File(ImageCards(16, 3, 2), Samples16({0, 0, 0, 0, 0, 0})), 0, 0},
      {"BITPIX 64", File(ImageCards(64, 3, 2), std::string(48, '\x40')), 4294967295.0, 0},
      {"BITPIX 64 with FITSPLUG", Row(64, 6, std::string(48, '\x40'), {RawCard("FITSPLUG")}), 4294967295.0, 0},
      {"no BITPIX", File({Card("NAXIS1", "3"), Card("NAXIS2", "2")}, std::string(6, '\x40')), 4294967295.0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Decoded d = DecodeBytes(c.file);
    ASSERT_TRUE(d.settled);
    EXPECT_EQ(d.statistics.minimum, c.minimum);
    EXPECT_EQ(d.statistics.maximum, c.maximum);
    ExpectEveryPixel(d, {0, 0, 0, 0});
  }
}

TEST(ThumbnailPixels, FirstRowOfTheFileAtTheTop) {
  Decoded d = DecodeBytes(File(ImageCards(8, 2, 2), Samples8({0, 0, 255, 255})));
  // Bottom-up memory: the file's second row comes first.
  EXPECT_EQ(d.pixels[0], 255);
  EXPECT_EQ(PixelAt(d, 0, 0).green, 0);
  EXPECT_EQ(PixelAt(d, 1, 1).green, 255);
}

TEST(ThumbnailPixels, GreyRampAcrossColumns) {
  // Values 0..255: limits 0 and 255, step 255/256.
  std::vector<int> ramp;
  for (int v = 0; v < 256; ++v) ramp.push_back(v);
  Decoded d = DecodeBytes(File(ImageCards(8, 256, 1), Samples8(ramp)));
  for (int c = 0; c < 256; ++c) {
    Bgr p = PixelAt(d, 0, c);
    const int expected = c == 255 ? 255 : int(c * 256.0 / 255.0);
    ASSERT_EQ(p.blue, expected) << "column " << c;
    ASSERT_EQ(p.green, expected) << "column " << c;
    ASSERT_EQ(p.red, expected) << "column " << c;
    ASSERT_EQ(p.reserved, 0) << "column " << c;
  }
}

TEST(ThumbnailPixels, BlankFirstPixelsDoNotBlackenAFloatImage) {
  Decoded d = DecodeBytes(File(ImageCards(-32, 4, 1), SamplesFloat({NAN, 100.0f, 200.0f, 300.0f})));
  EXPECT_EQ(d.statistics.sum, 600);
  EXPECT_EQ(PixelAt(d, 0, 0).green, 0);
  EXPECT_EQ(PixelAt(d, 0, 3).green, 255);
  EXPECT_GT(PixelAt(d, 0, 2).green, 100);
}

TEST(ImageViewArgument, LowHalfOfTheTruncatedValue) {
  struct Row {
    double v;
    int32_t expected;
  } rows[] = {{4294967295.0, -1}, {0, 0},       {255.9, 255},     {-1.5, -1},          {-4294967295.0, 1},
              {2147483648.0, INT32_MIN}, {4294967296.0 + 7, 7}, {1e300, 0}, {-1e300, 0}, {kNaN, 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.v);
    EXPECT_EQ(ImageViewArgument(row.v), row.expected);
  }
}

}  // namespace
