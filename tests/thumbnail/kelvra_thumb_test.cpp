// kelvra-thumb as a user runs it, against the registered extension.
#include <windows.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include "fits_builder.h"
#include "vantel_windows.h"

using namespace fitstest;
using namespace thumbtest;

namespace {

class KelvraThumb : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&gdiplus_, &input, nullptr);
  }
  static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(gdiplus_); }

  ProcessResult Run(const std::string& arguments) {
    return RunProcess("\"" + KelvraThumbPath() + "\" " + arguments);
  }

  static ULONG_PTR gdiplus_;
};
ULONG_PTR KelvraThumb::gdiplus_ = 0;

std::string OutFolder() {
  std::string folder = TempPath("kelvra-thumb-out");
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

// A three-plane image that comes out as red 0, green 128, blue 255.
std::string ColourImage(int width, int height) {
  std::vector<int> planes;
  for (int value : {10, 20, 30}) planes.insert(planes.end(), size_t(width) * height, value);
  return File(ImageCards(8, width, height, 3), Samples8(planes));
}

TEST_F(KelvraThumb, WritesThePngOfEachFileAndReportsFailures) {
  Registration registration;
  ASSERT_TRUE(registration.Registered());
  const std::string good = TempPath("kelvra-thumb-good.fits"), bad = TempPath("kelvra-thumb-bad.fit");
  ASSERT_TRUE(WriteFile(good, ColourImage(40, 30)));
  ASSERT_TRUE(WriteFile(bad, "SIMPLE"));
  const std::string out = OutFolder(), png = out + "\\kelvra-thumb-good.fits.png";
  DeleteFileA(png.c_str());

  ProcessResult result = Run("--size 64 \"" + good + "\" \"" + bad + "\" --out \"" + out + "\"");
  EXPECT_EQ(result.exitCode, 1u) << result.output;
  EXPECT_NE(result.output.find(png), std::string::npos) << result.output;
  EXPECT_NE(result.output.find(bad + ": Extract failed (0x80004005), the handler showed \"Error Reading first line of "
                               "Fits File \": " + bad),
            std::string::npos)
      << result.output;

  Gdiplus::Bitmap image(Wide(png).c_str());
  ASSERT_EQ(image.GetLastStatus(), Gdiplus::Ok) << png;
  EXPECT_EQ(image.GetWidth(), 64u);
  EXPECT_EQ(image.GetHeight(), 64u);
  struct Probe {
    int x, y;
    uint32_t rgb;
  } probes[] = {{0, 0, 0x0080FF}, {39, 29, 0x0080FF}, {40, 0, kWhite}, {0, 30, kWhite}, {63, 63, kWhite}};
  for (const auto& p : probes) {
    Gdiplus::Color colour;
    ASSERT_EQ(image.GetPixel(p.x, p.y, &colour), Gdiplus::Ok);
    EXPECT_EQ(Hex(colour.GetValue() & 0xFFFFFF), Hex(p.rgb)) << "x " << p.x << ", y " << p.y;
  }
}

TEST_F(KelvraThumb, NoHandlerWithoutRegistration) {
  const std::string file = TempPath("kelvra-thumb-unregistered.fits");
  ASSERT_TRUE(WriteFile(file, ColourImage(2, 2)));
  ProcessResult result = Run("\"" + file + "\" --out \"" + OutFolder() + "\"");
  EXPECT_EQ(result.exitCode, 1u);
  EXPECT_NE(result.output.find(file + ": no thumbnail handler is registered for its extension"), std::string::npos)
      << result.output;
}

TEST_F(KelvraThumb, WrongCommandLine) {
  ProcessResult result = Run("--size 0 a.fits --out x");
  EXPECT_EQ(result.exitCode, 2u);
  EXPECT_NE(result.output.find("usage: kelvra-thumb [--size N] FILE... --out DIR"), std::string::npos) << result.output;
}

}  // namespace
