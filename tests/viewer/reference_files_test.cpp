// Files written by astropy: every decoded value must equal what astropy reads.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "header_parser.h"
#include "load_helpers.h"
#include "pixel_decoder.h"

namespace {

std::vector<double> ReadValues(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<double> values(bytes.size() / sizeof(double));
  memcpy(values.data(), bytes.data(), values.size() * sizeof(double));
  return values;
}

TEST(ReferenceFiles, DecodedValuesEqualAstropys) {
  for (const char* name : {"uint16_bzero", "int16_scaled", "float32", "uint8"}) {
    SCOPED_TRACE(name);
    std::string base = std::string(REFERENCE_FITS_DIR) + name;
    std::vector<double> expected = ReadValues(base + ".f64");
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(fitstest::Load(base + ".fits"), 1);
    ASSERT_EQ(static_cast<size_t>(TheFormat.imageSz), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) ASSERT_DOUBLE_EQ(gDoubleBuffer[i], expected[i]) << "sample " << i;
    FreeLoadedImage();
  }
}

}  // namespace
