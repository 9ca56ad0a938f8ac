// Kelvra.exe as its own process, driven the way other programs and users
// reach it: registered messages, load requests, a second start, closing.
#include <windows.h>

#include <gtest/gtest.h>

#include "message_box_watch.h"
#include "window_test_support.h"

using namespace fitstest;
using namespace viewertest;

namespace {

std::string ViewerPath() { return BuildFolder() + "\\viewer\\Kelvra.exe"; }

HWND FindAnswering(UINT message) {
  struct Search { UINT message; HWND found; } search{message, nullptr};
  EnumWindows(
      [](HWND w, LPARAM l) -> BOOL {
        auto* s = reinterpret_cast<Search*>(l);
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutA(w, s->message, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 200, &answer) &&
            answer == s->message) {
          s->found = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

PROCESS_INFORMATION Start() {
  STARTUPINFOA startup = {sizeof startup};
  PROCESS_INFORMATION process = {};
  std::string path = ViewerPath();
  EXPECT_TRUE(CreateProcessA(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
      << path;
  return process;
}

DWORD WaitExit(const PROCESS_INFORMATION& process) {
  DWORD code = 99;
  if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return code;
}

class ViewerProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    DeletePlacement();
    process_ = Start();
    ASSERT_TRUE(WaitUntil([&] { return (main_ = FindAnswering(ViewerMessage())) != nullptr; }));
    ASSERT_TRUE(WaitUntil([&] { return (header_ = FindAnswering(HeaderMessage())) != nullptr; }));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) != FALSE; }));
  }
  void TearDown() override {
    if (process_.hProcess != nullptr) {
      PostMessageA(main_, WM_CLOSE, 0, 0);
      exitCode_ = WaitExit(process_);
      process_ = {};
    }
  }
  std::string Class(HWND w) {
    char name[64] = "";
    GetClassNameA(w, name, sizeof name);
    return name;
  }
  PROCESS_INFORMATION process_ = {};
  HWND main_ = nullptr, header_ = nullptr;
  DWORD exitCode_ = 99;
};

TEST_F(ViewerProcess, ThreeWindowsAsCreated) {
  EXPECT_EQ(Class(main_), "lumora_app_class");
  EXPECT_EQ(WindowTitle(main_), "Kelvra - No Image Loaded");
  // The platform adds WS_CLIPSIBLINGS, and the scroll-bar styles follow
  // whether a bar is shown.
  const DWORD dynamic = WS_CLIPSIBLINGS | WS_VSCROLL | WS_HSCROLL;
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(main_, GWL_STYLE)) & 0xFFFF0000u & ~dynamic, 0x00CF0000u | WS_VISIBLE);
  EXPECT_TRUE(GetWindowLongA(main_, GWL_EXSTYLE) & WS_EX_TOPMOST);
  RECT r;
  GetWindowRect(main_, &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 320);
  EXPECT_EQ(r.bottom, 320);

  EXPECT_EQ(Class(header_), "fits_header_viewer_class");
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(header_, GWL_STYLE)) & 0xFFFF0000u & ~dynamic, 0x80040000u);
  EXPECT_FALSE(IsWindowVisible(header_));
  EXPECT_EQ(GetWindow(header_, GW_OWNER), main_);
  GetWindowRect(header_, &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 320);
  EXPECT_EQ(r.right - r.left, 320);
  EXPECT_EQ(r.bottom - r.top, 100);

  HWND tip = FindWindowA("lumora_tip_class", nullptr);
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(tip, GWL_STYLE)) & ~dynamic, 0x80800000u);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(tip, GWL_EXSTYLE)) & 0x88u, 0x88u);
  EXPECT_FALSE(IsWindowVisible(tip));
}

