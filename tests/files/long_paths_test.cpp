// Long-path forms, attribute changes and reads, names ending in periods,
// rewound handle copies.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "files/paths.h"
#include "frame/config.h"
#include "frame/module.h"
#include "ovpb32.h"
#include "platform/files.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;
using testing_support::ToUtf8;

std::string NarrowForm(const std::string& path) {
  std::unique_ptr<char[]> form = files::LongPathForm(path.c_str());
  return form ? std::string(form.get()) : std::string("(none)");
}

std::string WideForm(const std::string& path) {
  WideString wide = WidenAscii(path.c_str());
  std::unique_ptr<WCHAR[]> form = files::LongPathForm(wide.c_str());
  return form ? ToUtf8(form.get()) : std::string("(none)");
}

TEST(LongPathForm, StartsAtMaxPathCharacters) {
  const std::string drive259 = "C:\\" + std::string(256, 'x');
  const std::string drive260 = drive259 + "y";
  const std::string unc260 = "\\\\server\\share\\" + std::string(245, 'x');
  const std::string prefixed300 = "\\\\?\\C:\\" + std::string(293, 'x');
  ASSERT_EQ(drive259.size(), 259u);
  ASSERT_EQ(unc260.size(), 260u);
  for (auto form : {NarrowForm, WideForm}) {
    EXPECT_EQ(form(drive259), "(none)");
    EXPECT_EQ(form(drive260), "\\\\?\\" + drive260);
    EXPECT_EQ(form(unc260), "\\\\?\\UNC" + unc260.substr(1));
    EXPECT_EQ(form(prefixed300), prefixed300);
  }
}

TEST(LongPathForm, MakeLongPathStubReturnsTheFormOrThePathItself) {
  WideString shortPath = OV_WIDE("C:\\dir\\file.txt");
  EXPECT_EQ(MakeLongPathStub(shortPath.c_str()), shortPath);
  WideString longPath = OV_WIDE("\\\\server\\share\\") + WideString(300, u'x');
  EXPECT_EQ(MakeLongPathStub(longPath.c_str()), OV_WIDE("\\\\?\\UNC") + longPath.substr(1));
  EXPECT_EQ(MakeLongPathStub(nullptr), WideString());
}

// The exported C++ symbol is reachable by the name the export list gives it.
TEST(LongPathForm, MakeLongPathStubIsExportedUnderItsMangledName) {
  testing_support::LoadedLibrary library(testing_support::LibraryFile());
  ASSERT_TRUE(library.loaded());
  using Stub = std::basic_string<WCHAR> (*)(const WCHAR*);
#ifdef _WIN32
  auto stub = library.Get<Stub>("_Z16MakeLongPathStubB5cxx11PKw");
#else
  auto stub = library.Get<Stub>("_Z16MakeLongPathStubB5cxx11PKDs");
#endif
  ASSERT_NE(stub, nullptr);
  EXPECT_EQ(stub(OV_WIDE("a\\b")), OV_WIDE("a\\b"));
}

class Attributes : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = (dir_ / "file.txt").string();
    testing_support::WriteTextFile(file_, "content");
    wideFile_ = WidenAscii(file_.c_str());
    fs::remove(ConfigFile());
    frame::ForgetConfigForTesting();
  }
  void TearDown() override {
    platform::SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove(ConfigFile());
    frame::ForgetConfigForTesting();
  }
  static fs::path ConfigFile() { return fs::path(frame::GetConfigFilePathA()); }

  TempDir dir_;
  std::string file_;
  WideString wideFile_;
};

