// CFitsViewMenu: the shell hands it the selected files (IShellExtInit), then
// asks it for its menu item, the item's help text and the command
// (IContextMenu). The command works on the folder the view shows; the
// selection only decides whether the shell offers it.
#include "fits_view_menu.h"

#include <shlobj.h>

#include <new>
#include <string>
#include <vector>

#include "folder_view.h"
#include "menu_commands.h"
#include "resource.h"
#include "server.h"

const CLSID CLSID_FitsViewMenu = {0x60ebfdd7, 0x9706, 0x4289, {0x8e, 0x24, 0xff, 0xda, 0x3e, 0x4d, 0x38, 0x44}};

namespace {

// Copies the template over the folder's desktop.ini and makes the folder a
// System folder, which is what makes the shell read that file.
HRESULT ApplyFitsView(HWND owner, const char* folder) {
  FolderViewTexts texts;
  if (!MakeFolderViewTexts(folder, &texts)) return E_INVALIDARG;
  // A missing template or a folder that cannot take the file is not
  // reported: the attribute is still set.
  CopyFileA(kTemplatePath, texts.target.c_str(), FALSE);
  if (!SetFileAttributesA(folder, FILE_ATTRIBUTE_SYSTEM)) {
    MessageBoxA(owner, texts.failureMessage.c_str(), kFailureCaption, MB_OK | MB_ICONINFORMATION);
  }
  return S_OK;
}

}  // namespace

class CFitsViewMenu : public IShellExtInit, public IContextMenu {
 public:
  explicit CFitsViewMenu(IUnknown* outer) : m_outer(outer), m_inner(this) { DllAddRef(); }

  // IUnknown of both interfaces: the outer object's when aggregated.
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    return m_outer != nullptr ? m_outer->QueryInterface(riid, ppv) : InnerQueryInterface(riid, ppv);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return m_outer != nullptr ? m_outer->AddRef() : ++m_refs; }
  STDMETHODIMP_(ULONG) Release() override { return m_outer != nullptr ? m_outer->Release() : InnerRelease(); }

  // IShellExtInit
  STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY fileTypeKey) override;

  virtual ~CFitsViewMenu() { DllRelease(); }
  // Whether a selected path is kept; this class keeps every one.
  virtual bool AcceptItem(const char* path);

  // IContextMenu
  STDMETHODIMP QueryContextMenu(HMENU menu, UINT position, UINT firstId, UINT lastId, UINT flags) override;
  STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override;
  STDMETHODIMP GetCommandString(UINT_PTR offset, UINT type, UINT* reserved, CHAR* name, UINT capacity) override;

  // The object's own IUnknown: what an aggregating outer object holds, and
  // what creation queries through.
  IUnknown* Inner() { return &m_inner; }

 private:
  // The object's own IUnknown, which an aggregating outer object holds.
  class InnerUnknown : public IUnknown {
   public:
    explicit InnerUnknown(CFitsViewMenu* menu) : m_menu(menu) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override { return m_menu->InnerQueryInterface(riid, ppv); }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_menu->m_refs; }
    STDMETHODIMP_(ULONG) Release() override { return m_menu->InnerRelease(); }

   private:
    CFitsViewMenu* m_menu;
  };

  HRESULT InnerQueryInterface(REFIID riid, void** ppv);
  ULONG InnerRelease();
  HRESULT TakeFiles(HGLOBAL list);

  IUnknown* m_outer;
  InnerUnknown m_inner;
  std::vector<std::string> m_files;  // the selection, in the data object's order; the command works on the folder
  LONG m_refs = 1;  // the creator's reference; apartment model, so a plain counter
};

HRESULT CFitsViewMenu::InnerQueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (riid == IID_IUnknown) {
    *ppv = m_outer != nullptr ? static_cast<IUnknown*>(&m_inner) : static_cast<IShellExtInit*>(this);
  } else if (riid == IID_IShellExtInit) {
    *ppv = static_cast<IShellExtInit*>(this);
  } else if (riid == IID_IContextMenu) {
    *ppv = static_cast<IContextMenu*>(this);
  } else {
    return E_NOINTERFACE;
  }
  static_cast<IUnknown*>(*ppv)->AddRef();
  return S_OK;
}

