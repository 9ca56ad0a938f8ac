#include <gtest/gtest.h>

#include "header_parser.h"
#include "load_helpers.h"
#include "pixel_decoder.h"
#include "report_capture.h"

using namespace fitstest;

namespace {

TEST(ShortName, AfterTheLastBackslashBeforeTheFinalCharacter) {
  struct Row { const char* path; const char* expected; } rows[] = {
    {"C:\\images\\m31.fits", "m31.fits"},
    {"m31.fits", "m31.fits"},
    {"\\m31.fits", "m31.fits"},
    {"C:\\dir\\", "dir\\"},
    {"C:/images/m31.fits", "C:/images/m31.fits"},
    {"", ""},
    {"\\", "\\"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_STREQ(ShortName(row.path), row.expected);
  }
}

TEST(FindEndRecord, AtRecordBoundariesOutsideTheLastRecord) {
  std::string header36 = Header(std::vector<std::string>(34, Card("COMMENT", "x")));  // END is record 36
  ASSERT_EQ(header36.size(), 2880u);
  std::string withData = header36 + std::string(2880, '\0');
  struct Row { const char* name; std::string file; int32_t expected; } rows[] = {
    {"END as record 36 with data after it", withData, 2800},
    {"END in the final 80 bytes", header36, -1},
    {"ENDING at a record boundary", Card("SIMPLE", "T") + RawCard("ENDING") + std::string(160, ' '), 80},
    {"END not at a record boundary", Card("SIMPLE", "T") + RawCard(" END") + std::string(160, ' '), -1},
    {"empty file", "", -1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FindEndRecord(reinterpret_cast<const uint8_t*>(row.file.data()), static_cast<int32_t>(row.file.size())),
              row.expected);
  }
}

class LoadRequest : public ::testing::Test {
 protected:
  void SetUp() override {
    FreeLoadedImage();
    TheFormat = FitsFormat{};
    TheReports = ReportCapture{};
  }
  void TearDown() override { FreeLoadedImage(); }

  // Loads a 16-bit 3 x 2 image with values 1..6 as the current image.
  void LoadFirstImage() {
    firstPath = TempFits("first.fits", File(ImageCards(16, 3, 2), Samples16({1, 2, 3, 4, 5, 6})));
    ASSERT_EQ(Load(firstPath), 1);
    ASSERT_NE(gDoubleBuffer, nullptr);
    NewBitmapData = NewHeaderData = firstLoad = 0;
  }
  void ExpectFirstImageKept() {
    EXPECT_EQ(TheFormat.imageSzH, 3u);
    EXPECT_EQ(TheFormat.imageSzV, 2u);
    ASSERT_NE(gDoubleBuffer, nullptr);
    EXPECT_EQ(gDoubleBuffer[5], 6);
    EXPECT_STREQ(sfname, firstPath.c_str());  // the test paths use forward slashes
    EXPECT_EQ(gHeadersize, 6u * 80);
    EXPECT_EQ(NewBitmapData, 0);
    EXPECT_EQ(WholeFile, nullptr);
  }
  std::string firstPath;
};

TEST_F(LoadRequest, ReadsHeaderAndDecodesSamples) {
  std::string path = TempFits("m31.fits", File(ImageCards(16, 3, 2), Samples16({1, 2, 3, 4, 5, 6})));
  ASSERT_EQ(Load(path), 1);
  EXPECT_STREQ(filename, path.c_str());
  EXPECT_STREQ(sfname, path.c_str()) << "forward slashes are not separators";
  EXPECT_EQ(gHeadersize, 6u * 80);
  EXPECT_EQ(headerBlocks, 1);
  EXPECT_EQ(memcmp(WholeHeader, "SIMPLE  =", 9), 0);
  EXPECT_EQ(memcmp(WholeHeader + gHeadersize - 80, "END ", 4), 0);
  EXPECT_EQ(TheFormat.imageSz, 6);
  EXPECT_EQ(gDataSize, 12u);
  EXPECT_EQ(std::vector<double>(gDoubleBuffer, gDoubleBuffer + 6), (std::vector<double>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(NewHeaderData, 1);
  EXPECT_EQ(NewBitmapData, 1);
  EXPECT_EQ(firstLoad, 1);
  EXPECT_EQ(WholeFile, nullptr);
  ASSERT_NE(CopyDataBufferH, nullptr);
  EXPECT_EQ(TheReports.lines.size(), 0u);
}

TEST_F(LoadRequest, DataStartsAtTheBlockAfterEnd) {
  struct Row { int records; uint32_t headerSize; int32_t blocks; } rows[] = {{36, 2880, 1}, {37, 2960, 2}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.records);
    std::vector<std::string> cards = ImageCards(8, 2, 1);
    while (static_cast<int>(cards.size()) < row.records - 2) cards.push_back(Card("COMMENT", "filler"));
    ASSERT_EQ(Load(TempFits("blocks.fits", File(cards, Samples8({17, 42})))), 1);
    EXPECT_EQ(gHeadersize, row.headerSize);
    EXPECT_EQ(headerBlocks, row.blocks);
    EXPECT_EQ(gDoubleBuffer[0], 17);
    EXPECT_EQ(gDoubleBuffer[1], 42);
  }
}

TEST_F(LoadRequest, PayloadBeyondTheNameIsNotRead) {
  std::string path = TempFits("tail.fits", File(ImageCards(8, 2, 1), Samples8({3, 4})));
  ASSERT_EQ(Load(path, 1000), 1);
  EXPECT_EQ(gDoubleBuffer[1], 4);
  EXPECT_STREQ(filename, path.c_str());
}

TEST_F(LoadRequest, RefusedPayloadsChangeNothing) {
  LoadFirstImage();
  std::string other = TempFits("other.fits", File(ImageCards(8, 1, 1), Samples8({9})));
  auto payload = Payload(other);
  EXPECT_EQ(LoadRequestValid(0, payload.data(), kPayloadMinLength), 0);
  EXPECT_EQ(TheReports.lines.back(), "RIRU Dezeve Zuroda - OnCopyDataH() : dwData != 0xFEB11966");
  EXPECT_EQ(LoadRequestValid(kLoadRequestMagic, payload.data(), kPayloadMinLength - 1), 0);
  EXPECT_EQ(LoadRequestValid(kLoadRequestMagic, nullptr, kPayloadMinLength), 0);
  auto unterminated = payload;
  std::fill(unterminated.begin() + kPayloadNameOffset, unterminated.end(), 'a');
  EXPECT_EQ(LoadRequestValid(kLoadRequestMagic, unterminated.data(), kPayloadMinLength), 0);
  ExpectFirstImageKept();
}

TEST_F(LoadRequest, FilesThatCannotBeShownKeepThePreviousImage) {
  struct Row { const char* name; std::string bytes; int notFitsBoxes; const char* report; } rows[] = {
    {"not FITS", PadBlock(RawCard("HELLO WORLD") + EndCard()) + std::string(2880, '\0'), 1,
     "DIDA Duvara - DoReadStart() : FITS identifier not found"},
    {"no END record", PadBlock(Card("SIMPLE", "T") + Card("BITPIX", "8")), 0,
     "DIDA Duvara - DoReadPrepare() : no END record"},
    {"END in the final record", Header(std::vector<std::string>(34, Card("COMMENT", "x"))), 0,
     "DIDA Duvara - DoReadPrepare() : no END record"},
    {"empty file", "", 0, "DIDA Duvara - DoReadPrepare() : no END record"},
    {"size beyond 32 bits", File(ImageCards(16, 65536, 65536), ""), 0,
     "DIDA Duvara - DoReadStart() : image size out of range"},
    {"negative axis", File(ImageCards(16, -4, 2), ""), 0, "DIDA Duvara - DoReadStart() : image size out of range"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SetUp();
    LoadFirstImage();
    EXPECT_EQ(Load(TempFits("bad.fits", row.bytes)), 1) << "the request itself is accepted";
    EXPECT_EQ(TheReports.notFitsBoxes, row.notFitsBoxes);
    ASSERT_FALSE(TheReports.lines.empty());
    EXPECT_EQ(TheReports.lines.back(), row.report);
    EXPECT_EQ(NewHeaderData, 1);
    ExpectFirstImageKept();
  }
}

TEST_F(LoadRequest, MissingFileKeepsThePreviousImage) {
  LoadFirstImage();
  EXPECT_EQ(Load(::testing::TempDir() + "no-such-file.fits"), 1);
  EXPECT_EQ(TheReports.lines.back(), "DIDA Duvara - DoReadPrepare() : file cannot be opened or read");
  ExpectFirstImageKept();
}

TEST_F(LoadRequest, FirstFailureShowsNoImage) {
  EXPECT_EQ(Load(TempFits("bad.fits", PadBlock(RawCard("JUNK") + EndCard()) + "xx")), 1);
  EXPECT_EQ(gDoubleBuffer, nullptr);
  EXPECT_EQ(WholeHeader, nullptr);
  EXPECT_EQ(NewBitmapData, 0);
  EXPECT_STREQ(sfname, "");
}

TEST_F(LoadRequest, TruncatedDataReadsAsZero) {
  // Header declares 4 x 2 16-bit samples; the file holds only three.
  std::string bytes = Header(ImageCards(16, 4, 2)) + Samples16({300, 400, 500});
  ASSERT_EQ(Load(TempFits("short.fits", bytes)), 1);
  ASSERT_NE(gDoubleBuffer, nullptr);
  EXPECT_EQ(std::vector<double>(gDoubleBuffer, gDoubleBuffer + 8), (std::vector<double>{300, 400, 500, 0, 0, 0, 0, 0}));
}

TEST_F(LoadRequest, ColourImageWithTooFewPlanesInTheFileIsPaddedWithZeros) {
  std::string bytes = File(ImageCards(8, 2, 1, 3), Samples8({1, 2, 3, 4}));  // NAXIS3 = 3 but four bytes
  ASSERT_EQ(Load(TempFits("rgb.fits", bytes)), 1);
  EXPECT_EQ(TheFormat.imageSz, 6);
  EXPECT_EQ(std::vector<double>(gDoubleBuffer, gDoubleBuffer + 6), (std::vector<double>{1, 2, 3, 4, 0, 0}));
}

TEST_F(LoadRequest, IdentifierAndEndOnlyKeepsPreviousSampleFormat) {
  LoadFirstImage();
  ASSERT_EQ(Load(TempFits("bare.fits", PadBlock(Card("SIMPLE", "T") + EndCard()) + Samples16({77}))), 1);
  EXPECT_EQ(TheFormat.imageSzH, 1u);
  EXPECT_EQ(TheFormat.imageSzV, 1u);
  EXPECT_EQ(TheFormat.realbitpix, 16);
  EXPECT_EQ(gDoubleBuffer[0], 77);
}

}  // namespace
