// Files written by astropy: every decoded value must equal what astropy reads.
#include <gtest/gtest.h>

#include <cmath>
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
  for (const char* name : {"uint8", "int16", "uint16_bzero", "int16_scaled", "int32", "uint32_bzero", "float32_blank",
                           "rgb_uint8", "rgb_float32"}) {
    SCOPED_TRACE(name);
    std::string base = std::string(REFERENCE_FITS_DIR) + name;
    std::vector<double> expected = ReadValues(base + ".f64");
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(fitstest::Load(base + ".fits"), 1);
    ASSERT_EQ(static_cast<size_t>(TheFormat.imageSz), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      double value = std::isnan(expected[i]) ? 0.0 : expected[i];  // blank pixels show as 0
      ASSERT_DOUBLE_EQ(gDoubleBuffer[i], value) << "sample " << i;
    }
    FreeLoadedImage();
  }
}

}  // namespace
