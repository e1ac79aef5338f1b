// Deleting, moving, making and removing directories, attributes, and the
// current directory and drive, with the Windows error codes of each.

#include <string>

#include "file_fixture.h"

namespace {

using FileNameTest = FileTest;

// The last error a failed name operation leaves, or 0 when it succeeded.
template <typename Operation>
DWORD ErrorOf(Operation operation) {
  platform::SetLastError(12345);
  return operation() ? 0u : platform::GetLastError();
}

TEST_F(FileNameTest, DeleteRefusesFoldersReadOnlyFilesAndMissingNames) {
  Make("f.txt", "x");
  ASSERT_TRUE(platform::CreateDirectoryA(Path("sub").c_str(), nullptr));
  EXPECT_EQ(ErrorOf([&] { return platform::DeleteFileA(Path("absent.txt").c_str()); }), 2u);
  EXPECT_EQ(ErrorOf([&] { return platform::DeleteFileA(Path("absent\\x.txt").c_str()); }), 3u);
  EXPECT_EQ(ErrorOf([&] { return platform::DeleteFileA(Path("sub").c_str()); }), 5u);
  ASSERT_TRUE(platform::SetFileAttributesA(Path("f.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(ErrorOf([&] { return platform::DeleteFileA(Path("f.txt").c_str()); }), 5u);
  ASSERT_TRUE(platform::SetFileAttributesA(Path("f.txt").c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(ErrorOf([&] { return platform::DeleteFileA(Path("f.txt").c_str()); }), 0u);
  EXPECT_FALSE(Exists("f.txt"));
}

TEST_F(FileNameTest, MoveReplacesOnlyWhenAskedAndNeverAFolder) {
  Make("a.txt", "a");
  Make("b.txt", "b");
  ASSERT_TRUE(platform::CreateDirectoryA(Path("sub").c_str(), nullptr));
  auto move = [&](const char* from, const char* to, DWORD flags) {
    return ErrorOf([&] { return platform::MoveFileExA(Path(from).c_str(), Path(to).c_str(), flags); });
  };
  EXPECT_EQ(ErrorOf([&] { return platform::MoveFileA(Path("a.txt").c_str(), Path("b.txt").c_str()); }), 183u);
  EXPECT_EQ(move("a.txt", "b.txt", 0), 183u);
  EXPECT_EQ(move("a.txt", "sub", MOVEFILE_REPLACE_EXISTING), 5u);
  EXPECT_EQ(move("absent.txt", "c.txt", 0), 2u);
  EXPECT_EQ(move("a.txt", "absent\\c.txt", 0), 3u);
  EXPECT_EQ(Contents("b.txt"), "b");
  EXPECT_EQ(move("a.txt", "b.txt", MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH), 0u);
  EXPECT_EQ(Contents("b.txt"), "a");
  EXPECT_FALSE(Exists("a.txt"));
  EXPECT_EQ(move("b.txt", "sub\\b.txt", MOVEFILE_COPY_ALLOWED), 0u);
  EXPECT_EQ(move("sub", "moved", 0), 0u);
  EXPECT_EQ(Contents("moved/b.txt"), "a");
  // A read-only file may move and stays read-only.
  Make("ro.txt", "ro");
  ASSERT_TRUE(platform::SetFileAttributesA(Path("ro.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(move("ro.txt", "ro2.txt", 0), 0u);
  EXPECT_TRUE(Attributes("ro2.txt") & FILE_ATTRIBUTE_READONLY);
#ifndef _WIN32
  // Windows refuses to replace a read-only file (Wine replaces it).
  Make("c.txt", "c");
  EXPECT_EQ(move("c.txt", "ro2.txt", MOVEFILE_REPLACE_EXISTING), 5u);
  EXPECT_EQ(Contents("ro2.txt"), "ro");
#endif
}

TEST_F(FileNameTest, FoldersAreMadeAndRemovedOneAtATime) {
  Make("f.txt");
  auto make = [&](const char* name) {
    return ErrorOf([&] { return platform::CreateDirectoryA(Path(name).c_str(), nullptr); });
  };
  auto remove = [&](const char* name) { return ErrorOf([&] { return platform::RemoveDirectoryA(Path(name).c_str()); }); };
  EXPECT_EQ(make("sub"), 0u);
  EXPECT_EQ(make("sub"), 183u);
  EXPECT_EQ(make("f.txt"), 183u);
  EXPECT_EQ(make("absent\\sub"), 3u);
  EXPECT_EQ(make("sub\\inner"), 0u);
  EXPECT_EQ(remove("sub"), 145u);
  EXPECT_EQ(remove("f.txt"), 267u);
  EXPECT_EQ(remove("absent"), 2u);
  EXPECT_EQ(remove("sub\\inner"), 0u);
  EXPECT_EQ(remove("sub"), 0u);
  EXPECT_FALSE(Exists("sub"));
}

TEST_F(FileNameTest, AttributesTellFoldersReadOnlyAndHiddenFiles) {
  Make("f.txt", "x");
  Make(".hidden", "x");
  ASSERT_TRUE(platform::CreateDirectoryA(Path("sub").c_str(), nullptr));
  EXPECT_EQ(Attributes("sub") & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
            FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(Attributes("sub\\") & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(Attributes("f.txt") & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);
  EXPECT_TRUE(Attributes(".hidden") & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE(Attributes(".") & FILE_ATTRIBUTE_HIDDEN);

  ASSERT_TRUE(platform::SetFileAttributesA(Path("f.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(Attributes("f.txt") & FILE_ATTRIBUTE_READONLY);
  WideString wide = WidenAscii(Path("f.txt").c_str());
  EXPECT_TRUE(platform::GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(platform::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_FALSE(Attributes("f.txt") & FILE_ATTRIBUTE_READONLY);

  EXPECT_EQ(Attributes("absent.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(platform::GetLastError(), 2u);
  EXPECT_EQ(Attributes("f.txt\\"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(platform::GetLastError(), 3u);
  EXPECT_EQ(platform::GetFileAttributesA(""), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(platform::GetLastError(), 3u);
  EXPECT_FALSE(platform::SetFileAttributesA(Path("absent.txt").c_str(), 0));
  EXPECT_EQ(platform::GetLastError(), 2u);
}

TEST_F(FileNameTest, NamesEndingInPeriodsAndBlanksLoseThem) {
  EXPECT_EQ(OpenError("name. ", GENERIC_WRITE, 0, CREATE_NEW), 0u);
  EXPECT_TRUE(Exists("name"));
  EXPECT_TRUE(platform::DeleteFileA(Path("name..").c_str()));
  EXPECT_FALSE(Exists("name"));
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

TEST_F(CurrentDirectoryTest, RelativeNamesFollowTheCurrentDirectory) {
  Make("f.txt", "here");
  ASSERT_TRUE(platform::SetCurrentDirectoryA(dir_.Narrow().c_str()));
  HANDLE file = platform::CreateFileA("f.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ReadAll(file), "here");
  platform::CloseHandle(file);
  // The size asked for counts the terminator; a buffer too small is left alone.
  std::string current = Current();
  char small[4] = "abc";
  EXPECT_EQ(platform::GetCurrentDirectoryA(sizeof small, small), current.size() + 1);
  EXPECT_STREQ(small, "abc");
  EXPECT_EQ(platform::GetCurrentDirectoryA(0, nullptr), current.size() + 1);

  EXPECT_EQ(ErrorOf([] { return platform::SetCurrentDirectoryA("absent"); }), 2u);
  EXPECT_EQ(ErrorOf([] { return platform::SetCurrentDirectoryA("absent\\sub"); }), 3u);
  EXPECT_EQ(ErrorOf([] { return platform::SetCurrentDirectoryA("f.txt"); }), 267u);
  EXPECT_EQ(Current(), current);
}

TEST_F(CurrentDirectoryTest, CurrentDriveNamesTheCurrentDirectory) {
  ASSERT_TRUE(platform::SetCurrentDirectoryA(dir_.Narrow().c_str()));
  std::string here = Current();
  int drive = platform::_getdrive();
  ASSERT_GE(drive, 1);
  const char relative[] = {static_cast<char>('A' + drive - 1), ':', '.', '\0'};
  EXPECT_TRUE(platform::SetCurrentDirectoryA(relative));
  EXPECT_EQ(Current(), here);
  EXPECT_EQ(platform::_chdrive(drive), 0);
  EXPECT_EQ(Current(), here);
  EXPECT_EQ(platform::_getdrive(), drive);
  EXPECT_EQ(platform::_chdrive(17), -1);  // Q: is no drive on either system
  EXPECT_EQ(platform::_getdrive(), drive);
  EXPECT_EQ(Current(), here);
}

}  // namespace
