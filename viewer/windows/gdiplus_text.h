// Text through GDI+ on a device context: "Courier New" at 8 points, as the
// header window and the level read-outs draw it.
#pragma once
#include <windows.h>

#include <memory>

class GdiplusText {
 public:
  explicit GdiplusText(HDC dc);
  ~GdiplusText();
  void FillBlack(const RECT& area);
  // Draws ANSI text (converted with the system code page) at (x, y).
  void Draw(const char* text, int x, int y, COLORREF colour);

 private:
  struct Objects;
  std::unique_ptr<Objects> objects_;
};

// Starts GDI+ for the process; the token is for StopGdiplus.
ULONG_PTR StartGdiplus();
void StopGdiplus(ULONG_PTR token);
