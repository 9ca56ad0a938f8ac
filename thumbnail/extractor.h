// fitsformatExtractor, the object the shell creates for a thumbnail of a
// .fit, .fts or .fits file.
#pragma once
#include <windows.h>

// Creates an extractor, aggregated when `outer` is given (riid is then
// IUnknown, which the class factory checks), and returns its answer to
// QueryInterface for riid. `out` is not null.
HRESULT fitsformatExtractor_CreateInstance(IUnknown* outer, REFIID riid, void** out);
