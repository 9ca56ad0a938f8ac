// The extractor's portable rules: where the picture goes in the thumbnail,
// and which code page converts file names.
#include <gtest/gtest.h>

#include "ansi_code_page.h"
#include "thumbnail_fit.h"

namespace {

TEST(FitThumbnail, ShrinksNeverEnlarges) {
  struct Row {
    ThumbnailSize picture, box, expected;
  } rows[] = {
      {{100, 50}, {96, 96}, {96, 48}},
      {{50, 200}, {96, 96}, {24, 96}},
      {{40, 30}, {96, 96}, {40, 30}},
      {{96, 96}, {96, 96}, {96, 96}},
      {{200, 100}, {96, 32}, {64, 32}},  // width first, then height
      {{177, 177}, {256, 256}, {177, 177}},
      {{361, 181}, {96, 96}, {96, 48}},  // 181 x 96 / 361 = 48.1, truncated
      {{1000, 1}, {96, 96}, {96, 0}},
      {{2000000000, 1500000000}, {96, 96}, {96, 72}},  // products beyond 32 bits
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.picture.width << " x " << row.picture.height << " in " << row.box.width
                                    << " x " << row.box.height);
    ThumbnailSize fit = FitThumbnail(row.picture, row.box);
    EXPECT_EQ(fit.width, row.expected.width);
    EXPECT_EQ(fit.height, row.expected.height);
  }
}

TEST(AnsiCodePage, ThreadCodePageFromWindows2000On) {
  struct Row {
    unsigned long platform, major;
    bool expected;
  } rows[] = {{2, 5, true}, {2, 6, true}, {2, 10, true}, {2, 4, false}, {1, 4, false}, {1, 5, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "platform " << row.platform << ", version " << row.major);
    EXPECT_EQ(HasThreadCodePage(row.platform, row.major), row.expected);
  }
}

TEST(AnsiCodePage, FromTheLocaleText) {
  struct Row {
    const char* text;
    unsigned expected;
  } rows[] = {{"1252", 1252}, {"932", 932}, {"0", 1250}, {"", 1250}, {"12a", 12}, {"x1", 1250}, {"1234567", 123456}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(CodePageFromLocaleText(row.text, 1250), row.expected);
  }
}

}  // namespace
