// The directory search: Windows wildcards, "." and "..", what each entry
// tells, and the runtime's search over the same machinery.

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <set>
#include <string>

#include "file_fixture.h"

namespace {

using Names = std::set<std::string>;

class FileSearchTest : public FileTest {
 protected:
  void SetUp() override {
    for (const char* name : {"abc", "abc.txt", "abc.txt.bak", "a.b", "x y.dat", "abcd", "ab", "Mixed.TXT"}) Make(name);
  }

  // Every name a search for `pattern` in the test folder yields; the error
  // when it yields none.
  Names Find(const std::string& pattern) {
    WIN32_FIND_DATAA found;
    HANDLE search = platform::FindFirstFileA(Path(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return {"error " + std::to_string(platform::GetLastError())};
    Names names;
    do {
      names.insert(found.cFileName);
    } while (platform::FindNextFileA(search, &found));
    EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(platform::FindClose(search));
    return names;
  }

  WIN32_FIND_DATAA FindOne(const std::string& pattern) {
    WIN32_FIND_DATAA found = {};
    HANDLE search = platform::FindFirstFileA(Path(pattern).c_str(), &found);
    EXPECT_NE(search, INVALID_HANDLE_VALUE) << pattern;
    if (search != INVALID_HANDLE_VALUE) platform::FindClose(search);
    return found;
  }
};

TEST_F(FileSearchTest, WildcardsMatchWithoutRegardToCase) {
  const Names all = {".", "..", "abc", "abc.txt", "abc.txt.bak", "a.b", "x y.dat", "abcd", "ab", "Mixed.TXT"};
  EXPECT_EQ(Find("*"), all);
  EXPECT_EQ(Find("*.*"), all);  // names without a dot too
  EXPECT_EQ(Find("?*"), all);
  EXPECT_EQ(Find("*.txt"), (Names{"abc.txt", "Mixed.TXT"}));
  EXPECT_EQ(Find("*.TXT"), (Names{"abc.txt", "Mixed.TXT"}));
  EXPECT_EQ(Find("*.t?t"), (Names{"abc.txt", "Mixed.TXT"}));
  EXPECT_EQ(Find("a?c"), (Names{"abc"}));
  EXPECT_EQ(Find("a?"), (Names{"ab"}));
  EXPECT_EQ(Find("abc.t??"), (Names{"abc.txt"}));
  EXPECT_EQ(Find("abc.*"), (Names{"abc", "abc.txt", "abc.txt.bak"}));  // ".*" also matches no extension
  EXPECT_EQ(Find("A*"), (Names{"a.b", "ab", "abc", "abc.txt", "abc.txt.bak", "abcd"}));
  EXPECT_EQ(Find("*c"), (Names{"abc"}));
  EXPECT_EQ(Find("*.bak"), (Names{"abc.txt.bak"}));
  EXPECT_EQ(Find("abc*txt"), (Names{"abc.txt"}));
  EXPECT_EQ(Find("*x*"), (Names{"abc.txt", "abc.txt.bak", "x y.dat", "Mixed.TXT"}));
  EXPECT_EQ(Find("*.none"), (Names{"error 2"}));
}

#ifndef _WIN32
// The DOS rules Windows applies, which Wine's matcher leaves out: "?" may
// match nothing at the end of a name or before its dot, a final "*." takes
// names without a dot, and ".?" matches a missing extension.
TEST_F(FileSearchTest, QuestionMarksAndFinalDotsFollowTheDosRules) {
  EXPECT_EQ(Find("a??"), (Names{"ab", "abc"}));
  EXPECT_EQ(Find("????"), (Names{"ab", "abc", "abcd"}));
  EXPECT_EQ(Find("*."), (Names{"ab", "abc", "abcd"}));
  EXPECT_EQ(Find("a*."), (Names{"ab", "abc", "abcd"}));
  EXPECT_EQ(Find("abc.?"), (Names{"abc"}));
  EXPECT_EQ(Find("abc.???"), (Names{"abc", "abc.txt"}));
  EXPECT_EQ(Find("*?"), Find("*"));
}
#endif

TEST_F(FileSearchTest, ExactNamesAndWhatFindsNothing) {
  EXPECT_EQ(Find("abc.txt"), (Names{"abc.txt"}));
  EXPECT_EQ(Find("abc."), (Names{"abc"}));  // a final period goes, as in every name
  EXPECT_EQ(Find("absent.txt"), (Names{"error 2"}));
  EXPECT_EQ(Find("absent\\*"), (Names{"error 3"}));
  EXPECT_EQ(Find("absent\\x.txt"), (Names{"error 3"}));
  EXPECT_EQ(Find(""), (Names{"error 2"}));  // the folder itself, ending in a separator
  WIN32_FIND_DATAA found;
  EXPECT_EQ(platform::FindFirstFileA("Z:\\", &found), INVALID_HANDLE_VALUE);  // a root finds nothing
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(platform::FindFirstFileA("", &found), INVALID_HANDLE_VALUE);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(FileSearchTest, RootsHaveNoDotEntries) {
  WIN32_FIND_DATAA found;
  HANDLE search = platform::FindFirstFileA("Z:\\*", &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  Names names;
  do {
    names.insert(found.cFileName);
  } while (platform::FindNextFileA(search, &found));
  platform::FindClose(search);
  EXPECT_FALSE(names.empty());
  EXPECT_EQ(names.count("."), 0u);
  EXPECT_EQ(names.count(".."), 0u);
}

TEST_F(FileSearchTest, EntriesTellAttributesSizesAndTimes) {
  Make("five.txt", "12345");
  Make(".hidden", "");
  ASSERT_TRUE(platform::CreateDirectoryA(Path("sub").c_str(), nullptr));
  ASSERT_TRUE(platform::SetFileAttributesA(Path("abc").c_str(), FILE_ATTRIBUTE_READONLY));
  const DWORD kTold = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;

  WIN32_FIND_DATAA five = FindOne("five.txt");
  EXPECT_EQ(five.dwFileAttributes & kTold, 0u);
  EXPECT_EQ(five.nFileSizeLow, 5u);
  EXPECT_EQ(five.nFileSizeHigh, 0u);
  EXPECT_EQ(FindOne("sub").dwFileAttributes & kTold, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(FindOne("abc").dwFileAttributes & kTold, FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(FindOne(".h*").dwFileAttributes & kTold, FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(Find("sub\\*"), (Names{".", ".."}));
  EXPECT_EQ(FindOne("sub\\.*").dwFileAttributes & kTold, FILE_ATTRIBUTE_DIRECTORY);

  // The write time is the one the file's handle reports, and it is now.
  HANDLE file = Open("five.txt", GENERIC_READ, FILE_SHARE_READ);
  BY_HANDLE_FILE_INFORMATION information;
  ASSERT_TRUE(platform::GetFileInformationByHandle(file, &information));
  platform::CloseHandle(file);
  EXPECT_EQ(five.ftLastWriteTime.dwLowDateTime, information.ftLastWriteTime.dwLowDateTime);
  EXPECT_EQ(five.ftLastWriteTime.dwHighDateTime, information.ftLastWriteTime.dwHighDateTime);
  uint64_t ticks = (static_cast<uint64_t>(five.ftLastWriteTime.dwHighDateTime) << 32) |
                   five.ftLastWriteTime.dwLowDateTime;
  int64_t seconds = static_cast<int64_t>(ticks / 10000000) - 11644473600LL;
  EXPECT_LT(std::llabs(seconds - static_cast<int64_t>(std::time(nullptr))), 120);
  EXPECT_NE(five.ftCreationTime.dwHighDateTime, 0u);
  EXPECT_NE(five.ftLastAccessTime.dwHighDateTime, 0u);
}

TEST_F(FileSearchTest, WideSearchFindsWideNames) {
  WideString folder = WidenAscii(dir_.Narrow().c_str());
  WideString name = OV_WIDE("\u00e9t\u00e9.txt");
  HANDLE file = platform::CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  platform::CloseHandle(file);
  WIN32_FIND_DATAW found;
  HANDLE search = platform::FindFirstFileW((folder + OV_WIDE("*T\u00c9.TXT")).c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_EQ(WideString(found.cFileName), name);
  EXPECT_FALSE(platform::FindNextFileW(search, &found));
  platform::FindClose(search);
}

TEST_F(FileSearchTest, RuntimeSearchWalksTheSameEntries) {
  Make("five.txt", "12345");
  struct _finddata64i32_t found;
  intptr_t search = platform::_findfirst64i32(Path("f*.txt").c_str(), &found);
  ASSERT_NE(search, -1);
  EXPECT_STREQ(found.name, "five.txt");
  EXPECT_EQ(found.size, 5u);
  EXPECT_EQ(found.attrib & (_A_SUBDIR | _A_HIDDEN | _A_RDONLY), 0u);
  EXPECT_LT(std::llabs(found.time_write - static_cast<int64_t>(std::time(nullptr))), 120);
  errno = 0;
  EXPECT_EQ(platform::_findnext64i32(search, &found), -1);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_EQ(platform::_findclose(search), 0);

  errno = 0;
  EXPECT_EQ(platform::_findfirst64i32(Path("*.none").c_str(), &found), -1);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_EQ(platform::_findfirst64i32(Path("absent\\*").c_str(), &found), -1);
  EXPECT_EQ(errno, ENOENT);

  search = platform::_findfirst64i32(Path("*").c_str(), &found);
  ASSERT_NE(search, -1);
  Names names, folders;
  do {
    names.insert(found.name);
    if (found.attrib & _A_SUBDIR) folders.insert(found.name);
  } while (platform::_findnext64i32(search, &found) == 0);
  platform::_findclose(search);
  EXPECT_EQ(names, (Names{".", "..", "abc", "abc.txt", "abc.txt.bak", "a.b", "x y.dat", "abcd", "ab", "Mixed.TXT",
                          "five.txt"}));
  EXPECT_EQ(folders, (Names{".", ".."}));
}

}  // namespace
