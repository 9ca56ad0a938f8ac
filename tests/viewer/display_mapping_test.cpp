#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "display_mapping.h"

namespace {

LevelSources Image16(double white = 0, double black = 0, int plug = 0) {
  return LevelSources{0, 1000, 100, 16, white, black, plug};
}

TEST(AutomaticLevels, FromTheStatisticsAndTheHeader) {
  struct Row { const char* name; LevelSources sources; double white, black; } rows[] = {
    {"no header levels", Image16(), 1000 / 1.5, 0},
    {"header levels narrower and above the mean", Image16(500, 50), 500, 50},
    {"header white not below the automatic one", Image16(800, 50), 1000 / 1.5, 0},
    {"header white below the mean", Image16(90, 50), 1000 / 1.5, 0},
    {"FITSPLUG takes the data range", Image16(500, 50, 1), 1000, 0},
    {"automatic white beyond the maximum", LevelSources{0, 100, 90, 8, 0, 0, 0}, 100, 0},
    {"minimum above zero", LevelSources{100, 1100, 250, 16, 0, 0, 0}, 1000, 100.0 / 1100 * 1000},
  };
  for (auto& row : rows) {
    SCOPED_TRACE(row.name);
    Levels l = AutomaticLevels(row.sources);
    EXPECT_NEAR(l.white, row.white, 1e-9);
    EXPECT_NEAR(l.black, row.black, 1e-9);
  }
}

TEST(AutomaticLevels, AllZeroImageIsNotANumberAndMapsBlack) {
  LevelSources s{0, 0, 0, 16, 0, 0, 0};
  Levels l = AutomaticLevels(s);
  EXPECT_EQ(s.avgPV, 32767.5);
  EXPECT_TRUE(std::isnan(l.white));
  EXPECT_EQ(Transfer(0, l)(0), 0);
  EXPECT_EQ(HalfFullScale(8), 127.5);
  EXPECT_EQ(HalfFullScale(32), 2147483647.5);
}

TEST(AutomaticLevels, InvertedResultIsPulledBack) {
  // Header black above its white: the white moves half-way back down.
  LevelSources s{0, 1000, 100, 16, 500, 600, 0};
  Levels l = AutomaticLevels(s);
  EXPECT_DOUBLE_EQ(l.white, 550);
  EXPECT_DOUBLE_EQ(l.black, 600);
}

TEST(Transfer, IntensitiesUnderTheLevels) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Row { const char* name; double minP; Levels levels; double x; int expected; } rows[] = {
    {"0", 0, {1000 / 1.5, 0}, 0, 0},
    {"100", 0, {1000 / 1.5, 0}, 100, 38},
    {"600", 0, {1000 / 1.5, 0}, 600, 230},
    {"664", 0, {1000 / 1.5, 0}, 664, 254},
    {"665", 0, {1000 / 1.5, 0}, 665, 255},
    {"1000", 0, {1000 / 1.5, 0}, 1000, 255},
    {"header levels, 500", 0, {500, 50}, 500, 255},
    {"header levels, 50", 0, {500, 50}, 50, 28},
    {"equal levels: gain 1", 10, {7, 7}, 130, 120},
    {"inverted levels: black", 0, {100, 200}, 150, 0},
    {"below the minimum", 10, {100, 0}, 5, 0},
    {"not a number", 0, {100, 0}, nan, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Transfer(row.minP, row.levels)(row.x), row.expected);
  }
}

TEST(MapSamples, FirstRowOnTopMonochromeGrey) {
  const double values[] = {0, 255, 10, 20, 30, 40};  // 2 x 3
  std::vector<uint8_t> pixels(2 * 3 * 4, 0xEE);
  MapSamples(values, 2, 3, 1, Transfer(0, {256, 0}), pixels.data());
  // Memory row 2 (last) holds data row 0.
  EXPECT_EQ(pixels[2 * 8 + 0], 0);
  EXPECT_EQ(pixels[2 * 8 + 4], 255);
  EXPECT_EQ(pixels[2 * 8 + 5], 255);
  EXPECT_EQ(pixels[2 * 8 + 6], 255);
  EXPECT_EQ(pixels[2 * 8 + 7], 0);
  EXPECT_EQ(pixels[0 * 8 + 0], 30);  // data row 2 at the bottom
  EXPECT_EQ(pixels[0 * 8 + 4], 40);
}

TEST(MapSamples, ColourPlanesToRedGreenBlueWithOneMinimum) {
  const double values[] = {10, 20, 30};  // one pixel, three planes
  uint8_t pixel[4] = {0, 0, 0, 0};
  MapSamples(values, 1, 1, 3, Transfer(10, {30, 10}), pixel);
  EXPECT_EQ(pixel[2], 0);    // red: plane 0
  EXPECT_EQ(pixel[1], 128);  // green: plane 1
  EXPECT_EQ(pixel[0], 255);  // blue: plane 2 (clipped)
  EXPECT_EQ(pixel[3], 0);
}

TEST(FitZoom, SmallerRatioOfClientPlusOneNeverBelowOne) {
  struct Row { int cw, ch; uint32_t w, h; int current, expected; } rows[] = {
    {640, 480, 400, 300, 3, 160},
    {319, 199, 1000, 500, 3, 32},
    {300, 300, 100000, 10, 3, 1},   // would be 0
    {300, 300, 0, 0, 42, 42},       // no image: unchanged
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.cw << "x" << row.ch << " " << row.w << "x" << row.h);
    EXPECT_EQ(FitZoom(row.cw, row.ch, row.w, row.h, row.current), row.expected);
  }
}

}  // namespace
