// Which default values of HKEY_CLASSES_ROOT\.fit name a file type.
#include "file_type_value.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

constexpr uint32_t kValueDword = 4;
constexpr uint32_t kValueBinary = 3;

TEST(FileTypeFromValue, Table) {
  const std::string name39(39, 'T'), name40(40, 'T');
  const struct {
    const char* label;
    uint32_t type;
    std::string bytes;
    bool accepted;
    std::string fileType;
  } rows[] = {
      {"string", kValueString, "Kelvra.FitsFile\0"s, true, "Kelvra.FitsFile"},
      {"expandable string", kValueExpandString, "Kelvra.FitsFile\0"s, true, "Kelvra.FitsFile"},
      {"multi-string", kValueMultiString, "Kelvra.FitsFile\0Other\0\0"s, true, "Kelvra.FitsFile"},
      {"39 characters", kValueString, name39 + '\0', true, name39},
      {"40 characters", kValueString, name40 + '\0', false, ""},
      {"string ending early", kValueString, "Kelvra\0Fits\0"s, true, "Kelvra"},
      {"unterminated string", kValueString, "Kelvra.FitsFile", false, ""},
      {"unterminated expandable string", kValueExpandString, "Kelvra.FitsFile", false, ""},
      {"multi-string with one terminator", kValueMultiString, "Kelvra.FitsFile\0"s, false, ""},
      {"no bytes", kValueString, "", false, ""},
      {"empty string", kValueString, "\0"s, false, ""},
      {"empty multi-string", kValueMultiString, "\0\0"s, false, ""},
      {"backslash", kValueString, "Kelvra\\FitsFile\0"s, false, ""},
      {"number", kValueDword, "\x01\0\0\0"s, false, ""},
      {"binary", kValueBinary, "Kelvra.FitsFile\0"s, false, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    std::string fileType = "unchanged";
    bool accepted =
        FileTypeFromValue(row.type, reinterpret_cast<const uint8_t*>(row.bytes.data()), row.bytes.size(), &fileType);
    EXPECT_EQ(accepted, row.accepted);
    EXPECT_EQ(fileType, row.accepted ? row.fileType : "unchanged");
  }
}

}  // namespace
