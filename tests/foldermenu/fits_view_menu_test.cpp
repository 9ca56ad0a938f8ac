// The menu object as the shell drives it: a real CF_HDROP selection, a real
// popup menu, the template under the Wine prefix's program folder, real
// folders and their attributes, and the failure box.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "folder_view.h"
#include "hdrop_data_object.h"
#include "klvxp_module.h"
#include "message_box_watch.h"

namespace klvxptest {
namespace {

using wintest::HdropDataObject;

const char kMenuText[] = "Apply R2u Veva Vuzo To Folders";
const char kHelpText[] = "Apply Folder modifications and install templates for Fits viewing ";
const char kTemplateContent[] = "[.ShellClassInfo]\r\nIconResource=Kelvra.exe,0\r\n[ViewState]\r\nMode=4\r\n";

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAll(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Puts the template in place (or removes it, for a null content) and
// restores what was there afterwards, folders included.
class TemplateGuard {
 public:
  explicit TemplateGuard(const char* content) {
    hadTemplate_ = FileExists(kTemplatePath);
    if (hadTemplate_) original_ = ReadAll(kTemplatePath);
    std::string path = kTemplatePath;
    for (size_t end = path.find('\\', 3); end != std::string::npos; end = path.find('\\', end + 1)) {
      std::string folder = path.substr(0, end);
      if (CreateDirectoryA(folder.c_str(), nullptr)) created_.push_back(folder);
    }
    if (content != nullptr) {
      WriteAll(kTemplatePath, content);
    } else {
      DeleteFileA(kTemplatePath);
    }
  }
  ~TemplateGuard() {
    if (hadTemplate_) {
      WriteAll(kTemplatePath, original_);
    } else {
      DeleteFileA(kTemplatePath);
    }
    for (auto folder = created_.rbegin(); folder != created_.rend(); ++folder) RemoveDirectoryA(folder->c_str());
  }

 private:
  bool hadTemplate_;
  std::string original_;
  std::vector<std::string> created_;
};

// A folder under the temporary folder, removed with its files afterwards.
class TempFolder {
 public:
  explicit TempFolder(const char* name) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + name;
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TempFolder() {
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
          std::string file = path_ + "\\" + found.cFileName;
          SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileA(file.c_str());
        }
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
    RemoveDirectoryA(path_.c_str());
  }
  const std::string& Path() const { return path_; }
  std::string File(const char* name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// A menu object straight from the module's class factory.
class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    IClassFactory* factory = nullptr;
    ASSERT_EQ(Module().DllGetClassObject(kClsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IShellExtInit, reinterpret_cast<void**>(&init_)), S_OK);
    factory->Release();
    ASSERT_EQ(init_->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu_)), S_OK);
  }
  void TearDown() override {
    if (menu_ != nullptr) menu_->Release();
    if (init_ != nullptr) init_->Release();
  }

  HRESULT Invoke(LPCSTR verb, const char* folder) {
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof info;
    info.lpVerb = verb;
    info.lpDirectory = folder;
    info.nShow = SW_SHOWNORMAL;
    return menu_->InvokeCommand(&info);
  }

  IShellExtInit* init_ = nullptr;
  IContextMenu* menu_ = nullptr;
};

const std::vector<std::string> kThreeFiles = {"C:\\sky\\m31.fit", "C:\\sky\\m42.fit", "C:\\sky\\m45.fit"};

using Initialize = MenuTest;

TEST_F(Initialize, TakesTheSelectionFromCfHdrop) {
  const struct {
    const char* label;
    std::vector<std::string> files;
    bool wide;
    bool offered;
    HRESULT expected;
  } rows[] = {
      {"three files", kThreeFiles, false, true, S_OK},
      {"three files in UTF-16", kThreeFiles, true, true, S_OK},
      {"empty list", {}, false, true, E_INVALIDARG},
      {"no file list", kThreeFiles, false, false, E_INVALIDARG},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TearDown();
    SetUp();
    HdropDataObject data(row.files, row.wide, row.offered);
    EXPECT_EQ(init_->Initialize(nullptr, &data, nullptr), row.expected);
    EXPECT_EQ(data.MediaReleased(), data.MediaGiven()) << "every medium is released";
  }
  EXPECT_EQ(init_->Initialize(nullptr, nullptr, nullptr), E_INVALIDARG);
}

