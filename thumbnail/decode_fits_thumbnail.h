// DecodeFitsThumbnail: one FITS file on disk to a full-size 32-bit DIB
// section, reported to ImageView of Varnex.dll. Problems up to and within
// the header are shown in message boxes.
#pragma once
#include <windows.h>

// On success returns the bitmap's header block (a BITMAPINFO on the process
// heap; free it with HeapFree) and writes the DIB section (delete it with
// DeleteObject) and its pixels. On failure returns null with everything it
// created released and the out-parameters untouched.
BITMAPINFO* DecodeFitsThumbnail(const char* path, HBITMAP* dib, void** pixels);
