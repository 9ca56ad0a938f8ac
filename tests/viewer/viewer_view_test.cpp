// The viewer's windows in this process: the picture as painted, the zoom
// menu, scrolling, the levels, the read-out and docking, checked against
// the state the handlers keep.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <thread>

#include "display_mapping.h"
#include "message_box_watch.h"
#include "header_parser.h"
#include "load_request.h"
#include "pixel_decoder.h"
#include "view_rules.h"
#include "viewer_windows.h"
#include "window_test_support.h"

using namespace fitstest;
using namespace viewertest;

namespace {

void Pump() {
  MSG message;
  for (int round = 0; round < 3; ++round) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    UpdateWindow(MainWindow);
    if (IsWindowVisible(HeaderWindow)) UpdateWindow(HeaderWindow);
    Sleep(10);
  }
}

class ViewerWindows : public ::testing::Environment {
 public:
  void SetUp() override {
    DeletePlacement();
    ScreenSz = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};  // as WinMain does
    ASSERT_EQ(InitInstance(GetModuleHandleA(nullptr), SW_SHOWNORMAL), 1);
    Pump();
  }
  void TearDown() override { DestroyWindow(MainWindow); }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new ViewerWindows);

void SetClientSize(int width, int height) {
  RECT outer, client;
  GetWindowRect(MainWindow, &outer);
  GetClientRect(MainWindow, &client);
  int w = width + (outer.right - outer.left) - client.right;
  int h = height + (outer.bottom - outer.top) - client.bottom;
  SetWindowPos(MainWindow, nullptr, 0, 0, w, h, SWP_NOZORDER | SWP_NOMOVE);
  Pump();
}

void Load(const std::string& name, const std::string& bytes) {
  ASSERT_EQ(SendLoad(HeaderWindow, TempFile(name, bytes)), 1);
  Pump();
}

// Opens the zoom menu at a point, lets `inspect` look at it, then types
// `key` (a mnemonic; 0 dismisses the menu).
void UseZoomMenu(char key, const std::function<void(HMENU)>& inspect = nullptr) {
  std::thread watcher([&] {
    HWND menu = nullptr;
    WaitUntil([&] { return (menu = FindWindowA("#32768", nullptr)) != nullptr && IsWindowVisible(menu); }, 5000);
    if (menu == nullptr) return;
    if (inspect) inspect(reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0)));
    if (key != 0) {
      PostMessageA(menu, WM_CHAR, key, 0);
    } else {
      PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    }
  });
  OnRButtonUp({200, 200});
  watcher.join();
  Pump();
}

// A monochrome 16-bit ramp: value 10 * (x + y * width) + 5.
std::string Ramp16(int width, int height) {
  std::vector<int> v;
  for (int i = 0; i < width * height; ++i) v.push_back(10 * i + 5);
  return File(ImageCards(16, width, height), Samples16(v));
}

uint8_t Expected(double value) { return Transfer(minP, {ScaleBrightness, ScaleContrast})(value); }

TEST(ViewerView, PictureAtOneHundredPercentIsCentredFirstRowOnTop) {
  SetClientSize(300, 300);
  Load("ramp.fits", Ramp16(64, 48));
  UseZoomMenu('0');  // "10&0%"
  ASSERT_EQ(ZoomRatio, 100);
  EXPECT_EQ(ZoomFit, 0);
  EXPECT_EQ(Width, 64);
  EXPECT_EQ(Height, 48);
  ClientPixels p = ReadClient(MainWindow);
  const int x0 = 150 - 32, y0 = 150 - 24;
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) {
      ASSERT_EQ(p.at(x0 + x, y0 + y), Grey(Expected(gDoubleBuffer[y * 64 + x]))) << x << ", " << y;
    }
  }
  EXPECT_EQ(p.at(x0 - 1, y0), 0u) << "black around the picture";
  EXPECT_EQ(p.at(x0 + 64, y0 + 47), 0u);
}

