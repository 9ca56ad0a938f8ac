// The load handler under Windows, with real COPYDATASTRUCTs and the real
// "Not Fits" message box.
#include <windows.h>

#include <gtest/gtest.h>

#include "fits_builder.h"
#include "header_parser.h"
#include "load_request.h"
#include "message_box_watch.h"
#include "pixel_decoder.h"
#include "viewer_windows.h"

using namespace fitstest;

namespace {

std::string TempPath(const char* name) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + name;
}

LRESULT Send(const std::string& path, ULONG_PTR magic = kLoadRequestMagic, DWORD length = kPayloadMinLength) {
  std::vector<char> payload(length, 0);
  memcpy(payload.data() + kPayloadNameOffset, path.c_str(), path.size() + 1);
  COPYDATASTRUCT request{magic, length, payload.data()};
  return OnCopyDataH(&request);
}

TEST(OnCopyDataH, LoadsTheNamedFile) {
  std::string path = TempPath("oncopydata.fits");
  ASSERT_TRUE(WriteFile(path, File(ImageCards(16, 2, 2), Samples16({10, 20, 30, 40}))));
  EXPECT_EQ(Send(path), 1);
  EXPECT_STREQ(sfname, "oncopydata.fits");
  EXPECT_EQ(TheFormat.imageSzH, 2u);
  ASSERT_NE(gDoubleBuffer, nullptr);
  EXPECT_EQ(gDoubleBuffer[3], 40);
  EXPECT_EQ(NewBitmapData, 1);
  EXPECT_EQ(NewHeaderData, 1);
}

TEST(OnCopyDataH, RefusesWrongMagicAndShortPayloads) {
  std::string path = TempPath("oncopydata.fits");
  EXPECT_EQ(Send(path, 0), 0);
  EXPECT_EQ(Send(path, kLoadRequestMagic, kPayloadMinLength - 1), 0);
}

TEST(OnCopyDataH, NotFitsBoxAndPreviousImageKept) {
  std::string good = TempPath("kept.fits");
  ASSERT_TRUE(WriteFile(good, File(ImageCards(8, 1, 1), Samples8({99}))));
  ASSERT_EQ(Send(good), 1);
  std::string bad = TempPath("notfits.txt");
  ASSERT_TRUE(WriteFile(bad, PadBlock(RawCard("This is not a FITS file") + RawCard("END")) + "tail"));

  wintest::MessageBoxWatch watch("Not Fits");
  EXPECT_EQ(Send(bad), 1);
  ASSERT_TRUE(watch.Closed());
  EXPECT_EQ(watch.Text(), "FITS Identifier not found");
  EXPECT_STREQ(sfname, "kept.fits");
  EXPECT_EQ(gDoubleBuffer[0], 99);
}

}  // namespace