TEST_F(ViewerProcess, ToolStripControls) {
  struct Row { int id; const char* cls; int x, y, w, h; bool visible; } rows[] = {
    {9, "Button", 5, 5, 60, 20, true},   {21, "Static", 65, 5, 92, 20, true}, {20, "Static", 157, 5, 92, 20, true},
    {5, "Button", 249, 5, 60, 20, true}, {10, "Button", 5, 25, 60, 20, true}, {12, "Button", 5, 25, 60, 20, false},
    {11, "Button", 5, 25, 60, 20, false}, {7, "Button", 65, 25, 46, 20, true}, {6, "Button", 111, 25, 46, 20, true},
    {4, "Button", 157, 25, 46, 20, true}, {3, "Button", 203, 25, 46, 20, true}, {1, "Button", 249, 25, 60, 20, true},
    {2, "Button", 249, 25, 60, 20, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.id);
    HWND c = GetDlgItem(main_, row.id);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(Class(c), row.cls);
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, row.x);
    EXPECT_EQ(r.top, row.y);
    EXPECT_EQ(r.right - r.left, row.w);
    EXPECT_EQ(r.bottom - r.top, row.h);
    EXPECT_EQ(IsWindowVisible(c) != FALSE, row.visible);
    DWORD style = static_cast<DWORD>(GetWindowLongA(c, GWL_STYLE));
    EXPECT_EQ(style & 0x1F, row.cls[0] == 'B' ? 0x0Bu : 0x0Du);  // owner-drawn
  }
}

TEST_F(ViewerProcess, AnswersItsRegisteredMessagesOnly) {
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutA(main_, ViewerMessage(), 0, 0, SMTO_BLOCK, 2000, &answer));
  EXPECT_EQ(answer, ViewerMessage());
  ASSERT_TRUE(SendMessageTimeoutA(header_, HeaderMessage(), 0, 0, SMTO_BLOCK, 2000, &answer));
  EXPECT_EQ(answer, HeaderMessage());
  ASSERT_TRUE(SendMessageTimeoutA(main_, HeaderMessage(), 0, 0, SMTO_BLOCK, 2000, &answer));
  EXPECT_EQ(answer, 0u);
  UINT other = RegisterWindowMessageA("SOME_OTHER_MESSAGE_OF_A_TEST");
  ASSERT_TRUE(SendMessageTimeoutA(header_, other, 0, 0, SMTO_BLOCK, 2000, &answer));
  EXPECT_EQ(answer, 0u);
}

TEST_F(ViewerProcess, CopyDataToTheMainWindowTogglesTopmost) {
  char data[4] = "x";
  COPYDATASTRUCT anything{1, sizeof data, data};
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(main_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&anything), SMTO_BLOCK, 2000, &answer);
  EXPECT_EQ(answer, 1u);
  EXPECT_FALSE(GetWindowLongA(main_, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SendMessageTimeoutA(main_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&anything), SMTO_BLOCK, 2000, &answer);
  EXPECT_TRUE(GetWindowLongA(main_, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(ViewerProcess, SecondStartRestoresTheFirstAndEndsWithZero) {
  ShowWindow(main_, SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(main_) != FALSE; }));
  EXPECT_EQ(WaitExit(Start()), 0u);
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(main_) == FALSE; }));
}

TEST_F(ViewerProcess, NormalEndGivesOneAndStoresSevenValues) {
  PostMessageA(main_, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitExit(process_), 1u);
  process_ = {};
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Corvane\\Kelvra\\Pos", 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD values = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                   nullptr);
  EXPECT_EQ(values, 7u);
  DWORD data = 0, size = sizeof data, type = 0;
  RegQueryValueExA(key, "KLVRight", nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(data, 320u);
  RegCloseKey(key);
}

TEST_F(ViewerProcess, StoredPlacementIsRestoredAtTheNextStart) {
  PostMessageA(main_, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitExit(process_), 1u);
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Corvane\\Kelvra\\Pos", 0, KEY_WRITE, &key), ERROR_SUCCESS);
  auto set = [&](const char* name, DWORD v) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
  };
  set("KLVLeft", 50);
  set("KLVTop", 60);
  set("KLVRight", 450);
  set("KLVBottom", 360);
  set("HeaderOn", 1);
  set("HeaderHeight", 120);
  RegSetValueExA(key, "HeaderBelow", 0, REG_SZ, reinterpret_cast<const BYTE*>("no"), 3);  // not a number
  RegCloseKey(key);

  process_ = Start();
  ASSERT_TRUE(WaitUntil([&] { return (main_ = FindAnswering(ViewerMessage())) != nullptr; }));
  header_ = FindAnswering(HeaderMessage());
  RECT r;
  ASSERT_TRUE(WaitUntil([&] { GetWindowRect(main_, &r); return r.left == 50; }));
  EXPECT_EQ(r.top, 60);
  EXPECT_EQ(r.right, 450);
  EXPECT_EQ(r.bottom, 360);
  GetWindowRect(header_, &r);
  EXPECT_EQ(r.top, 360);
  EXPECT_EQ(r.bottom - r.top, 120);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(main_, 1)));
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(main_, 2)));
}