TEST(ViewerView, ZoomMenuItemsAndStates) {
  SetClientSize(300, 300);
  Load("ramp.fits", Ramp16(64, 48));
  UseZoomMenu('2');  // "&20%"
  ASSERT_EQ(ZoomRatio, 20);
  std::vector<std::string> texts;
  std::vector<UINT> states;
  UseZoomMenu(0, [&](HMENU menu) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      char text[64] = "";
      GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
      texts.push_back(text);
      states.push_back(GetMenuState(menu, i, MF_BYPOSITION));
    }
  });
  ASSERT_EQ(texts.size(), 18u);
  EXPECT_EQ(texts[0], "He&xadecimal on ToolTips");
  EXPECT_TRUE(states[0] & MF_GRAYED) << "greyed below 100 %";
  EXPECT_TRUE(states[1] & MF_SEPARATOR);
  EXPECT_EQ(texts[2], "&Fit to Window");
  EXPECT_EQ(texts[5], "&20%");
  EXPECT_TRUE(states[5] & MF_CHECKED);
  EXPECT_FALSE(states[13] & MF_CHECKED);
  EXPECT_EQ(texts[17], "500%");
  EXPECT_EQ(ZoomRatio, 20) << "dismissing the menu changes nothing";

  UseZoomMenu('2');  // the ratio in force: nothing changes
  EXPECT_EQ(ZoomRatio, 20);
  UseZoomMenu('0');
  UseZoomMenu('x');  // hexadecimal on
  EXPECT_EQ(HexToolTip, 1);
  UseZoomMenu('x');
  EXPECT_EQ(HexToolTip, 0);
}

TEST(ViewerView, FitToThreeHundredPercentAndScrolling) {
  Load("square.fits", Ramp16(100, 100));
  SetClientSize(299, 300);
  UseZoomMenu('f');  // "&Fit to Window"
  ASSERT_EQ(ZoomFit, 1);
  ASSERT_EQ(ZoomRatio, 300);  // min(300 / 100, 301 / 100) x 100
  EXPECT_EQ(Width, 300);
  EXPECT_EQ(Height, 300);
  SCROLLINFO h = {sizeof h, SIF_ALL};
  GetScrollInfo(MainWindow, SB_HORZ, &h);
  EXPECT_EQ(h.nMax, 300);
  RECT client;
  GetClientRect(MainWindow, &client);
  EXPECT_EQ(static_cast<int>(h.nPage), client.right);

  // Drawn from the left edge: screen column 150 is image column 50.
  ClientPixels p = ReadClient(MainWindow);
  int top = CentredOrigin(client.bottom, 300) < 0 ? 0 : CentredOrigin(client.bottom, 300);
  EXPECT_EQ(p.at(150, 200), Grey(Expected(gDoubleBuffer[(200 - top) / 3 * 100 + 50])));

  SendMessageA(MainWindow, WM_HSCROLL, SB_LINEDOWN, 0);
  GetScrollInfo(MainWindow, SB_HORZ, &h);
  EXPECT_EQ(h.nPos, 3) << "one image pixel a line at 300 %";
  SendMessageA(MainWindow, WM_HSCROLL, SB_LINEUP, 0);
  SendMessageA(MainWindow, WM_HSCROLL, SB_LINEUP, 0);
  GetScrollInfo(MainWindow, SB_HORZ, &h);
  EXPECT_EQ(h.nPos, 0);
}

TEST(ViewerView, ReadoutWhileTheButtonIsHeld) {
  std::vector<std::string> cards = ImageCards(16, 100, 100);
  std::vector<int> values(100 * 100, 7);
  values[0] = 3;
  values[99 * 100 + 99] = 1000;
  Load("readout.fits", File(cards, Samples16(values)));
  UseZoomMenu('0');
  ASSERT_EQ(ZoomRatio, 100);
  SetClientSize(320, 320);  // the image is centred at (110, 110)

  SendMessageA(MainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(110, 110));
  EXPECT_TRUE(IsWindowVisible(ToolTipWindow));
  EXPECT_EQ(GetCapture(), MainWindow);
  // The tooltip is sized to its text: compare with the text we expect.
  HDC dc = GetDC(ToolTipWindow);
  SIZE expected;
  GetTextExtentPoint32A(dc, "0, 0 =  3.000", 13, &expected);
  ReleaseDC(ToolTipWindow, dc);
  RECT tip;
  GetWindowRect(ToolTipWindow, &tip);
  EXPECT_EQ(tip.right - tip.left, expected.cx + 3);
  POINT corner = {110, 110};
  ClientToScreen(MainWindow, &corner);
  EXPECT_EQ(tip.left, corner.x);
  EXPECT_EQ(tip.top, corner.y + 18);

  SendMessageA(MainWindow, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(210, 210));  // off the image
  EXPECT_FALSE(IsWindowVisible(ToolTipWindow));
  SendMessageA(MainWindow, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(209, 209));
  EXPECT_TRUE(IsWindowVisible(ToolTipWindow));
  dc = GetDC(ToolTipWindow);
  GetTextExtentPoint32A(dc, "99, 99 = 1000.000", 17, &expected);
  ReleaseDC(ToolTipWindow, dc);
  GetWindowRect(ToolTipWindow, &tip);
  EXPECT_EQ(tip.right - tip.left, expected.cx + 3);

  SendMessageA(MainWindow, WM_LBUTTONUP, 0, MAKELPARAM(209, 209));
  EXPECT_FALSE(IsWindowVisible(ToolTipWindow));
  EXPECT_NE(GetCapture(), MainWindow);

  SendMessageA(MainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 300));  // not on the image
  EXPECT_FALSE(IsWindowVisible(ToolTipWindow));
  EXPECT_NE(GetCapture(), MainWindow);
}

