// Deleting, moving, making and removing directories, and attributes, with
// the Windows error codes of each.

#include <string>
#include <vector>

#include "file_fixture.h"

namespace {

class FileNameTest : public FileTest {
 protected:
  void SetUp() override {
    Make("a.txt", "a");
    Make("b.txt", "b");
    MakeFolder("sub");
  }
  DWORD Move(const char* from, const char* to, DWORD flags = 0) {
    return ErrorOf([&] { return platform::MoveFileExA(Path(from).c_str(), Path(to).c_str(), flags); });
  }
  DWORD Delete(const char* name) { return ErrorOf([&] { return platform::DeleteFileA(Path(name).c_str()); }); }
  DWORD MakeDir(const char* name) { return ErrorOf([&] { return platform::CreateDirectoryA(Path(name).c_str(), nullptr); }); }
  DWORD RemoveDir(const char* name) { return ErrorOf([&] { return platform::RemoveDirectoryA(Path(name).c_str()); }); }
  DWORD SetAttributes(const char* name, DWORD attributes) {
    return ErrorOf([&] { return platform::SetFileAttributesA(Path(name).c_str(), attributes); });
  }
};

TEST_F(FileNameTest, NameOperationsGiveTheWindowsErrors) {
  const DWORD errors[] = {Delete("absent.txt"), Delete("absent\\x.txt"), Delete("sub"), Move("a.txt", "b.txt"),
                          Move("a.txt", "sub", MOVEFILE_REPLACE_EXISTING), Move("absent.txt", "c.txt"),
                          Move("a.txt", "absent\\c.txt"), MakeDir("sub"), MakeDir("a.txt"), MakeDir("absent\\sub"),
                          MakeDir("sub\\inner"), RemoveDir("sub"), RemoveDir("a.txt"), RemoveDir("absent"),
                          SetAttributes("absent.txt", 0)};
  EXPECT_EQ(std::vector<DWORD>(std::begin(errors), std::end(errors)),
            (std::vector<DWORD>{2, 3, 5, 183, 5, 2, 3, 183, 183, 3, 0, 145, 267, 2, 2}));
  EXPECT_EQ(Contents("b.txt"), "b");
}

TEST_F(FileNameTest, MovesReplaceOnlyWhenAskedAndReadOnlyFilesStayPut) {
  EXPECT_EQ(Move("a.txt", "b.txt", MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH), 0u);
  EXPECT_EQ(Contents("b.txt"), "a");
  EXPECT_FALSE(Exists("a.txt"));
  EXPECT_EQ(Move("b.txt", "sub\\b.txt", MOVEFILE_COPY_ALLOWED), 0u);
  EXPECT_EQ(Move("sub", "moved"), 0u);
  EXPECT_EQ(Contents("moved/b.txt"), "a");
  // A read-only file may move and stays read-only, but cannot be deleted.
  Make("ro.txt", "ro");
  EXPECT_EQ(SetAttributes("ro.txt", FILE_ATTRIBUTE_READONLY), 0u);
  EXPECT_EQ(Move("ro.txt", "ro2.txt"), 0u);
  EXPECT_TRUE(Attributes("ro2.txt") & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(Delete("ro2.txt"), 5u);
#ifndef _WIN32
  // Windows refuses to replace a read-only file (Wine replaces it).
  Make("c.txt", "c");
  EXPECT_EQ(Move("c.txt", "ro2.txt", MOVEFILE_REPLACE_EXISTING), 5u);
#endif
  EXPECT_EQ(SetAttributes("ro2.txt", FILE_ATTRIBUTE_NORMAL), 0u);
  EXPECT_EQ(Delete("ro2.txt.. "), 0u);  // trailing periods and blanks go
  EXPECT_FALSE(Exists("ro2.txt"));
}

TEST_F(FileNameTest, AttributesTellFoldersReadOnlyAndHiddenFiles) {
  Make(".hidden", "x");
  const DWORD kTold = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
  EXPECT_EQ(Attributes("sub\\") & kTold, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(Attributes("a.txt") & kTold, 0u);
  EXPECT_EQ(Attributes(".hidden") & kTold, FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE(Attributes(".") & FILE_ATTRIBUTE_HIDDEN);
  WideString wide = WidenAscii(Path("a.txt").c_str());
  ASSERT_TRUE(platform::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(platform::GetFileAttributesW(wide.c_str()) & kTold, FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(SetAttributes("a.txt", FILE_ATTRIBUTE_NORMAL), 0u);
  for (const auto& [name, error] : {std::pair<const char*, DWORD>{"absent.txt", 2}, {"a.txt\\", 3}}) {
    EXPECT_EQ(Attributes(name), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(platform::GetLastError(), error) << name;
  }
}

}  // namespace