TEST_F(ViewerProcess, LoadRequestsEndToEnd) {
  std::string first = TempFile("m31.fits", File(ImageCards(16, 64, 48), Samples16(std::vector<int>(64 * 48, 500))));
  std::string second = TempFile("second.fit", File(ImageCards(8, 30, 20), Samples8(std::vector<int>(600, 7))));
  std::string notFits = TempFile("notes.txt", PadBlock(RawCard("plain text, not an image") + RawCard("END")) + "z");

  EXPECT_EQ(SendLoad(header_, first), 1);
  EXPECT_TRUE(WaitUntil([&] { return WindowTitle(main_) == "Kelvra - m31.fits - 64 X 48 : 16 BPP"; }))
      << WindowTitle(main_);
  EXPECT_EQ(SendLoad(header_, second, 0), 0);
  EXPECT_EQ(SendLoad(header_, second, 0xFEB11966, 270), 0);
  Sleep(200);
  EXPECT_EQ(WindowTitle(main_), "Kelvra - m31.fits - 64 X 48 : 16 BPP");

  {
    wintest::MessageBoxWatch box("Not Fits");
    EXPECT_EQ(SendLoad(header_, notFits), 1);
    ASSERT_TRUE(box.Closed());
    EXPECT_EQ(box.Text(), "FITS Identifier not found");
  }
  Sleep(200);
  EXPECT_EQ(WindowTitle(main_), "Kelvra - m31.fits - 64 X 48 : 16 BPP");

  EXPECT_EQ(SendLoad(header_, second), 1);
  EXPECT_TRUE(WaitUntil([&] { return WindowTitle(main_) == "Kelvra - second.fit - 30 X 20 : 8 BPP"; }))
      << WindowTitle(main_);
}

TEST_F(ViewerProcess, HeaderWindowShowsTheRecordsLineByLine) {
  std::vector<std::string> cards = ImageCards(8, 4, 4);
  cards.push_back(Card("OBJECT", "'M1'"));
  std::string path = TempFile("lines.fits", File(cards, Samples8(std::vector<int>(16, 1))));
  ASSERT_EQ(SendLoad(header_, path), 1);
  PostMessageA(main_, WM_COMMAND, 1, 0);  // Header On
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(header_) != FALSE; }));
  SetWindowPos(header_, nullptr, 0, 320, 500, 400, SWP_NOZORDER | SWP_NOACTIVATE);  // room for every line
  RedrawWindow(header_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  // Seven records (SIMPLE, four image cards, OBJECT, END): count the text
  // bands, rows with white pixels separated by black rows.
  auto countBands = [&] {
    ClientPixels p = ReadClient(header_);
    int bands = 0;
    bool inBand = false;
    for (int y = 0; y < p.height; ++y) {
      bool lit = false;
      for (int x = 0; x < p.width && !lit; ++x) lit = p.at(x, y) == 0xFFFFFF || (p.at(x, y) & 0xFF) > 0x80;
      if (lit && !inBand) ++bands;
      inBand = lit;
    }
    return bands;
  };
  int bands = 0;
  WaitUntil([&] { return (bands = countBands()) == 7; }, 5000);
  EXPECT_EQ(bands, 7);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(main_, 1)));
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(main_, 2)));
}

}  // namespace