using QueryContextMenu = MenuTest;

TEST_F(QueryContextMenu, OneItemAtThePositionUnlessDefaultOnly) {
  HdropDataObject data(kThreeFiles);
  ASSERT_EQ(init_->Initialize(nullptr, &data, nullptr), S_OK);
  const struct {
    UINT flags;
    HRESULT expected;
  } rows[] = {
      {CMF_NORMAL, MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1)},
      {CMF_EXPLORE, MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1)},
      {CMF_DEFAULTONLY, MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0)},
      {CMF_DEFAULTONLY | CMF_VERBSONLY, MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.flags);
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, 1, "Open");
    AppendMenuA(popup, MF_STRING, 2, "Print");
    EXPECT_EQ(menu_->QueryContextMenu(popup, 1, 100, 200, row.flags), row.expected);
    int added = HRESULT_CODE(row.expected);
    ASSERT_EQ(GetMenuItemCount(popup), 2 + added);
    if (added == 1) {
      char text[100] = "";
      GetMenuStringA(popup, 1, text, sizeof text, MF_BYPOSITION);
      EXPECT_STREQ(text, kMenuText);
      EXPECT_EQ(GetMenuItemID(popup, 1), 100u);
      EXPECT_EQ(GetMenuItemID(popup, 2), 2u);
    }
    DestroyMenu(popup);
  }
}

using GetCommandString = MenuTest;

