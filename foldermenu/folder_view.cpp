#include "folder_view.h"

bool MakeFolderViewTexts(const char* folder, FolderViewTexts* texts) {
  if (folder == nullptr || folder[0] == '\0') return false;
  std::string target = std::string(folder) + "\\desktop.ini";
  if (target.size() >= kFolderTextCapacity) return false;
  texts->target = target;
  texts->failureMessage = std::string("Could not set System attribute on :\n\n") + folder;
  if (texts->failureMessage.size() >= kFolderTextCapacity) texts->failureMessage.resize(kFolderTextCapacity - 1);
  return true;
}
