// Tests of an installed Kelvra, run by install_cycle.sh after the silent
// installation (all but AfterUninstall) and after the uninstallation
// (AfterUninstall). Each way in starts where the shell starts: the Open verb
// of a FITS file, and the context-menu handler found through the file type
// of ".fit". KELVRA_TEST_FILES names the folder with the sample files
// crab.fit, sun-map.fts and crab.fits.
#include <windows.h>
#include <psapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const char kInstallFolder[] = "c:\\program files\\kelvra";
const char kViewerClass[] = "lumora_app_class";
const char kMenuClsid[] = "{60EBFDD7-9706-4289-8E24-FFDA3E4D3844}";
const DWORD kWaitMs = 30000;  // a viewer starting in a fresh Wine session is slow

// Releases a COM interface at the end of the scope.
template <class T>
struct ComRef {
  T* p = nullptr;
  ~ComRef() {
    if (p != nullptr) p->Release();
  }
  T* operator->() const { return p; }
  void** Out() { return reinterpret_cast<void**>(&p); }
};

struct ComScope {
  ComScope() { CoInitialize(nullptr); }
  ~ComScope() { CoUninitialize(); }
};

std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size() + 1, L'\0');
  const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
  wide.resize(n > 0 ? n - 1 : 0);
  return wide;
}

std::string Lower(std::string text) {
  CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
  return text;
}

std::string TestFiles() {
  const char* folder = getenv("KELVRA_TEST_FILES");
  return folder != nullptr ? folder : "";
}

