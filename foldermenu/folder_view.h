// The folder-view template and the texts that applying it to a folder
// needs. No Windows types: tested natively.
#pragma once
#include <cstddef>
#include <string>

// Installed with the viewer; its content is the viewer's business.
constexpr char kTemplatePath[] = "c:\\program files\\kelvra\\XPViews\\desktop.ini";
constexpr char kFailureCaption[] = "KLVXPView";
// The target path and the failure message each fit this many characters,
// terminator included.
constexpr size_t kFolderTextCapacity = 1024;

struct FolderViewTexts {
  std::string target;          // the folder's desktop.ini
  std::string failureMessage;  // shown when the folder cannot be made a System folder
};

// The texts for `folder`. False when there is no folder (null or empty: the
// target would name the current drive's root) or when the target would not
// fit; a long message is cut instead.
bool MakeFolderViewTexts(const char* folder, FolderViewTexts* texts);
