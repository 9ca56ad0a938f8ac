// The arithmetic behind the windows: zoomed sizes, scrolling, the zoom menu,
// the header text window, the read-out and the docking of the header.
#include <gtest/gtest.h>

#include "docking_rules.h"
#include "header_rules.h"
#include "readout_rules.h"
#include "view_rules.h"

namespace {

TEST(ZoomedView, SizesOriginsAndLineSteps) {
  EXPECT_EQ(ZoomedSize(100, 300), 300);
  EXPECT_EQ(ZoomedSize(10, 5), 0);
  EXPECT_EQ(ZoomedSize(1000000000, 500), INT32_MAX);
  EXPECT_EQ(CentredOrigin(320, 300), 10);
  EXPECT_EQ(CentredOrigin(300, 301), 0);  // 150 - 150: drawn from the left edge
  EXPECT_EQ(CentredOrigin(300, 303), -1);
  EXPECT_EQ(ScrollLineStep(300), 3);
  EXPECT_EQ(ScrollLineStep(150), 1);
  EXPECT_EQ(ScrollLineStep(100), 1);
  EXPECT_EQ(WheelNotches(-120), -1);
  EXPECT_EQ(WheelNotches(60), 0);
  EXPECT_EQ(WheelNotches(250), 2);
}

TEST(ZoomedView, ScrollRequests) {
  const ScrollBarState bar{0, 600, 300, 100};
  struct Row { const char* name; ScrollBarState bar; int code, thumb, step, expected; } rows[] = {
    {"line down at 300 %", bar, kLineDown, 0, 3, 103},
    {"line up", bar, kLineUp, 0, 1, 99},
    {"page down", bar, kPageDown, 0, 1, 400},
    {"page up clamps to 0", bar, kPageUp, 0, 1, 0},
    {"page down clamps to the maximum", {0, 600, 300, 301}, kPageDown, 0, 1, 600},
    {"thumb track", bar, kThumbTrack, 250, 1, 250},
    {"thumb position", bar, kThumbPosition, 999, 1, 600},
    {"line up at 0 stays", {0, 600, 300, 0}, kLineUp, 0, 1, 0},
    {"end scroll leaves the position", bar, 8, 0, 1, 100},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(NextScrollPosition(row.bar, row.code, row.thumb, row.step), row.expected);
  }
}

TEST(ZoomMenu, ItemsAndStates) {
  ASSERT_EQ(kZoomMenuItems, 18);
  EXPECT_EQ(kZoomMenu[0].id, kHexMenuId);
  EXPECT_EQ(kZoomMenu[1].text, nullptr);
  EXPECT_STREQ(kZoomMenu[2].text, "&Fit to Window");
  EXPECT_STREQ(kZoomMenu[13].text, "10&0%");
  EXPECT_EQ(kZoomMenu[17].id, 500);
  struct Row { int id, ratio, hex; bool greyed, checked; } rows[] = {
    {kHexMenuId, 99, 1, true, true}, {kHexMenuId, 100, 0, false, false}, {kFitMenuId, 3, 0, false, true},
    {kFitMenuId, 160, 0, false, false}, {200, 200, 0, false, true}, {100, 160, 0, false, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.id << " at " << row.ratio);
    ZoomItemState s = ZoomMenuItemState(row.id, row.ratio, row.hex);
    EXPECT_EQ(s.greyed, row.greyed);
    EXPECT_EQ(s.checked, row.checked);
  }
}

TEST(HeaderText, FirstColumnAndVisibleRows) {
  EXPECT_EQ(HeaderFirstColumn(45 * 7, 7, 40), 39);
  EXPECT_EQ(HeaderFirstColumn(5 * 7, 7, 90), 0);   // window wider than 80 columns
  EXPECT_EQ(HeaderFirstColumn(5 * 7, 7, 20), 5);
  struct Row { int32_t position, lines; uint32_t records; int32_t first, end; } rows[] = {
    {0, 10, 3, 0, 3},        // 3 records in a 10-line window
    {0, 36, 36, 0, 36},      // exactly as tall
    {5 * 16, 36, 36, 0, 36}, // scrolled: the view does not change
    {100 * 16, 10, 40, 30, 40},  // past the end: last record on the last line
    {3 * 16, 10, 40, 3, 13},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.position << " " << row.lines << " " << row.records);
    HeaderRows r = HeaderVisibleRows(row.position, 16, row.lines, row.records);
    EXPECT_EQ(r.first, row.first);
    EXPECT_EQ(r.end, row.end);
  }
}

