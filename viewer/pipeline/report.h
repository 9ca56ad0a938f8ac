// How the pipeline tells about problems. The Windows build writes debugger
// output and shows message boxes; the native tests record what was said.
#pragma once

// One debugger line: "DIDA Duvara - <routine>() : <what>".
void ReportFailure(const char* routine, const char* what);
// The same line with a caller-chosen window title.
void ReportDebugText(const char* text);
// The modal "FITS Identifier not found" / "Not Fits" box.
void ShowNotFitsBox();