// The default value of a key below HKEY_CLASSES_ROOT, empty when missing.
std::string ClassesDefault(const std::string& key) {
  HKEY handle;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return "";
  char data[MAX_PATH] = "";
  DWORD size = sizeof data - 1;
  DWORD type = 0;
  LONG status = RegQueryValueExA(handle, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(handle);
  return status == ERROR_SUCCESS && type == REG_SZ ? data : "";
}

std::string WindowTitle(HWND window) {
  char title[256] = "";
  GetWindowTextA(window, title, sizeof title);
  return title;
}

std::string ProcessImage(HWND window) {
  DWORD id = 0;
  GetWindowThreadProcessId(window, &id);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
  if (process == nullptr) return "";
  char path[MAX_PATH] = "";
  GetModuleFileNameExA(process, nullptr, path, sizeof path);
  CloseHandle(process);
  return path;
}

// Waits until the viewer's main window shows `title`; returns the title it
// showed last (empty when no viewer appeared).
std::string WaitForViewerTitle(const std::string& title) {
  std::string seen;
  for (DWORD waited = 0; waited < kWaitMs; waited += 50) {
    HWND viewer = FindWindowA(kViewerClass, nullptr);
    seen = viewer != nullptr ? WindowTitle(viewer) : "";
    if (seen == title) break;
    Sleep(50);
  }
  return seen;
}

// Closes the viewer as the user would and waits for its process to end.
DWORD CloseViewer(HWND viewer) {
  DWORD id = 0;
  GetWindowThreadProcessId(viewer, &id);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
  if (process == nullptr) return WAIT_FAILED;
  PostMessageA(viewer, WM_CLOSE, 0, 0);
  DWORD result = WaitForSingleObject(process, kWaitMs);
  CloseHandle(process);
  return result;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The shell's data object for one file, as a file view hands it to a
// context-menu handler.
HRESULT FileDataObject(const std::string& folder, const std::string& name, IDataObject** data) {
  ComRef<IShellFolder> desktop;
  HRESULT hr = SHGetDesktopFolder(&desktop.p);
  if (FAILED(hr)) return hr;
  LPITEMIDLIST folderItem = nullptr;
  hr = desktop->ParseDisplayName(nullptr, nullptr, &Wide(folder)[0], nullptr, &folderItem, nullptr);
  if (FAILED(hr)) return hr;
  ComRef<IShellFolder> view;
  hr = desktop->BindToObject(folderItem, nullptr, IID_IShellFolder, view.Out());
  CoTaskMemFree(folderItem);
  if (FAILED(hr)) return hr;
  LPITEMIDLIST item = nullptr;
  hr = view->ParseDisplayName(nullptr, nullptr, &Wide(name)[0], nullptr, &item, nullptr);
  if (FAILED(hr)) return hr;
  LPCITEMIDLIST items[] = {item};
  hr = view->GetUIObjectOf(nullptr, 1, items, IID_IDataObject, nullptr, reinterpret_cast<void**>(data));
  CoTaskMemFree(item);
  return hr;
}

TEST(OpenVerb, EachExtensionOpensInTheInstalledViewer) {
  ComScope com;
  ASSERT_NE(TestFiles(), "") << "KELVRA_TEST_FILES is not set";
  ASSERT_EQ(FindWindowA(kViewerClass, nullptr), nullptr) << "a viewer runs already";
  // The first file starts the viewer, the others reach the running one.
  const struct {
    const char* name;
    const char* title;
  } rows[] = {
      {"crab.fit", "Kelvra - crab.fit - 177 X 177 : 16 BPP"},
      {"sun-map.fts", "Kelvra - sun-map.fts - 361 X 181 : 32 BPP"},
      {"crab.fits", "Kelvra - crab.fits - 177 X 177 : 16 BPP"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = TestFiles() + "\\" + row.name;
    const INT_PTR result =
        reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    ASSERT_GT(result, 32) << "ShellExecute failed for " << path;
    EXPECT_EQ(WaitForViewerTitle(row.title), row.title);
  }

  HWND viewer = FindWindowA(kViewerClass, nullptr);
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(Lower(ProcessImage(viewer)), Lower(std::string(kInstallFolder) + "\\Kelvra.exe"));
  EXPECT_EQ(CloseViewer(viewer), WAIT_OBJECT_0);
}

TEST(FolderCommand, InstallsTheTemplateIntoTheViewedFolder) {
  ComScope com;
  ASSERT_NE(TestFiles(), "") << "KELVRA_TEST_FILES is not set";
  const std::string folder = TestFiles() + "\\view";
  SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA((folder + "\\desktop.ini").c_str());
  CreateDirectoryA(folder.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA((TestFiles() + "\\crab.fit").c_str(), (folder + "\\crab.fit").c_str(), FALSE));

  // The handler the shell finds for a .fit file.
  const std::string fileType = ClassesDefault(".fit");
  ASSERT_NE(fileType, "");
  const std::string clsidText = ClassesDefault(fileType + "\\ShellEx\\ContextMenuHandlers\\KLVXP");
  ASSERT_EQ(clsidText, kMenuClsid) << "under the file type " << fileType;
  EXPECT_EQ(Lower(ClassesDefault("CLSID\\" + clsidText + "\\InprocServer32")),
            Lower(std::string(kInstallFolder) + "\\KLVXP.dll"));
  CLSID clsid;
  ASSERT_EQ(CLSIDFromString(&Wide(clsidText)[0], &clsid), S_OK);
  ComRef<IShellExtInit> init;
  ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit, init.Out()), S_OK);

  ComRef<IDataObject> data;
  ASSERT_EQ(FileDataObject(folder, "crab.fit", &data.p), S_OK);
  HKEY typeKey = nullptr;
  RegOpenKeyExA(HKEY_CLASSES_ROOT, fileType.c_str(), 0, KEY_READ, &typeKey);
  EXPECT_EQ(init->Initialize(nullptr, data.p, typeKey), S_OK);
  if (typeKey != nullptr) RegCloseKey(typeKey);

  ComRef<IContextMenu> menu;
  ASSERT_EQ(init->QueryInterface(IID_IContextMenu, menu.Out()), S_OK);
  HMENU popup = CreatePopupMenu();
  const UINT firstId = 100;
  EXPECT_EQ(menu->QueryContextMenu(popup, 0, firstId, 0x7FFF, CMF_NORMAL), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1));
  char text[260] = "";
  GetMenuStringA(popup, firstId, text, sizeof text, MF_BYCOMMAND);
  EXPECT_STREQ(text, "Apply R2u Veva Vuzo To Folders");
  DestroyMenu(popup);

  CMINVOKECOMMANDINFO invoke = {};
  invoke.cbSize = sizeof invoke;
  invoke.lpVerb = MAKEINTRESOURCEA(0);
  invoke.lpDirectory = folder.c_str();
  invoke.nShow = SW_SHOWNORMAL;
  EXPECT_EQ(menu->InvokeCommand(&invoke), S_OK);

  const std::string copied = folder + "\\desktop.ini";
  EXPECT_EQ(ReadFile(copied), ReadFile(std::string(kInstallFolder) + "\\XPViews\\desktop.ini"));
  char view[64] = "";
  GetPrivateProfileStringA("ViewState", "Vid", "", view, sizeof view, copied.c_str());
  EXPECT_STREQ(view, "{8BEBB290-52D0-11D0-B7F4-00C04FD706EC}") << "the view identifier of thumbnails";
  EXPECT_EQ(GetFileAttributesA(folder.c_str()) & ~FILE_ATTRIBUTE_DIRECTORY, DWORD(FILE_ATTRIBUTE_SYSTEM));
}

TEST(AfterUninstall, NoViewerIsLeftRunning) {
  HWND viewer = FindWindowA(kViewerClass, nullptr);
  EXPECT_EQ(viewer, nullptr) << "title " << (viewer != nullptr ? WindowTitle(viewer) : "");
  // Closed here all the same, so that the next round starts without one.
  if (viewer != nullptr) CloseViewer(viewer);
}

}  // namespace
