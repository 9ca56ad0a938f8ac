// The command line of kelvra-thumb.
#include <gtest/gtest.h>

#include "arguments.h"

namespace {

TEST(KelvraThumbArguments, Accepted) {
  struct Row {
    std::vector<std::string> arguments;
    int size;
    std::vector<std::string> files;
    std::string outDir;
  } rows[] = {
      {{"a.fits", "--out", "C:\\out"}, 96, {"a.fits"}, "C:\\out"},
      {{"--size", "256", "a.fits", "b.fit", "--out", "out"}, 256, {"a.fits", "b.fit"}, "out"},
      {{"a.fits", "--out", "x", "--size", "7", "b.fts"}, 7, {"a.fits", "b.fts"}, "x"},
      {{"-", "--out", "x"}, 96, {"-"}, "x"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.arguments));
    ThumbArguments parsed;
    std::string error;
    ASSERT_TRUE(ParseArguments(row.arguments, &parsed, &error)) << error;
    EXPECT_EQ(parsed.size, row.size);
    EXPECT_EQ(parsed.files, row.files);
    EXPECT_EQ(parsed.outDir, row.outDir);
  }
}

TEST(KelvraThumbArguments, Refused) {
  struct Row {
    std::vector<std::string> arguments;
    std::string error;
  } rows[] = {
      {{}, "no FITS file given"},
      {{"--out", "x"}, "no FITS file given"},
      {{"a.fits"}, "no output folder given (--out DIR)"},
      {{"a.fits", "--out"}, "--out needs a value"},
      {{"--size", "0", "a.fits", "--out", "x"}, "--size wants a positive whole number, not '0'"},
      {{"--size", "-5", "a.fits", "--out", "x"}, "--size wants a positive whole number, not '-5'"},
      {{"--size", "12px", "a.fits", "--out", "x"}, "--size wants a positive whole number, not '12px'"},
      {{"--size", "9999999999", "a.fits", "--out", "x"}, "--size wants a positive whole number, not '9999999999'"},
      {{"--colour", "a.fits", "--out", "x"}, "unknown option --colour"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.arguments));
    ThumbArguments parsed;
    std::string error;
    EXPECT_FALSE(ParseArguments(row.arguments, &parsed, &error));
    EXPECT_EQ(error, row.error);
  }
}

TEST(KelvraThumbArguments, OutputPath) {
  struct Row {
    std::string outDir, file, expected;
  } rows[] = {
      {"C:\\out", "C:\\data\\crab.fits", "C:\\out\\crab.fits.png"},
      {"C:\\out\\", "/work/samples/sun.fit", "C:\\out\\sun.fit.png"},
      {"out", "plain.fts", "out\\plain.fts.png"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    EXPECT_EQ(OutputPath(row.outDir, row.file), row.expected);
  }
}

}  // namespace
