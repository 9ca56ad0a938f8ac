// Files written by astropy, an independent FITS library, in every sample
// format: the thumbnail decoder reads the values astropy reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "thumbnail_decode.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ThumbnailReferenceFiles, ValuesMatchAstropy) {
  struct Case {
    const char* name;
    int bits;
    int planes;
  } cases[] = {{"uint8", 8, 1},         {"int16", 16, 1},         {"uint16_bzero", 16, 1},
               {"int16_scaled", 16, 1}, {"int32", 32, 1},         {"uint32_bzero", 32, 1},
               {"float32_blank", 32, 1}, {"rgb_uint8", 8, 3},     {"rgb_float32", 32, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string base = std::string(REFERENCE_FITS_DIR) + c.name;
    const std::string file = ReadAll(base + ".fits"), raw = ReadAll(base + ".f64");
    ASSERT_FALSE(file.empty());
    ASSERT_FALSE(raw.empty());
    std::vector<double> expected(raw.size() / sizeof(double));
    memcpy(expected.data(), raw.data(), raw.size());
    // Blank samples count as 0 in this reader.
    for (double& v : expected) v = std::isnan(v) ? 0.0 : v;

    thumbtest::Decoded d = thumbtest::DecodeBytes(file);
    ASSERT_TRUE(d.settled);
    EXPECT_EQ(d.header.bitsPerSample, c.bits);
    EXPECT_EQ(Planes(d.header), c.planes);
    ASSERT_EQ(d.values.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) ASSERT_EQ(d.values[i], expected[i]) << "sample " << i;
    EXPECT_EQ(d.statistics.minimum, *std::min_element(expected.begin(), expected.end()));
    EXPECT_EQ(d.statistics.maximum, *std::max_element(expected.begin(), expected.end()));
  }
}

}  // namespace
