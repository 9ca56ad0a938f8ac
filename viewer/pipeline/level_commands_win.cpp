// The level buttons, the load-levels mode button and the two read-out fields.
#include <windows.h>

#include "gdiplus_text.h"
#include "header_parser.h"
#include "level_commands.h"
#include "load_request.h"
#include "pixel_decoder.h"
#include "viewer_windows.h"

double BrightnessInc = 10.0, ContrastInc = 10.0;

namespace {

void SwapModeButton(HWND hide, HWND show, int mode) {
  AutoOn = mode;
  ShowWindow(hide, SW_HIDE);
  ShowWindow(show, SW_SHOW);
}

void DrawLevel(const DRAWITEMSTRUCT* item, HWND field, double level) {
  char text[32];
  FormatLevel(level, text, sizeof text);
  RECT client;
  GetClientRect(field, &client);
  GdiplusText gdiplus(item->hDC);
  gdiplus.FillBlack(client);
  // Centred on the assumption of 8 pixels a character.
  int x = client.right / 2 - static_cast<int>(strlen(text)) * 8 / 2;
  gdiplus.Draw(text, x, 0, RGB(0, 128, 0));
}

}  // namespace

void OnLevelCommand(int id) {
  switch (id) {
    case kWhiteUp:
    case kWhiteDown:
    case kFullRange:
    case kBlackUp:
    case kBlackDown: {
      LevelSteps levels{ScaleBrightness, ScaleContrast, BrightnessInc, ContrastInc};
      if (!ApplyLevelCommand(id, levels, minP, maxP)) return;
      ScaleBrightness = levels.white;
      ScaleContrast = levels.black;
      OnBrightnessChange();
      return;
    }
    case 9:
      OneTime = 1;
      OnBrightnessChange();
      return;
    case 10: return SwapModeButton(bAutoOn, bAutoOffL, 1);
    case 11: return SwapModeButton(bAutoOffL, bAutoOffR, 2);
    case 12: return SwapModeButton(bAutoOffR, bAutoOn, 0);
    default: return;
  }
}

int OnBrightnessChange() {
  // The fields show the level at once, also before any image was shown.
  InvalidateRect(dBrightness, nullptr, FALSE);
  InvalidateRect(dContrast, nullptr, FALSE);
  if (TheBitmap == nullptr) return 0;
  NewBitmapData = 1;
  BrightnessInc = ContrastInc = LevelStep(ScaleBrightness, ScaleContrast, TheFormat.realbytepix);
  InvalidateRect(MainWindow, nullptr, TRUE);
  return 1;
}

void UpdateBr(const DRAWITEMSTRUCT* item) { DrawLevel(item, dBrightness, ScaleBrightness); }
void UpdateCr(const DRAWITEMSTRUCT* item) { DrawLevel(item, dContrast, ScaleContrast); }
