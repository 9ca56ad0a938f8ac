// CFitsViewMenu, the context-menu handler that applies the folder-view
// template to the folder a file view shows.
#pragma once
#include <windows.h>

// {60EBFDD7-9706-4289-8E24-FFDA3E4D3844}
extern const CLSID CLSID_FitsViewMenu;

// Creates a menu object (aggregated by `outer` when it is not null, in which
// case `riid` must be IUnknown) and queries it for `riid`.
HRESULT CFitsViewMenu_CreateInstance(IUnknown* outer, REFIID riid, void** ppv);