TEST(HeaderText, LineShowsSeventyNineCharactersFromTheColumn) {
  std::string record;
  for (int i = 0; i < 80; ++i) record += static_cast<char>('!' + i);
  char line[80];
  HeaderLine(record.data(), 0, line);
  EXPECT_EQ(std::string(line), record.substr(0, 79));
  HeaderLine(record.data(), 5, line);
  EXPECT_EQ(std::string(line), record.substr(5, 75) + "    ");
}

TEST(Readout, PixelUnderThePointer) {
  struct Row { const char* name; ReadoutAxis axis; int32_t expected; } rows[] = {
    {"centred 100 %, first", {110, 320, 100, 0, 100, 100, 100}, 0},
    {"centred 100 %, last", {209, 320, 100, 0, 100, 100, 100}, 99},
    {"centred 100 %, past the image", {210, 320, 100, 0, 100, 100, 100}, -1},
    {"centred 100 %, before the image", {109, 320, 100, 0, 100, 100, 100}, -1},
    {"300 % at 10", {10, 320, 300, 0, 300, 300, 100}, 0},
    {"300 % at 12", {12, 320, 300, 0, 300, 300, 100}, 0},
    {"300 % at 13", {13, 320, 300, 0, 300, 300, 100}, 1},
    {"scrolled", {50, 300, 1000, 200, 1000, 100, 1000}, 250},
    {"scrolled, beyond the client", {301, 300, 1000, 0, 1000, 100, 1000}, -1},
    {"left of the client arrives large", {65535, 320, 100, 0, 100, 100, 100}, -1},
    {"reduced to 50 %", {139, 320, 50, 0, 50, 50, 100}, 8},
    {"no image", {10, 320, 0, 0, 0, 3, 0}, -1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(PixelUnderPointer(row.axis), row.expected);
  }
}

TEST(Readout, TextInEachFormat) {
  struct Row { const char* format; bool hex, colour; double v[3]; const char* expected; } rows[] = {
    {"%i, %i = %#6.3f", false, false, {3.0}, "12, 34 =  3.000"},
    {"%i, %i = %#6.3f", false, false, {12.5}, "12, 34 = 12.500"},
    {"%i, %i = %02X", true, false, {200}, "12, 34 = C8"},
    {"%i, %i = %02X", true, false, {5}, "12, 34 = 05"},
    {"%i, %i = %02X", true, false, {1000}, "12, 34 = 3E8"},
    {"%i, %i = %02X", true, false, {200.9}, "12, 34 = C8"},
    {"%i, %i = %02X", true, false, {1e12}, "12, 34 = FFFFFFFF"},
    {"%i, %i = R:%02X G:%02X B:%02X", true, true, {1, 2, 255}, "12, 34 = R:01 G:02 B:FF"},
    {"%i, %i = R:%#6.3f G:%#6.3f B:%#6.3f", false, true, {4294967295.0, 4294967295.0, 4294967295.0},
     "12, 34 = R:4294967295.000 G:4294967295.000 B:4294967295.000"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expected);
    char text[kReadoutLength];
    FormatReadout(row.format, row.hex, row.colour, 12, 34, row.v, text);
    EXPECT_STREQ(text, row.expected);
  }
}

TEST(Docking, PreferredSideThenOtherSideThenTheLargerRoom) {
  struct Row { const char* name; int32_t top, bottom, h; int isBelow; DockPlacement expected; } rows[] = {
    {"first start", 0, 320, 100, 1, {false, 320, 420, 1}},
    {"no room below, full height above", 100, 700, 100, 1, {false, 0, 100, 0}},
    {"stays above while it fits", 100, 500, 100, 0, {false, 0, 100, 0}},
    {"above preferred, no room: below", 50, 500, 100, 0, {false, 500, 600, 1}},
    {"neither fits, more room below: cut", 30, 730, 100, 1, {false, 730, 768, 1}},
    {"equal room: above", 40, 728, 100, 1, {false, 0, 40, 0}},
    {"equal room, above preferred", 40, 728, 100, 0, {false, 0, 40, 0}},
    {"above preferred, more room below: cut below", 20, 700, 100, 0, {false, 700, 768, 1}},
    {"full screen height: hidden", 0, 768, 100, 1, {true, 0, 0, 1}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    DockPlacement d = DockHeader(row.top, row.bottom, 768, row.h, row.isBelow);
    EXPECT_EQ(d.hide, row.expected.hide);
    if (d.hide) continue;
    EXPECT_EQ(d.top, row.expected.top);
    EXPECT_EQ(d.bottom, row.expected.bottom);
    EXPECT_EQ(d.isBelow, row.expected.isBelow);
  }
}

}  // namespace
