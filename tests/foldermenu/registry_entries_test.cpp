// Replacements in the registry table and the keys unregistration may tidy.
#include "registry_entries.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ExpandRegistryText, Replacements) {
  const struct {
    const char* text;
    std::string expected;
  } rows[] = {
      {"CLSID\\%CLSID%", "CLSID\\{60EBFDD7-9706-4289-8E24-FFDA3E4D3844}"},
      {"%FILE%\\ShellEx", "Kelvra.FitsFile\\ShellEx"},
      {"%MODULE%", "C:\\Program Files\\Kelvra\\KLVXP.dll"},
      {"%FILE%%FILE%", "Kelvra.FitsFileKelvra.FitsFile"},
      {"Apartment", "Apartment"},
      {"100%", "100%"},
      {"%NAME%", "%NAME%"},
      {"", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(ExpandRegistryText(row.text, "Kelvra.FitsFile", "C:\\Program Files\\Kelvra\\KLVXP.dll"), row.expected);
  }
}

TEST(ExpandRegistryText, ReplacedTextIsNotScannedAgain) {
  EXPECT_EQ(ExpandRegistryText("%FILE%|%MODULE%", "%MODULE%", "%CLSID%"), "%MODULE%|%CLSID%");
}

TEST(RemovableParents, NearestFirstAndNeverTheFirstKey) {
  const struct {
    std::string key;
    std::vector<std::string> parents;
  } rows[] = {
      {"Type\\ShellEx\\ContextMenuHandlers\\KLVXP", {"Type\\ShellEx\\ContextMenuHandlers", "Type\\ShellEx"}},
      {"CLSID\\{60EBFDD7-9706-4289-8E24-FFDA3E4D3844}", {}},
      {"Type", {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.key);
    EXPECT_EQ(RemovableParents(row.key), row.parents);
  }
}

// Inside rows are written into the key the ReplacedKey row before them has
// just emptied; anywhere else they would outlive unregistration.
TEST(RegistryEntries, InsideRowsLieInTheReplacedKeyBeforeThem) {
  std::string replaced;
  for (const RegistryEntry& entry : kRegistryEntries) {
    SCOPED_TRACE(entry.key);
    if (entry.rule == RegistryRule::ReplacedKey) replaced = entry.key;
    if (entry.rule != RegistryRule::InsideKey) continue;
    ASSERT_FALSE(replaced.empty());
    std::string key = entry.key;
    EXPECT_TRUE(key == replaced || key.rfind(replaced + "\\", 0) == 0) << key << " is not in " << replaced;
  }
}

}  // namespace