TEST(ViewerView, LevelButtonsChangeThePicture) {
  SetClientSize(300, 300);
  Load("levels.fits", Ramp16(64, 48));
  UseZoomMenu('0');
  double white = ScaleBrightness;
  double step = BrightnessInc;
  SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(4, 0), reinterpret_cast<LPARAM>(bDim));  // white down
  EXPECT_DOUBLE_EQ(ScaleBrightness, white - step);
  EXPECT_DOUBLE_EQ(BrightnessInc, (ScaleBrightness - ScaleContrast) / 12) << "16-bit: a twelfth of the span";
  Pump();
  ClientPixels p = ReadClient(MainWindow);
  EXPECT_EQ(p.at(150 - 32 + 10, 150 - 24 + 2), Grey(Expected(gDoubleBuffer[2 * 64 + 10])));

  SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(4, BN_DOUBLECLICKED), 0);  // a notification: ignored
  EXPECT_DOUBLE_EQ(ScaleBrightness, white - step);

  SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(5, 0), 0);  // Full Range
  Pump();
  EXPECT_EQ(ScaleBrightness, maxP);
  EXPECT_EQ(ScaleContrast, minP);
  p = ReadClient(MainWindow);
  EXPECT_EQ(p.at(150 - 32 + 63, 150 - 24 + 47), Grey(255));
  EXPECT_EQ(p.at(150 - 32, 150 - 24), Grey(0));
  // The read-out fields show the levels in green.
  ClientPixels field = ReadClient(dBrightness);
  bool green = false;
  for (uint32_t v : field.rgb) green = green || v == 0x008000 || ((v >> 8) & 0xFF) > 0x40;
  EXPECT_TRUE(green);
}

TEST(ViewerView, LoadLevelsModeCycles) {
  struct Row { int command; int mode; HWND* visible; } rows[] = {
    {10, 1, &bAutoOffL}, {11, 2, &bAutoOffR}, {12, 0, &bAutoOn},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.command);
    SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(row.command, 0), 0);
    EXPECT_EQ(AutoOn, row.mode);
    for (HWND button : {bAutoOn, bAutoOffL, bAutoOffR}) EXPECT_EQ(IsWindowVisible(button) != FALSE, button == *row.visible);
  }
}

TEST(ViewerView, BlankFloatPixelsDoNotBlackenThePicture) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  std::vector<float> values(8 * 8);
  for (int i = 0; i < 64; ++i) values[i] = 100.0f + i;
  for (int i : {0, 1, 2, 3, 20, 21, 28, 29}) values[i] = nan;
  values[40] = inf;
  values[41] = -inf;
  AutoOn = 0;
  Load("blanks.fits", File(ImageCards(-32, 8, 8), SamplesFloat(values)));
  EXPECT_EQ(minP, 0);
  EXPECT_EQ(maxP, 163);
  ASSERT_NE(TheBitmap, nullptr);
  const uint8_t* pixels = static_cast<const uint8_t*>(TheBitmapInfo.bmBits);
  int lit = 0;
  for (int i = 0; i < 64; ++i) {
    int row = i / 8, column = i % 8;
    uint8_t grey = pixels[((7 - row) * 8 + column) * 4];
    EXPECT_EQ(grey, Expected(std::isfinite(values[i]) ? values[i] : 0)) << "sample " << i;
    lit += grey > 0;
  }
  EXPECT_GT(lit, 40);
}

