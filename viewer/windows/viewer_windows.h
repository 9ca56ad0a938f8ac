// The viewer's three top-level windows and the routines that other windows'
// handlers call.
#pragma once
#include <windows.h>

extern HINSTANCE TheInstance;
extern HWND MainWindow, HeaderWindow, ToolTipWindow;

int OnCopyDataH(const COPYDATASTRUCT* request);
