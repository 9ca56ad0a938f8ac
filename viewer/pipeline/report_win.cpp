#include <windows.h>

#include <cstdio>

#include "report.h"

void ReportDebugText(const char* text) { OutputDebugStringA(text); }

void ReportFailure(const char* routine, const char* what) {
  char line[256];
  snprintf(line, sizeof line, "DIDA Duvara - %s() : %s", routine, what);
  OutputDebugStringA(line);
}

void ShowNotFitsBox() { MessageBoxA(nullptr, "FITS Identifier not found", "Not Fits", MB_OK); }
