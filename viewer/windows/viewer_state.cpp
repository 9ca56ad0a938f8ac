#include "viewer_windows.h"

HINSTANCE TheInstance = nullptr;
HWND MainWindow = nullptr, HeaderWindow = nullptr, ToolTipWindow = nullptr;
