// The viewer's window-side state and the handlers that one window calls in
// another's part. Everything runs on the one thread of the message loop.
#pragma once
#include <windows.h>

#include <cstdint>

// Process and windows.
extern HINSTANCE TheInstance;
extern SIZE ScreenSz;
extern UINT LOOKING_FOR_VIEWER_APP, LOOKING_FOR_HEADER_APP;
extern HWND MainWindow, HeaderWindow, ToolTipWindow;
extern HFONT g_hfFont, hf;
extern int32_t cxChar, cyChar;
extern char* aHeaderRec;

// Tool strip.
extern HWND bViewHeader, bHideHeader, bBrighten, bDim, bNormal, bContrastUp, bContrastDown, bAutoBrCr, bAutoOn,
    bAutoOffR, bAutoOffL, dBrightness, dContrast;

// Display levels and modes.
extern double ScaleBrightness, ScaleContrast, BrightnessInc, ContrastInc;
extern int AutoOn, OneTime;

// Display bitmap and zoomed view.
extern HBITMAP TheBitmap, TheScaledBitmap;
extern BITMAP TheBitmapInfo;
extern int ZoomRatio, ZoomFit, ZoomOrGridChanged, HexToolTip;
extern int32_t Width, Height;

// Header window and placement.
extern int HeaderOn, isBelow, gotReg;
extern int32_t HeaderHeight;

// Start-up and shutdown.
int FirstInstance();
BOOL CALLBACK Searcher(HWND window, LPARAM found);
int InitInstance(HINSTANCE instance, int show);
void ExitInstance();

// Main window.
LRESULT CALLBACK ViewerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int DrawMyButton(const DRAWITEMSTRUCT* item, int bitmapId);
void OnOnTop();
void OnAbout();

// Display mapping and levels.
int NewBitmap();
// Main window title from the loaded file's short name and geometry.
void SetMainTitle();
void OnLevelCommand(int id);
int OnBrightnessChange();
void UpdateBr(const DRAWITEMSTRUCT* item);
void UpdateCr(const DRAWITEMSTRUCT* item);

// Zoomed view.
void OnPaint();
int NewView();
void OnSize();
void OnHScroll(int code, int position);
void OnVScroll(int code, int position);
void OnMouseWheel(unsigned keys, int delta, POINT point);
void OnRButtonUp(POINT point);

// Pixel read-out.
void OnLButtonDown(POINT point);
void OnMouseMove(POINT point);
void OnLButtonUp();
void ShowToolTip(POINT point, const char* text);

// Header window.
LRESULT CALLBACK HeaderWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int OnCopyDataH(const COPYDATASTRUCT* request);

// Placement and docking.
void GetRegistryPos();
void SetRegistryPos();
void SetHeaderWindow();
void ShowHeader();
void HideHeader();
