// Where the main window was, and the header window docked to it: stored in
// the machine-wide registry at exit, restored at start.
#include <windows.h>

#include "docking_rules.h"
#include "viewer_windows.h"

int HeaderOn = 0, isBelow = 1, gotReg = 0;
int32_t HeaderHeight = 100;

namespace {

const char kKey[] = "Software\\Corvane\\Kelvra\\Pos";

struct StoredValue {
  const char* name;
  int32_t fallback;
};
// In the order they are read and written.
const StoredValue kValues[] = {
  {"KLVTop", 0}, {"KLVBottom", 320}, {"KLVLeft", 0}, {"KLVRight", 320},
  {"HeaderOn", 0}, {"HeaderBelow", 1}, {"HeaderHeight", 100},
};
constexpr int kValueCount = sizeof kValues / sizeof kValues[0];

// A value that is missing or not a 32-bit number takes its default.
int32_t ReadValue(HKEY key, const StoredValue& value) {
  DWORD type = 0, data = 0, size = sizeof data;
  if (key == nullptr || RegQueryValueExA(key, value.name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
                            ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof data) {
    return value.fallback;
  }
  return static_cast<int32_t>(data);
}

}  // namespace

void GetRegistryPos() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) key = nullptr;
  int32_t v[kValueCount];
  for (int i = 0; i < kValueCount; ++i) v[i] = ReadValue(key, kValues[i]);
  if (key != nullptr) {
    RegFlushKey(key);
    RegCloseKey(key);
  }
  RECT main = {v[2], v[0], v[3], v[1]};
  HeaderOn = v[4];
  isBelow = v[5];
  HeaderHeight = v[6];

  SetWindowPos(MainWindow, HWND_TOP, main.left, main.top, main.right - main.left, main.bottom - main.top, 0);
  OnSize();
  if (HeaderOn == 1) {
    ShowWindow(bViewHeader, SW_HIDE);
    ShowWindow(bHideHeader, SW_SHOW);
  }
  gotReg = 1;
  SetWindowPos(HeaderWindow, MainWindow, main.left, main.bottom, main.right - main.left, HeaderHeight, 0);
}

void SetRegistryPos() {
  if (!gotReg) return;
  RECT main;
  GetWindowRect(MainWindow, &main);
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;  // no rights on the machine hive: the placement stays unsaved
  }
  const int32_t v[kValueCount] = {main.top, main.bottom, main.left, main.right, HeaderOn, isBelow, HeaderHeight};
  for (int i = 0; i < kValueCount; ++i) {
    DWORD data = static_cast<DWORD>(v[i]);
    RegSetValueExA(key, kValues[i].name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
  }
  RegFlushKey(key);
  RegCloseKey(key);
}

void SetHeaderWindow() {
  // The first moves and sizes come while the windows are being created.
  if (MainWindow == nullptr || HeaderWindow == nullptr) return;
  RECT main;
  GetWindowRect(MainWindow, &main);
  DockPlacement dock = DockHeader(main.top, main.bottom, ScreenSz.cy, HeaderHeight, isBelow);
  if (dock.hide) return HideHeader();
  isBelow = dock.isBelow;
  HeaderHeight = dock.bottom - dock.top;
  SetWindowPos(HeaderWindow, MainWindow, main.left, dock.top, main.right - main.left, HeaderHeight, 0);
  if (HeaderOn == 1) ShowWindow(HeaderWindow, SW_SHOWNORMAL);
}

void ShowHeader() {
  ShowWindow(bViewHeader, SW_HIDE);
  ShowWindow(bHideHeader, SW_SHOW);
  ShowWindow(HeaderWindow, SW_SHOWNORMAL);
  HeaderOn = 1;
}

void HideHeader() {
  ShowWindow(bHideHeader, SW_HIDE);
  ShowWindow(bViewHeader, SW_SHOW);
  ShowWindow(HeaderWindow, SW_HIDE);
  HeaderOn = 0;
}
