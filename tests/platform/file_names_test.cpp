// Deleting, moving, making and removing directories, attributes, and the
// current directory and drive, with the Windows error codes of each.

#include <string>

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
  DWORD MakeDir(const char* name) {
    return ErrorOf([&] { return platform::CreateDirectoryA(Path(name).c_str(), nullptr); });
  }
  DWORD RemoveDir(const char* name) { return ErrorOf([&] { return platform::RemoveDirectoryA(Path(name).c_str()); }); }
  DWORD SetAttributes(const char* name, DWORD attributes) {
    return ErrorOf([&] { return platform::SetFileAttributesA(Path(name).c_str(), attributes); });
  }
};

TEST_F(FileNameTest, NameOperationsGiveTheWindowsErrors) {
  EXPECT_EQ(Delete("absent.txt"), 2u);
  EXPECT_EQ(Delete("absent\\x.txt"), 3u);
  EXPECT_EQ(Delete("sub"), 5u);
  EXPECT_EQ(Move("a.txt", "b.txt"), 183u);
  EXPECT_EQ(Move("a.txt", "sub", MOVEFILE_REPLACE_EXISTING), 5u);
  EXPECT_EQ(Move("absent.txt", "c.txt"), 2u);
  EXPECT_EQ(Move("a.txt", "absent\\c.txt"), 3u);
  EXPECT_EQ(MakeDir("sub"), 183u);
  EXPECT_EQ(MakeDir("a.txt"), 183u);
  EXPECT_EQ(MakeDir("absent\\sub"), 3u);
  EXPECT_EQ(MakeDir("sub\\inner"), 0u);
  EXPECT_EQ(RemoveDir("sub"), 145u);
  EXPECT_EQ(RemoveDir("a.txt"), 267u);
  EXPECT_EQ(RemoveDir("absent"), 2u);
  EXPECT_EQ(SetAttributes("absent.txt", 0), 2u);
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

// Restores the process's current directory when the test leaves.
class CurrentDirectoryTest : public FileTest {
 protected:
  void SetUp() override { ASSERT_GT(platform::GetCurrentDirectoryA(sizeof saved_, saved_), 0u); }
  void TearDown() override { platform::SetCurrentDirectoryA(saved_); }
  std::string Current() const {
    char buffer[MAX_PATH];
    DWORD length = platform::GetCurrentDirectoryA(sizeof buffer, buffer);
    return std::string(buffer, length < sizeof buffer ? length : 0);
  }
  char saved_[MAX_PATH];
};

}  // namespace
