#include "platform/path/path_parts.h"

#include <gtest/gtest.h>

namespace yomira {
namespace {

TEST(PathParts, SplitAtTheLastSlash) {
  struct Case {
    const char* path;
    const char* name;
    const char* folder;  // ExtractFilePath
    const char* parent;  // ParentFolder
  };
  const Case cases[] = {
      {"/a/b.txt", "b.txt", "/a/", "/a"},
      {"b.txt", "b.txt", "", "."},
      {"/b.txt", "b.txt", "/", "/"},
      {"/a/b/", "", "/a/b/", "/a/b"},
      {"", "", "", "."},
      {"a.d/b", "b", "a.d/", "a.d"},
      // Bytes, never converted: a cp932 name whose trail byte is 0x5C stays whole.
      {"/x/\x95\x5C.txt", "\x95\x5C.txt", "/x/", "/x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileNamePart(c.path), c.name) << c.path;
    EXPECT_EQ(ExtractFilePath(c.path), c.folder) << c.path;
    EXPECT_EQ(ParentFolder(c.path), c.parent) << c.path;
    EXPECT_EQ(ExtractFilePath(c.path) + FileNamePart(c.path), c.path) << c.path;
  }
}

}  // namespace
}  // namespace yomira
