// The standard scroll bars of the main and header windows, in pixels.
#pragma once
#include <windows.h>

// Sets range 0..maximum and the page; the platform keeps the position valid.
void SetScrollRangeAndPage(HWND window, int bar, int maximum, int page);
// Carries out a scroll request; when the position changes, the window is
// repainted at once without erasing.
void ScrollBy(HWND window, int bar, int code, int thumb, int lineStep);
