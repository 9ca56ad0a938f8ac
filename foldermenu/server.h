// What the server offers the COM class it serves: the module instance (for
// resources) and the module lock count.
#pragma once
#include <windows.h>

extern HINSTANCE g_moduleInstance;

// One lock per living object or server lock; the module may be unloaded only
// when none is left.
void DllAddRef();
void DllRelease();