ULONG CFitsViewMenu::InnerRelease() {
  ULONG refs = --m_refs;
  if (refs == 0) delete this;
  return refs;
}

STDMETHODIMP CFitsViewMenu::Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY) {
  if (data == nullptr) return E_INVALIDARG;
  FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium = {};
  if (FAILED(data->GetData(&format, &medium))) return E_INVALIDARG;
  HRESULT hr = medium.tymed == TYMED_HGLOBAL ? TakeFiles(medium.hGlobal) : E_INVALIDARG;
  ReleaseStgMedium(&medium);
  return hr;
}

// Appends the accepted paths of a CF_HDROP list to m_files.
HRESULT CFitsViewMenu::TakeFiles(HGLOBAL list) {
  if (GlobalLock(list) == nullptr) return E_INVALIDARG;
  HDROP drop = static_cast<HDROP>(list);
  UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    // An empty name is no path (some systems count an empty list as one).
    char path[MAX_PATH] = "";
    if (DragQueryFileA(drop, i, path, MAX_PATH) != 0 && AcceptItem(path)) m_files.push_back(path);
  }
  GlobalUnlock(list);
  return count != 0 && !m_files.empty() ? S_OK : E_INVALIDARG;
}

bool CFitsViewMenu::AcceptItem(const char*) { return true; }

STDMETHODIMP CFitsViewMenu::QueryContextMenu(HMENU menu, UINT position, UINT firstId, UINT, UINT flags) {
  if (flags & CMF_DEFAULTONLY) return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);
  USHORT added = 0;
  for (UINT i = 0; kMenuCommands[i].menuTextId != 0; ++i) {
    char text[kTextCapacity] = "";
    LoadStringA(g_moduleInstance, kMenuCommands[i].menuTextId, text, kTextCapacity);
    if (InsertMenuA(menu, position, MF_BYPOSITION | MF_STRING, firstId + i, text)) ++added;
  }
  return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, added);
}

STDMETHODIMP CFitsViewMenu::InvokeCommand(CMINVOKECOMMANDINFO* info) {
  // Only offsets: a verb name is a pointer, and this command has none.
  if (info == nullptr || !IS_INTRESOURCE(info->lpVerb)) return E_INVALIDARG;
  const MenuCommand* command = FindMenuCommand(LOWORD(reinterpret_cast<ULONG_PTR>(info->lpVerb)));
  if (command == nullptr) return E_INVALIDARG;
  if (command->menuTextId == IDS_MENU_TEXT) return ApplyFitsView(info->hwnd, info->lpDirectory);
  return S_OK;
}

// Only the help text is offered; verbs and validation are refused.
STDMETHODIMP CFitsViewMenu::GetCommandString(UINT_PTR offset, UINT type, UINT*, CHAR* name, UINT capacity) {
  const MenuCommand* command = FindMenuCommand(offset);
  if (command == nullptr || !(type & GCS_HELPTEXTA)) return E_INVALIDARG;
  if (name == nullptr || capacity == 0) return E_INVALIDARG;
  char text[kTextCapacity] = "";
  LoadStringA(g_moduleInstance, command->helpTextId, text, kTextCapacity);
  if (type & GCS_UNICODE) {
    wchar_t wide[kTextCapacity] = L"";
    MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, wide, kTextCapacity);
    CopyCut(reinterpret_cast<wchar_t*>(name), capacity, wide);
  } else {
    CopyCut(name, capacity, text);
  }
  return S_OK;
}

HRESULT CFitsViewMenu_CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  CFitsViewMenu* menu = new (std::nothrow) CFitsViewMenu(outer);
  if (menu == nullptr) return E_OUTOFMEMORY;
  IUnknown* inner = menu->Inner();
  HRESULT hr = inner->QueryInterface(riid, ppv);
  inner->Release();  // the creator's reference: destroys the object when the query failed
  return hr;
}