TEST_F(GetCommandString, HelpTextOnlyCutToTheBuffer) {
  const std::string help = kHelpText;
  const struct {
    const char* label;
    UINT_PTR offset;
    UINT type;
    UINT capacity;
    HRESULT expected;
    std::string text;  // what the buffer holds afterwards; "" for refusals, which write nothing
  } rows[] = {
      {"ANSI, 10 characters", 0, GCS_HELPTEXTA, 10, S_OK, "Apply Fol"},
      {"UTF-16, 10 characters", 0, GCS_HELPTEXTW, 10, S_OK, "Apply Fol"},
      {"ANSI, whole", 0, GCS_HELPTEXTA, 260, S_OK, help},
      {"UTF-16, whole", 0, GCS_HELPTEXTW, 260, S_OK, help},
      {"ANSI, terminator only", 0, GCS_HELPTEXTA, 1, S_OK, ""},
      {"ANSI, no room", 0, GCS_HELPTEXTA, 0, E_INVALIDARG, ""},
      {"UTF-16, no room", 0, GCS_HELPTEXTW, 0, E_INVALIDARG, ""},
      {"verb", 0, GCS_VERBA, 260, E_INVALIDARG, ""},
      {"UTF-16 verb", 0, GCS_VERBW, 260, E_INVALIDARG, ""},
      {"validation", 0, GCS_VALIDATEA, 260, E_INVALIDARG, ""},
      {"offset past the table", 1, GCS_HELPTEXTA, 260, E_INVALIDARG, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const bool wide = row.type & GCS_UNICODE;
    const size_t written = row.expected == S_OK ? row.capacity : 0;  // characters the call may write
    wchar_t buffer[300];
    if (wide) {
      wmemset(buffer, L'#', 300);
    } else {
      memset(buffer, '#', sizeof buffer);
    }
    EXPECT_EQ(menu_->GetCommandString(row.offset, row.type, nullptr, reinterpret_cast<CHAR*>(buffer), row.capacity),
              row.expected);
    if (wide) {
      std::wstring expected(row.text.begin(), row.text.end());
      if (written != 0) {
        EXPECT_EQ(std::wstring(buffer), expected);
      }
      EXPECT_EQ(buffer[written], L'#') << "wrote past what it may";
    } else {
      const char* narrow = reinterpret_cast<const char*>(buffer);
      if (written != 0) {
        EXPECT_EQ(std::string(narrow), row.text);
      }
      EXPECT_EQ(narrow[written], '#') << "wrote past what it may";
    }
  }
}

using InvokeCommand = MenuTest;

TEST_F(InvokeCommand, AppliesTheTemplateToTheFolder) {
  TemplateGuard installed(kTemplateContent);
  const struct {
    const char* label;
    const char* existing;  // desktop.ini before the command, or none
  } rows[] = {{"no desktop.ini", nullptr}, {"an older desktop.ini", "[.ShellClassInfo]\r\nInfoTip=older\r\n"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TempFolder folder("klvxp_view");
    std::vector<std::string> files;
    for (const char* name : {"m31.fit", "m42.fit", "m45.fit"}) {
      files.push_back(folder.File(name));
      WriteAll(files.back(), "SIMPLE  =                    T");
    }
    if (row.existing != nullptr) WriteAll(folder.File("desktop.ini"), row.existing);
    ASSERT_TRUE(SetFileAttributesA(folder.Path().c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    // Wine keeps no read-only flag on folders; the hidden one it does keep.
    ASSERT_TRUE(GetFileAttributesA(folder.Path().c_str()) & FILE_ATTRIBUTE_HIDDEN);

    HdropDataObject data(files);
    ASSERT_EQ(init_->Initialize(nullptr, &data, nullptr), S_OK);
    HMENU popup = CreatePopupMenu();
    ASSERT_EQ(menu_->QueryContextMenu(popup, 0, 1, 0x7FFF, CMF_NORMAL), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1));
    DestroyMenu(popup);

    EXPECT_EQ(Invoke(MAKEINTRESOURCEA(0), folder.Path().c_str()), S_OK);
    EXPECT_EQ(ReadAll(folder.File("desktop.ini")), kTemplateContent);
    EXPECT_EQ(GetFileAttributesA(folder.Path().c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM));
  }
}

TEST_F(InvokeCommand, MissingTemplateStillSetsTheAttribute) {
  TemplateGuard missing(nullptr);
  TempFolder folder("klvxp_view");
  EXPECT_EQ(Invoke(MAKEINTRESOURCEA(0), folder.Path().c_str()), S_OK);
  EXPECT_FALSE(FileExists(folder.File("desktop.ini")));
  EXPECT_EQ(GetFileAttributesA(folder.Path().c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM));
}

TEST_F(InvokeCommand, RefusedRequestsChangeNothing) {
  TemplateGuard installed(kTemplateContent);
  TempFolder folder("klvxp_view");
  ASSERT_TRUE(SetFileAttributesA(folder.Path().c_str(), FILE_ATTRIBUTE_HIDDEN));
  // Without a folder, a path would be made from the current folder or the
  // current drive's root; make both observable.
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));
  ASSERT_FALSE(FileExists("\\desktop.ini"));
  const struct {
    const char* label;
    LPCSTR verb;
    const char* directory;
  } rows[] = {
      {"offset past the table", MAKEINTRESOURCEA(1), folder.Path().c_str()},
      {"verb name", "ApplyFitsView", folder.Path().c_str()},
      {"no directory", MAKEINTRESOURCEA(0), nullptr},
      {"empty directory", MAKEINTRESOURCEA(0), ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(Invoke(row.verb, row.directory), E_INVALIDARG);
    EXPECT_FALSE(FileExists(folder.File("desktop.ini")));
    EXPECT_FALSE(FileExists("\\desktop.ini"));
    EXPECT_EQ(GetFileAttributesA(folder.Path().c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN));
  }
  EXPECT_EQ(menu_->InvokeCommand(nullptr), E_INVALIDARG);
  SetCurrentDirectoryA(previous);
}

TEST_F(InvokeCommand, FolderWithoutSettableAttributesShowsTheBox) {
  TemplateGuard installed(kTemplateContent);
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string gone = std::string(temp) + "klvxp_removed_folder";
  ASSERT_FALSE(FileExists(gone));

  wintest::MessageBoxWatch watch("KLVXPView");
  EXPECT_EQ(Invoke(MAKEINTRESOURCEA(0), gone.c_str()), S_OK);
  ASSERT_TRUE(watch.Closed());
  EXPECT_EQ(watch.Text(), "Could not set System attribute on :\n\n" + gone);
  EXPECT_FALSE(FileExists(gone));
}

}  // namespace
}  // namespace klvxptest
