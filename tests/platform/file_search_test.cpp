#include <cstdlib>
#include <ctime>
#include <initializer_list>
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
  Names Find(const std::string& pattern, bool inFolder = true) {
    WIN32_FIND_DATAA found;
    HANDLE search = platform::FindFirstFileA((inFolder ? Path(pattern) : pattern).c_str(), &found);
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
  const Names txt = {"abc.txt", "Mixed.TXT"};
  const std::pair<const char*, Names> searches[] = {
      {"*", all}, {"*.*", all},  // names without a dot too
      {"?*", all}, {"*.TXT", txt}, {"*.t?t", txt}, {"a?c", {"abc"}}, {"abc.t??", {"abc.txt"}},
      {"abc.*", {"abc", "abc.txt", "abc.txt.bak"}},  // ".*" also matches no extension
      {"A*", {"a.b", "ab", "abc", "abc.txt", "abc.txt.bak", "abcd"}}, {"*.bak", {"abc.txt.bak"}},
      {"abc*txt", {"abc.txt"}}, {"*x*", {"abc.txt", "abc.txt.bak", "x y.dat", "Mixed.TXT"}},
      {"*.none", {"error 2"}}, {"abc.txt", {"abc.txt"}}, {"abc.", {"abc"}},  // a final period goes
      {"absent\\*", {"error 3"}}, {"", {"error 2"}},  // the folder itself, ending in a separator
#ifndef _WIN32
      // The DOS rules Windows applies, which Wine's matcher leaves out: "?"
      // may match nothing at the end of a name or before its dot, a final
      // "*." takes names without a dot, and ".?" matches a missing extension.
      {"a??", {"ab", "abc"}}, {"????", {"ab", "abc", "abcd"}}, {"*.", {"ab", "abc", "abcd"}},
      {"a*.", {"ab", "abc", "abcd"}}, {"abc.?", {"abc"}}, {"abc.???", {"abc", "abc.txt"}}, {"*?", all},
#endif
  };
  for (const auto& [pattern, names] : searches) EXPECT_EQ(Find(pattern), names) << pattern;
  WIN32_FIND_DATAA found;
  EXPECT_EQ(platform::FindFirstFileA("Z:\\", &found), INVALID_HANDLE_VALUE);  // a root finds nothing
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  const Names rootNames = Find("Z:\\*", false);  // and lists no dot entries
  EXPECT_EQ(rootNames.count(".") + rootNames.count(".."), 0u);
  EXPECT_NE(rootNames.begin()->substr(0, 6), "error ");
}