TEST_F(Attributes, ChangeSetsAndClearsBitsOfAFileThatIsThere) {
  EXPECT_NE(ChangeFileAttributes(file_.c_str(), FILE_ATTRIBUTE_READONLY, 0), 0);
  EXPECT_NE(platform::GetFileAttributesA(file_.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  // A bit both set and cleared ends up cleared.
  EXPECT_NE(ChangeFileAttributesW(wideFile_.c_str(), FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY), 0);
  EXPECT_EQ(platform::GetFileAttributesA(file_.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  const std::string missing = (dir_ / "missing").string();
  EXPECT_EQ(ChangeFileAttributes(missing.c_str(), FILE_ATTRIBUTE_READONLY, 0), 0);
  EXPECT_EQ(ChangeFileAttributesW(WidenAscii(missing.c_str()).c_str(), 0, FILE_ATTRIBUTE_READONLY), 0);
}

TEST_F(Attributes, ReadThroughAHandleTellDirectoriesFromFiles) {
  DWORD directory = OVGetFileAttributes(WidenAscii(dir_.path().string().c_str()).c_str());
  ASSERT_NE(directory, INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(directory & FILE_ATTRIBUTE_DIRECTORY, 0u);
  DWORD file = OVGetFileAttributes(wideFile_.c_str());
  ASSERT_NE(file, INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(file & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(OVGetFileAttributes(WidenAscii((dir_ / "missing").string().c_str()).c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(OVGetFileAttributes(nullptr), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Attributes, OlderReadingIsThePlainQuery) {
  testing_support::WriteTextFile(ConfigFile(), "[VERSION]\r\nGetFileAttributesOld=1\r\n");
  ChangeFileAttributes(file_.c_str(), FILE_ATTRIBUTE_READONLY, 0);
  EXPECT_EQ(OVGetFileAttributes(wideFile_.c_str()), platform::GetFileAttributesW(wideFile_.c_str()));
  EXPECT_NE(OVGetFileAttributes(wideFile_.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(frame::ConfigInteger(frame::ConfigKey::GetFileAttributesOld), 1);
}

std::string Cleaned(const char* name) {
  char out[64];
  std::memset(out, '#', sizeof out);
  RemoveTrailingSpacesAndPeriods(name, out);
  return out;
}

TEST(TrailingPeriods, RemovedWithTheSpacesAroundThem) {
  EXPECT_EQ(Cleaned("  report. . "), "report");
  EXPECT_EQ(Cleaned("..."), "");
  EXPECT_EQ(Cleaned("a.b c"), "a.b c");
  EXPECT_EQ(Cleaned("name\t.\r"), "name");
  EXPECT_EQ(Cleaned("  .hidden"), ".hidden");
  char inPlace[] = "  dir . ";
  RemoveTrailingSpacesAndPeriods(inPlace, inPlace);
  EXPECT_STREQ(inPlace, "dir");
}

TEST(TrailingPeriods, FindsAComponentEndingInAPeriod) {
  EXPECT_EQ(DoesAnyFolderHaveTrailingPeriods("C:\\dir.\\file.txt"), 1);
  EXPECT_EQ(DoesAnyFolderHaveTrailingPeriods("C:\\dir\\file."), 1);
  EXPECT_EQ(DoesAnyFolderHaveTrailingPeriods("C:\\dir...\\file"), 1);
  EXPECT_EQ(DoesAnyFolderHaveTrailingPeriods("  C:\\dir.  "), 1);
  EXPECT_EQ(DoesAnyFolderHaveTrailingPeriods("C:\\dir\\..\\file.txt"), 0);
  EXPECT_EQ(DoesAnyFolderHaveTrailingPeriods(".\\file"), 0);
  EXPECT_EQ(DoesAnyFolderHaveTrailingPeriods("..\\."), 0);
  EXPECT_EQ(DoesAnyFolderHaveTrailingPeriods("C:\\dir\\file.txt"), 0);
  EXPECT_EQ(DoesAnyFolderHaveTrailingPeriods("\\\\server\\share\\"), 0);
  EXPECT_EQ(DoesAnyFolderHaveTrailingPeriods("   "), 0);
}

TEST(Handles, ADuplicateIsRewoundAndSharesThePosition) {
  TempDir dir;
  const std::string path = (dir / "data.bin").string();
  testing_support::WriteTextFile(path, "0123456789");
  HANDLE file = platform::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_EQ(platform::SetFilePointer(file, 6, nullptr, FILE_BEGIN), 6u);
  HANDLE copy = OVDuplFileHandle(file);
  ASSERT_NE(copy, INVALID_HANDLE_VALUE);
  ASSERT_NE(copy, file);
  char bytes[4] = {};
  DWORD read = 0;
  ASSERT_TRUE(platform::ReadFile(copy, bytes, 3, &read, nullptr));
  EXPECT_EQ(std::string(bytes, read), "012");
  ASSERT_TRUE(platform::ReadFile(file, bytes, 3, &read, nullptr));
  EXPECT_EQ(std::string(bytes, read), "345");
  EXPECT_TRUE(platform::CloseHandle(file));
  ASSERT_TRUE(platform::ReadFile(copy, bytes, 3, &read, nullptr));  // the copy outlives the first handle
  EXPECT_EQ(std::string(bytes, read), "678");
  EXPECT_TRUE(platform::CloseHandle(copy));
  EXPECT_EQ(OVDuplFileHandle(INVALID_HANDLE_VALUE), INVALID_HANDLE_VALUE);
}

}  // namespace
