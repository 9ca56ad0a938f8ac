#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fits_builder.h"
#include "header_parser.h"
#include "pixel_decoder.h"

using namespace fitstest;

namespace {

struct Decoded {
  std::vector<double> values;
  double min, max, sum;
};

// Decodes raw big-endian samples of one row with the given header values.
Decoded Decode(int bitpix, const std::string& raw, double bzero = 0, double bscale = 0, int planes = 1) {
  FitsFormat f;
  f.bitpix = f.realbitpix = static_cast<int16_t>(std::abs(bitpix));
  f.isFloat = bitpix < 0;
  f.bytepix = f.realbytepix = static_cast<int16_t>(f.bitpix / 8);
  f.planes = static_cast<uint16_t>(planes);
  f.isRGB = planes == 3;
  int samples = static_cast<int>(raw.size()) / f.realbytepix;
  f.imageSzH = static_cast<uint32_t>(samples / planes);
  f.imageSzV = 1;
  f.imageSz = samples;
  f.bzero = bzero;
  f.bscale = bscale;
  TheFormat = f;
  FreePixelBuffers();
  gDataSize = static_cast<uint32_t>(raw.size());
  gPixelBuffer = new uint8_t[raw.size()];
  memcpy(gPixelBuffer, raw.data(), raw.size());
  gDoubleBuffer = new double[samples];
  DoReadContinue();
  Decoded d{std::vector<double>(gDoubleBuffer, gDoubleBuffer + samples), minP, maxP, sumPV};
  FreePixelBuffers();
  return d;
}

struct Row {
  const char* name;
  int bitpix;
  std::string raw;
  double bzero, bscale;
  std::vector<double> expected;
};

TEST(PixelDecoder, ValuesGuardsAndScaling) {
  const double big = 4294967295.0;
  Row rows[] = {
    {"8-bit ignores BZERO", 8, Samples8({200, 0, 255}), -128, 2, {200, 0, 255}},
    {"16-bit BZERO 32768 reads signed", 16, Samples16({0x8000, 0xFFFF}), 32768, 1, {0, 32767}},
    {"16-bit without BZERO reads unsigned", 16, Samples16({1000, 0x8000}), 0, 0, {1000, 32768}},
    {"16-bit guard catches far outliers", 16, Samples16({1000, 0xFFFB}), 0, 0, {1000, 0}},
    {"16-bit first sample is kept", 16, Samples16({65000, 100}), 0, 0, {65000, 100}},
    {"16-bit BSCALE and BZERO", 16, Samples16({10}), 100, 2, {120}},
    {"16-bit BSCALE 0 scales by 1", 16, Samples16({7}), 0, 0, {7}},
    {"32-bit float", -32, SamplesFloat({1.0f, -2.5f}), 0, 0, {1.0, -2.5}},
    {"32-bit float scaled", -32, SamplesFloat({1.0f}), 10, 3, {13}},
    {"32-bit unsigned without BZERO", 32, Samples32({5, 0xFFFFFFFF}), 0, 0, {5, 0}},
    {"32-bit all ones first stays", 32, Samples32({0xFFFFFFFF}), 0, 0, {big}},
    {"32-bit signed with BZERO", 32, Samples32({-3}), 1, 1, {-2}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Decoded d = Decode(row.bitpix, row.raw, row.bzero, row.bscale);
    ASSERT_EQ(d.values.size(), row.expected.size());
    for (size_t i = 0; i < d.values.size(); ++i) EXPECT_DOUBLE_EQ(d.values[i], row.expected[i]) << "sample " << i;
  }
}

TEST(PixelDecoder, StatisticsCoverAllPlanes) {
  Decoded d = Decode(8, Samples8({10, 20, 30, 40, 50, 60}), 0, 0, 3);
  EXPECT_EQ(d.min, 10);
  EXPECT_EQ(d.max, 60);
  EXPECT_EQ(d.sum, 210);
}

TEST(PixelDecoder, CaughtSampleCountsAsZero) {
  Decoded d = Decode(16, Samples16({1000, 0xFFFB, 500}));
  EXPECT_EQ(d.min, 0);
  EXPECT_EQ(d.max, 1000);
  EXPECT_EQ(d.sum, 1500);
}

TEST(PixelDecoder, NonFiniteSamplesCountAsZeroWhereverTheyStand) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  Decoded d = Decode(-32, SamplesFloat({nan, nan, 5.0f, nan, 7.0f, inf, -inf, 3.0f}));
  const std::vector<double> expected = {0, 0, 5, 0, 7, 0, 0, 3};
  EXPECT_EQ(d.values, expected);
  EXPECT_EQ(d.min, 0);
  EXPECT_EQ(d.max, 7);
  EXPECT_EQ(d.sum, 15);
}

TEST(PixelDecoder, InfiniteFirstSampleDoesNotBecomeTheMaximum) {
  const float inf = std::numeric_limits<float>::infinity();
  Decoded d = Decode(-32, SamplesFloat({inf, 2.0f, 4.0f}));
  EXPECT_EQ(d.values, (std::vector<double>{0, 2, 4}));
  EXPECT_EQ(d.max, 4);
}

TEST(PixelDecoder, OverflowingScaleIsTreatedAsBlank) {
  // 30000 x 1e305 is beyond double range.
  Decoded d = Decode(16, Samples16({30000, 1}), 1, 1e305);
  EXPECT_EQ(d.values[0], 0);
  EXPECT_TRUE(std::isfinite(d.sum));
}

TEST(PixelDecoder, SampleSizeWithoutReaderGivesZeros) {
  Decoded d = Decode(64, std::string(16, '\x7f'));
  EXPECT_EQ(d.values, (std::vector<double>{0, 0}));
  EXPECT_EQ(d.min, 4294967295.0);
  EXPECT_EQ(d.max, 0);
}

}  // namespace
