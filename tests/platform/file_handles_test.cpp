// File handles: dispositions, Windows error codes, reading, writing and the
// file pointer, duplicates, handle information and the old HFILE functions.

#include <cstring>
#include <string>

#include "file_fixture.h"

namespace {

const DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;
const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

using FileHandleTest = FileTest;

TEST_F(FileHandleTest, DispositionsCreateOpenAndEmptyAsWindowsDoes) {
  EXPECT_EQ(OpenError("new.txt", GENERIC_WRITE, 0, CREATE_NEW), 0u);
  EXPECT_TRUE(Exists("new.txt"));
  EXPECT_EQ(OpenError("new.txt", GENERIC_WRITE, 0, CREATE_NEW), static_cast<DWORD>(ERROR_FILE_EXISTS));
  EXPECT_EQ(OpenError("absent.txt", GENERIC_READ, 0, OPEN_EXISTING), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(OpenError("absent\\x.txt", GENERIC_READ, 0, OPEN_EXISTING), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(OpenError("absent\\x.txt", GENERIC_WRITE, 0, CREATE_ALWAYS), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(OpenError("new.txt", GENERIC_READ, 0, 9), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  // OPEN_ALWAYS and CREATE_ALWAYS tell through the last error whether the
  // file was there; CREATE_ALWAYS and TRUNCATE_EXISTING empty it.
  Make("full.txt", "content");
  EXPECT_EQ(OpenError("full.txt", GENERIC_READ, 0, OPEN_ALWAYS), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(Contents("full.txt"), "content");
  EXPECT_EQ(OpenError("fresh.txt", GENERIC_READ, 0, OPEN_ALWAYS), 0u);
  EXPECT_EQ(OpenError("full.txt", GENERIC_WRITE, 0, CREATE_ALWAYS), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(Contents("full.txt"), "");
  Make("full.txt", "content");
  EXPECT_EQ(OpenError("full.txt", GENERIC_WRITE, 0, TRUNCATE_EXISTING), 0u);
  EXPECT_EQ(Contents("full.txt"), "");
}

TEST_F(FileHandleTest, NamesAreReadTheWindowsWay) {
  Make("f.txt", "data");
  EXPECT_EQ(OpenError("f.txt\\", GENERIC_READ, kShareAll), static_cast<DWORD>(ERROR_INVALID_NAME));
  EXPECT_EQ(OpenError("f.txt\\x", GENERIC_READ, kShareAll), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(OpenError("a*b", GENERIC_READ, kShareAll, OPEN_ALWAYS), static_cast<DWORD>(ERROR_INVALID_NAME));
  EXPECT_EQ(OpenError("a<b", GENERIC_READ, kShareAll, OPEN_ALWAYS), static_cast<DWORD>(ERROR_INVALID_NAME));
  platform::SetLastError(0);
  EXPECT_EQ(platform::CreateFileA("", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  // Trailing periods and blanks go, ".." folds by the text even through a
  // folder that is not there, and "/" separates like "\".
  EXPECT_EQ(OpenError("f.txt.", GENERIC_READ, kShareAll), 0u);
  EXPECT_EQ(OpenError("f.txt . ", GENERIC_READ, kShareAll), 0u);
  EXPECT_EQ(OpenError("absent\\..\\f.txt", GENERIC_READ, kShareAll), 0u);
  EXPECT_EQ(OpenError(".\\absent/../f.txt", GENERIC_READ, kShareAll), 0u);
}

TEST_F(FileHandleTest, FoldersOpenOnlyWithBackupSemantics) {
  ASSERT_TRUE(platform::CreateDirectoryA(Path("sub").c_str(), nullptr));
  EXPECT_EQ(OpenError("sub", GENERIC_READ, kShareAll), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(OpenError("sub", GENERIC_WRITE, kShareAll, CREATE_ALWAYS), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(OpenError("sub", GENERIC_READ, kShareAll, CREATE_NEW), static_cast<DWORD>(ERROR_FILE_EXISTS));
  ScopedHandle folder(Open("sub", GENERIC_READ, kShareAll, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS));
  ASSERT_TRUE(folder.valid()) << platform::GetLastError();
  BY_HANDLE_FILE_INFORMATION information;
  ASSERT_TRUE(platform::GetFileInformationByHandle(folder.get(), &information));
  EXPECT_TRUE(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(FileHandleTest, ReadsAndWritesFollowTheFilePointer) {
  ScopedHandle file(Open("data.bin", kReadWrite, 0, CREATE_NEW));
  ASSERT_TRUE(file.valid());
  ASSERT_TRUE(Write(file.get(), "0123456789"));
  EXPECT_EQ(platform::SetFilePointer(file.get(), 3, nullptr, FILE_BEGIN), 3u);
  EXPECT_EQ(ReadAll(file.get()), "3456789");
  EXPECT_EQ(ReadAll(file.get()), "");  // at the end a read succeeds with nothing
  EXPECT_EQ(platform::SetFilePointer(file.get(), -4, nullptr, FILE_END), 6u);
  EXPECT_EQ(platform::SetFilePointer(file.get(), -2, nullptr, FILE_CURRENT), 4u);
  EXPECT_EQ(ReadAll(file.get()), "456789");

  // A move before the start fails and leaves the pointer where it was.
  EXPECT_EQ(platform::SetFilePointer(file.get(), 2, nullptr, FILE_BEGIN), 2u);
  EXPECT_EQ(platform::SetFilePointer(file.get(), -10, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
  EXPECT_EQ(platform::SetFilePointer(file.get(), 0, nullptr, FILE_CURRENT), 2u);
  EXPECT_EQ(platform::SetFilePointer(file.get(), 0, nullptr, 7), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  // SetEndOfFile cuts at the pointer.
  EXPECT_TRUE(platform::SetEndOfFile(file.get()));
  LARGE_INTEGER size;
  ASSERT_TRUE(platform::GetFileSizeEx(file.get(), &size));
  EXPECT_EQ(size.QuadPart, 2);
  EXPECT_TRUE(platform::FlushFileBuffers(file.get()));
  file.Close();
  EXPECT_EQ(Contents("data.bin"), "01");
}

TEST_F(FileHandleTest, LargeFilesUseTheHighHalfOfPositionsAndSizes) {
  ScopedHandle file(Open("big.bin", kReadWrite, 0, CREATE_NEW));
  ASSERT_TRUE(file.valid());
  LONG high = 1;  // 4 GiB + 16
  ASSERT_EQ(platform::SetFilePointer(file.get(), 16, &high, FILE_BEGIN), 16u);
  EXPECT_EQ(high, 1);
  ASSERT_TRUE(platform::SetEndOfFile(file.get()));
  LARGE_INTEGER size;
  ASSERT_TRUE(platform::GetFileSizeEx(file.get(), &size));
  EXPECT_EQ(size.QuadPart, (1LL << 32) + 16);
  high = -1;  // 16 bytes back from the end, as one 64-bit distance
  EXPECT_EQ(platform::SetFilePointer(file.get(), -16, &high, FILE_END), 0u);
  EXPECT_EQ(high, 1);
  BY_HANDLE_FILE_INFORMATION information;
  ASSERT_TRUE(platform::GetFileInformationByHandle(file.get(), &information));
  EXPECT_EQ(information.nFileSizeHigh, 1u);
  EXPECT_EQ(information.nFileSizeLow, 16u);
}

TEST_F(FileHandleTest, HandlesOnlyDoWhatTheirAccessAllows) {
  Make("f.txt", "data");
  ScopedHandle reader(Open("f.txt", GENERIC_READ, kShareAll));
  ScopedHandle writer(Open("f.txt", GENERIC_WRITE, kShareAll));
  ASSERT_TRUE(reader.valid() && writer.valid());
  EXPECT_FALSE(Write(reader.get(), "x"));
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  char buffer[4];
  DWORD got = 99;
  EXPECT_FALSE(platform::ReadFile(writer.get(), buffer, sizeof buffer, &got, nullptr));
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(got, 0u);
  EXPECT_FALSE(platform::FlushFileBuffers(reader.get()));
  EXPECT_EQ(Contents("f.txt"), "data");
}

TEST_F(FileHandleTest, ClosedAndMadeUpHandlesAreInvalid) {
  Make("f.txt", "data");
  HANDLE file = Open("f.txt", GENERIC_READ, kShareAll);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(platform::CloseHandle(file));
  EXPECT_FALSE(platform::CloseHandle(file));
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(ReadAll(file), "<read failed>");
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(platform::CloseHandle(reinterpret_cast<HANDLE>(static_cast<intptr_t>(0x1234))));
  EXPECT_FALSE(platform::CloseHandle(nullptr));
  // The process pseudo-handle shares its value with INVALID_HANDLE_VALUE and
  // closes without effect.
  EXPECT_EQ(platform::GetCurrentProcess(), INVALID_HANDLE_VALUE);
  EXPECT_TRUE(platform::CloseHandle(INVALID_HANDLE_VALUE));
}

TEST_F(FileHandleTest, DuplicatesShareTheFileAndItsPointer) {
  Make("f.txt", "0123456789");
  ScopedHandle original(Open("f.txt", kReadWrite, 0));
  ASSERT_TRUE(original.valid());
  HANDLE self = platform::GetCurrentProcess();
  HANDLE same = INVALID_HANDLE_VALUE, readOnly = INVALID_HANDLE_VALUE;
  ASSERT_TRUE(platform::DuplicateHandle(self, original.get(), self, &same, 0, FALSE, DUPLICATE_SAME_ACCESS));
  ScopedHandle duplicate(same);
  ASSERT_TRUE(platform::DuplicateHandle(self, original.get(), self, &readOnly, GENERIC_READ, FALSE, 0));
  ScopedHandle reader(readOnly);

  EXPECT_EQ(platform::SetFilePointer(duplicate.get(), 6, nullptr, FILE_BEGIN), 6u);
  EXPECT_EQ(platform::SetFilePointer(original.get(), 0, nullptr, FILE_CURRENT), 6u);
  EXPECT_FALSE(Write(reader.get(), "x"));
  original.Close();
  EXPECT_EQ(ReadAll(reader.get()), "6789");
  EXPECT_TRUE(Write(duplicate.get(), "!"));

  HANDLE none = INVALID_HANDLE_VALUE;
  HANDLE madeUp = reinterpret_cast<HANDLE>(static_cast<intptr_t>(0x1234));
  EXPECT_FALSE(platform::DuplicateHandle(self, madeUp, self, &none, 0, FALSE, DUPLICATE_SAME_ACCESS));
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(FileHandleTest, DuplicateCanCloseItsSource) {
  Make("f.txt", "data");
  HANDLE source = Open("f.txt", GENERIC_READ, kShareAll);
  HANDLE self = platform::GetCurrentProcess();
  HANDLE target = INVALID_HANDLE_VALUE;
  ASSERT_TRUE(platform::DuplicateHandle(self, source, self, &target, 0, FALSE,
                                        DUPLICATE_SAME_ACCESS | DUPLICATE_CLOSE_SOURCE));
  ScopedHandle kept(target);
  EXPECT_EQ(ReadAll(kept.get()), "data");
  kept.Close();
  EXPECT_EQ(OpenError("f.txt", GENERIC_READ, 0), 0u);  // no handle is left on the file
}

TEST_F(FileHandleTest, InformationByHandleIdentifiesTheFile) {
  Make("a.txt", "12345");
  Make("b.txt", "");
  ScopedHandle first(Open("a.txt", GENERIC_READ, kShareAll));
  ScopedHandle second(Open("a.txt", 0, kShareAll));
  ScopedHandle other(Open("b.txt", GENERIC_READ, kShareAll));
  BY_HANDLE_FILE_INFORMATION a1, a2, b;
  ASSERT_TRUE(platform::GetFileInformationByHandle(first.get(), &a1));
  ASSERT_TRUE(platform::GetFileInformationByHandle(second.get(), &a2));
  ASSERT_TRUE(platform::GetFileInformationByHandle(other.get(), &b));
  EXPECT_EQ(a1.nFileSizeLow, 5u);
  EXPECT_EQ(a1.nNumberOfLinks, 1u);
  EXPECT_FALSE(a1.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(a1.nFileIndexLow, a2.nFileIndexLow);
  EXPECT_EQ(a1.nFileIndexHigh, a2.nFileIndexHigh);
  EXPECT_EQ(a1.dwVolumeSerialNumber, b.dwVolumeSerialNumber);
  EXPECT_TRUE(a1.nFileIndexLow != b.nFileIndexLow || a1.nFileIndexHigh != b.nFileIndexHigh);
}

TEST_F(FileHandleTest, WideNamesReachTheSameFiles) {
  WideString name = WidenAscii(dir_.Narrow().c_str()) + OV_WIDE("caf\u00e9.txt");
  HANDLE file = platform::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(Write(file, "wide"));
  platform::CloseHandle(file);
  EXPECT_EQ(testing_support::ReadTextFile(dir_.path() / testing_support::fs::u8path("caf\xC3\xA9.txt")), "wide");
  EXPECT_TRUE(platform::DeleteFileW(name.c_str()));
  EXPECT_FALSE(platform::DeleteFileW(name.c_str()));
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(FileHandleTest, OldStyleFileFunctionsReadAndSeek) {
  Make("f.txt", "0123456789");
  HFILE file = platform::_lopen(Path("f.txt").c_str(), OF_READ | OF_SHARE_DENY_WRITE);
  ASSERT_NE(file, HFILE_ERROR);
  EXPECT_EQ(OpenError("f.txt", GENERIC_WRITE, kShareAll), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  char buffer[8] = {};
  EXPECT_EQ(platform::_llseek(file, 4, FILE_BEGIN), 4);
  EXPECT_EQ(platform::_lread(file, buffer, 3), 3u);
  EXPECT_STREQ(buffer, "456");
  EXPECT_EQ(platform::_llseek(file, 0, FILE_CURRENT), 7);
  EXPECT_EQ(platform::_llseek(file, -5, FILE_BEGIN), HFILE_ERROR);
  EXPECT_EQ(platform::_lread(file, buffer, 8), 3u);
  EXPECT_EQ(platform::_lclose(file), 0);
  EXPECT_EQ(platform::_lclose(file), HFILE_ERROR);
  EXPECT_EQ(platform::_lopen(Path("absent.txt").c_str(), OF_READ), HFILE_ERROR);
}

SYSTEMTIME SystemTimeOf(uint64_t ticks) {
  FILETIME time = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME out;
  std::memset(&out, 0xEE, sizeof out);
  EXPECT_TRUE(platform::FileTimeToSystemTime(&time, &out));
  return out;
}

std::string Text(const SYSTEMTIME& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u day %u", t.wYear, t.wMonth, t.wDay, t.wHour,
                t.wMinute, t.wSecond, t.wMilliseconds, t.wDayOfWeek);
  return text;
}

TEST(FileTimeToSystemTimeTest, CountsHundredsOfNanosecondsFrom1601) {
  EXPECT_EQ(Text(SystemTimeOf(0)), "1601-01-01 00:00:00.000 day 1");
  EXPECT_EQ(Text(SystemTimeOf(116444736000000000ULL)), "1970-01-01 00:00:00.000 day 4");
  // 2000-02-29 12:34:56.789, a leap day in a century year.
  EXPECT_EQ(Text(SystemTimeOf(125963012967890000ULL)), "2000-02-29 12:34:56.789 day 2");
  EXPECT_EQ(Text(SystemTimeOf(0x7FFFFFFFFFFFFFFFULL)), "30828-09-14 02:48:05.477 day 4");
  FILETIME tooLate = {0xFFFFFFFF, 0xFFFFFFFF};
  SYSTEMTIME out;
  EXPECT_FALSE(platform::FileTimeToSystemTime(&tooLate, &out));
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace
