#include <gtest/gtest.h>

#include <limits>

#include "level_commands.h"

namespace {

TEST(LevelCommands, GuardsAndSteps) {
  struct Row {
    const char* name;
    int command;
    LevelSteps before;
    double minP, maxP;
    bool changed;
    double white, black;
  } rows[] = {
    {"white down", kWhiteDown, {666.67, 0, 10, 10}, 0, 1000, true, 656.67, 0},
    {"white up to 250", kWhiteUp, {240, 0, 10, 10}, 0, 255, true, 250, 0},
    {"second white up refused", kWhiteUp, {250, 0, 10.42, 10.42}, 0, 255, false, 250, 0},
    {"white down refused near black", kWhiteDown, {15, 10, 10, 10}, 0, 255, false, 15, 10},
    {"black up", kBlackUp, {100, 20, 10, 10}, 0, 255, true, 100, 30},
    {"black up refused near white", kBlackUp, {100, 95, 10, 10}, 0, 255, false, 100, 95},
    {"black down", kBlackDown, {100, 30, 10, 10}, 0, 255, true, 100, 20},
    {"black down refused within a step of the minimum", kBlackDown, {100, 9, 10, 10}, 0, 255, false, 100, 9},
    {"full range", kFullRange, {100, 9, 10, 10}, 0, 255, true, 255, 0},
    {"full range already", kFullRange, {255, 0, 10, 10}, 0, 255, false, 255, 0},
    {"NaN level fails the guard", kWhiteUp, {std::numeric_limits<double>::quiet_NaN(), 0, 10, 10}, 0, 255, false,
     std::numeric_limits<double>::quiet_NaN(), 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    LevelSteps l = row.before;
    EXPECT_EQ(ApplyLevelCommand(row.command, l, row.minP, row.maxP), row.changed);
    if (row.white == row.white) EXPECT_NEAR(l.white, row.white, 1e-9);
    EXPECT_NEAR(l.black, row.black, 1e-9);
  }
}

TEST(LevelStep, SpanOverTwentyFourByBytesPerSample) {
  struct Row { double white, black; int bytes; double expected; } rows[] = {
    {656.67, 0, 2, 656.67 * 2 / 24},
    {250, 0, 1, 250.0 / 24},
    {100, 40, 4, 10},
    {50, 50, 2, 10},     // equal levels
    {0, 60, 2, 5},       // absolute value
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.white << " " << row.black << " " << row.bytes);
    EXPECT_NEAR(LevelStep(row.white, row.black, row.bytes), row.expected, 1e-6);
  }
  EXPECT_NEAR(LevelStep(656.67, 0, 2), 54.72, 0.005);
}

TEST(FormatLevel, FiveSignificantDigitsWithoutTrailingPoint) {
  struct Row { double level; const char* text; } rows[] = {
    {1000, "1000"}, {666.666666, "666.67"}, {0.5, "0.5"}, {0, "0"}, {-12.25, "-12.25"},
    {4294967295.0, "4.295e+09"}, {123456, "1.2346e+05"},
  };
  for (const auto& row : rows) {
    char text[32];
    FormatLevel(row.level, text, sizeof text);
    EXPECT_STREQ(text, row.text) << row.level;
  }
}

}  // namespace
