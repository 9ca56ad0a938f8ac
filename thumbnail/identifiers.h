// Identifiers of the thumbnail extension. The texts go to the registry; the
// type library's IDL repeats the GUIDs.
#pragma once
#include <windows.h>

#define VANTEL_CLSID_TEXT "{5BA116C3-6A83-4FFB-8201-D904D2AC7ED0}"
#define VANTEL_LIBID_TEXT "{1C2128A2-2159-45E5-B5D3-D7CF3BFB1DD5}"
// The shell finds thumbnail handlers under the IID of IExtractImage.
#define THUMBNAIL_HANDLER_KEY "{BB2E617C-0920-11d1-9A0B-00C04FC2D6C1}"

inline constexpr CLSID CLSID_fitsformatExtractor = {
    0x5BA116C3, 0x6A83, 0x4FFB, {0x82, 0x01, 0xD9, 0x04, 0xD2, 0xAC, 0x7E, 0xD0}};
