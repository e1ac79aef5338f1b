#include <gtest/gtest.h>

#include <string>

#include "files/paths.h"
#include "ovpb32.h"
#include "platform/files.h"
#include "support/test_support.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;
using testing_support::ToUtf8;

TEST(LongPathForm, StartsAtMaxPathCharacters) {
  const std::string drive259 = "C:\\" + std::string(256, 'x'), drive260 = drive259 + "y";
  const std::string unc260 = "\\\\server\\share\\" + std::string(245, 'x');
  const std::string prefixed = "\\\\?\\C:\\" + std::string(293, 'x');
  const std::pair<std::string, std::string> forms[] = {
      {drive259, "(none)"}, {drive260, "\\\\?\\" + drive260}, {unc260, "\\\\?\\UNC" + unc260.substr(1)}, {prefixed, prefixed}};
  for (const auto& [path, form] : forms) {
    std::unique_ptr<char[]> narrow = files::LongPathForm(path.c_str());
    EXPECT_EQ(narrow ? std::string(narrow.get()) : "(none)", form);
    std::unique_ptr<WCHAR[]> wide = files::LongPathForm(WidenAscii(path.c_str()).c_str());
    EXPECT_EQ(wide ? ToUtf8(wide.get()) : "(none)", form);
  }
  EXPECT_EQ(MakeLongPathStub(OV_WIDE("C:\\f.txt")), OV_WIDE("C:\\f.txt"));
  EXPECT_EQ(MakeLongPathStub(WidenAscii(unc260.c_str()).c_str()), OV_WIDE("\\\\?\\UNC") + WidenAscii(unc260.c_str() + 1));
  EXPECT_EQ(MakeLongPathStub(nullptr), WideString());
}

TEST(LongPathForm, LongPathsReachTheFileSystem) {
  testing_support::TempDir dir;
  std::string path = dir.path().string();
  while (path.size() < 300) {
    path += static_cast<char>(fs::path::preferred_separator) + std::string(40, 'd');
#ifdef _WIN32
    ::CreateDirectoryW((L"\\\\?\\" + fs::path(path).wstring()).c_str(), nullptr);
#else
    fs::create_directory(path);
#endif
  }
  const WideString wide = WidenAscii((path + "\\long.txt").c_str());
  HANDLE created = OVCreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(created, INVALID_HANDLE_VALUE);
  platform::CloseHandle(created);
  EXPECT_EQ(file_exist_actualw(wide.c_str()), 1);
  EXPECT_NE(ChangeFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY, 0), 0);
  EXPECT_NE(OVGetFileAttributes(wide.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_NE(ChangeFileAttributesW(wide.c_str(), 0, FILE_ATTRIBUTE_READONLY), 0);
}

TEST(Attributes, ChangeSetsAndClearsBitsAndReadsTellDirectoriesFromFiles) {
  testing_support::TempDir dir;
  const std::string file = (dir / "file.txt").string(), missing = (dir / "missing").string();
  const WideString wideFile = WidenAscii(file.c_str());
  testing_support::WriteTextFile(file, "content");
  auto readOnly = [&] { return platform::GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_READONLY; };
  EXPECT_NE(ChangeFileAttributes(file.c_str(), FILE_ATTRIBUTE_READONLY, 0), 0);
  EXPECT_NE(readOnly(), 0u);
  // A bit both set and cleared ends up cleared.
  EXPECT_NE(ChangeFileAttributesW(wideFile.c_str(), FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY), 0);
  EXPECT_EQ(readOnly(), 0u);
  EXPECT_EQ(ChangeFileAttributes(missing.c_str(), FILE_ATTRIBUTE_READONLY, 0), 0);
  EXPECT_NE(OVGetFileAttributes(WidenAscii(dir.path().string().c_str()).c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(OVGetFileAttributes(wideFile.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(OVGetFileAttributes(WidenAscii(missing.c_str()).c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(OVGetFileAttributes(nullptr), INVALID_FILE_ATTRIBUTES);
}

TEST(TrailingPeriods, RemovedWithTheSpacesAroundThemAndFoundInAnyComponent) {
  const std::pair<const char*, const char*> names[] = {
      {"  report. . ", "report"}, {"...", ""}, {"a.b c", "a.b c"}, {"name\t.\r", "name"}, {"  .hidden", ".hidden"}};
  for (const auto& [name, cleaned] : names) {
    char out[64];
    RemoveTrailingSpacesAndPeriods(name, out);
    EXPECT_STREQ(out, cleaned) << name;
  }
  char inPlace[] = "  dir . ";
  RemoveTrailingSpacesAndPeriods(inPlace, inPlace);
  EXPECT_STREQ(inPlace, "dir");
  for (const char* path : {"C:\\dir.\\file.txt", "C:\\dir\\file.", "C:\\dir...\\file", "  C:\\dir.  "}) {
    EXPECT_EQ(DoesAnyFolderHaveTrailingPeriods(path), 1) << path;
  }
  for (const char* path : {"C:\\dir\\..\\file.txt", ".\\file", "..\\.", "C:\\dir\\file.txt", "\\\\server\\share\\", "   "}) {
    EXPECT_EQ(DoesAnyFolderHaveTrailingPeriods(path), 0) << path;
  }
}

TEST(Handles, ADuplicateIsRewoundAndSharesThePosition) {
  testing_support::TempDir dir;
  testing_support::WriteTextFile(dir / "data.bin", "0123456789");
  HANDLE file = platform::CreateFileA((dir / "data.bin").string().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_EQ(platform::SetFilePointer(file, 6, nullptr, FILE_BEGIN), 6u);
  HANDLE copy = OVDuplFileHandle(file);
  ASSERT_NE(copy, file);
  auto read3 = [](HANDLE from) {
    char bytes[4] = {};
    DWORD read = 0;
    platform::ReadFile(from, bytes, 3, &read, nullptr);
    return std::string(bytes, read);
  };
  EXPECT_EQ(read3(copy), "012");
  EXPECT_EQ(read3(file), "345");
  EXPECT_TRUE(platform::CloseHandle(file));
  EXPECT_EQ(read3(copy), "678");  // the copy outlives the first handle
  EXPECT_TRUE(platform::CloseHandle(copy));
  EXPECT_EQ(OVDuplFileHandle(INVALID_HANDLE_VALUE), INVALID_HANDLE_VALUE);
}

}  // namespace
