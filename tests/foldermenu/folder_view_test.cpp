// The target path and failure message built from the invocation's folder.
#include "folder_view.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(MakeFolderViewTexts, TargetAndMessage) {
  FolderViewTexts texts;
  ASSERT_TRUE(MakeFolderViewTexts("C:\\data\\m31", &texts));
  EXPECT_EQ(texts.target, "C:\\data\\m31\\desktop.ini");
  EXPECT_EQ(texts.failureMessage, "Could not set System attribute on :\n\nC:\\data\\m31");
}

TEST(MakeFolderViewTexts, NoFolderIsRefused) {
  const char* rows[] = {nullptr, ""};
  for (const char* folder : rows) {
    SCOPED_TRACE(folder == nullptr ? "null" : "empty");
    FolderViewTexts texts{"kept", "kept"};
    EXPECT_FALSE(MakeFolderViewTexts(folder, &texts));
    EXPECT_EQ(texts.target, "kept");
  }
}

TEST(MakeFolderViewTexts, TargetMustFitItsBuffer) {
  const size_t longest = kFolderTextCapacity - 1 - std::string("\\desktop.ini").size();
  const struct {
    size_t folderLength;
    bool accepted;
  } rows[] = {{longest, true}, {longest + 1, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.folderLength);
    FolderViewTexts texts;
    EXPECT_EQ(MakeFolderViewTexts(std::string(row.folderLength, 'f').c_str(), &texts), row.accepted);
    if (row.accepted) {
      EXPECT_EQ(texts.target.size(), kFolderTextCapacity - 1);
    }
  }
}

TEST(MakeFolderViewTexts, LongMessageIsCut) {
  const std::string head = "Could not set System attribute on :\n\n";
  const struct {
    size_t folderLength;
    size_t messageLength;
  } rows[] = {{kFolderTextCapacity - 1 - head.size(), kFolderTextCapacity - 1},
              {kFolderTextCapacity - head.size(), kFolderTextCapacity - 1},
              {1000, kFolderTextCapacity - 1},
              {10, head.size() + 10}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.folderLength);
    FolderViewTexts texts;
    ASSERT_TRUE(MakeFolderViewTexts(std::string(row.folderLength, 'f').c_str(), &texts));
    EXPECT_EQ(texts.failureMessage.size(), row.messageLength);
    EXPECT_EQ(texts.failureMessage.substr(0, head.size()), head);
  }
}

}  // namespace
