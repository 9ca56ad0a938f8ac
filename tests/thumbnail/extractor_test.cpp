// fitsformatExtractor as the shell uses it: created through the registry
// with CoCreateInstance, then Load, GetLocation, Extract and GetDateStamp.
#include <windows.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "fits_builder.h"
#include "identifiers.h"
#include "message_box_watch.h"
#include "thumbnail_decode.h"
#include "vantel_windows.h"

using namespace fitstest;
using namespace thumbtest;

namespace {

// vantel.dll is registered with regsvr32 for the whole program.
class RegisteredVantel : public testing::Environment {
 public:
  void SetUp() override {
    registration_ = new Registration;
    ASSERT_TRUE(registration_->Registered());
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
  }
  void TearDown() override {
    CoUninitialize();
    delete registration_;
  }

 private:
  Registration* registration_ = nullptr;
};
[[maybe_unused]] const auto* const kRegistered = testing::AddGlobalTestEnvironment(new RegisteredVantel);

std::string WriteTemp(const std::string& name, const std::string& bytes) {
  std::string path = TempPath(name);
  EXPECT_TRUE(WriteFile(path, bytes)) << path;
  return path;
}

// An extractor from the registry, loaded with a file and given a size.
class Extractor {
 public:
  Extractor() {
    EXPECT_EQ(CoCreateInstance(CLSID_fitsformatExtractor, nullptr, CLSCTX_INPROC_SERVER, IID_IExtractImage2,
                               reinterpret_cast<void**>(&image)),
              S_OK);
    if (image != nullptr) {
      EXPECT_EQ(image->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
    }
  }
  ~Extractor() {
    if (file != nullptr) file->Release();
    if (image != nullptr) image->Release();
  }
  HRESULT Load(const std::string& path) { return file->Load(Wide(path).c_str(), STGM_READ); }
  HRESULT GetLocation(LONG width, LONG height, DWORD flags = IEIFLAG_ASYNC) {
    wchar_t location[MAX_PATH] = L"untouched";
    DWORD priority = 77, inOut = flags;
    const SIZE size = {width, height};
    HRESULT hr = image->GetLocation(location, MAX_PATH, &priority, &size, 32, &inOut);
    EXPECT_STREQ(location, L"untouched");
    EXPECT_EQ(priority, 77u);
    EXPECT_EQ(inOut, flags);
    return hr;
  }
  // Extract's bitmap, read back and deleted; empty when it failed.
  Picture Extract(HRESULT* hr) {
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(1);
    *hr = image->Extract(&bitmap);
    if (FAILED(*hr)) {
      EXPECT_EQ(bitmap, nullptr);
      return Picture{};
    }
    Picture picture = ReadBitmap(bitmap);
    EXPECT_TRUE(DeleteObject(bitmap)) << "the bitmap belongs to the caller";
    return picture;
  }

  IExtractImage2* image = nullptr;
  IPersistFile* file = nullptr;
};

Picture Thumbnail(const std::string& path, LONG width, LONG height) {
  Extractor e;
  EXPECT_EQ(e.Load(path), S_OK);
  EXPECT_EQ(e.GetLocation(width, height), E_PENDING);
  HRESULT hr;
  Picture picture = e.Extract(&hr);
  EXPECT_EQ(hr, S_OK);
  return picture;
}

// A three-plane image that comes out as one colour: red 0, green 128, blue 255.
std::string ConstantColourImage(int width, int height) {
  std::vector<int> planes;
  for (int value : {10, 20, 30}) planes.insert(planes.end(), size_t(width) * height, value);
  return File(ImageCards(8, width, height, 3), Samples8(planes));
}
constexpr uint32_t kImageColour = 0x0080FF;

TEST(Extract, ShrinksToFitInTheTopLeftCorner) {
  struct Case {
    int width, height;
    int drawnWidth, drawnHeight;
  } cases[] = {{100, 50, 96, 48}, {50, 200, 24, 96}, {40, 30, 40, 30}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    const std::string path = WriteTemp("extract-fit.fits", ConstantColourImage(c.width, c.height));
    Picture picture = Thumbnail(path, 96, 96);
    ASSERT_EQ(picture.width, 96);
    ASSERT_EQ(picture.height, 96);
    for (int y = 0; y < 96; ++y) {
      for (int x = 0; x < 96; ++x) {
        const bool inside = x < c.drawnWidth && y < c.drawnHeight;
        ASSERT_EQ(Hex(picture.At(x, y)), Hex(inside ? kImageColour : kWhite)) << "x " << x << ", y " << y;
      }
    }
  }
}

TEST(Extract, PictureSmallerThanTheRequestIsTheDecodersPixels) {
  // Files from an independent writer; each is smaller than 64 x 64.
  for (const char* name : {"uint8", "int16", "uint16_bzero", "int16_scaled", "int32", "uint32_bzero", "float32_blank",
                           "rgb_uint8", "rgb_float32"}) {
    SCOPED_TRACE(name);
    const std::string path = ReferencePath(std::string(name) + ".fits");
    Decoded expected = DecodeBytes(ReadFileBytes(path));
    ASSERT_TRUE(expected.settled);
    Picture picture = Thumbnail(path, 64, 48);
    ASSERT_EQ(picture.width, 64);
    ASSERT_EQ(picture.height, 48);
    for (int y = 0; y < 48; ++y) {
      for (int x = 0; x < 64; ++x) {
        uint32_t want = kWhite;
        if (x < expected.header.width && y < expected.header.height) {
          Bgr p = PixelAt(expected, y, x);
          want = uint32_t(p.red) << 16 | uint32_t(p.green) << 8 | uint32_t(p.blue);
        }
        ASSERT_EQ(Hex(picture.At(x, y)), Hex(want)) << "x " << x << ", y " << y;
      }
    }
  }
}

TEST(Extract, ReportsTheDecodeToImageView) {
  const std::string log = TempPath("varnex-extract.log");
  DeleteFileA(log.c_str());
  SetEnvironmentVariableA("VARNEX_LOG", log.c_str());
  const std::string path = WriteTemp("extract-imageview.fits", File(ImageCards(16, 2, 1), Samples16({1234, 5678})));
  Thumbnail(path, 96, 96);
  SetEnvironmentVariableA("VARNEX_LOG", nullptr);
  EXPECT_EQ(ReadFileBytes(log), "3060\t" + path + "\t5678\t1234\n");
  DeleteFileA(log.c_str());
}

TEST(Extract, AsynchronousRequestThenExtractOnAnotherThread) {
  const std::string path = WriteTemp("extract-thread.fits", ConstantColourImage(8, 8));
  Extractor e;
  ASSERT_EQ(e.Load(path), S_OK);
  EXPECT_EQ(e.GetLocation(16, 16, IEIFLAG_ASYNC | IEIFLAG_ORIGSIZE), E_PENDING);
  EXPECT_EQ(e.GetLocation(20, 10, IEIFLAG_ORIGSIZE), S_OK) << "without IEIFLAG_ASYNC";
  EXPECT_EQ(e.GetLocation(12, 12, IEIFLAG_ASYNC), E_PENDING);
  Picture picture;
  HRESULT hr = E_UNEXPECTED;
  std::thread([&] { picture = e.Extract(&hr); }).join();
  EXPECT_EQ(hr, S_OK);
  EXPECT_EQ(picture.width, 12) << "the size of the last GetLocation";
  EXPECT_EQ(picture.height, 12);
  EXPECT_EQ(Hex(picture.At(7, 7)), Hex(kImageColour));
  EXPECT_EQ(Hex(picture.At(8, 8)), Hex(kWhite));
  // Extract may be repeated.
  picture = e.Extract(&hr);
  EXPECT_EQ(hr, S_OK);
  EXPECT_EQ(picture.width, 12);
}

TEST(Extract, ObjectsDecodeSideBySide) {
  const std::string small = WriteTemp("extract-side-a.fits", ConstantColourImage(30, 20));
  const std::string large = WriteTemp("extract-side-b.fits", File(ImageCards(8, 300, 200), Samples8(std::vector<int>(60000, 9))));
  Picture a, b;
  std::thread first([&] { CoInitialize(nullptr); a = Thumbnail(small, 40, 40); CoUninitialize(); });
  std::thread second([&] { CoInitialize(nullptr); b = Thumbnail(large, 40, 40); CoUninitialize(); });
  first.join();
  second.join();
  ASSERT_EQ(a.width, 40);
  ASSERT_EQ(b.width, 40);
  EXPECT_EQ(Hex(a.At(29, 19)), Hex(kImageColour));
  EXPECT_EQ(Hex(b.At(39, 25)), Hex(0x000000)) << "equal samples map to black";
  EXPECT_EQ(Hex(b.At(39, 26)), Hex(kWhite));
}

TEST(Extract, DecoderFailuresGiveNoBitmap) {
  struct Case {
    const char* name;
    std::string bytes;
    const char* caption;  // null: no box
    bool textIsPath;
  } cases[] = {
      {"extract-empty.fits", "", "Error Opening", true},
      {"extract-short.fits", "SIMPLE  =", "Error Reading first line of Fits File ", true},
      {"extract-no-end.fits", PadBlock(Card("SIMPLE", "T")), "Error continuing reading", false},
      {"extract-no-width.fits", File(ImageCards(8, 0, 3), Samples8({1})), nullptr, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = WriteTemp(c.name, c.bytes);
    Extractor e;
    ASSERT_EQ(e.Load(path), S_OK);
    e.GetLocation(96, 96);
    wintest::MessageBoxWatch watch(c.caption != nullptr ? c.caption : "Error Opening", c.caption != nullptr ? 10000 : 300);
    HRESULT hr;
    e.Extract(&hr);
    EXPECT_EQ(hr, E_FAIL);
    EXPECT_EQ(watch.Closed(), c.caption != nullptr);
    if (c.caption != nullptr) {
      EXPECT_EQ(watch.Text(), c.textIsPath ? path : "Fits Header");
    }
  }
}

TEST(Extract, FailingBitmapCreation) {
  const std::string path = WriteTemp("extract-gdi.fits", ConstantColourImage(4, 4));
  Extractor e;
  ASSERT_EQ(e.Load(path), S_OK);
  e.GetLocation(0x8000000, 0x8000000);  // beyond what GDI makes
  HRESULT hr;
  e.Extract(&hr);
  EXPECT_EQ(hr, E_FAIL);
  EXPECT_EQ(e.image->Extract(nullptr), E_POINTER);
}

TEST(Extract, BeforeLoadOpensTheEmptyPath) {
  Extractor e;
  wintest::MessageBoxWatch watch("Error Opening");
  HRESULT hr;
  e.Extract(&hr);
  EXPECT_EQ(hr, E_FAIL);
  ASSERT_TRUE(watch.Closed());
  EXPECT_EQ(watch.Text(), "");
}

TEST(Extract, BeforeGetLocationUsesTheShellsUsualSize) {
  const std::string path = WriteTemp("extract-nosize.fits", ConstantColourImage(4, 4));
  Extractor e;
  ASSERT_EQ(e.Load(path), S_OK);
  HRESULT hr;
  Picture picture = e.Extract(&hr);
  EXPECT_EQ(hr, S_OK);
  EXPECT_EQ(picture.width, 96);
  EXPECT_EQ(picture.height, 96);
}

TEST(Load, RefusedNamesKeepThePreviousPath) {
  const std::string path = WriteTemp("load-kept.fits", ConstantColourImage(4, 4));
  Extractor e;
  ASSERT_EQ(e.Load(path), S_OK);
  const std::string longest(499, 'a'), tooLong(500, 'a');
  EXPECT_EQ(e.file->Load(nullptr, STGM_READ), E_FAIL);
  EXPECT_EQ(e.Load("C:\\" + tooLong), E_FAIL);
  EXPECT_EQ(e.Load(path), S_OK);
  e.GetLocation(8, 8);
  HRESULT hr;
  Picture picture = e.Extract(&hr);
  EXPECT_EQ(hr, S_OK) << "the last accepted path is used";
  EXPECT_EQ(Hex(picture.At(0, 0)), Hex(kImageColour));
  // 499 bytes are accepted: the decoder then reports that path.
  ASSERT_EQ(e.Load(longest), S_OK);
  wintest::MessageBoxWatch watch("Error Opening");
  e.Extract(&hr);
  ASSERT_TRUE(watch.Closed());
  EXPECT_EQ(watch.Text(), longest);
}

TEST(GetDateStamp, LastWriteTimeOfTheFile) {
  const std::string path = WriteTemp("datestamp.fits", ConstantColourImage(2, 2));
  HANDLE handle = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  FILETIME written = {0x12345600, 0x01D00000};  // a day in 2014
  ASSERT_TRUE(SetFileTime(handle, nullptr, nullptr, &written));
  CloseHandle(handle);

  Extractor e;
  ASSERT_EQ(e.Load(path), S_OK);
  FILETIME stamp = {};
  ASSERT_EQ(e.image->GetDateStamp(&stamp), S_OK);
  EXPECT_EQ(stamp.dwHighDateTime, written.dwHighDateTime);
  EXPECT_EQ(stamp.dwLowDateTime, written.dwLowDateTime);
  EXPECT_EQ(e.image->GetDateStamp(nullptr), E_POINTER);

  ASSERT_TRUE(DeleteFileA(path.c_str()));
  FILETIME untouched = {1, 2};
  EXPECT_EQ(e.image->GetDateStamp(&untouched), E_FAIL);
  EXPECT_EQ(untouched.dwLowDateTime, 1u);
  EXPECT_EQ(untouched.dwHighDateTime, 2u);
}

TEST(PersistFile, UnimplementedMethodsShowTheirName) {
  Extractor e;
  CLSID clsid = IID_IUnknown;
  LPOLESTR current = reinterpret_cast<LPOLESTR>(1);
  struct Case {
    const char* method;
    std::function<HRESULT()> call;
  } cases[] = {
      {"GetClassID", [&] { return e.file->GetClassID(&clsid); }},
      {"IsDirty", [&] { return e.file->IsDirty(); }},
      {"Save", [&] { return e.file->Save(L"C:\\x.fits", TRUE); }},
      {"SaveCompleted", [&] { return e.file->SaveCompleted(L"C:\\x.fits"); }},
      {"GetCurFile", [&] { return e.file->GetCurFile(&current); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.method);
    wintest::MessageBoxWatch watch("Error");  // the system's title for a box without a caption
    EXPECT_EQ(c.call(), E_NOTIMPL);
    ASSERT_TRUE(watch.Closed());
    EXPECT_EQ(watch.Text(), c.method);
  }
  EXPECT_TRUE(IsEqualCLSID(clsid, IID_IUnknown)) << "out-parameters are not touched";
  EXPECT_EQ(current, reinterpret_cast<LPOLESTR>(1));
}

}  // namespace
