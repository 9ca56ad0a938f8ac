// ImageView of Varnex.dll, which the thumbnail extension calls after every
// decoded thumbnail with the file and its data range; the caller ignores
// the result. The DLL built here is a stand-in for tests and the demo: it
// never fails (returns 1), and when the environment variable VARNEX_LOG
// names a file it appends one line per call to it: code, path, maximum and
// minimum, separated by tabs.
//
// Calling convention: __stdcall (WINAPI), the callee removes the 16 bytes
// of arguments. The export is named "ImageView", undecorated, on both
// architectures; 32-bit callers link against an import library that maps
// their decorated reference _ImageView@16 to that name.
#pragma once
#include <windows.h>

#include <cstdint>

#ifdef VARNEX_IMPLEMENTATION
#define VARNEX_API
#else
#define VARNEX_API __declspec(dllimport)
#endif

extern "C" VARNEX_API int32_t WINAPI ImageView(int32_t code, const char* path, int32_t maximum, int32_t minimum);
