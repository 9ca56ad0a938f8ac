// DecodeFitsThumbnail under Windows: files on disk, the DIB section, the
// message boxes, and the ImageView call seen in the Varnex.dll stand-in's log.
#include <windows.h>

#include <gtest/gtest.h>

#include "fits_builder.h"
#include "message_box_watch.h"
#include "thumbnail_decode.h"
#include "vantel_windows.h"
#include "decode_fits_thumbnail.h"

using namespace fitstest;
using namespace thumbtest;

namespace {

// Points the stand-in's log at a fresh file for the test's lifetime.
class ImageViewLog {
 public:
  ImageViewLog() : path_(TempPath("varnex-decoder.log")) {
    DeleteFileA(path_.c_str());
    SetEnvironmentVariableA("VARNEX_LOG", path_.c_str());
  }
  ~ImageViewLog() {
    SetEnvironmentVariableA("VARNEX_LOG", nullptr);
    DeleteFileA(path_.c_str());
  }
  std::string Lines() const { return ReadFileBytes(path_); }

 private:
  std::string path_;
};

struct Result {
  BITMAPINFO* info = nullptr;
  HBITMAP dib = reinterpret_cast<HBITMAP>(0x1234);  // shows whether the call wrote them
  void* pixels = reinterpret_cast<void*>(0x5678);
  ~Result() {
    if (info != nullptr) {
      DeleteObject(dib);
      HeapFree(GetProcessHeap(), 0, info);
    }
  }
};

void Decode(const std::string& path, Result* r) { r->info = DecodeFitsThumbnail(path.c_str(), &r->dib, &r->pixels); }

std::string WriteTemp(const std::string& name, const std::string& bytes) {
  std::string path = TempPath(name);
  EXPECT_TRUE(WriteFile(path, bytes)) << path;
  return path;
}

TEST(DecodeFitsThumbnail, BitmapOfTheWholeImage) {
  const std::string bytes = File(ImageCards(16, 5, 3), Samples16({1, 2, 3, 4, 5, 60, 70, 80, 90, 100, 7, 7, 7, 7, 7}));
  const std::string path = WriteTemp("decoder-bitmap.fits", bytes);
  Result r;
  Decode(path, &r);
  ASSERT_NE(r.info, nullptr);
  const BITMAPINFOHEADER& h = r.info->bmiHeader;
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 5);
  EXPECT_EQ(h.biHeight, 3);
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biBitCount, 32);
  EXPECT_EQ(h.biCompression, DWORD(BI_RGB));
  EXPECT_EQ(h.biSizeImage, 60u);
  EXPECT_EQ(h.biXPelsPerMeter, 0);
  EXPECT_EQ(h.biClrUsed, 0u);
  DIBSECTION section;
  ASSERT_EQ(GetObjectA(r.dib, sizeof section, &section), int(sizeof section));
  EXPECT_EQ(section.dsBm.bmBits, r.pixels);
  EXPECT_EQ(section.dsBm.bmBitsPixel, 32);
  // The pixels are those of the portable decode of the same bytes.
  Decoded expected = DecodeBytes(bytes);
  const uint8_t* actual = static_cast<const uint8_t*>(r.pixels);
  for (size_t i = 0; i < expected.pixels.size(); ++i) ASSERT_EQ(actual[i], expected.pixels[i]) << "byte " << i;
}

TEST(DecodeFitsThumbnail, ReportsEachDecodeToImageView) {
  struct Case {
    const char* name;
    std::string bytes;
    const char* maximumAndMinimum;
  } cases[] = {
      {"decoder-8bit.fits", File(ImageCards(8, 3, 1), Samples8({7, 200, 31})), "200\t7"},
      {"decoder-float.fits", File(ImageCards(-32, 3, 1), SamplesFloat({-2.75f, 0.5f, 1e3f})), "1000\t-2"},
      {"decoder-bitpix64.fits", File(ImageCards(64, 2, 2), std::string(32, '\x11')), "0\t-1"},
      {"decoder-32bit-all-ones.fits", File(ImageCards(32, 1, 1), Samples32({0xFFFFFFFF})), "-1\t-1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ImageViewLog log;
    const std::string path = WriteTemp(c.name, c.bytes);
    Result r;
    Decode(path, &r);
    ASSERT_NE(r.info, nullptr);
    EXPECT_EQ(log.Lines(), "3060\t" + path + "\t" + c.maximumAndMinimum + "\n");
  }
}

TEST(DecodeFitsThumbnail, BitpixWithoutReaderIsBlack) {
  const std::string path = WriteTemp("decoder-black.fits", File(ImageCards(64, 4, 2), std::string(64, '\x7F')));
  Result r;
  Decode(path, &r);
  ASSERT_NE(r.info, nullptr);
  const uint8_t* pixels = static_cast<const uint8_t*>(r.pixels);
  for (int i = 0; i < 4 * 2 * 4; ++i) ASSERT_EQ(pixels[i], 0) << "byte " << i;
}

TEST(DecodeFitsThumbnail, MessageBoxesForFileAndHeaderProblems) {
  std::string noEnd = PadBlock(Card("SIMPLE", "T") + Card("BITPIX", "8"));
  struct Case {
    const char* name;
    std::string bytes;  // written unless the name is of a missing file
    const char* caption;
    const char* text;   // null: the path
  } cases[] = {
      {"decoder-empty.fits", "", "Error Opening", nullptr},
      {"decoder-missing.fits", "", "Error Opening", nullptr},
      {"decoder-50-bytes.fits", std::string(50, 'S'), "Error Reading first line of Fits File ", nullptr},
      {"decoder-no-end.fits", noEnd + noEnd, "Error continuing reading", "Fits Header"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ImageViewLog log;
    std::string path = TempPath(c.name);
    DeleteFileA(path.c_str());
    if (std::string(c.name) != "decoder-missing.fits") WriteTemp(c.name, c.bytes);
    wintest::MessageBoxWatch watch(c.caption);
    Result r;
    Decode(path, &r);
    ASSERT_TRUE(watch.Closed());
    EXPECT_EQ(watch.Text(), c.text != nullptr ? c.text : path);
    EXPECT_EQ(r.info, nullptr);
    EXPECT_EQ(r.dib, reinterpret_cast<HBITMAP>(0x1234));
    EXPECT_EQ(r.pixels, reinterpret_cast<void*>(0x5678));
    EXPECT_EQ(log.Lines(), "");
  }
}

TEST(DecodeFitsThumbnail, GeometryFailuresShowNoBox) {
  struct Case {
    const char* name;
    std::vector<std::string> cards;
  } cases[] = {
      {"NAXIS1 = 0", ImageCards(8, 0, 5)},
      {"negative NAXIS2", ImageCards(8, 5, -2)},
      {"bitmap beyond 32-bit sizes", ImageCards(8, 65536, 65536)},
      {"sample buffer beyond 32-bit sizes", ImageCards(16, 20000, 20000, 3)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ImageViewLog log;
    const std::string path = WriteTemp("decoder-geometry.fits", File(c.cards, Samples8({1, 2, 3})));
    wintest::MessageBoxWatch opening("Error Opening", 300), first("Error Reading first line of Fits File ", 300),
        header("Error continuing reading", 300);
    Result r;
    Decode(path, &r);
    EXPECT_EQ(r.info, nullptr);
    EXPECT_EQ(r.dib, reinterpret_cast<HBITMAP>(0x1234));
    EXPECT_FALSE(opening.Closed());
    EXPECT_FALSE(first.Closed());
    EXPECT_FALSE(header.Closed());
    EXPECT_EQ(log.Lines(), "");
  }
}

}  // namespace