TEST(ViewerView, MaximisingHidesTheHeader) {
  SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(1, 0), 0);  // Header On
  EXPECT_TRUE(IsWindowVisible(HeaderWindow));
  EXPECT_EQ(HeaderOn, 1);
  ShowWindow(MainWindow, SW_MAXIMIZE);
  Pump();
  EXPECT_FALSE(IsWindowVisible(HeaderWindow));
  EXPECT_EQ(HeaderOn, 0);
  EXPECT_TRUE(IsWindowVisible(bViewHeader));
  EXPECT_FALSE(IsWindowVisible(bHideHeader));
  ShowWindow(MainWindow, SW_RESTORE);
  Pump();
  EXPECT_FALSE(IsWindowVisible(HeaderWindow)) << "restoring does not bring the header back";
}

TEST(ViewerView, SystemMenuEntriesAlwaysOnTopAndAbout) {
  HMENU menu = GetSystemMenu(MainWindow, FALSE);
  int n = GetMenuItemCount(menu);
  ASSERT_GE(n, 4);
  char text[64] = "";
  EXPECT_TRUE(GetMenuState(menu, n - 4, MF_BYPOSITION) & MF_SEPARATOR);
  GetMenuStringA(menu, n - 3, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Always On &Top");
  EXPECT_EQ(GetMenuItemID(menu, n - 3), 32u);
  EXPECT_TRUE(GetMenuState(menu, n - 2, MF_BYPOSITION) & MF_SEPARATOR);
  GetMenuStringA(menu, n - 1, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "&About Kelvra");
  EXPECT_EQ(GetMenuItemID(menu, n - 1), 16u);
  EXPECT_TRUE(GetMenuState(menu, 32, MF_BYCOMMAND) & MF_CHECKED);

  SendMessageA(MainWindow, WM_SYSCOMMAND, 32, 0);
  EXPECT_FALSE(GetWindowLongA(MainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE(GetMenuState(menu, 32, MF_BYCOMMAND) & MF_CHECKED);
  SendMessageA(MainWindow, WM_SYSCOMMAND, 32, 0);
  EXPECT_TRUE(GetWindowLongA(MainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(GetMenuState(menu, 32, MF_BYCOMMAND) & MF_CHECKED);

  wintest::MessageBoxWatch about("About Kelvra 0.2.5");
  EXPECT_EQ(SendMessageA(MainWindow, WM_SYSCOMMAND, 16, 0), 0);
  ASSERT_TRUE(about.Closed());
  const std::string tail = "\n\nA utility for previewing FITS files from Windows Explorer.";
  ASSERT_GT(about.Text().size(), tail.size());
  EXPECT_EQ(about.Text().substr(about.Text().size() - tail.size()), tail);
}

TEST(ViewerView, HeaderWindowScrollsByLinesAndPages) {
  std::vector<std::string> cards = ImageCards(8, 2, 2);
  for (int i = 0; i < 40; ++i) cards.push_back(Card("HISTORY", "'line " + std::to_string(i) + "'"));
  Load("history.fits", File(cards, Samples8({1, 2, 3, 4})));
  SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(1, 0), 0);  // Header On
  SetWindowPos(HeaderWindow, nullptr, 0, 0, 400, 200, SWP_NOZORDER | SWP_NOMOVE);
  Pump();
  ASSERT_TRUE(IsWindowVisible(HeaderWindow));
  RECT client;
  GetClientRect(HeaderWindow, &client);
  SCROLLINFO v = {sizeof v, SIF_ALL};
  GetScrollInfo(HeaderWindow, SB_VERT, &v);
  EXPECT_EQ(v.nMax, (46 + 1) * cyChar) << "records + 1 lines";
  EXPECT_EQ(static_cast<int>(v.nPage), client.bottom);

  struct Row { int code; int expected; } rows[] = {
    {SB_LINEDOWN, cyChar}, {SB_PAGEDOWN, cyChar + client.bottom}, {SB_LINEUP, client.bottom}, {SB_PAGEUP, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.code);
    SendMessageA(HeaderWindow, WM_VSCROLL, row.code, 0);
    EXPECT_EQ(GetScrollPos(HeaderWindow, SB_VERT), row.expected);
  }
  SendMessageA(HeaderWindow, WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 0);
  EXPECT_EQ(GetScrollPos(HeaderWindow, SB_VERT), 0) << "the wheel does nothing here";
  SendMessageA(HeaderWindow, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(HeaderWindow));
  EXPECT_EQ(HeaderOn, 1) << "closing only hides";
  SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(2, 0), 0);  // Header Off
  EXPECT_EQ(HeaderOn, 0);
}

TEST(ViewerView, LongTitleIsCut) {
  std::string name = std::string(180, 'n') + ".fits";
  Load(name, File(ImageCards(8, 2, 2), Samples8({1, 2, 3, 4})));
  std::string title = WindowTitle(MainWindow);
  EXPECT_EQ(title.size(), 149u);
  EXPECT_EQ(title.substr(0, 12), "Kelvra - nnn");
}

TEST(ViewerView, ReadoutStaysOnTheScreen) {
  Load("edge.fits", File(ImageCards(8, 100, 100), Samples8(std::vector<int>(10000, 200))));
  UseZoomMenu('0');
  SetClientSize(320, 320);
  HDC screen = GetDC(nullptr);
  const int screenWidth = GetDeviceCaps(screen, HORZRES), screenHeight = GetDeviceCaps(screen, VERTRES);
  ReleaseDC(nullptr, screen);
  // The pointer 20 pixels from the screen's right and bottom edges.
  RECT outer;
  GetWindowRect(MainWindow, &outer);
  POINT origin = {0, 0};
  ClientToScreen(MainWindow, &origin);
  int x = screenWidth - 20 - 209 - (origin.x - outer.left), y = screenHeight - 20 - 209 - (origin.y - outer.top);
  SetWindowPos(MainWindow, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Pump();

  SendMessageA(MainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(209, 209));
  ASSERT_TRUE(IsWindowVisible(ToolTipWindow));
  RECT tip;
  GetWindowRect(ToolTipWindow, &tip);
  POINT pointer = {209, 209};
  ClientToScreen(MainWindow, &pointer);
  EXPECT_EQ(tip.right, screenWidth) << "right edge on the screen's right edge";
  EXPECT_LT(tip.bottom, pointer.y) << "above the pointer near the bottom";
  EXPECT_EQ(tip.bottom, pointer.y - 9);
  SendMessageA(MainWindow, WM_LBUTTONUP, 0, 0);
  SetWindowPos(MainWindow, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Pump();
}

TEST(ViewerView, HeaderDocksBelowThenAboveWhenThereIsNoRoom) {
  HeaderHeight = 100;  // earlier tests may have cut it
  SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(1, 0), 0);  // Header On
  // At the top of the screen there is no room above: the header goes below.
  SetWindowPos(MainWindow, nullptr, 40, 0, 400, 300, SWP_NOZORDER);
  Pump();
  RECT main, header;
  GetWindowRect(MainWindow, &main);
  GetWindowRect(HeaderWindow, &header);
  EXPECT_TRUE(IsWindowVisible(HeaderWindow));
  EXPECT_EQ(header.left, main.left);
  EXPECT_EQ(header.right, main.right);
  EXPECT_EQ(header.top, main.bottom) << "below";
  const int height = header.bottom - header.top;
  EXPECT_EQ(height, 100);
  EXPECT_EQ(isBelow, 1);

  // Down to the screen's bottom edge: no room below, room above.
  SetWindowPos(MainWindow, nullptr, 40, ScreenSz.cy - 300, 400, 300, SWP_NOZORDER);
  Pump();
  GetWindowRect(MainWindow, &main);
  GetWindowRect(HeaderWindow, &header);
  EXPECT_EQ(header.bottom, main.top) << "above now";
  EXPECT_EQ(header.bottom - header.top, height);
  EXPECT_EQ(isBelow, 0);

  // Back up: it stays above while it fits there.
  SetWindowPos(MainWindow, nullptr, 40, 300, 400, 300, SWP_NOZORDER);
  Pump();
  GetWindowRect(MainWindow, &main);
  GetWindowRect(HeaderWindow, &header);
  EXPECT_EQ(header.bottom, main.top);
  SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(2, 0), 0);  // Header Off
  EXPECT_FALSE(IsWindowVisible(HeaderWindow));
  SetWindowPos(MainWindow, nullptr, 0, 0, 320, 320, SWP_NOZORDER);
  Pump();
}

}  // namespace
