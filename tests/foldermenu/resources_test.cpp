// The module's string table and version block, read as the shell and the
// file properties read them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "klvxp_module.h"

namespace klvxptest {
namespace {

TEST(Resources, StringTable) {
  const struct {
    UINT id;
    const char* text;
  } rows[] = {
      {1, "Apply R2u Veva Vuzo To Folders"},
      {2, "Apply Folder modifications and install templates for Fits viewing "},
      {100, "KLVXP"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.id);
    char text[260] = "";
    EXPECT_EQ(LoadStringA(Module().module, row.id, text, sizeof text), static_cast<int>(strlen(row.text)));
    EXPECT_STREQ(text, row.text);
  }
}

TEST(Resources, VersionBlock) {
  std::string path = KlvxpPath();
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), nullptr);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                             &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 1200);

  const struct {
    const char* name;
    const char* value;
  } rows[] = {
      {"FileDescription", "KLVXP Module"},
      {"FileVersion", "1, 0, 0, 1"},
      {"InternalName", "KLVXP"},
      {"OriginalFilename", "KLVXP.DLL"},
      {"ProductName", "KLVXP ContextMenu Shell Extension"},
      {"ProductVersion", "1, 0, 0, 1"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    char* value = nullptr;
    std::string query = std::string("\\StringFileInfo\\040904b0\\") + row.name;
    ASSERT_TRUE(VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length));
    EXPECT_STREQ(value, row.value);
  }
}

}  // namespace
}  // namespace klvxptest
