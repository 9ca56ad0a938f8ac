// The command table walk and the help-text copy (cut and always terminated).
#include "menu_commands.h"

#include <gtest/gtest.h>

#include <string>

#include "resource.h"

namespace {

TEST(FindMenuCommand, OffsetsUpToTheEndEntry) {
  const struct {
    size_t offset;
    uint32_t menuTextId;  // 0: no command
    uint32_t helpTextId;
  } rows[] = {{0, IDS_MENU_TEXT, IDS_HELP_TEXT}, {1, 0, 0}, {2, 0, 0}, {65535, 0, 0}, {SIZE_MAX, 0, 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.offset);
    const MenuCommand* command = FindMenuCommand(row.offset);
    if (row.menuTextId == 0) {
      EXPECT_EQ(command, nullptr);
    } else {
      ASSERT_NE(command, nullptr);
      EXPECT_EQ(command->menuTextId, row.menuTextId);
      EXPECT_EQ(command->helpTextId, row.helpTextId);
    }
  }
}

const char kHelp[] = "Apply Folder modifications and install templates for Fits viewing ";

TEST(CopyCut, CutsAtTheCapacityAndTerminates) {
  const std::string help = kHelp;
  const struct {
    size_t capacity;
    std::string expected;
  } rows[] = {
      {1, ""},
      {2, "A"},
      {10, "Apply Fol"},
      {help.size(), help.substr(0, help.size() - 1)},  // the trailing blank is cut
      {help.size() + 1, help},
      {kTextCapacity, help},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.capacity);
    std::string out(kTextCapacity + 1, '#');
    ASSERT_TRUE(CopyCut(&out[0], row.capacity, kHelp));
    EXPECT_EQ(std::string(out.c_str()), row.expected);
    EXPECT_EQ(out[row.capacity], '#') << "wrote past the capacity";
  }
}

TEST(CopyCut, WideTextTheSameWay) {
  std::u16string out(20, u'#');
  ASSERT_TRUE(CopyCut(&out[0], 10, u"Apply Folder modifications"));
  EXPECT_EQ(std::u16string(out.c_str()), u"Apply Fol");
  EXPECT_EQ(out[10], u'#');
}

TEST(CopyCut, ZeroCapacityWritesNothing) {
  char out[4] = "##";
  EXPECT_FALSE(CopyCut(out, 0, kHelp));
  EXPECT_STREQ(out, "##");
}

}  // namespace