TEST_F(FileSearchTest, EntriesTellAttributesSizesAndTimes) {
  Make("five.txt", "12345");
  Make(".hidden", "");
  MakeFolder("sub");
  ASSERT_TRUE(platform::SetFileAttributesA(Path("abc").c_str(), FILE_ATTRIBUTE_READONLY));
  const DWORD kTold = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
  WIN32_FIND_DATAA five = FindOne("five.txt");
  EXPECT_EQ(five.dwFileAttributes & kTold, 0u);
  EXPECT_EQ(five.nFileSizeLow, 5u);
  EXPECT_EQ(FindOne("sub").dwFileAttributes & kTold, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(FindOne("abc").dwFileAttributes & kTold, FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(FindOne(".h*").dwFileAttributes & kTold, FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(Find("sub\\*"), (Names{".", ".."}));
  EXPECT_EQ(FindOne("sub\\.*").dwFileAttributes & kTold, FILE_ATTRIBUTE_DIRECTORY);
  // The write time is the one the file's handle reports, and it is now.
  ScopedHandle file(Open("five.txt", GENERIC_READ, FILE_SHARE_READ));
  BY_HANDLE_FILE_INFORMATION information;
  ASSERT_TRUE(platform::GetFileInformationByHandle(file.get(), &information));
  EXPECT_EQ(five.ftLastWriteTime.dwLowDateTime, information.ftLastWriteTime.dwLowDateTime);
  uint64_t ticks = (static_cast<uint64_t>(five.ftLastWriteTime.dwHighDateTime) << 32) |
                   five.ftLastWriteTime.dwLowDateTime;
  EXPECT_LT(std::llabs(static_cast<int64_t>(ticks / 10000000) - 11644473600LL - std::time(nullptr)), 120);
}

const FILEOP_FLAGS kQuiet = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI | FOF_NOCONFIRMMKDIR;

class ShellFileTest : public FileTest {
 protected:
  void SetUp() override {
    Make("a.txt", "a");
    Make("b.txt", "b");
    MakeFolder("sub");
    MakeFolder("sub\\inner");
    Make("sub/c.txt", "c");
    Make("sub/inner/d.txt", "d");
  }
  // Paths in the test folder as a list: each ended by a zero, the list by one more.
  std::string List(std::initializer_list<std::string> names) const {
    std::string list;
    for (const std::string& name : names) list += Path(name) + '\0';
    return list + '\0';
  }
  int Operate(UINT function, const std::string& from, const std::string& to, FILEOP_FLAGS flags = kQuiet) {
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = function;
    operation.pFrom = from.c_str();
    operation.pTo = to.empty() ? nullptr : to.c_str();
    operation.fFlags = flags;
    operation.fAnyOperationsAborted = TRUE;
    int result = platform::SHFileOperationA(&operation);
    EXPECT_FALSE(operation.fAnyOperationsAborted);
    return result;
  }
};

TEST_F(ShellFileTest, DeleteTakesFilesWholeFoldersAndWhatAWildcardMatches) {
  ASSERT_TRUE(platform::SetFileAttributesA(Path("sub\\c.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(Operate(FO_DELETE, List({"a.txt", "sub"}), ""), 0);
  EXPECT_FALSE(Exists("a.txt") || Exists("sub"));
  EXPECT_NE(Operate(FO_DELETE, List({"absent.txt"}), ""), 0);
  Make("one.tmp");
  MakeFolder("dir.tmp");
  EXPECT_EQ(Operate(FO_DELETE, List({"*.TMP"}), "", kQuiet | FOF_FILESONLY), 0);
  EXPECT_FALSE(Exists("one.tmp"));
  EXPECT_TRUE(Exists("dir.tmp"));  // only files, as asked
  ScopedHandle held(Open("b.txt", GENERIC_READ, FILE_SHARE_READ));
  EXPECT_NE(Operate(FO_DELETE, List({"b.txt"}), ""), 0);
  EXPECT_EQ(Contents("b.txt"), "b");
}

TEST_F(ShellFileTest, CopyGoesIntoAFolderOrToNewNames) {
  MakeFolder("dest");
  EXPECT_EQ(Operate(FO_COPY, List({"a.txt"}), List({"dest"})), 0);
  EXPECT_EQ(Contents("dest/a.txt"), "a");
  EXPECT_EQ(Operate(FO_COPY, List({"sub"}), List({"copy"})), 0);
  EXPECT_EQ(Contents("copy/inner/d.txt"), "d");
  EXPECT_EQ(Contents("sub/inner/d.txt"), "d");
  EXPECT_EQ(Operate(FO_COPY, List({"b.txt"}), List({"dest\\a.txt"})), 0);  // replaces
  EXPECT_EQ(Contents("dest/a.txt"), "b");
  EXPECT_EQ(Operate(FO_COPY, List({"a.txt", "b.txt"}), List({"x.txt", "y.txt"}), kQuiet | FOF_MULTIDESTFILES), 0);
  EXPECT_EQ(Contents("x.txt") + Contents("y.txt"), "ab");
}

TEST_F(ShellFileTest, MoveAndRenameTakeFilesAndFolders) {
  MakeFolder("moved");
  EXPECT_EQ(Operate(FO_MOVE, List({"a.txt", "sub"}), List({"moved"})), 0);
  EXPECT_EQ(Contents("moved/a.txt"), "a");
  EXPECT_EQ(Contents("moved/sub/inner/d.txt"), "d");
  EXPECT_FALSE(Exists("sub"));
  EXPECT_EQ(Operate(FO_RENAME, List({"b.txt"}), List({"renamed.txt"})), 0);
  EXPECT_EQ(Contents("renamed.txt"), "b");
  EXPECT_FALSE(Exists("b.txt"));
  EXPECT_NE(Operate(FO_RENAME, List({"absent.txt"}), List({"other.txt"})), 0);
}

}  // namespace
