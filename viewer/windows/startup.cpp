// Start-up and shutdown of the viewer: the single-instance check, the three
// windows with their classes, and the release of everything at the end.
#include <windows.h>

#include <initializer_list>

#include "header_parser.h"
#include "load_request.h"
#include "resource_ids.h"
#include "viewer_windows.h"

HINSTANCE TheInstance = nullptr;
SIZE ScreenSz = {0, 0};
UINT LOOKING_FOR_VIEWER_APP = RegisterWindowMessageA("LOOKING_FOR_VIEWER_APP_{FD4EA0C0-ECFC-11d5-B625-ED551C514422}");
UINT LOOKING_FOR_HEADER_APP = RegisterWindowMessageA("LOOKING_FOR_HEADER_APP_{FD4EA0C0-ECFC-11d5-B625-ED551C514423}");
HWND MainWindow = nullptr, HeaderWindow = nullptr, ToolTipWindow = nullptr;
HFONT g_hfFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
HFONT hf = nullptr;
char* aHeaderRec = nullptr;

namespace {

const char kCaption[] = "DIDA Duvara";
const char kMainClass[] = "lumora_app_class";
const char kTipClass[] = "lumora_tip_class";
const char kHeaderClass[] = "fits_header_viewer_class";

int Fail(const char* text) {
  MessageBoxA(nullptr, text, kCaption, MB_OK);
  return 0;
}

bool RegisterClass(const char* name, WNDPROC procedure, UINT style, HICON icon, HBRUSH background) {
  WNDCLASSA c = {};
  c.style = style;
  c.lpfnWndProc = procedure;
  c.hInstance = TheInstance;
  c.hIcon = icon;
  c.hCursor = LoadCursor(nullptr, IDC_ARROW);
  c.hbrBackground = background;
  c.lpszClassName = name;
  return RegisterClassA(&c) != 0;
}

void AppendSystemMenu(HMENU menu) {
  char text[50];
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  LoadStringA(TheInstance, IDS_ALWAYS_ON_TOP, text, sizeof text);
  AppendMenuA(menu, MF_STRING, 32, text);
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  LoadStringA(TheInstance, IDS_ABOUT_MENU, text, sizeof text);
  AppendMenuA(menu, MF_STRING, 16, text);
}

}  // namespace

BOOL CALLBACK Searcher(HWND window, LPARAM found) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, LOOKING_FOR_VIEWER_APP, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 200, &result)) {
    return TRUE;
  }
  if (result != LOOKING_FOR_VIEWER_APP) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

int FirstInstance() {
  CreateMutexA(nullptr, FALSE, "MUTEX_FOR_VIEWER_APP_{FD4EA0C0-ECFC-11d5-B625-ED551C514422}");
  if (GetLastError() != ERROR_ALREADY_EXISTS) return 1;
  HWND found = nullptr;
  EnumWindows(Searcher, reinterpret_cast<LPARAM>(&found));
  if (found != nullptr) {
    SetForegroundWindow(found);
    if (IsIconic(found)) ShowWindow(found, SW_RESTORE);
  }
  return 0;
}

int InitInstance(HINSTANCE instance, int show) {
  TheInstance = instance;
  HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_KELVRA));
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  if (!RegisterClass(kMainClass, ViewerWndProc, CS_HREDRAW | CS_VREDRAW, icon, black)) {
    return Fail("Failed to register application window");
  }
  if (!RegisterClass(kTipClass, DefWindowProcA, CS_SAVEBITS, nullptr, reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1))) {
    return Fail("Failed to register tool tip window");
  }
  if (!RegisterClass(kHeaderClass, HeaderWndProc, CS_HREDRAW | CS_VREDRAW, icon, black)) {
    return Fail("Failed to register Riru dezeve zuroda window");
  }

  char title[50];
  LoadStringA(instance, IDS_NO_IMAGE_TITLE, title, sizeof title);
  MainWindow = CreateWindowExA(WS_EX_TOPMOST, kMainClass, title, WS_OVERLAPPEDWINDOW, 0, 0, 320, 320, nullptr,
                               nullptr, instance, nullptr);
  if (MainWindow == nullptr) return Fail("Failed to create main window");
  HeaderWindow = CreateWindowExA(0, kHeaderClass, nullptr, WS_POPUP | WS_THICKFRAME | WS_VSCROLL | WS_HSCROLL, 0, 320,
                                 320, 100, MainWindow, nullptr, instance, nullptr);
  if (HeaderWindow == nullptr) {
    Fail("Failed to create Header window");
    DestroyWindow(MainWindow);
    return 0;
  }
  ToolTipWindow = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kTipClass, "", WS_POPUP | WS_BORDER, 0, 0, 0, 0,
                                  nullptr, nullptr, instance, nullptr);
  if (ToolTipWindow == nullptr) {
    Fail("Failed to create tooltip window");
    DestroyWindow(MainWindow);
    DestroyWindow(HeaderWindow);
    return 0;
  }

  if (HMENU menu = GetSystemMenu(MainWindow, FALSE)) {
    AppendSystemMenu(menu);
    CheckMenuItem(GetSystemMenu(MainWindow, FALSE), 32, MF_BYCOMMAND | MF_CHECKED);
  }
  aHeaderRec = new char[80];
  GetRegistryPos();
  ShowWindow(MainWindow, show);
  return 1;
}

void ExitInstance() {
  FreeLoadedImage();
  if (TheBitmap != nullptr) DeleteObject(TheBitmap);
  if (TheScaledBitmap != nullptr) DeleteObject(TheScaledBitmap);
  delete[] aHeaderRec;
  aHeaderRec = nullptr;
  for (HWND w : {ToolTipWindow, HeaderWindow, bViewHeader, bHideHeader, bBrighten, bDim, bNormal, bContrastUp,
                 bContrastDown, bAutoBrCr, bAutoOn, bAutoOffR, bAutoOffL, dBrightness, dContrast, MainWindow}) {
    if (IsWindow(w)) DestroyWindow(w);
  }
}
